#!/usr/bin/env bash
# Makes the installer twice, a second apart, from the same inputs: the same
# bytes both times, so nothing of the time or the machine gets into it.
#   same-bytes-test.sh MAKENSIS SCRIPT VSL_EXE ICON
set -euo pipefail
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for run in 1 2; do
    [[ $run == 2 ]] && sleep 1.1
    "$1" -V1 -WX -DVSL_EXE="$3" -DVSL_ICON="$4" -DVSL_OUTFILE="$work/setup-$run.exe" "$2"
done
cmp "$work/setup-1.exe" "$work/setup-2.exe" && echo "the same $(stat -c %s "$work/setup-1.exe") bytes both times"
