# Arbitrary bytes as an action block, run under the engine's limits.
kestrel_add_fuzzer(fuzz_avm1 ${CMAKE_CURRENT_LIST_DIR}/fuzz_avm1.cpp LIBS player_avm1)
