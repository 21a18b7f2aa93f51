#!/usr/bin/env bash
# Saves pictures of the display while the launcher shows its splash window:
#   screenshot.sh WINE_RUN DRIVER.exe OUTPUT_FOLDER
# Runs the driver's Screenshot test, which says through a file when the
# splash window is on screen, and saves OUTPUT_FOLDER/screen.png (the whole
# display) and OUTPUT_FOLDER/splash.png (the splash window's rectangle). Fails
# when no picture could be taken or the splash window's pixels on the display
# are not the title picture.
set -euo pipefail

wine_run=$1
driver=$2
out=$3

# A display of its own, so that no other test's window is in the picture.
tools=$(cd "$(dirname "$0")/../../tools" && pwd)
eval "$("$tools/xvfb-start")"
mkdir -p "$out"
rm -f "$out"/splash.ready "$out"/splash.taken "$out"/splash.expected.ppm "$out"/splash.png "$out"/splash.diff.png \
    "$out"/screen.png

VSL_OWN_DISPLAY= VSL_E2E_SHOT_DIR=$out "$wine_run" "$driver" --gtest_filter='Screenshot.*' &
driver_pid=$!
trap 'kill "$driver_pid" "$VSL_XVFB_PID" 2>/dev/null || true' EXIT

for _ in $(seq 600); do
    [ -e "$out/splash.ready" ] && break
    kill -0 "$driver_pid" 2>/dev/null || break
    sleep 0.05
done

taken=0
if [ -e "$out/splash.ready" ]; then
    read -r x y width height <"$out/splash.ready"
    xwd -root -display "$DISPLAY" | /usr/bin/convert xwd:- "$out/screen.png"
    touch "$out/splash.taken"
    /usr/bin/convert "$out/screen.png" -crop "${width}x${height}+${x}+${y}" +repage "$out/splash.png"
    taken=1
fi

status=0
wait "$driver_pid" || status=$?
kill "$VSL_XVFB_PID" 2>/dev/null || true
trap - EXIT

if [ "$taken" -ne 1 ]; then
    echo "screenshot.sh: the driver never said the splash window was on screen" >&2
    exit 1
fi
echo "saved $out/screen.png and $out/splash.png"

# compare prints the number of pixels that differ by more than the fuzz; the
# title picture's 5-bit channels may round on their way to the display.
different=$(/usr/bin/compare -metric AE -fuzz 4% "$out/splash.png" "$out/splash.expected.ppm" null: 2>&1 || true)
echo "pixels of the splash window on the display that differ from the title picture: $different"
if [ "$different" != 0 ]; then
    /usr/bin/compare -fuzz 4% "$out/splash.png" "$out/splash.expected.ppm" "$out/splash.diff.png" 2>/dev/null || true
    echo "screenshot.sh: see $out/splash.diff.png" >&2
    status=1
fi
exit "$status"
