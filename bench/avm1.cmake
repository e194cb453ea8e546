# Actions per second of tight ActionScript loops, beside the same loop in C++.
kestrel_add_benchmark(bench_avm1 SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_avm1.cpp LIBS player_avm1)
