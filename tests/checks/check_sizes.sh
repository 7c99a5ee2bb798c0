#!/usr/bin/env bash
# check_sizes.sh EXE[=MAX_BYTES]...: prints each program's size and fails when one
# is larger than its limit (an EXE without a limit is only printed). Sizes are
# deterministic for a given toolchain and source: a failure means the program grew.
set -u
status=0
for arg in "$@"; do
    exe=${arg%%=*} limit=
    [[ $arg == *=* ]] && limit=${arg#*=}
    size=$(stat -c %s "$exe") || { echo "FAIL $exe: missing"; status=1; continue; }
    printf '%-18s %9d bytes%s\n' "$(basename "$exe")" "$size" "${limit:+ (limit $limit)}"
    if [[ $limit ]] && ((size > limit)); then
        echo "FAIL $(basename "$exe") is larger than $limit bytes"; status=1
    fi
done
exit $status
