# Shared by the two mingw-w64 toolchain files, which set SH_WIN_ARCH first.
# The win32 thread model links no POSIX thread library (that one imports
# GetTickCount64, which Windows XP lacks).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${SH_WIN_ARCH})
set(CMAKE_C_COMPILER ${SH_WIN_ARCH}-w64-mingw32-gcc-win32)
set(CMAKE_CXX_COMPILER ${SH_WIN_ARCH}-w64-mingw32-g++-win32)
set(CMAKE_RC_COMPILER ${SH_WIN_ARCH}-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${SH_WIN_ARCH}-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
