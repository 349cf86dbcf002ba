# Cross build for 32-bit Windows with mingw-w64: the shipped programs.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(NIMBRA_MINGW i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw_cross.cmake)
