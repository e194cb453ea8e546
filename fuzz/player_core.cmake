# The SWF parser and the timeline: parse, then play a few frames.
kestrel_add_fuzzer(fuzz_player_core ${CMAKE_CURRENT_LIST_DIR}/fuzz_player_core.cpp LIBS player_core)
