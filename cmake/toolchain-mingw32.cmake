# i686 Windows build: the release programs. Nothing of it runs on these machines.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(TAV_MINGW_PREFIX i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
