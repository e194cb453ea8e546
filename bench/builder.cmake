kestrel_add_benchmark(bench_swf_header SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_swf_header.cpp
  LIBS kestrel_builder_core ZLIB::ZLIB)
