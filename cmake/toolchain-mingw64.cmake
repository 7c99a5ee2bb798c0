# x86_64 Windows build, run under wine64 on the development machines.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TAV_MINGW_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
