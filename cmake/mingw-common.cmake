# Shared part of the mingw-w64 toolchain files; TAV_MINGW_PREFIX names the target.
set(CMAKE_SYSTEM_NAME Windows)
# The -posix compilers: GoogleTest needs std::mutex and friends.
set(CMAKE_C_COMPILER ${TAV_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TAV_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${TAV_MINGW_PREFIX}-windres)
set(CMAKE_OBJDUMP ${TAV_MINGW_PREFIX}-objdump)
set(CMAKE_FIND_ROOT_PATH /usr/${TAV_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
