# The renderer in the 32-bit build: SSE2 blending beside the plain path, and whole
# 1280 x 720 frames of the 1,000-shape movie.
# Run under Wine: scripts/wine-run.sh build/win32/bench/bench_player_render_win.exe
add_executable(bench_player_render_win ${CMAKE_CURRENT_LIST_DIR}/bench_player_render_win.cpp)
target_link_libraries(bench_player_render_win PRIVATE player_render swfwriter AGG::AGG)
target_include_directories(bench_player_render_win PRIVATE ${CMAKE_SOURCE_DIR})
target_link_options(bench_player_render_win PRIVATE -mconsole)
