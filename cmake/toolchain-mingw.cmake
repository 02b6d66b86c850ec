# Cross build for Windows with MinGW-w64: win32 thread model, static runtime.
# The posix thread model links winpthread, which imports GetTickCount64 and
# so keeps the program off Windows XP; the program starts no threads of the
# C++ library, so the win32 model costs it nothing.
# TOLVARAN_MINGW_TRIPLE selects the target: i686-w64-mingw32 or x86_64-w64-mingw32.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_VERSION 6.1)
if(NOT TOLVARAN_MINGW_TRIPLE)
  set(TOLVARAN_MINGW_TRIPLE i686-w64-mingw32)
endif()
string(REGEX MATCH "^[^-]+" CMAKE_SYSTEM_PROCESSOR "${TOLVARAN_MINGW_TRIPLE}")
set(CMAKE_C_COMPILER ${TOLVARAN_MINGW_TRIPLE}-gcc-win32)
set(CMAKE_CXX_COMPILER ${TOLVARAN_MINGW_TRIPLE}-g++-win32)
set(CMAKE_RC_COMPILER ${TOLVARAN_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TOLVARAN_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
