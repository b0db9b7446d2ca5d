# 32-bit Windows with mingw-w64.
set(DSCP_MINGW_PROCESSOR i686)
set(DSCP_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
