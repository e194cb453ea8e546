# The field text reader and writer (htmlText).
kestrel_add_fuzzer(fuzz_rich_text ${CMAKE_CURRENT_LIST_DIR}/fuzz_rich_text.cpp LIBS player_runtime)
