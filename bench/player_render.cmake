kestrel_add_benchmark(bench_player_render SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_player_render.cpp
  LIBS player_render swfwriter)
