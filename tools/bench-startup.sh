#!/usr/bin/env bash
# Start-to-exit of Tavrino2.exe under Wine with a persistent wineserver, for
# the x86_64 build and the i686 build that ships (in a WoW64 prefix):
#   no-op     "c,makedir,<existing folder>": no window, no delay-loaded DLL
#   windowed  "c,killfolder,<empty folder>": the hidden owner window, the
#             shell's DLLs loaded, an empty folder removed
# against an empty Win32 program built the same way (and one that imports
# user32, gdi32 and advapi32 like every windowed program).
# Prints medians and ratios; never fails on slow figures.
#   tools/bench-startup.sh [RUNS]   (default 25)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
runs=${1:-25}

tools/install-deps.sh
fifo=$(mktemp -u); mkfifo "$fifo"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
xvfb=$!
read -r -t 20 n <"$fifo"; rm -f "$fifo"
export DISPLAY=:$n WINEDEBUG=-all WINEARCH=win64 LC_ALL=C.UTF-8
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d;winedbg.exe=d"
trap 'kill $xvfb 2>/dev/null || true' EXIT

wine=/usr/lib/wine/wine64
time_one() {  # EXE ARGS...: microseconds for one start-to-exit
    local t0 t1
    t0=$(date +%s%N)
    "$wine" "$@" >/dev/null 2>&1 || true
    t1=$(date +%s%N)
    echo $(( (t1 - t0) / 1000 ))
}
median() { sort -n | awk '{a[NR]=$1} END {print (NR%2 ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2)}'; }
windowed_run() {  # one killfolder of a freshly made empty folder
    mkdir -p "$WINEPREFIX/drive_c/bench-empty"
    time_one 'C:\tav\Tavrino2.exe' 'c,killfolder,C:\bench-empty'
}

bench() {  # PRESET
    local preset=$1 build prefix empty gui main windowed
    [[ -f build/$preset/CMakeCache.txt ]] || cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" --target Tavrino2 Tav_uninstall empty empty_gui tavrun >/dev/null
    build=$root/build/$preset
    prefix=$build/wine/bench
    bash tests/wine/harness.sh prefix "$build" "$prefix"
    export WINEPREFIX=$prefix
    /usr/lib/wine/wineserver64 -p 600
    mkdir -p "$prefix/drive_c/bench-exists"

    # Warm-up: the first start of each program pays for loading the DLLs.
    time_one 'C:\tav\empty.exe' >/dev/null
    time_one 'C:\tav\empty_gui.exe' >/dev/null
    time_one 'C:\tav\Tavrino2.exe' 'c,makedir,C:\bench-exists' >/dev/null
    windowed_run >/dev/null

    empty=$(for _ in $(seq "$runs"); do time_one 'C:\tav\empty.exe'; done | median)
    gui=$(for _ in $(seq "$runs"); do time_one 'C:\tav\empty_gui.exe'; done | median)
    main=$(for _ in $(seq "$runs"); do time_one 'C:\tav\Tavrino2.exe' 'c,makedir,C:\bench-exists'; done | median)
    windowed=$(for _ in $(seq "$runs"); do windowed_run; done | median)
    /usr/lib/wine/wineserver64 -k 2>/dev/null || true
    rm -rf "$prefix"

    echo "== $preset ($runs runs each, medians)"
    awk -v e="$empty" -v g="$gui" -v m="$main" -v w="$windowed" 'BEGIN {
        printf "empty Win32 program:                          %7.1f ms\n", e / 1000
        printf "empty program importing user32, gdi32, advapi32: %4.1f ms\n", g / 1000
        printf "Tavrino2 no-op (c,makedir,<exists>):          %7.1f ms  (%.2f x empty, %.2f x empty with user32)\n", m / 1000, m / e, m / g
        printf "Tavrino2 windowed (c,killfolder,<empty>):     %7.1f ms  (%.2f x empty)\n", w / 1000, w / e }'
    printf 'sizes: Tavrino2.exe %d bytes, empty.exe %d bytes\n' \
        "$(stat -c %s "$build/bin/Tavrino2.exe")" "$(stat -c %s "$build/bin/empty.exe")"
}

bench win64
bench win32
