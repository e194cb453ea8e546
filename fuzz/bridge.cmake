# The script texts the plug-in evaluates, and the Base64 carried in them.
kestrel_add_fuzzer(fuzz_script_text ${CMAKE_CURRENT_LIST_DIR}/fuzz_script_text.cpp
  LIBS projector_bridge)
kestrel_add_fuzzer(fuzz_base64 ${CMAKE_CURRENT_LIST_DIR}/fuzz_base64.cpp
  LIBS kestrel_net)
