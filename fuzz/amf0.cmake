# AMF0 values as remoting answers and LocalConnection messages carry them.
kestrel_add_fuzzer(fuzz_amf0 ${CMAKE_CURRENT_LIST_DIR}/fuzz_amf0.cpp LIBS player_runtime)
