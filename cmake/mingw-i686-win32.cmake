# 32-bit Windows, win32 thread model: the program as it ships. The posix
# thread model's runtime imports GetTickCount64, which Windows XP lacks;
# the program uses no threads.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TOLVANE_MINGW_TRIPLE i686-w64-mingw32)
set(TOLVANE_MINGW_THREADS win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
