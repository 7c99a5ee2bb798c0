#!/usr/bin/env bash
# Installs what building and testing need on a Debian machine, once.
# Idempotent and quiet when everything is there already.
set -euo pipefail

need=()
have_cmd() { command -v "$1" >/dev/null 2>&1; }
have_cmd x86_64-w64-mingw32-g++-posix || need+=(g++-mingw-w64-x86-64-posix)
have_cmd i686-w64-mingw32-g++-posix || need+=(g++-mingw-w64-i686-posix)
have_cmd x86_64-w64-mingw32-windres || need+=(binutils-mingw-w64-x86-64)
have_cmd i686-w64-mingw32-windres || need+=(binutils-mingw-w64-i686)
[[ -x /usr/lib/wine/wine64 ]] || need+=(wine64 wine)
have_cmd Xvfb || need+=(xvfb)
have_cmd convert || need+=(imagemagick)
have_cmd cmake || need+=(cmake)
have_cmd ninja || need+=(ninja-build)
have_cmd g++ || need+=(g++)
have_cmd clang++ || need+=(clang)
have_cmd python3 || need+=(python3)
[[ -f /usr/src/googletest/CMakeLists.txt ]] || need+=(googletest)
compgen -G '/usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a' >/dev/null || need+=(libclang-rt-dev)

if ((${#need[@]})); then
    echo "install-deps: installing ${need[*]}" >&2
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    # wine32 (i386) must not come along: it makes /usr/bin/wine pick a 32-bit
    # loader that this kernel cannot run.
    apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
fi
