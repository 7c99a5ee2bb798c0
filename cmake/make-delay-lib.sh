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

# In each function's member the code holds both the direct stub (jmp through
# the address slot) and, behind it, the entry that loads the DLL; the slot
# starts out pointing at that entry. The i686 linker drops the code of an
# import-library member whose symbol is defined and called by nobody directly
# (the program calls through __imp_ only), which in a delay-load library drops
# the loading entry too: the slot is then 0 and the first call jumps there.
# The stub symbols are made weak: the linker leaves the code of weak symbols
# alone, and a direct call (a few headers declare functions without dllimport,
# SHGetKnownFolderPath for one) still finds its stub here.
if [[ $prefix == i686-* ]]; then
    stubs=${out%.a}.stubs
    "$prefix-nm" "$out" 2>/dev/null | awk '$2 == "T" && $3 !~ /^___tailMerge_/ { print $3 }' |
        sort -u >"$stubs"
    "$prefix-objcopy" --weaken-symbols="$stubs" "$out"
fi
