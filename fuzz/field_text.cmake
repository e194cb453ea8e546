# Fields in embedded fonts: any HTML read into runs of formats, laid out and drawn.
kestrel_add_fuzzer(fuzz_field_text ${CMAKE_CURRENT_LIST_DIR}/fuzz_field_text.cpp LIBS player_render swfwriter)
