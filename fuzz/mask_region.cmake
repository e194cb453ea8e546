kestrel_add_fuzzer(fuzz_mask_region ${CMAKE_CURRENT_LIST_DIR}/fuzz_mask_region.cpp)
target_sources(fuzz_mask_region PRIVATE ${PROJECT_SOURCE_DIR}/projector/app/mask_region.cpp)
target_include_directories(fuzz_mask_region PRIVATE ${PROJECT_SOURCE_DIR})
