# Region data of a 1920 x 1080 mask beside Windows' pixel-by-pixel method.
# Run under Wine: scripts/wine-run.sh build/win32/bench/bench_mask_region_win.exe
add_executable(bench_mask_region_win ${CMAKE_CURRENT_LIST_DIR}/bench_mask_region_win.cpp)
target_link_libraries(bench_mask_region_win PRIVATE kestrel_builder_core gdi32)
target_link_options(bench_mask_region_win PRIVATE -mconsole)
