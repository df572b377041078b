# zantrope_module(NAME <target> LABEL <ctest label> [DEPS <libs...>] [TEST_DEPS <libs...>])
#
# Every folder of the tree is one library: its *.cpp files (searched recursively,
# *_test.cpp and *_main.cpp excluded) form the static library <target>, and its *_test.cpp files
# form the test program <target>_tests, whose tests carry the CTest label LABEL.
# Globbing keeps the folder's own list of files the only place a file is named.
function(zantrope_module)
  cmake_parse_arguments(M "" "NAME;LABEL" "DEPS;TEST_DEPS" ${ARGN})
  file(GLOB_RECURSE all_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  set(lib_sources "")
  set(test_sources "")
  foreach(src IN LISTS all_sources)
    if(src MATCHES "_test\\.cpp$")
      list(APPEND test_sources ${src})
    elseif(src MATCHES "_main\\.cpp$")
      # program entry points: the folder's CMakeLists makes the executable itself
    else()
      list(APPEND lib_sources ${src})
    endif()
  endforeach()
  if(lib_sources)
    add_library(${M_NAME} STATIC ${lib_sources})
    target_include_directories(${M_NAME} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${M_NAME} PUBLIC ${M_DEPS})
  else()
    add_library(${M_NAME} INTERFACE)
    target_include_directories(${M_NAME} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${M_NAME} INTERFACE ${M_DEPS})
  endif()
  if(ZANTROPE_TESTS AND test_sources)
    add_executable(${M_NAME}_tests ${test_sources})
    target_link_libraries(${M_NAME}_tests PRIVATE ${M_NAME} ${M_TEST_DEPS} GTest::gtest GTest::gmock GTest::gtest_main Threads::Threads)
    target_compile_definitions(${M_NAME}_tests PRIVATE
      ZANTROPE_SOURCE_DIR="${PROJECT_SOURCE_DIR}" ZANTROPE_BIN_DIR="${ZANTROPE_BIN_DIR}"
      ZANTROPE_APP_DIR="${ZANTROPE_APP_DIR}")
    gtest_discover_tests(${M_NAME}_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
      PROPERTIES LABELS ${M_LABEL})
  endif()
endfunction()
