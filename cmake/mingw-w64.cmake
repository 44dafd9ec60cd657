# The 64-bit Windows build (x86_64): the one the tests and benchmarks run
# under wine64, since these machines cannot execute 32-bit code.
set(SH_WIN_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
