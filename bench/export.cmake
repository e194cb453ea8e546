kestrel_add_benchmark(bench_export SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_export.cpp LIBS kestrel_export swfwriter)
