# The PE resource writer's inputs: .ico files chosen by the user, and the
# executables whose resources it rewrites.
kestrel_add_fuzzer(fuzz_ico_resources ${CMAKE_CURRENT_LIST_DIR}/fuzz_ico_resources.cpp LIBS kestrel_pe)
target_include_directories(fuzz_ico_resources PRIVATE ${CMAKE_SOURCE_DIR})
kestrel_add_fuzzer(fuzz_pe_image ${CMAKE_CURRENT_LIST_DIR}/fuzz_pe_image.cpp LIBS kestrel_pe)
target_include_directories(fuzz_pe_image PRIVATE ${CMAKE_SOURCE_DIR})
