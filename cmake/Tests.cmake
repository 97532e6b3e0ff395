# tess_add_test(NAME SOURCES... [LIBS lib...] [DEPENDS target...] [DEFINES def...]
#               [PROPERTIES prop value...] [NO_MAIN])
# A GoogleTest program of the project: the sources, the project's root on the include path, the
# libraries (GoogleTest's main unless NO_MAIN), the build's plug-in folder and lcdhost as
# TESS_BIN_DIR and TESS_LCDHOST, built after DEPENDS, and each test case a CTest test with the
# PROPERTIES given. In an ARM tree each test requires the fixture qemu_binfmt, and the cases
# TESS_EMULATED_EXCLUDED names are left out (tests/CMakeLists.txt).
function(tess_add_test name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "NO_MAIN" "" "LIBS;DEPENDS;DEFINES;PROPERTIES")
  add_executable(${name} ${arg_UNPARSED_ARGUMENTS})
  if(arg_NO_MAIN)
    set(gtest GTest::gtest)
  else()
    set(gtest GTest::gtest_main)
  endif()
  target_link_libraries(${name} PRIVATE ${arg_LIBS} ${gtest})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_compile_definitions(${name} PRIVATE TESS_BIN_DIR="${CMAKE_RUNTIME_OUTPUT_DIRECTORY}"
    TESS_LCDHOST="$<TARGET_FILE:lcdhost>" ${arg_DEFINES})
  if(arg_DEPENDS)
    add_dependencies(${name} ${arg_DEPENDS})
  endif()
  set(filter)
  if(CMAKE_CROSSCOMPILING)
    list(APPEND arg_PROPERTIES FIXTURES_REQUIRED qemu_binfmt)
    list(JOIN TESS_EMULATED_EXCLUDED ":" excluded)
    set(filter TEST_FILTER -${excluded})
  endif()
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 ${filter} PROPERTIES ${arg_PROPERTIES})
endfunction()
