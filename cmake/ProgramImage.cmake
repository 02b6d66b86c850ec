# The program file itself: the checker of built program files (imports only
# from system DLLs and only functions the oldest promised Windows exports,
# the headers' protections), portable so that its tests
# run everywhere; and, in Windows builds, the resources every program file
# carries (manifest, version information, icon, background picture, language
# tables, browser database) compiled into the object library
# tolvaran_resources, proven by a test program that carries them.

add_library(tolvaran_pe_image STATIC ${CMAKE_SOURCE_DIR}/tools/pe_check/pe_image.cpp
                                     ${CMAKE_SOURCE_DIR}/tools/pe_check/export_lists.cpp)
target_include_directories(tolvaran_pe_image PUBLIC ${CMAKE_SOURCE_DIR}/tools)
add_executable(pe_check ${CMAKE_SOURCE_DIR}/tools/pe_check/pe_check.cpp)
target_link_libraries(pe_check PRIVATE tolvaran_pe_image)
tolvaran_add_test(unit_program_image unit tolvaran_pe_image
                  ${CMAKE_SOURCE_DIR}/tests/program_image/pe_image_test.cpp)
if(TARGET fuzz_pe_image)
  target_link_libraries(fuzz_pe_image PRIVATE tolvaran_pe_image)
endif()

if(NOT WIN32)
  return()
endif()

enable_language(RC)

set(TOLVARAN_VERSION_TWEAK 0)
if(PROJECT_VERSION_TWEAK)
  set(TOLVARAN_VERSION_TWEAK ${PROJECT_VERSION_TWEAK})
endif()
set(TOLVARAN_VERSION_QUAD
    "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.${TOLVARAN_VERSION_TWEAK}")
string(REPLACE "." "," TOLVARAN_VERSION_COMMAS "${TOLVARAN_VERSION_QUAD}")
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(TOLVARAN_MANIFEST_ARCH amd64)
else()
  set(TOLVARAN_MANIFEST_ARCH x86)
endif()

set(windows_dir ${CMAKE_BINARY_DIR}/generated/windows)
set(TOLVARAN_MANIFEST_FILE ${windows_dir}/Tolvaran.manifest)
set(TOLVARAN_VERSION_RC ${windows_dir}/version.rc)
set(TOLVARAN_ICON_FILE ${windows_dir}/tolvaran.ico)
set(TOLVARAN_BACKGROUND_FILE ${windows_dir}/background.bmp)
configure_file(${CMAKE_SOURCE_DIR}/resources/windows/Tolvaran.manifest.in ${TOLVARAN_MANIFEST_FILE} @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/resources/windows/version.rc.in ${TOLVARAN_VERSION_RC} @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/resources/windows/tolvaran.rc.in ${windows_dir}/tolvaran.rc @ONLY)

add_custom_command(
  OUTPUT ${TOLVARAN_ICON_FILE} ${TOLVARAN_BACKGROUND_FILE}
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tools/draw_images.py
          --icon ${TOLVARAN_ICON_FILE} --background ${TOLVARAN_BACKGROUND_FILE}
  DEPENDS ${CMAKE_SOURCE_DIR}/tools/draw_images.py
  COMMENT "Drawing the icon and the background picture"
  VERBATIM)

add_library(tolvaran_resources OBJECT ${windows_dir}/tolvaran.rc)
# The resource compiler takes none of the C++ warning flags.
set_property(TARGET tolvaran_resources PROPERTY COMPILE_OPTIONS "")
target_include_directories(tolvaran_resources PUBLIC ${CMAKE_SOURCE_DIR}/resources/windows)
set(custom_resources)
foreach(id 101 102 103 104 105)
  list(APPEND custom_resources ${TOLVARAN_RESOURCE_DIR}/${id}.bin)
endforeach()
set_source_files_properties(${windows_dir}/tolvaran.rc PROPERTIES OBJECT_DEPENDS
  "${TOLVARAN_ICON_FILE};${TOLVARAN_BACKGROUND_FILE};${TOLVARAN_MANIFEST_FILE};${TOLVARAN_VERSION_RC};${custom_resources}")
# The .bin files come with the support library's generated source.
add_dependencies(tolvaran_resources tolvaran_support)

tolvaran_add_test(resource_image_test unit tolvaran_support
                  ${CMAKE_SOURCE_DIR}/tests/program_image/resource_image_test.cpp)
target_link_libraries(resource_image_test PRIVATE tolvaran_resources user32 gdi32)
target_compile_definitions(resource_image_test PRIVATE
  TOLVARAN_EXPECTED_VERSION="${TOLVARAN_VERSION_QUAD}")

add_test(NAME program_image_protections
  COMMAND pe_check $<TARGET_FILE_NAME:resource_image_test>
  WORKING_DIRECTORY $<TARGET_FILE_DIR:resource_image_test>)
set_tests_properties(program_image_protections PROPERTIES
  LABELS "unit;${TOLVARAN_PLATFORM_LABEL}")

# The check against XP's export lists must catch a function XP lacks: a
# program that imports one from Vista is refused.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  add_executable(vista_import_probe ${CMAKE_SOURCE_DIR}/tests/program_image/vista_import_probe.cpp)
  add_test(NAME program_image_refuses_vista_import
    COMMAND pe_check $<TARGET_FILE_NAME:vista_import_probe>
            --exports ${CMAKE_SOURCE_DIR}/tools/pe_check/xp_exports
    WORKING_DIRECTORY $<TARGET_FILE_DIR:vista_import_probe>)
  set_tests_properties(program_image_refuses_vista_import PROPERTIES
    LABELS "unit;${TOLVARAN_PLATFORM_LABEL}"
    PASS_REGULAR_EXPRESSION "KERNEL32\\.dll!GetTickCount64 is not in the DLL's export list")
endif()
