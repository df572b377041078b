# zantrope_module(NAME <target> LABEL <ctest label> [DEPS <libs...>] [TEST_DEPS <libs...>]
#                 [PROBES <header>] [TESTING_ONLY] [EXCLUDE <subfolders...>])
#
# Every folder of the tree is one library, found by globbing so that the folder's own list of
# files is the only place a file is named:
# - <target>: the program's code, the folder's *.cpp files (searched recursively) except those
#   below;
# - <target>_testing: test-only code, every file in a testing/ subfolder or named
#   *_test_support.*; it links <target>, the TEST_DEPS (other testing libraries among them)
#   and GoogleTest, and the tests and benchmarks link it;
# - <target>_tests: the *_test.cpp files, a test program whose tests carry the CTest label
#   LABEL; the *_serial_test.cpp files make <target>_serial_tests, whose tests run with no
#   other test beside them (they measure how promptly the program is served, which seven
#   sanitized tests running at once would change); *_main.cpp files are program entry points that the folder's CMakeLists makes itself.
# A program source that includes a test framework stops the configuration, so no test code
# reaches the program by a stray file. The test program's main (platform/os/testing) checks
# after every test that the global state it started with is back; PROBES names the header
# that registers this module's checks (default: the clock's). TESTING_ONLY marks a folder
# that is test code as a whole (integration rigs): <target> is then never part of the program
# and may include the test framework. EXCLUDE names subfolders that are modules of their own.
function(zantrope_module)
  cmake_parse_arguments(M "TESTING_ONLY" "NAME;LABEL;PROBES" "DEPS;TEST_DEPS;EXCLUDE" ${ARGN})
  file(GLOB_RECURSE all_files CONFIGURE_DEPENDS
    ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  set(lib_sources "")
  set(lib_headers "")
  set(testing_sources "")
  set(testing_headers "")
  set(test_sources "")
  set(serial_test_sources "")
  foreach(file IN LISTS all_files)
    file(RELATIVE_PATH relative ${CMAKE_CURRENT_SOURCE_DIR} ${file})
    set(excluded FALSE)
    foreach(subfolder IN LISTS M_EXCLUDE)
      string(FIND "${relative}" "${subfolder}/" position)
      if(position EQUAL 0)
        set(excluded TRUE)
      endif()
    endforeach()
    if(excluded)
      continue()
    endif()
    if(relative MATCHES "_serial_test\\.cpp$")
      list(APPEND serial_test_sources ${file})
    elseif(relative MATCHES "_test\\.cpp$")
      list(APPEND test_sources ${file})
    elseif(relative MATCHES "_main\\.cpp$")
      # program entry points: the folder's CMakeLists makes the executable itself
    elseif(relative MATCHES "(^|/)testing/" OR relative MATCHES "_test_support\\.(h|cpp)$")
      if(relative MATCHES "\\.cpp$")
        list(APPEND testing_sources ${file})
      else()
        list(APPEND testing_headers ${file})
      endif()
    elseif(relative MATCHES "\\.cpp$")
      list(APPEND lib_sources ${file})
    else()
      list(APPEND lib_headers ${file})
    endif()
  endforeach()

  set(program_files ${lib_sources} ${lib_headers})
  if(M_TESTING_ONLY)
    set(program_files "")
  endif()
  foreach(file IN LISTS program_files)
    file(STRINGS ${file} test_includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"](gtest/|gmock/|QTest|QtTest/)")
    if(test_includes)
      message(FATAL_ERROR "${file} is program code but includes a test framework; test-only "
                          "code goes to a testing/ subfolder or a *_test_support file")
    endif()
  endforeach()

  if(lib_sources)
    add_library(${M_NAME} STATIC ${lib_sources})
    target_include_directories(${M_NAME} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${M_NAME} PUBLIC ${M_DEPS})
    if(M_TESTING_ONLY)
      # Test rigs find the tools and files of the tree as the test programs do.
      target_compile_definitions(${M_NAME} PRIVATE ZANTROPE_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
        ZANTROPE_BIN_DIR="${ZANTROPE_BIN_DIR}" ZANTROPE_APP_DIR="${ZANTROPE_APP_DIR}")
    endif()
  else()
    add_library(${M_NAME} INTERFACE)
    target_include_directories(${M_NAME} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${M_NAME} INTERFACE ${M_DEPS})
  endif()

  if(NOT (ZANTROPE_TESTS OR ZANTROPE_BENCH))
    return()
  endif()
  set(testing_links ${M_NAME} ${M_TEST_DEPS} GTest::gtest GTest::gmock Threads::Threads)
  if(NOT M_NAME STREQUAL "zantrope_os")
    list(APPEND testing_links zantrope_os_testing)
  endif()
  if(testing_sources)
    add_library(${M_NAME}_testing STATIC ${testing_sources} ${testing_headers})
    target_link_libraries(${M_NAME}_testing PUBLIC ${testing_links})
  else()
    add_library(${M_NAME}_testing INTERFACE ${testing_headers})
    target_link_libraries(${M_NAME}_testing INTERFACE ${testing_links})
  endif()

  if(NOT ZANTROPE_TESTS)
    return()
  endif()
  if(NOT M_PROBES)
    set(M_PROBES "platform/os/testing/os_probes.h")
  endif()
  set(probes_source ${CMAKE_CURRENT_BINARY_DIR}/${M_NAME}_tests_probes.cpp)
  file(GENERATE OUTPUT ${probes_source}
    CONTENT "// Generated: the global-state checks of this test program.\n#include \"${M_PROBES}\"\n")
  foreach(kind IN ITEMS tests serial_tests)
    set(sources ${test_sources})
    set(extra_properties "")
    if(kind STREQUAL "serial_tests")
      set(sources ${serial_test_sources})
      set(extra_properties RUN_SERIAL TRUE)
    endif()
    if(NOT sources)
      continue()
    endif()
    add_executable(${M_NAME}_${kind} ${sources} ${probes_source})
    target_link_libraries(${M_NAME}_${kind} PRIVATE ${M_NAME}_testing)
    target_compile_definitions(${M_NAME}_${kind} PRIVATE
      ZANTROPE_SOURCE_DIR="${PROJECT_SOURCE_DIR}" ZANTROPE_BIN_DIR="${ZANTROPE_BIN_DIR}"
      ZANTROPE_APP_DIR="${ZANTROPE_APP_DIR}")
    gtest_discover_tests(${M_NAME}_${kind} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
      PROPERTIES LABELS ${M_LABEL} ${extra_properties})
  endforeach()
endfunction()
