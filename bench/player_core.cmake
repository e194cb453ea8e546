kestrel_add_benchmark(bench_player_core SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_player_core.cpp
  LIBS player_core swfwriter)
