# Windows with mingw-w64, posix thread model (so std::thread works), for the processor
# and compiler prefix that the including toolchain file sets:
#   DSCP_MINGW_PROCESSOR (i686, x86_64) and DSCP_MINGW_TRIPLE (i686-w64-mingw32, ...).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${DSCP_MINGW_PROCESSOR})

set(CMAKE_C_COMPILER ${DSCP_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${DSCP_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${DSCP_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${DSCP_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
