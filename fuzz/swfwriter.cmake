# The movie description compiler: any text must end in a movie or an error, never a crash.
kestrel_add_fuzzer(fuzz_swfwriter_description ${CMAKE_CURRENT_LIST_DIR}/fuzz_swfwriter_description.cpp LIBS swfwriter)
