#!/usr/bin/env bash
# installer/vsl-xdg-handler against the real xdg-utils and Wine:
#   xdg-handler-test.sh WINE_RUN VSL_SETUP.exe RECORDER.exe HANDLER
# vsl-setup.exe /S installs Vastrel into a prefix that WINE_RUN clones, the
# recorder stands in for rtcw, and the handler goes into throw-away homes
# (HOME and the XDG folders: the user's own are never read), where xdg-open,
# without a desktop environment, takes its generic road.
set -uo pipefail
wine_run=$1 setup=$2 recorder=$3 handler=$4
work=$(mktemp -d)
prefix=
passed=0
failed=0
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

check() { # what, expected, actual
    if [[ $2 == "$3" ]]; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        printf "FAILED: %s\n" "$1"
        diff <(echo "$2") <(echo "$3")
    fi
}
# Every file and folder below a home, with each file's checksum.
tree_of() { (cd "$work/$1" && find . | sort && find . -type f -exec md5sum {} + | sort); }
fresh_home() {
    # GLib's cache is none of the handler's doing.
    export HOME=$work/$1/home XDG_DATA_HOME=$work/$1/data XDG_CONFIG_HOME=$work/$1/config XDG_CACHE_HOME=$work/cache
    mkdir -p "$HOME"
    unset XDG_CURRENT_DESKTOP XDG_SESSION_DESKTOP DESKTOP_SESSION KDE_FULL_SESSION GNOME_DESKTOP_SESSION_ID
    unset XDG_DATA_DIRS XDG_CONFIG_DIRS BROWSER
}
default_handler() { xdg-mime query default x-scheme-handler/vsl 2>/dev/null; }
# The game's folder and command line once the command has opened a link; nothing within 30 s.
game_started_by() {
    rm -f "$record"
    "$@" >/dev/null 2>&1
    for _ in $(seq 300); do
        [[ -f $record ]] && break
        sleep 0.1
    done
    sed 1d "$record" 2>/dev/null
}

VSL_KEEP_PREFIX=1 "$wine_run" "$setup" /S 2>"$work/wine-run.err"
status=$?
prefix=$(sed -n 's/^wine-run: kept prefix //p' "$work/wine-run.err")
if [[ $status -ne 0 || -z $prefix ]]; then
    cat "$work/wine-run.err"
    echo "xdg-handler-test: vsl-setup.exe /S failed ($status)"
    exit 1
fi
# Wine's menu builder, which writes the prefix's file types into the home,
# is none of the handler's doing.
export WINEDEBUG=-all WINEDLLOVERRIDES=winemenubuilder.exe=d
mkdir -p "$prefix/drive_c/Games/RTCW"
cp "$recorder" "$prefix/drive_c/Games/RTCW/WolfMP.exe"
record=$prefix/drive_c/Games/RTCW/WolfMP.exe.rec
WINEPREFIX=$prefix wine reg add 'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Return to Castle Wolfenstein' \
    /v DisplayIcon /d 'C:\Games\RTCW' /f >/dev/null 2>&1

# A home with settings of its own and another default for vsl links: install
# (twice) takes the links over, a link reaches the game through xdg-open as it
# was written, since neither a shell nor Wine's start expands or splits any
# of it, and remove gives the links back and changes nothing else.
fresh_home settled
mkdir -p "$XDG_DATA_HOME/applications" "$XDG_CONFIG_HOME"
printf '%s\n' '[Desktop Entry]' 'Type=Application' 'Name=Other' 'Exec=true %u' 'MimeType=x-scheme-handler/vsl;' \
    >"$XDG_DATA_HOME/applications/other.desktop"
printf '%s\n' '[Default Applications]' 'x-scheme-handler/vsl=other.desktop' '' '[Added Associations]' \
    'image/png=viewer.desktop;' >"$XDG_CONFIG_HOME/mimeapps.list"
before=$(tree_of settled)
"$handler" install --prefix "$prefix" >/dev/null
"$handler" install --prefix "$prefix" >/dev/null
check "the default handler" vastrel-vsl.desktop "$(default_handler)"
entry=$XDG_DATA_HOME/applications/vastrel-vsl.desktop
check "the entry validates" "" "$(desktop-file-validate "$entry" 2>&1)"
check "the entry's Exec" "Exec=$XDG_DATA_HOME/vastrel/vsl-open %u" "$(grep '^Exec=' "$entry")"
# shellcheck disable=SC2016 # meant as it stands
hostile='Big %WINDIR%$HOME|`id`'\''x&k=*?~ z&l=$(id)<>'
check "a link through xdg-open" "C:\\Games\\RTCW
WolfMP.exe +set name Big %WINDIR%\$HOME|\`id\`'x +set k *?~ z +set l \$(id)<> +connect 10.0.0.1:27960" \
    "$(game_started_by xdg-open "vsl://rtcw/10.0.0.1:27960?name=$hostile")"
"$handler" remove >/dev/null
check "the default handler given back" other.desktop "$(default_handler)"
check "the settled home after install and remove" "$before" "$(tree_of settled)"

# An empty home whose data folder's name needs quoting in Exec: a compliant
# launcher (GLib's) still runs the opener with the link, the generic
# xdg-open is warned of, and remove leaves the home as it was.
# shellcheck disable=SC2016 # the name is meant as it stands
odd='odd $name "q" `x`'
fresh_home "$odd"
before=$(tree_of "$odd")
"$handler" install --prefix "$prefix" >"$work/odd.out"
entry=$XDG_DATA_HOME/applications/vastrel-vsl.desktop
check "the quoted entry validates" "" "$(desktop-file-validate "$entry" 2>&1)"
check "the note on generic xdg-open" 1 "$(grep -c 'splits the Exec line' "$work/odd.out")"
check "a link through a compliant launcher" "C:\\Games\\RTCW
WolfMP.exe +set name Quoted +connect 10.0.0.1:27960" \
    "$(game_started_by gio launch "$entry" 'vsl://rtcw/10.0.0.1:27960?name=Quoted')"
"$handler" remove >/dev/null
check "the default handler after remove" "" "$(default_handler)"
check "the empty home after install and remove" "$before" "$(tree_of "$odd")"

echo "$passed passed, $failed failed"
[[ $failed -eq 0 ]]
