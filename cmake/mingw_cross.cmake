# What both cross toolchains share: mingw-w64's -posix compilers for the triple in NIMBRA_MINGW
# (GoogleTest needs std::mutex), and libraries and headers from that triple's own tree only.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${NIMBRA_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${NIMBRA_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${NIMBRA_MINGW}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${NIMBRA_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
