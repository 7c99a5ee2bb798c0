#!/usr/bin/env bash
# Runs the Windows test programs under wine64 with an Xvfb display.
#
#   harness.sh setup   BUILD_DIR [PROBE]   template prefix (once per build) and Xvfb; PROBE,
#                                          an empty program of the build, tells whether this
#                                          machine can run the build's programs at all
#   harness.sh cleanup BUILD_DIR           stops Xvfb and every wineserver of the build
#   harness.sh run     BUILD_DIR EXE ARGS  one test program in a fresh copy of the template
#   harness.sh prefix  BUILD_DIR DIR       a copy of the template at DIR (for ./tavrino)
#
# Only this script knows about Wine; the test programs are plain Windows programs.
set -euo pipefail

cmd=$1
build=$(cd "$2" && pwd)
state=$build/wine
template=$state/template
WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver64

export WINEDEBUG=-all WINEARCH=win64
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d;winedbg.exe=d"
export LC_ALL=C.UTF-8

log() { echo "harness: $*" >&2; }

# ImageMagick's own program (another `convert` may come first on the PATH).
IMAGEMAGICK=$(command -v convert-im6.q16 || echo /usr/bin/convert)

# A prefix that keeps tests inside it: real user folders instead of links into
# the Linux home folder, no Z: (the Linux root), and test drives:
#   D: fixed drive (folder drive_d), E: CD-ROM (folder drive_e), F: not ready.
make_template() {
    if [[ -f $template/.ready ]] && links_stay_inside "$template" && runs_what_wine_can "$template"
    then return 0; fi
    rm -rf "$template" "$template.tmp"
    mkdir -p "$state"
    log "creating the template prefix (once per build)"
    WINEPREFIX=$template.tmp "$WINE" wineboot -i >/dev/null 2>&1
    WINEPREFIX=$template.tmp "$WINESERVER" -w
    # Wine links the user folders (and some below them, such as Templates) into
    # the Linux home folder: every link under drive_c becomes a plain folder.
    local link
    while IFS= read -r -d '' link; do
        rm "$link"; mkdir -p "$link"
    done < <(find "$template.tmp/drive_c" -type l -print0)
    mkdir -p "$template.tmp"/drive_c/users/"$(id -un)"/Temp
    mkdir -p "$template.tmp/drive_d" "$template.tmp/drive_e"
    rm -f "$template.tmp"/dosdevices/[d-z]:
    ln -s ../drive_d "$template.tmp/dosdevices/d:"
    ln -s ../drive_e "$template.tmp/dosdevices/e:"
    ln -s /nonexistent/tavrino-drive-f "$template.tmp/dosdevices/f:"
    WINEPREFIX=$template.tmp "$WINE" reg add 'HKLM\Software\Wine\Drives' /v e: /d cdrom /f >/dev/null 2>&1
    # Xvfb has no window manager: unmanaged windows spare a 2 s wait after every
    # closed message box.
    WINEPREFIX=$template.tmp "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    WINEPREFIX=$template.tmp "$WINESERVER" -w
    links_stay_inside "$template.tmp" || { log "the new template still links out of itself"; exit 1; }
    touch "$template.tmp/.ready"
    mv "$template.tmp" "$template"
}

# A 64-bit prefix runs 32-bit programs (through WoW64, as 64-bit Windows does)
# only when it was made with Wine's 32-bit half installed: a template made
# before that is made again.
runs_what_wine_can() {  # PREFIX
    [[ ! -d /usr/lib/i386-linux-gnu/wine || -d $1/drive_c/windows/syswow64 ]]
}

# True when no link on the prefix's drives leads out of the prefix. A test of
# a destructive action that went wrong could otherwise reach the files of the
# machine that runs the tests.
links_stay_inside() {  # PREFIX
    local prefix link target ok=0
    prefix=$(cd "$1" && pwd -P)
    while IFS= read -r -d '' link; do
        target=$(readlink -m -- "$link")
        case $target in
            "$prefix"/*) ;;
            *) log "$link leads out of the prefix (to $target)"; ok=1 ;;
        esac
    done < <(find "$prefix"/drive_[a-z] -type l -print0 2>/dev/null)
    return $ok
}

# Links that the tests of the protected-folder guard need, all inside the
# prefix (the tests cannot make them: Wine's CreateSymbolicLink does nothing;
# the race tests' links are made by exchange_on_open.py during the run):
#   D:\Verweise\Dokumente  a symbolic link to the user's Documents
#   D:\Verweise\Leeren\Verweis  a link inside an ordinary folder, to C:\Gesendet
#   S:  a drive substituted for the user's profile folder
#   D:\Verweise\Kill\verweis.tmp  a link among kill's matches, to the document
#                              C:\Gesendet\Dokument.tmp
make_fixture_links() {  # PREFIX
    local p=$1 user
    user=$(id -un)
    mkdir -p "$p/drive_d/Verweise/Leeren" "$p/drive_d/Verweise/Kill" "$p/drive_c/Gesendet"
    ln -sfn "../../drive_c/users/$user/Documents" "$p/drive_d/Verweise/Dokumente"
    ln -sfn "../../../drive_c/Gesendet" "$p/drive_d/Verweise/Leeren/Verweis"
    printf bleibt >"$p/drive_c/Gesendet/Dokument.tmp"
    ln -sfn "../../../drive_c/Gesendet/Dokument.tmp" "$p/drive_d/Verweise/Kill/verweis.tmp"
    ln -sfn "../drive_c/users/$user" "$p/dosdevices/s:"
}

# Links that stand where a delete action's operand points (TAV_OPERAND_LINKS),
# each leading to a folder inside the prefix that the tests fill:
#   D:\Verweise\Ordner1 -> C:\Verweisziel\Eins
#   D:\Verweise\Ordner2 -> C:\Verweisziel\Zwei
#   D:\Verweise\Ordner3 -> C:\Verweisziel\Drei
make_operand_links() {  # PREFIX
    local p=$1
    mkdir -p "$p/drive_d/Verweise" "$p/drive_c/Verweisziel"
    ln -sfn "../../drive_c/Verweisziel/Eins" "$p/drive_d/Verweise/Ordner1"
    ln -sfn "../../drive_c/Verweisziel/Zwei" "$p/drive_d/Verweise/Ordner2"
    ln -sfn "../../drive_c/Verweisziel/Drei" "$p/drive_d/Verweise/Ordner3"
}

start_xvfb() {
    if [[ -f $state/xvfb.pid ]] && kill -0 "$(cat "$state/xvfb.pid")" 2>/dev/null; then return 0; fi
    local fifo=$state/xvfb.fd
    rm -f "$fifo"; mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
    echo $! >"$state/xvfb.pid"
    local display
    read -r -t 20 display <"$fifo" || { log "Xvfb did not start"; exit 1; }
    rm -f "$fifo"
    echo ":$display" >"$state/display"
    log "Xvfb on :$display"
}

stop_xvfb() {
    if [[ -f $state/xvfb.pid ]]; then
        kill "$(cat "$state/xvfb.pid")" 2>/dev/null || true
        rm -f "$state/xvfb.pid" "$state/display"
    fi
}

display() {
    if [[ -n ${DISPLAY:-} && ! -f $state/display ]]; then echo "$DISPLAY"; return; fi
    [[ -f $state/display ]] || start_xvfb
    cat "$state/display"
}

# The programs under test and their helpers (test servers, small tools) live in C:\tav.
copy_programs() {  # PREFIX
    cp "$build"/bin/*.exe "$1/drive_c/tav/"
    if compgen -G "$build/bin/*.dll" >/dev/null; then cp "$build"/bin/*.dll "$1/drive_c/tav/"; fi
}

copy_template() {  # DEST
    rm -rf "$1"
    cp -a --reflink=auto "$template" "$1"
    mkdir -p "$1/drive_c/tav"
    copy_programs "$1"
}

stop_servers_of() {  # PREFIX...
    local p
    for p in "$@"; do
        [[ -d $p ]] && WINEPREFIX=$p "$WINESERVER" -k 2>/dev/null || true
    done
}

# Whether the programs of this build can run here: a 32-bit program needs a
# kernel that runs 32-bit code and Wine's 32-bit half (package wine32:i386).
# Where they cannot, $state/cannot-run says why and every test program of the
# build reports itself as not run.
probe_programs() {  # PROBE_EXE
    rm -f "$state/cannot-run"
    local probe=$1 code=0
    # Started by its Windows path: a 32-bit program given by its Linux path
    # is not found in a prefix without drive Z:.
    mkdir -p "$template/drive_c/probe"
    cp "$probe" "$template/drive_c/probe/"
    WINEPREFIX=$template "$WINE" "C:\\probe\\$(basename "$probe")" >/dev/null 2>&1 || code=$?
    WINEPREFIX=$template "$WINESERVER" -w
    rm -rf "$template/drive_c/probe"
    if ((code != 0)); then
        echo "an empty program of this build ($(basename "$probe")) did not run under Wine" \
             "(exit code $code): this machine cannot run $(program_kind "$probe") Windows programs" \
             >"$state/cannot-run"
        log "$(cat "$state/cannot-run")"
    fi
}

program_kind() {  # EXE: "32-bit" or "64-bit"
    if od -An -tx1 -j"$(( $(od -An -tu4 -j60 -N4 "$1") + 4 ))" -N2 "$1" | grep -q '4c 01'; then
        echo 32-bit
    else
        echo 64-bit
    fi
}

case $cmd in
setup)
    mkdir -p "$state"
    make_template
    start_xvfb
    [[ -n ${3:-} ]] && probe_programs "$3"
    exit 0
    ;;
cleanup)
    stop_servers_of "$state"/run-* "$template"
    rm -rf "$state"/run-*
    stop_xvfb
    ;;
prefix)
    make_template
    dest=$3
    if [[ ! -f $dest/.ready ]]; then copy_template "$dest"; else copy_programs "$dest"; fi
    ;;
run)
    exe=$3; shift 3
    if [[ -f $state/cannot-run ]]; then
        log "not run: $(cat "$state/cannot-run")"
        exit 77
    fi
    make_template
    name=$(basename "$exe" .exe)
    prefix=$state/run-$name
    copy_template "$prefix"
    [[ ${TAV_FIXTURE_LINKS:-} ]] && make_fixture_links "$prefix"
    [[ ${TAV_OPERAND_LINKS:-} ]] && make_operand_links "$prefix"
    links_stay_inside "$prefix" || { log "refusing to run $name"; exit 1; }
    export WINEPREFIX=$prefix DISPLAY
    DISPLAY=$(display)
    "$WINESERVER" -p 600
    # The guard's race tests have folders exchanged with links when a program
    # opens them (tests/wine/exchange_on_open.py); the links stay inside the prefix.
    exchanger=
    if [[ ${TAV_FIXTURE_LINKS:-} ]]; then
        python3 "$(dirname "${BASH_SOURCE[0]}")/exchange_on_open.py" "$prefix" &
        exchanger=$!
    fi
    trap 'stop_servers_of "$prefix"; [[ -z $exchanger ]] || kill "$exchanger" 2>/dev/null || true' EXIT
    code=0
    # The program was copied into C:\tav with the programs under test and is
    # started from there (a 32-bit one is not found by its Linux path).
    cp "$exe" "$prefix/drive_c/tav/"
    (cd "$prefix/drive_c" && "$WINE" "C:\\tav\\$(basename "$exe")" "$@") || code=$?
    if [[ -n $exchanger ]]; then kill "$exchanger" 2>/dev/null || true; wait "$exchanger" 2>/dev/null || true; fi
    # Pictures the tests saved for people to look at.
    if compgen -G "$prefix/drive_c/screenshots/*.bmp" >/dev/null; then
        mkdir -p "$build/screenshots"
        for bmp in "$prefix"/drive_c/screenshots/*.bmp; do
            "$IMAGEMAGICK" "$bmp" "$build/screenshots/$(basename "$bmp" .bmp).png" 2>/dev/null || true
        done
    fi
    stop_servers_of "$prefix"
    trap - EXIT
    [[ ${TAV_KEEP_PREFIX:-} ]] || rm -rf "$prefix"
    exit $code
    ;;
*)
    echo "usage: $0 setup|cleanup|run|prefix BUILD_DIR ..." >&2; exit 2 ;;
esac
