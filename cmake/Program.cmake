# Tolvaran.exe, the Windows program: the main window (src/shell/win32) over
# the portable layers and the real ports, with every resource embedded.
# Only Windows builds have it; its imports are checked like every program
# file's: system DLLs only.
if(NOT WIN32)
  return()
endif()

file(GLOB window_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/shell/win32/*.cpp)
add_library(tolvaran_window STATIC ${window_sources})
target_include_directories(tolvaran_window PRIVATE ${CMAKE_SOURCE_DIR}/resources/windows)
target_link_libraries(tolvaran_window PUBLIC tolvaran_core tolvaran_win32 comctl32 user32 gdi32
                      shell32 ole32)

file(GLOB app_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/app/win32/*.cpp)
add_executable(Tolvaran WIN32 ${app_sources} $<TARGET_OBJECTS:tolvaran_resources>)
target_link_libraries(Tolvaran PRIVATE tolvaran_window)
target_link_options(Tolvaran PRIVATE -municode -mwindows)
set_target_properties(Tolvaran PROPERTIES OUTPUT_NAME Tolvaran)

add_test(NAME program_imports COMMAND pe_check $<TARGET_FILE_NAME:Tolvaran>
         WORKING_DIRECTORY $<TARGET_FILE_DIR:Tolvaran>)
set_tests_properties(program_imports PROPERTIES LABELS "program_image;${TOLVARAN_PLATFORM_LABEL}")

# The 32-bit program is the one for Windows XP SP3 and Server 2003 SP2: the
# loader there refuses it if it imports one function those systems lack.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  add_test(NAME program_loads_on_xp
           COMMAND pe_check $<TARGET_FILE_NAME:Tolvaran>
                   --exports ${CMAKE_SOURCE_DIR}/tools/pe_check/xp_exports
           WORKING_DIRECTORY $<TARGET_FILE_DIR:Tolvaran>)
  set_tests_properties(program_loads_on_xp PROPERTIES LABELS "program_image;${TOLVARAN_PLATFORM_LABEL}")
endif()
