kestrel_add_benchmark(bench_player_bitmaps SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_player_bitmaps.cpp
  LIBS player_render swfwriter)
