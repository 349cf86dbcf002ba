# The 64-bit twin of the i686 build: the same sources for x86-64, only to run the Win32 tests quickly
# under wine64 on machines that cannot execute 32-bit code. Nothing of it ships.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(NIMBRA_MINGW x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw_cross.cmake)
