#!/usr/bin/env bash
# Installs what building and testing need on a Debian machine, once.
# Idempotent and quiet when everything is there already.
#
# Each Debian package is checked by its package state, never by a command
# name: another program called `convert` or `cmake` on the PATH is not the
# package the build needs.
set -euo pipefail

packages=(
    g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
    binutils-mingw-w64-x86-64 binutils-mingw-w64-i686
    wine64 wine            # the x86_64 loader and server the tests call directly
    wine32:i386            # runs the shipped 32-bit programs through WoW64
    xvfb imagemagick cmake ninja-build g++ clang python3 googletest
    libclang-rt-dev        # libFuzzer and the sanitizers' runtimes for clang
)

installed() {  # PACKAGE: true when dpkg has it installed and configured
    [[ $(dpkg-query -W -f='${db:Status-Status}' "$1" 2>/dev/null) == installed ]]
}

# wine32 comes from the i386 architecture; add it once.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    echo "install-deps: adding the i386 architecture" >&2
    dpkg --add-architecture i386
fi

need=()
for p in "${packages[@]}"; do installed "$p" || need+=("$p"); done

if ((${#need[@]})); then
    echo "install-deps: installing ${need[*]}" >&2
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
fi

# What the build calls must be the packages' own programs.
for f in /usr/lib/wine/wine64 /usr/bin/Xvfb /usr/src/googletest/CMakeLists.txt; do
    [[ -e $f ]] || { echo "install-deps: $f is missing after the install" >&2; exit 1; }
done
if ! { /usr/bin/convert-im6.q16 -version || /usr/bin/convert -version; } 2>/dev/null | grep -q ImageMagick; then
    echo "install-deps: /usr/bin/convert is not ImageMagick's" >&2
    exit 1
fi
