# 64-bit Windows: the same program for hosts whose Wine cannot start 32-bit
# programs (no 32-bit execution in the kernel).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TOLVANE_MINGW_TRIPLE x86_64-w64-mingw32)
set(TOLVANE_MINGW_THREADS posix)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
