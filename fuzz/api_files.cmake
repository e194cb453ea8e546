# The file, stream and registry families' argument parsing through the dispatcher.
kestrel_add_fuzzer(fuzz_api_files ${CMAKE_CURRENT_LIST_DIR}/fuzz_api_files.cpp
  LIBS projector_api)
