# The renderer's inputs: shapes, gradients and strokes of any movie, drawn.
kestrel_add_fuzzer(fuzz_player_render ${CMAKE_CURRENT_LIST_DIR}/fuzz_player_render.cpp LIBS player_render)
