# Test helpers shared by every test folder.
#
#   korvane_add_pytest(<name> <path> [ENV var=value ...])
#       Runs pytest (under KORVANE_TEST_PYTHON, else the build's Python) on a
#       file or folder with the project's Python modules, the examples and the
#       shared test helpers (tests/support) on the path. KORVANE_PYTHON_EXECUTABLE
#       names the build's own interpreter, for tests that run the build's modules
#       in it. Under the sanitizer build the interpreter loads the sanitizer runtime
#       first (LD_PRELOAD), together with libstdc++: the interpreter does not load
#       libstdc++ at start-up, and the sanitizer's exception interceptor then finds no
#       __cxa_throw to forward to and aborts at the first C++ throw. Leak detection
#       stays off, since the interpreter itself keeps memory until exit.
#   korvane_add_gtest(<target> <sources...> [LIBS libs...])
#       Builds a GoogleTest executable and registers it as one test.

find_package(GTest REQUIRED)

# pytest runs under the build's Python, unless that one lacks pytest (a build for a
# deployed Python): then under KORVANE_TEST_PYTHON.
set(KORVANE_PYTEST_PYTHON "${KORVANE_TEST_PYTHON}")
if(NOT KORVANE_PYTEST_PYTHON)
  set(KORVANE_PYTEST_PYTHON "${Python3_EXECUTABLE}")
endif()

set(KORVANE_TEST_ENV
  "PYTHONPATH=${KORVANE_PYTHON_DIR}:${CMAKE_SOURCE_DIR}/examples:${CMAKE_SOURCE_DIR}/tests/support"
  "PYTHONDONTWRITEBYTECODE=1"
  "KORVANE_SOURCE_DIR=${CMAKE_SOURCE_DIR}"
  "KORVANE_BUILD_DIR=${CMAKE_BINARY_DIR}"
  "KORVANE_PLUGIN_DIR=${KORVANE_PLUGIN_DIR}"
  "KORVANE_PYTHON_DIR=${KORVANE_PYTHON_DIR}"
  "KORVANE_BIN_DIR=${CMAKE_RUNTIME_OUTPUT_DIRECTORY}"
  "KORVANE_PYTHON_EXECUTABLE=${Python3_EXECUTABLE}")

if(KORVANE_SANITIZE)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libasan.so
                  OUTPUT_VARIABLE KORVANE_ASAN_RUNTIME OUTPUT_STRIP_TRAILING_WHITESPACE)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libstdc++.so.6
                  OUTPUT_VARIABLE KORVANE_STDCXX_RUNTIME OUTPUT_STRIP_TRAILING_WHITESPACE)
  list(APPEND KORVANE_TEST_ENV "KORVANE_SANITIZE=1"
       "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")
  # Native test programs keep leak detection; the interpreter does not.
  set(KORVANE_NATIVE_TEST_ENV "ASAN_OPTIONS=detect_leaks=1:halt_on_error=1")
  set(KORVANE_PYTHON_TEST_ENV "ASAN_OPTIONS=detect_leaks=0:halt_on_error=1"
      "LD_PRELOAD=${KORVANE_ASAN_RUNTIME}:${KORVANE_STDCXX_RUNTIME}")
endif()

function(korvane_add_pytest name path)
  cmake_parse_arguments(ARG "" "" "ENV" ${ARGN})
  add_test(NAME ${name}
           COMMAND ${KORVANE_PYTEST_PYTHON} -m pytest -q -p no:cacheprovider ${path}
           WORKING_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "${KORVANE_TEST_ENV};${KORVANE_PYTHON_TEST_ENV};${ARG_ENV}"
    LABELS python)
endfunction()

function(korvane_add_gtest target)
  cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
  add_executable(${target} ${ARG_UNPARSED_ARGUMENTS})
  target_link_libraries(${target} PRIVATE GTest::gtest GTest::gtest_main ${ARG_LIBS})
  korvane_warnings(${target})
  add_test(NAME ${target} COMMAND ${target} --gtest_brief=1)
  set_tests_properties(${target} PROPERTIES
    ENVIRONMENT "${KORVANE_TEST_ENV};${KORVANE_NATIVE_TEST_ENV}"
    LABELS cpp)
endfunction()
