#!/usr/bin/env bash
# Tests installer/vsl-xdg-handler against the real xdg-utils and Wine:
#   xdg-handler-test.sh WINE_RUN VSL_SETUP.exe RECORDER.exe HANDLER
# Installs Vastrel with vsl-setup.exe /S into a Wine prefix cloned by
# WINE_RUN, puts the recorder in as a game, registers the handler in a
# throw-away home and opens links with xdg-open, which without a desktop
# environment takes its generic road. The user's own settings are never read
# or touched: HOME and the XDG folders all point into a temporary folder.
set -uo pipefail

wine_run=$1
setup=$2
recorder=$3
handler=$4

work=$(mktemp -d)
prefix=
passed=0
failed=0

# vsl.exe's windows go to a display of this test's own.
eval "$("$(dirname "$0")/../../tools/xvfb-start")"

cleanup() {
    if [[ -n $prefix ]]; then
        WINEPREFIX=$prefix wineserver -k 2>/dev/null
        rm -rf "$(dirname "$prefix")"
    fi
    rm -rf "$work"
    kill "$VSL_XVFB_PID" 2>/dev/null
}
trap cleanup EXIT

check() {
    local what=$1 expected=$2 actual=$3
    if [[ $expected == "$actual" ]]; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        printf 'FAILED: %s\n  expected: %s\n  actual:   %s\n' "$what" "$expected" "$actual"
    fi
}

# Everything below a folder, with each file's checksum, for before/after.
tree_of() {
    # shellcheck disable=SC2016 # expanded by sh -c
    (cd "$1" && find . -print0 | sort -z | xargs -0 -I{} sh -c \
        'if [ -f "{}" ]; then echo "{} $(md5sum <"{}" | cut -c1-32)"; else echo "{}"; fi')
}

# A home of its own for each case, in generic mode: no desktop environment.
fresh_home() {
    local home=$work/$1
    rm -rf "$home"
    mkdir -p "$home/home"
    export HOME=$home/home XDG_DATA_HOME=$home/data XDG_CONFIG_HOME=$home/config
    unset XDG_CURRENT_DESKTOP XDG_SESSION_DESKTOP DESKTOP_SESSION KDE_FULL_SESSION GNOME_DESKTOP_SESSION_ID
    unset XDG_DATA_DIRS XDG_CONFIG_DIRS BROWSER
}

query() {
    xdg-mime query default x-scheme-handler/vsl 2>/dev/null
}

# The game's record after xdg-open LINK, or nothing within 30 s.
open_and_record() {
    local record=$prefix/drive_c/Games/RTCW/WolfMP.exe.rec
    rm -f "$record"
    xdg-open "$1" >"$work/xdg-open.out" 2>&1 || cat "$work/xdg-open.out"
    for _ in $(seq 300); do
        if [[ -f $record ]]; then
            sed -n 's/^command_line=//p; s/^cwd=/cwd: /p' "$record"
            return
        fi
        sleep 0.1
    done
}

# --- a prefix with Vastrel installed by its installer and rtcw's stand-in.
VSL_KEEP_PREFIX=1 "$wine_run" "$setup" /S 2>"$work/wine-run.err"
status=$?
prefix=$(sed -n 's/^wine-run: kept prefix //p' "$work/wine-run.err")
if [[ $status -ne 0 || -z $prefix ]]; then
    cat "$work/wine-run.err"
    echo "xdg-handler-test: vsl-setup.exe /S failed ($status)"
    exit 1
fi
export WINEDEBUG=-all
mkdir -p "$prefix/drive_c/Games/RTCW"
cp "$recorder" "$prefix/drive_c/Games/RTCW/WolfMP.exe"
WINEPREFIX=$prefix wine reg add \
    'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Return to Castle Wolfenstein' \
    /v DisplayIcon /d 'C:\Games\RTCW' /f >/dev/null 2>&1

# --- install and remove in an empty home: afterwards the home is as before.
fresh_home empty
before=$(tree_of "$work/empty")
"$handler" install --prefix "$prefix" >/dev/null
check "the default handler after install" "vastrel-vsl.desktop" "$(query)"
entry=$XDG_DATA_HOME/applications/vastrel-vsl.desktop
check "the entry validates" "" "$(desktop-file-validate "$entry" 2>&1)"
check "the entry's Exec" "Exec=$XDG_DATA_HOME/vastrel/vsl-open %u" "$(grep '^Exec=' "$entry")"
"$handler" remove >/dev/null
check "the default handler after remove" "" "$(query)"
check "the home after install and remove" "$before" "$(tree_of "$work/empty")"

# --- links through xdg-open's generic mode reach the game as they were.
fresh_home open
"$handler" install --prefix "$prefix" >/dev/null
check "a plain link" "WolfMP.exe +set name Player +connect 10.0.0.1:27960
cwd: C:\\Games\\RTCW" "$(open_and_record 'vsl://rtcw/10.0.0.1:27960?name=Player')"
check "a link with blanks" "WolfMP.exe +set name Big Player +connect 10.0.0.1:27960
cwd: C:\\Games\\RTCW" "$(open_and_record 'vsl://rtcw/10.0.0.1:27960?name=Big Player')"
# Neither a shell nor Wine's start expands or splits any of this.
# shellcheck disable=SC2016 # meant as it stands
hostile='%WINDIR%$HOME|`id`'\''x&k=*?~ z&l=$(id)<>'
check "a link with shell characters" "WolfMP.exe +set name %WINDIR%\$HOME|\`id\`'x +set k *?~ z +set l \$(id)<> +connect 10.0.0.1:27960
cwd: C:\\Games\\RTCW" "$(open_and_record "vsl://rtcw/10.0.0.1:27960?name=$hostile")"
"$handler" remove >/dev/null
check "the default handler after remove" "" "$(query)"
check "the handler's files after remove" "" \
    "$(find "$XDG_DATA_HOME" "$XDG_CONFIG_HOME" -name 'vastrel*' -o -name 'vsl-open' -o -name mimeapps.list 2>/dev/null)"

# --- a home with settings of its own, and another default for vsl links:
# install takes over the links, remove gives them back and changes nothing else.
fresh_home settled
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME/applications"
printf '%s\n' '[Desktop Entry]' 'Type=Application' 'Name=Other' 'Exec=true %u' \
    'MimeType=x-scheme-handler/vsl;' >"$XDG_DATA_HOME/applications/other.desktop"
printf '%s\n' '[Default Applications]' 'text/html=browser.desktop' 'x-scheme-handler/vsl=other.desktop' '' \
    '[Added Associations]' 'image/png=viewer.desktop;' >"$XDG_CONFIG_HOME/mimeapps.list"
before=$(tree_of "$work/settled")
"$handler" install --prefix "$prefix" >/dev/null
check "the default handler over another one" "vastrel-vsl.desktop" "$(query)"
"$handler" install --prefix "$prefix" >/dev/null
check "the default handler after installing twice" "vastrel-vsl.desktop" "$(query)"
"$handler" remove >/dev/null
check "the default handler given back" "other.desktop" "$(query)"
check "the settled home after install and remove" "$before" "$(tree_of "$work/settled")"

# --- a data folder whose name needs quoting in Exec: a compliant launcher
# (GLib's) still runs the opener with the link. (GLib looks for the program
# before it turns a doubled percent sign back into one, so a folder name
# with a percent sign would defeat it.)
# shellcheck disable=SC2016 # the name is meant as it stands
fresh_home 'odd $name "q" `x`'
"$handler" install --prefix "$prefix" >"$work/odd.out"
entry=$XDG_DATA_HOME/applications/vastrel-vsl.desktop
check "the quoted entry validates" "" "$(desktop-file-validate "$entry" 2>&1)"
check "the note on generic xdg-open" "1" "$(grep -c 'splits the Exec line' "$work/odd.out")"
if command -v gio >/dev/null; then
    record=$prefix/drive_c/Games/RTCW/WolfMP.exe.rec
    rm -f "$record"
    gio launch "$entry" 'vsl://rtcw/10.0.0.1:27960?name=Quoted' >/dev/null 2>&1
    for _ in $(seq 300); do
        [[ -f $record ]] && break
        sleep 0.1
    done
    check "a link through a compliant launcher" "WolfMP.exe +set name Quoted +connect 10.0.0.1:27960" \
        "$(sed -n 's/^command_line=//p' "$record" 2>/dev/null)"
fi
"$handler" remove >/dev/null
check "the default handler after remove" "" "$(query)"

echo "$passed passed, $failed failed"
[[ $failed -eq 0 ]]
