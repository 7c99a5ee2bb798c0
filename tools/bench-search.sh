#!/usr/bin/env bash
# Benchmark of the "s" command's walk (prints figures, never fails).
#
# On a generated tree on the test drive D: of a private Wine prefix, medians
# of several runs of
#   1. Tavrino2 "s,D:,<pattern that matches nothing>" from start to end,
#      minus the 2 s hand-over,
#   2. a bare FindFirstFileA/FindNextFileA walk of the same tree (walk.exe),
#   3. cmd /c dir /s /b D:\<same pattern>,
# the search window in list mode (search_window_bench, driven from outside):
#   4. the same pattern: from pressing "Suchen" to the answer (a walk without finds),
#   5. "*": from pressing "Suchen" until the count shows (every file a find),
#   6. "Stop!" pressed during a "*" search: until the button reads "Suchen"
#      again, and until the count shows,
#   7. the silent search of the same pattern timed the same way, from its
#      start to its answer in the result file, minus the same on an empty
#      drive (start-up): the yardstick for 5, measured in the same rounds,
# and the pattern matcher's throughput on the host (pattern_bench).
#
#   tools/bench-search.sh [FOLDERS] [FILES_PER_FOLDER] [RUNS]     (default 5000 10 5)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
folders=${1:-5000}
files=${2:-10}
runs=${3:-5}
pattern=zzqq.nomatch

[[ -f build/win64/CMakeCache.txt ]] || cmake --preset win64 >/dev/null
cmake --build --preset win64 --target Tavrino2 Tav_uninstall walk search_window_bench >/dev/null
[[ -f build/host/CMakeCache.txt ]] || cmake --preset host >/dev/null
cmake --build --preset host --target pattern_bench >/dev/null

build=$root/build/win64
prefix=$build/wine/bench-search
bash tests/wine/harness.sh prefix "$build" "$prefix"

export WINEPREFIX=$prefix WINEDEBUG=-all WINEARCH=win64 LC_ALL=C.UTF-8
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d;winedbg.exe=d"
WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver64

xvfb_pid=
cleanup() {
    "$WINESERVER" -k 2>/dev/null || true
    [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$prefix"
}
trap cleanup EXIT

fifo=$(mktemp -u); mkfifo "$fifo"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
xvfb_pid=$!
read -r -t 20 n <"$fifo"; rm -f "$fifo"
export DISPLAY=:$n

# An empty fixed drive G: for the fixed start-up costs of each program.
mkdir -p "$prefix/drive_g"
ln -sfn ../drive_g "$prefix/dosdevices/g:"

# The tree: FOLDERS folders of FILES files each, on D:.
tree=$prefix/drive_d/bench
rm -rf "$tree"
python3 - "$tree" "$folders" "$files" <<'PY'
import os, sys
tree, folders, files = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
for f in range(folders):
    d = os.path.join(tree, "ordner%04d" % f)
    os.makedirs(d)
    for i in range(files):
        open(os.path.join(d, "datei%02d.txt" % i), "w").close()
PY

"$WINESERVER" -p 600
cp "$build/bin/walk.exe" "$build/bin/search_window_bench.exe" "$prefix/drive_c/tav/"
cd "$prefix/drive_c"

now() { date +%s.%N; }
# time_of CMD...: seconds the command took.
time_of() { local t0 t1; t0=$(now); "$@" >/dev/null 2>&1 || true; t1=$(now); echo "$t1 - $t0" | bc -l; }
median() { sort -g | awk '{a[NR]=$1} END {print (NR%2) ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2}'; }

entries=$("$WINE" C:\\tav\\walk.exe 'D:\' | tr -d '\r')
echo "tree: $folders folders x $files files on D: ($entries directory entries incl. . and ..), $runs runs each"

# Warm up every path once (the server, the programs, the file system cache).
"$WINE" C:\\tav\\Tavrino2.exe "s,D:,$pattern" >/dev/null 2>&1 || true
"$WINE" C:\\tav\\walk.exe 'D:\' >/dev/null 2>&1 || true
"$WINE" cmd /c dir /s /b "D:\\$pattern" >/dev/null 2>&1 || true

search=() walk=() dir=() search0=() walk0=() dir0=() lines=
for ((r = 0; r < runs; r++)); do
    t=$(time_of "$WINE" C:\\tav\\Tavrino2.exe "s,D:,$pattern")
    search+=("$(echo "$t - 2.0" | bc -l)")
    walk+=("$(time_of "$WINE" C:\\tav\\walk.exe 'D:\')")
    dir+=("$(time_of "$WINE" cmd /c dir /s /b "D:\\$pattern")")
    t=$(time_of "$WINE" C:\\tav\\Tavrino2.exe "s,G:,$pattern")
    search0+=("$(echo "$t - 2.0" | bc -l)")
    walk0+=("$(time_of "$WINE" C:\\tav\\walk.exe 'G:\')")
    dir0+=("$(time_of "$WINE" cmd /c dir /s /b "G:\\$pattern")")
    # The search window, in the same round as the others (the machine's load varies).
    lines+=$("$WINE" C:\\tav\\search_window_bench.exe 'D:' "$pattern" 1 'G:' | tr -d '\r')$'\n'
done
ms=$(printf '%s\n' "${search[@]}" | median)
mw=$(printf '%s\n' "${walk[@]}" | median)
md=$(printf '%s\n' "${dir[@]}" | median)
ms0=$(printf '%s\n' "${search0[@]}" | median)
mw0=$(printf '%s\n' "${walk0[@]}" | median)
md0=$(printf '%s\n' "${dir0[@]}" | median)

printf '\n%-52s %9s %14s\n' "median of $runs runs" "seconds" "entries/s"
printf '%-52s %9.3f %14.0f\n' "1. Tavrino2 s,D:,$pattern (minus 2 s hand-over)" "$ms" "$(echo "$entries / $ms" | bc -l)"
printf '%-52s %9.3f %14.0f\n' "2. bare FindFirstFileA/FindNextFileA walk" "$mw" "$(echo "$entries / $mw" | bc -l)"
printf '%-52s %9.3f %14.0f\n' "3. cmd /c dir /s /b D:\\$pattern" "$md" "$(echo "$entries / $md" | bc -l)"
printf '\nstart to end:         throughput 1 / 2 = %.2f (target >= 0.85), 1 / 3 = %.2f (target > 1)\n' \
    "$(echo "$mw / $ms" | bc -l)" "$(echo "$md / $ms" | bc -l)"
printf 'same on an empty fixed drive (start-up only): 1: %.3f s, 2: %.3f s, 3: %.3f s\n' "$ms0" "$mw0" "$md0"
printf 'walk alone (minus start-up): throughput 1 / 2 = %.2f, 1 / 3 = %.2f\n' \
    "$(echo "($mw - $mw0) / ($ms - $ms0)" | bc -l)" "$(echo "($md - $md0) / ($ms - $ms0)" | bc -l)"
echo "all runs (1 | 2 | 3): ${search[*]} | ${walk[*]} | ${dir[*]}"

lines=${lines%$'\n'}
column() { awk -v c="$1" '{print $c}' <<<"$lines" | median; }
mn=$(column 2) mf=$(column 4) finds=$(column 5) msb=$(column 7) msc=$(column 8) msl=$(column 10) mst=$(column 12)
maxstop=$(awk '{print $8}' <<<"$lines" | sort -g | tail -1)
walkalone=$(echo "$ms - $ms0" | bc -l)
printf '\n%-52s %9s %14s\n' "search window, median of $runs runs" "seconds" "entries/s"
printf '%-52s %9.3f %14.0f\n' "4. list mode $pattern: press to answer (no finds)" "$mn" "$(echo "$entries / $mn" | bc -l)"
printf '%-52s %9.3f %14.0f\n' "5. list mode *: press to count ($finds finds)" "$mf" "$(echo "$entries / $mf" | bc -l)"
printf '%-52s %9s %14.0f\n' "   finds listed per second" "" "$(echo "$finds / $mf" | bc -l)"
printf '%-52s %9.3f\n' "6. Stop!: until the button reads Suchen" "$msb"
printf '%-52s %9.3f   (slowest run %.3f)\n' "   Stop!: until the count shows" "$msc" "$maxstop"
silentwalk=$(echo "$msl - $mst" | bc -l)
printf '%-52s %9.3f %14.0f\n' "7. silent $pattern: start to answer, minus start-up" "$silentwalk" "$(echo "$entries / $silentwalk" | bc -l)"
printf '   (start to answer %.3f s, on the empty drive G: %.3f s)\n' "$msl" "$mst"
printf '\nlist mode * against the silent walk timed the same way: entries/s 5 / 7 = %.2f (target >= 0.8)\n' \
    "$(echo "$silentwalk / $mf" | bc -l)"
printf 'list mode * against the window'"'"'s own walk without finds: 5 / 4 = %.2f\n' "$(echo "$mn / $mf" | bc -l)"
printf 'the silent walk from 1 (start to end by the shell, minus start-up): %.3f s\n' "$walkalone"
echo "all runs (nofind | fill | finds | stop: button, count | silent, start):"
awk '{print "  " $2 " | " $4 " | " $5 " | " $7 ", " $8 " | " $10 ", " $12}' <<<"$lines"

echo
echo "pattern matcher on the host (names per second):"
"$root/build/host/bin/pattern_bench"
