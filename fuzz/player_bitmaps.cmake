# Bitmap tag bodies (lossless, JPEG with tables and alpha, PNG and GIF inside JPEG
# tags) decoded and drawn as bitmap fills; morph shape tag bodies drawn at several ratios.
kestrel_add_fuzzer(fuzz_player_bitmaps ${CMAKE_CURRENT_LIST_DIR}/fuzz_player_bitmaps.cpp LIBS player_render)
kestrel_add_fuzzer(fuzz_player_morph ${CMAKE_CURRENT_LIST_DIR}/fuzz_player_morph.cpp LIBS player_render)
