#!/usr/bin/env bash
# Makes the installer twice from the same inputs and checks that both are the
# same bytes: nothing of the time or the machine gets into it.
#   same-bytes-test.sh MAKENSIS SCRIPT VSL_EXE ICON
set -euo pipefail
makensis=$1
script=$2
exe=$3
icon=$4

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for run in 1 2; do
    "$makensis" -V1 -WX -DVSL_EXE="$exe" -DVSL_ICON="$icon" -DVSL_OUTFILE="$work/setup-$run.exe" "$script"
    # A second apart, so that a time stamp in seconds would differ.
    [[ $run == 1 ]] && sleep 1.1
done
if cmp "$work/setup-1.exe" "$work/setup-2.exe"; then
    echo "the same $(stat -c %s "$work/setup-1.exe") bytes both times"
else
    echo "same-bytes-test: two builds of the installer differ" >&2
    exit 1
fi
