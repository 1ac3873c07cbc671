# Every room's test programs are made by quorvale_test_program: the program,
# what it links and includes, the paths built into it, what must be built
# before it runs, and its tests found for ctest with their properties.
find_package(GTest REQUIRED)
include(GoogleTest)
find_package(benchmark REQUIRED)

# quorvale_test_program(<target> [BENCHMARK | HELPER]
#   SOURCES <file>...
#   LINKS <library>...
#   INCLUDES <folder>...
#   DEFINITIONS <name=value>...
#   PROVIDERS                    binds platform objects: the providers library
#                                is built first and its path is PROVIDERS_PATH
#   ODBC                         reaches a database through ODBC: the SQL Server
#                                stand-in's driver is built first
#   DEPENDS <target>...          other targets built first (programs, payloads)
#   ENVIRONMENT <name=value>     for each of its tests
#   ON_DISPLAY                   tests on real windows: FLTK's headers, one test
#                                at a time on the display, the window tests'
#                                leak suppressions
#   TIMEOUT <seconds>)
#
# A test program links GoogleTest's main, and ctest runs each of its tests.
# A BENCHMARK links Google Benchmark and a HELPER (a program the tests start)
# links only what it names; ctest runs neither.
function(quorvale_test_program target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "BENCHMARK;HELPER;PROVIDERS;ODBC;ON_DISPLAY" "TIMEOUT"
                        "SOURCES;LINKS;INCLUDES;DEFINITIONS;DEPENDS;ENVIRONMENT")
  if(arg_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "quorvale_test_program(${target}): cannot read ${arg_UNPARSED_ARGUMENTS}")
  endif()
  add_executable(${target} ${arg_SOURCES})

  set(links ${arg_LINKS})
  if(arg_BENCHMARK)
    list(APPEND links benchmark::benchmark)
  elseif(NOT arg_HELPER)
    list(APPEND links GTest::gtest_main)
  endif()
  target_link_libraries(${target} PRIVATE ${links})

  if(arg_INCLUDES)
    target_include_directories(${target} PRIVATE ${arg_INCLUDES})
  endif()
  if(arg_ON_DISPLAY)
    target_include_directories(${target} SYSTEM PRIVATE ${FLTK_INCLUDE})
  endif()

  set(definitions ${arg_DEFINITIONS})
  set(depends ${arg_DEPENDS})
  if(arg_PROVIDERS)
    list(PREPEND definitions PROVIDERS_PATH="$<TARGET_FILE:QuorvaleProviders>")
    list(APPEND depends QuorvaleProviders)
  endif()
  if(arg_ODBC)
    list(APPEND depends quorvale_sqlserver_odbc)
  endif()
  if(definitions)
    target_compile_definitions(${target} PRIVATE ${definitions})
  endif()
  if(depends)
    add_dependencies(${target} ${depends})
  endif()

  if(arg_BENCHMARK OR arg_HELPER)
    return()
  endif()
  set(properties "")
  set(environment ${arg_ENVIRONMENT})
  if(arg_ON_DISPLAY)
    list(APPEND properties RUN_SERIAL TRUE)
    list(APPEND environment ${QUORVALE_WINDOW_TESTS_LSAN})
  endif()
  if(arg_TIMEOUT)
    list(APPEND properties TIMEOUT ${arg_TIMEOUT})
  endif()
  list(LENGTH environment settings)
  if(settings GREATER 1)
    # gtest_discover_tests gives each property one value.
    message(FATAL_ERROR "quorvale_test_program(${target}): one environment setting at most: ${environment}")
  elseif(environment)
    list(APPEND properties ENVIRONMENT ${environment})
  endif()
  gtest_discover_tests(${target} PROPERTIES ${properties})
endfunction()
