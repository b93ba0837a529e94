# Helpers that give every component the same shape:
#
#   component/CMakeLists.txt     zorvik_add_library(name SHARED|STATIC LIBRARIES ...)
#   component/tests/*.cpp        zorvik_add_tests(name LIBRARIES ...)
#
# Sources are the .cpp files below the component's folder (tests/ excluded), so
# adding a file needs no CMake edit.

include(GoogleTest)

function(zorvik_component_sources out dir)
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS "${dir}/*.cpp")
  list(FILTER sources EXCLUDE REGEX "/tests/")
  set(${out} ${sources} PARENT_SCOPE)
endfunction()

# zorvik_add_library(<name> SHARED|STATIC [EXCLUDE files...] LIBRARIES <libs...>)
function(zorvik_add_library name kind)
  cmake_parse_arguments(ARG "" "" "LIBRARIES;EXCLUDE" ${ARGN})
  zorvik_component_sources(sources ${CMAKE_CURRENT_SOURCE_DIR})
  foreach(excluded ${ARG_EXCLUDE})
    list(REMOVE_ITEM sources ${CMAKE_CURRENT_SOURCE_DIR}/${excluded})
  endforeach()
  add_library(${name} ${kind} ${sources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_LIBRARIES})
endfunction()

# zorvik_add_tests(<name> LIBRARIES <libs...>): one GoogleTest binary per
# component with one main (testing/TestMain.cpp, which pins the time zone and
# locale); every test runs as its own CTest test.
function(zorvik_add_tests name)
  cmake_parse_arguments(ARG "" "" "LIBRARIES" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp")
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE ${ARG_LIBRARIES} zorvik_test_main)
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST)
endfunction()
