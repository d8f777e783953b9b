# One way to declare a test: every test binary is a GoogleTest program run
# offscreen, one CTest entry per binary.
#
#   velmora_add_test(NAME name SOURCES a.cpp b.cpp LIBS lib1 lib2 [POSTGRES])
#
# POSTGRES marks a test that needs the throwaway PostgreSQL cluster; CTest
# starts it once before the first such test and stops it after the last.
function(velmora_add_test)
  cmake_parse_arguments(T "POSTGRES" "NAME" "SOURCES;LIBS" ${ARGN})
  find_package(GTest REQUIRED)
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock velmora_testmain)
  add_test(NAME ${T_NAME} COMMAND ${T_NAME})
  set(env "QT_QPA_PLATFORM=offscreen"
          "QT_LOGGING_RULES=qt.qpa.*=false"
          "VELMORA_TEST_PG_FILE=${CMAKE_BINARY_DIR}/pgtest/server.txt"
          "ASAN_OPTIONS=detect_leaks=0"
          "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")
  set_tests_properties(${T_NAME} PROPERTIES ENVIRONMENT "${env}" TIMEOUT 600)
  if(T_POSTGRES)
    set_tests_properties(${T_NAME} PROPERTIES FIXTURES_REQUIRED postgres)
  endif()
endfunction()
