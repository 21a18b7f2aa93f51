# shellcheck shell=bash
# What the shell tests under Wine share: a work folder, a display, the prefix,
# homes and checks. cleanup_first names a function that ends what they start.
work=$(mktemp -d)
utf8=(env LANG=C.UTF-8 LC_ALL=C.UTF-8)
# How many times longer than natively waits on Wine may take here.
read -r slowness _ < <("$(dirname "${BASH_SOURCE[0]}")/../../tools/wine-speed")
prefix='' passed=0 failed=0 cleanup_first=true
eval "$("$(dirname "${BASH_SOURCE[0]}")/../../tools/xvfb-start")"
# shellcheck disable=SC2317 # called by the trap
cleanup() {
    "$cleanup_first"
    if [[ -n $prefix ]]; then
        WINEPREFIX=$prefix wineserver -k 2>/dev/null
        rm -rf "$(dirname "$prefix")"
    fi
    kill "$VSL_XVFB_PID" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 143' INT TERM

check() { # what, expected, actual
    if [[ $2 == "$3" ]]; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        printf 'FAILED %s\n  expected: %q\n  actual:   %q\n' "$1" "$2" "$3"
    fi
}
finish() {
    echo "$passed passed, $failed failed"
    [[ $failed -eq 0 ]]
}
wait_for() { # a command that succeeds, within wait_ticks of 0.1 s (90 s, as browsers are slow on a busy machine), stretched by the slowness
    for _ in $(seq $((${wait_ticks:-900} * slowness))); do
        "$@" 2>/dev/null && return 0
        sleep 0.1
    done
    return 1
}

# WINE_RUN VSL_SETUP.exe RECORDER.exe: the prefix, with rtcw registered as its
# installer does and the recorder as its program, $game.
install_prefix() {
    VSL_KEEP_PREFIX=1 "${utf8[@]}" "$1" "$2" /S 2>"$work/wine-run.err"
    local status=$?
    prefix=$(sed -n 's/^wine-run: kept prefix //p' "$work/wine-run.err")
    if [[ $status -ne 0 || -z $prefix ]]; then
        cat "$work/wine-run.err"
        echo "vsl-setup.exe /S failed ($status)"
        exit 1
    fi
    game=$prefix/drive_c/Games/RTCW/WolfMP.exe
    mkdir -p "$(dirname "$game")"
    cp "$3" "$game"
    WINEPREFIX=$prefix "${utf8[@]}" wine reg add \
        'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Return to Castle Wolfenstein' \
        /v DisplayIcon /d 'C:\Games\RTCW' /f >/dev/null 2>&1 || { echo "cannot write the registry"; exit 1; }
}

# A home of its own below $work/NAME: HOME and the XDG folders, so that the
# user's own are never read, and no desktop environment.
fresh_home() {
    export HOME=$work/$1/home XDG_DATA_HOME=$work/$1/data XDG_CONFIG_HOME=$work/$1/config XDG_CACHE_HOME=$work/cache
    mkdir -p "$HOME"
    unset XDG_CURRENT_DESKTOP XDG_SESSION_DESKTOP DESKTOP_SESSION KDE_FULL_SESSION GNOME_DESKTOP_SESSION_ID
    unset XDG_DATA_DIRS XDG_CONFIG_DIRS BROWSER DBUS_SESSION_BUS_ADDRESS
}
