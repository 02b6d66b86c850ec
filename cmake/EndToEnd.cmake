# The program under Wine, end to end: small Wine-side tools that plant and
# read shortcuts through Wine's own shell, set and read the clipboard, list
# the visible windows, stand in for a file type's opener and give the speed
# floor of a cure; and the end-to-end tests that drive Tolvaran.exe with
# them (Windows builds only, run on the Linux host with Wine and Xvfb).
if(NOT WIN32)
  return()
endif()

set(wine_tools plant_shortcuts read_shortcuts set_clipboard list_windows floor_cure record_open
               measure_captions)
add_library(tolvaran_wine_tool STATIC ${CMAKE_SOURCE_DIR}/tools/wine_shell/wine_tool.cpp)
target_include_directories(tolvaran_wine_tool PUBLIC ${CMAKE_SOURCE_DIR}/tools)
target_link_libraries(tolvaran_wine_tool PUBLIC tolvaran_win32)
foreach(tool ${wine_tools})
  add_executable(${tool} ${CMAKE_SOURCE_DIR}/tools/wine_shell/${tool}.cpp)
  target_link_libraries(${tool} PRIVATE tolvaran_wine_tool user32)
endforeach()
# A Store app's shortcut is written from the project's own codec.
target_link_libraries(plant_shortcuts PRIVATE tolvaran_simrun)
# Started by the shell as a file type's opener: no console window.
set_target_properties(record_open PROPERTIES WIN32_EXECUTABLE TRUE)
# The layout test measures inside the program: a message hook's DLL, which
# Wine loads into the program's process by its path.
add_library(caption_probe SHARED ${CMAKE_SOURCE_DIR}/tools/wine_shell/caption_probe.cpp)
target_include_directories(caption_probe PRIVATE ${CMAKE_SOURCE_DIR}/tools ${CMAKE_SOURCE_DIR}/src)
target_link_libraries(caption_probe PRIVATE user32 gdi32)
set_target_properties(caption_probe PROPERTIES PREFIX "")
# The hook procedure by its plain name, on i686 too.
target_link_options(caption_probe PRIVATE -Wl,--kill-at)
add_dependencies(measure_captions caption_probe)
add_custom_target(wine_tools DEPENDS ${wine_tools})

# The tests are registered at the end of the top-level configure, whatever
# the order of includes, so that the program's target exists by then.
function(tolvaran_add_e2e_tests)
  # The program the tests drive: this build's own, unless one is named by
  # hand (-DTOLVARAN_E2E_PROGRAM=/path/Tolvaran.exe, e.g. another build's).
  set(TOLVARAN_E2E_PROGRAM "" CACHE FILEPATH "Tolvaran.exe for the end-to-end tests instead of this build's")
  if(TOLVARAN_E2E_PROGRAM)
    set(e2e_program ${TOLVARAN_E2E_PROGRAM})
  elseif(TARGET Tolvaran)
    set(e2e_program $<TARGET_FILE:Tolvaran>)
  else()
    return()
  endif()

  find_program(TOLVARAN_XVFB Xvfb)
  find_program(TOLVARAN_XDOTOOL xdotool)
  if(NOT TOLVARAN_XVFB OR NOT TOLVARAN_XDOTOOL)
    message(STATUS "End-to-end tests left out: Xvfb or xdotool is missing")
    return()
  endif()

  # Each group runs in a fresh prefix and on an X display of its own under
  # e2e/, so groups may run side by side. Every group shows windows (even a
  # command-line run ends with its statistics box), hence "gui" on all.
  set(e2e_groups
    command_line
    window_cure
    window_messages
    window_input
    languages
    layout)
  foreach(group ${e2e_groups})
    add_test(NAME e2e_${group}
      COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tests/e2e/run_group.py ${group}
              --program ${e2e_program}
              --tools $<TARGET_FILE_DIR:plant_shortcuts>
              --work ${CMAKE_BINARY_DIR}/e2e)
    set(labels "e2e;gui;${TOLVARAN_PLATFORM_LABEL}")
    set_tests_properties(e2e_${group} PROPERTIES LABELS "${labels}" TIMEOUT 300)
  endforeach()
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL tolvaran_add_e2e_tests)
