# 64-bit Windows with mingw-w64.
set(DSCP_MINGW_PROCESSOR x86_64)
set(DSCP_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
