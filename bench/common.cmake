kestrel_add_benchmark(bench_unpack SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_unpack.cpp LIBS kestrel_common)
