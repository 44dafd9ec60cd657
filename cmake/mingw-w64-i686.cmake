# The 32-bit Windows build (i686): the shipped programs, for Windows XP SP3
# and later.
set(SH_WIN_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
