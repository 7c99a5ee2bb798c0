#!/usr/bin/env bash
# make-delay-lib.sh MINGW_PREFIX DLL OUTPUT
# Builds a delay-load import library for a Windows system DLL from the
# toolchain's own import library: every function it imports stays callable,
# but the DLL is loaded only when the program first calls into it.
set -euo pipefail
prefix=$1 dll=$2 out=$3
lib=$("$prefix-gcc-posix" -print-file-name="lib$dll.a")
def=${out%.a}.def
{
    echo "LIBRARY $dll.dll"
    echo "EXPORTS"
    # __imp_Name (x86_64) or __imp__Name@N (i686): the decorated name without "__imp_" and
    # the i686 leading underscore; dlltool -k drops the @N again for the import name.
    "$prefix-nm" -g "$lib" | sed -n 's/^.* I __imp_//p' | sed "s/^_//" | sort -u
} >"$def"
"$prefix-dlltool" -k --input-def "$def" --dllname "$dll.dll" --output-delaylib "$out"
