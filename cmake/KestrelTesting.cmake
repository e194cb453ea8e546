# kestrel_add_test(NAME name SOURCES ... [LIBS ...] [LABELS ...])
# One GoogleTest program, run by CTest as a single test. In the win32 build the
# program runs under Wine through the cross-compiling emulator.
function(kestrel_add_test)
  cmake_parse_arguments(T "" "NAME;TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  target_compile_definitions(${T_NAME} PRIVATE
    KESTREL_CORPUS_DIR="${KESTREL_CORPUS_DIR}"
    KESTREL_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  if(KESTREL_WIN32)
    target_link_options(${T_NAME} PRIVATE -mconsole)
  endif()
  add_test(NAME ${T_NAME} COMMAND ${T_NAME} --gtest_brief=1)
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  set_tests_properties(${T_NAME} PROPERTIES TIMEOUT ${T_TIMEOUT}
    WORKING_DIRECTORY "${CMAKE_CURRENT_BINARY_DIR}")
  if(T_LABELS)
    set_tests_properties(${T_NAME} PROPERTIES LABELS "${T_LABELS}")
  endif()
endfunction()
