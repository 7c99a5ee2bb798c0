#!/usr/bin/env bash
# Start-to-exit of Tavrino2.exe "c,makedir,<existing folder>" against an empty
# Win32 program built the same way (and one that imports user32, gdi32 and
# advapi32 like every windowed program), under wine64 with a persistent wineserver.
# Prints medians and their ratio; never fails on slow figures.
#   tools/bench-startup.sh [RUNS]   (default 25)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
runs=${1:-25}

tools/install-deps.sh
[[ -f build/win64/CMakeCache.txt ]] || cmake --preset win64 >/dev/null
cmake --build --preset win64 --target Tavrino2 Tav_uninstall empty empty_gui tavrun >/dev/null

build=$root/build/win64
prefix=$build/wine/bench
bash tests/wine/harness.sh prefix "$build" "$prefix"
export WINEPREFIX=$prefix WINEDEBUG=-all WINEARCH=win64 LC_ALL=C.UTF-8
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d;winedbg.exe=d"
fifo=$(mktemp -u); mkfifo "$fifo"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
xvfb=$!
read -r -t 20 n <"$fifo"; rm -f "$fifo"
export DISPLAY=:$n
trap '/usr/lib/wine/wineserver64 -k 2>/dev/null || true; kill $xvfb 2>/dev/null || true' EXIT
/usr/lib/wine/wineserver64 -p 600
mkdir -p "$prefix/drive_c/bench-exists"

wine=/usr/lib/wine/wine64
time_one() {  # EXE ARGS...: seconds for one start-to-exit
    local t0 t1
    t0=$(date +%s%N)
    "$wine" "$@" >/dev/null 2>&1 || true
    t1=$(date +%s%N)
    echo $(( (t1 - t0) / 1000 ))
}
median() { sort -n | awk '{a[NR]=$1} END {print (NR%2 ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2)}'; }

# Warm-up: the first start of each program pays for loading the DLLs.
time_one 'C:\tav\empty.exe' >/dev/null
time_one 'C:\tav\empty_gui.exe' >/dev/null
time_one 'C:\tav\Tavrino2.exe' 'c,makedir,C:\bench-exists' >/dev/null

empty=$(for _ in $(seq "$runs"); do time_one 'C:\tav\empty.exe'; done | median)
gui=$(for _ in $(seq "$runs"); do time_one 'C:\tav\empty_gui.exe'; done | median)
main=$(for _ in $(seq "$runs"); do time_one 'C:\tav\Tavrino2.exe' 'c,makedir,C:\bench-exists'; done | median)
printf 'runs each:                          %d\n' "$runs"
awk -v e="$empty" -v g="$gui" -v m="$main" 'BEGIN {
    printf "empty Win32 program, median:         %.1f ms\n", e / 1000
    printf "empty program importing user32, gdi32, advapi32, median: %.1f ms\n", g / 1000
    printf "Tavrino2 c,makedir,<exists>, median: %.1f ms\n", m / 1000
    printf "ratio Tavrino2 / empty:              %.2f\n", m / e
    printf "ratio Tavrino2 / empty with user32:  %.2f\n", m / g }'
printf 'sizes: Tavrino2.exe %d bytes, empty.exe %d bytes\n' \
    "$(stat -c %s "$build/bin/Tavrino2.exe")" "$(stat -c %s "$build/bin/empty.exe")"
