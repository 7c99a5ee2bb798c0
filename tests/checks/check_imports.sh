#!/usr/bin/env bash
# check_imports.sh OBJDUMP EXE...: every DLL an executable imports is a
# Windows system DLL that Windows always takes from the system folder (a
# known DLL), and the program is a GUI program.
#
# A DLL imported at start-up is found before the program's first instruction,
# so the program cannot restrict where it is searched: only a known DLL is
# never searched in the program's own folder (for the uninstaller that is the
# temp folder). Every other DLL (comctl32, which comes from the side-by-side
# store) is delay-loaded, after the program has restricted the search to the
# system folder. The functions that restriction needs are newer than
# Windows 7 without its update and are looked up at run time: importing them
# would keep the programs from starting there.
set -u
objdump=$1; shift
known=' kernel32.dll user32.dll gdi32.dll advapi32.dll msvcrt.dll shell32.dll ole32.dll oleaut32.dll comdlg32.dll shlwapi.dll imagehlp.dll '
looked_up=' SetDefaultDllDirectories AddDllDirectory RemoveDllDirectory '
status=0
for exe in "$@"; do
    dump=$("$objdump" -p "$exe") || { echo "FAIL $exe: objdump failed"; status=1; continue; }
    grep -q 'Subsystem.*Windows GUI' <<<"$dump" || { echo "FAIL $exe: not a GUI program"; status=1; }
    dlls=$(sed -n 's/^\s*DLL Name: //p' <<<"$dump" | tr 'A-Z' 'a-z')
    for dll in $dlls; do
        if [[ $known != *" $dll "* ]]; then echo "FAIL $exe imports $dll, which is no known DLL"; status=1; fi
    done
    # objdump lists each imported function as "<address> <hint> <name>" below its DLL.
    for function in $(awk 'NF == 3 && $1 ~ /^[0-9a-f]+$/ && $2 ~ /^[0-9]+$/ {print $3}' <<<"$dump"); do
        if [[ $looked_up == *" $function "* ]]; then echo "FAIL $exe imports $function (to be looked up at run time)"; status=1; fi
    done
    echo "$(basename "$exe"): $(echo $dlls)"
done
exit $status
