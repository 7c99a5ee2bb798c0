#!/usr/bin/env bash
# check_imports.sh OBJDUMP EXE...: every DLL an executable imports is a
# Windows system DLL, and the program is a GUI program.
set -u
objdump=$1; shift
allowed=' kernel32.dll user32.dll gdi32.dll shell32.dll ole32.dll oleaut32.dll comdlg32.dll comctl32.dll advapi32.dll imagehlp.dll msvcrt.dll shlwapi.dll '
status=0
for exe in "$@"; do
    dump=$("$objdump" -p "$exe") || { echo "FAIL $exe: objdump failed"; status=1; continue; }
    grep -q 'Subsystem.*Windows GUI' <<<"$dump" || { echo "FAIL $exe: not a GUI program"; status=1; }
    dlls=$(sed -n 's/^\s*DLL Name: //p' <<<"$dump" | tr 'A-Z' 'a-z')
    for dll in $dlls; do
        if [[ $allowed != *" $dll "* ]]; then echo "FAIL $exe imports $dll"; status=1; fi
    done
    echo "$(basename "$exe"): $(echo $dlls)"
done
exit $status
