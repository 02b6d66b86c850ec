# Test executables are found, not listed: every folder under tests/unit/
# becomes one executable unit_<folder>; tests/contract/ becomes
# contract_ports; tests/scenarios/ (a runner beside its cases) becomes
# scenario_cures; tests/external/ (checks against files from outside the
# project, ../shared/corpus) becomes external_checks. Each carries two ctest labels: its kind and its platform.

set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
# GoogleTest's port hook (tests/gtest_port): the win32 thread model of the
# Windows builds lacks what GoogleTest's Notification is built on.
foreach(library gtest gtest_main gmock gmock_main)
  target_include_directories(${library} BEFORE PUBLIC ${CMAKE_SOURCE_DIR}/tests/gtest_port)
endforeach()

file(GLOB_RECURSE test_common_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/common/*.cpp)
add_library(tolvaran_test_common STATIC ${test_common_sources})
target_include_directories(tolvaran_test_common PUBLIC ${CMAKE_SOURCE_DIR}/tests)
target_link_libraries(tolvaran_test_common PUBLIC tolvaran_sim GTest::gtest GTest::gmock)
if(WIN32)
  target_link_libraries(tolvaran_test_common PUBLIC tolvaran_win32)
endif()
target_compile_definitions(tolvaran_test_common PUBLIC
  TOLVARAN_SOURCE_DIR="${CMAKE_SOURCE_DIR}")

# `under_test` is the library the tests exercise; linking only it keeps a
# half-built folder elsewhere from breaking them.
function(tolvaran_add_test name kind under_test)
  add_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE ${under_test} tolvaran_test_common GTest::gtest_main)
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
  set_tests_properties(${name} PROPERTIES
    LABELS "${kind};${TOLVARAN_PLATFORM_LABEL}"
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
endfunction()

file(GLOB unit_dirs LIST_DIRECTORIES true CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/unit/*)
foreach(dir ${unit_dirs})
  if(IS_DIRECTORY ${dir})
    get_filename_component(folder ${dir} NAME)
    file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${dir}/*.cpp)
    set(under_test tolvaran_core)
    if(TARGET tolvaran_${folder})
      set(under_test tolvaran_${folder})
    endif()
    if(sources)
      tolvaran_add_test(unit_${folder} unit ${under_test} ${sources})
    endif()
    # The engine and everything above it are tested on machines planted
    # from descriptions, as the scenarios are.
    if(folder MATCHES "^(engine|intake|shell)$")
      target_link_libraries(unit_${folder} PRIVATE tolvaran_simrun)
    endif()
  endif()
endforeach()

file(GLOB_RECURSE contract_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/contract/*.cpp)
if(contract_sources)
  # The shell-link object is held against the project's own codec (shortcut/).
  tolvaran_add_test(contract_ports contract tolvaran_shortcut ${contract_sources})
endif()

file(GLOB scenario_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/scenarios/*.cpp)
if(scenario_sources)
  tolvaran_add_test(scenario_cures scenario tolvaran_simrun ${scenario_sources})
endif()

file(GLOB external_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/external/*.cpp)
if(external_sources)
  tolvaran_add_test(external_checks external tolvaran_shortcut ${external_sources})
endif()

# Every #include under src/ stays within its folder's layer or below it.
add_test(NAME layering
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tools/check_layering.py ${CMAKE_SOURCE_DIR}/src)
set_tests_properties(layering PROPERTIES LABELS "unit;${TOLVARAN_PLATFORM_LABEL}")
