# One static library per source folder ("module"). Sources are globbed so that new
# files need no CMake edit; a folder with no sources yet becomes an interface library.
#
#   vt_module(NAME vt_core DIR runtime/src/core [RECURSE] DEPS vt_platform_system ...)
function(vt_module)
  cmake_parse_arguments(M "RECURSE" "NAME;DIR" "DEPS;EXCLUDE" ${ARGN})
  if(M_RECURSE)
    file(GLOB_RECURSE srcs CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/${M_DIR}/*.cpp" "${PROJECT_SOURCE_DIR}/${M_DIR}/*.c")
  else()
    file(GLOB srcs CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/${M_DIR}/*.cpp" "${PROJECT_SOURCE_DIR}/${M_DIR}/*.c")
  endif()
  foreach(ex IN LISTS M_EXCLUDE)
    list(FILTER srcs EXCLUDE REGEX "${ex}")
  endforeach()
  if(srcs)
    add_library(${M_NAME} STATIC ${srcs})
    target_include_directories(${M_NAME} PUBLIC "${PROJECT_SOURCE_DIR}")
    target_link_libraries(${M_NAME} PUBLIC ${M_DEPS})
  else()
    add_library(${M_NAME} INTERFACE)
    target_include_directories(${M_NAME} INTERFACE "${PROJECT_SOURCE_DIR}")
    target_link_libraries(${M_NAME} INTERFACE ${M_DEPS})
  endif()
endfunction()

# One executable per folder of tests, benchmarks or fuzz targets.
#   vt_test_suite(DIR tests/runtime/core LIBS vt_core ...)
function(vt_test_suite)
  # TIMEOUT (seconds, 300 unless given) is for suites whose tests play the whole game at length.
  cmake_parse_arguments(T "" "DIR;TIMEOUT" "LIBS" ${ARGN})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  file(GLOB srcs CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/${T_DIR}/*.cpp")
  if(NOT srcs)
    return()
  endif()
  string(REPLACE "/" "_" name "${T_DIR}")
  string(REGEX REPLACE "^tests_" "test_" name "${name}")
  add_executable(${name} ${srcs})
  target_link_libraries(${name} PRIVATE ${T_LIBS} vt_test_support GTest::gtest GTest::gmock)
  # The folders a test falls back on when run outside ctest (tests/support/test_dirs.h).
  target_compile_definitions(${name} PRIVATE VT_DEFAULT_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
                                             VT_DEFAULT_BINARY_DIR="${PROJECT_BINARY_DIR}")
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES TIMEOUT ${T_TIMEOUT})
  set_property(GLOBAL APPEND PROPERTY VT_TEST_EXECUTABLES ${name})
endfunction()

# The discovery step of gtest_discover_tests cannot pass a list-valued property through, so
# the environment of every discovered test is set by one more file that ctest includes after
# the discovered lists (each executable's list is the variable <executable>_TESTS).
function(vt_test_environment)
  get_property(executables GLOBAL PROPERTY VT_TEST_EXECUTABLES)
  set(env
    "SDL_VIDEODRIVER=offscreen"
    "SDL_AUDIODRIVER=dummy"
    "VT_SOURCE_DIR=${PROJECT_SOURCE_DIR}"
    "VT_BINARY_DIR=${PROJECT_BINARY_DIR}"
    "LP_NUM_THREADS=0"
    "VT_HARNESS_WARM_UP=0"
    "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/support/lsan.supp:print_suppressions=0:use_tls=0")
  set(script "")
  foreach(exe IN LISTS executables)
    string(APPEND script "if(DEFINED ${exe}_TESTS)\n"
                         "  set_tests_properties(\${${exe}_TESTS} PROPERTIES ENVIRONMENT \"${env}\")\n"
                         "endif()\n")
  endforeach()
  set(file "${CMAKE_CURRENT_BINARY_DIR}/vt_test_environment.cmake")
  file(WRITE "${file}" "${script}")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES "${file}")
endfunction()

function(vt_bench_suite)
  cmake_parse_arguments(B "" "DIR" "LIBS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/${B_DIR}/*.cpp")
  if(NOT srcs)
    return()
  endif()
  string(REPLACE "/" "_" name "${B_DIR}")
  add_executable(${name} ${srcs})
  target_link_libraries(${name} PRIVATE ${B_LIBS} benchmark::benchmark)
endfunction()

# One libFuzzer executable per source file of a fuzz folder.
function(vt_fuzz_targets)
  cmake_parse_arguments(F "" "DIR" "LIBS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/${F_DIR}/*.cpp")
  foreach(src IN LISTS srcs)
    get_filename_component(stem "${src}" NAME_WE)
    add_executable(fuzz_${stem} "${src}")
    target_compile_options(fuzz_${stem} PRIVATE -fsanitize=fuzzer)
    target_link_options(fuzz_${stem} PRIVATE -fsanitize=fuzzer)
    target_link_libraries(fuzz_${stem} PRIVATE ${F_LIBS})
  endforeach()
endfunction()
