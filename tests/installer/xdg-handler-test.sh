#!/usr/bin/env bash
# installer/vsl-xdg-handler against the real xdg-utils and Wine:
#   xdg-handler-test.sh WINE_RUN VSL_SETUP.exe RECORDER.exe HANDLER
# The handler goes into throw-away homes, where xdg-open, without a desktop
# environment, takes its generic road.
set -uo pipefail
handler=$4
# shellcheck source=../support/installed-prefix.sh
source "$(dirname "$0")/../support/installed-prefix.sh"

default_handler() { xdg-mime query default x-scheme-handler/vsl 2>/dev/null; }
# Every file and folder below a home, with each file's checksum.
tree_of() { (cd "$work/$1" && find . | sort && find . -type f -exec md5sum {} + | sort); }
# The game's folder and command line once the command has opened a link.
game_started_by() {
    rm -f "$game.rec"
    "$@" >/dev/null 2>&1
    wait_for test -f "$game.rec" && sed 1d "$game.rec"
}

install_prefix "$1" "$2" "$3"
# Wine's menu builder, which writes the prefix's file types into the home,
# is none of the handler's doing.
export WINEDEBUG=-all WINEDLLOVERRIDES=winemenubuilder.exe=d

# Where the kernel runs no 32-bit code, Wine's loader is refused with "Exec
# format error": install says so and what to do, and installs nothing.
fresh_home no32
printf '%s\n' '#!/bin/sh' 'echo "/usr/bin/wine: 45: exec: /usr/lib/wine/wine: Exec format error" >&2' 'exit 2' \
    >"$work/wine-without-32-bit"
chmod 755 "$work/wine-without-32-bit"
before=$(tree_of no32)
refusal=$("$handler" install --prefix "$prefix" --wine "$work/wine-without-32-bit" 2>&1)
check "install refused without 32-bit programs" "1 runs no 32-bit programs" \
    "$? $(grep -o 'runs no 32-bit programs' <<<"$refusal")"
check "nothing installed without 32-bit programs" "$before" "$(tree_of no32)"

# Wine 8.20 and later write an entry of their own for a prefix's vsl links
# whenever the prefix starts; it opens them with Wine's start command.
wine_entry() {
    printf '%s\n' '[Desktop Entry]' 'Type=Application' 'Name=vsl' "Exec=env WINEPREFIX=\"$prefix\" wine start %u" \
        'NoDisplay=true' 'MimeType=x-scheme-handler/vsl;' >"$XDG_DATA_HOME/applications/wine-protocol-vsl.desktop"
}
# shellcheck disable=SC2016 # meant as it stands
link='vsl://rtcw/10.0.0.1:27960?name=Big %WINDIR%$HOME|`id`'\''x&password=*?~ z$(id)<>'
as_written="C:\\Games\\RTCW
WolfMP.exe +set name Big %WINDIR%\$HOME|\`id\`'x +set password *?~ z\$(id)<> +connect 10.0.0.1:27960"

# A home with settings of its own and Wine's entry as the user's default for
# vsl links: install (twice) takes the links over and names Wine's entry, a
# link reaches the game through xdg-open as it was written, since neither a
# shell nor Wine's start expands or splits any of it, and remove gives the
# links back, says so and how to choose, and changes nothing else.
fresh_home settled
mkdir -p "$XDG_DATA_HOME/applications" "$XDG_CONFIG_HOME"
wine_entry
printf '%s\n' '[Default Applications]' 'x-scheme-handler/vsl=wine-protocol-vsl.desktop' '' '[Added Associations]' \
    'image/png=viewer.desktop;' >"$XDG_CONFIG_HOME/mimeapps.list"
before=$(tree_of settled)
"$handler" install --prefix "$prefix" >/dev/null
check "install names Wine's entry" 1 \
    "$("$handler" install --prefix "$prefix" | grep -c "found Wine's own entry .*'wine start': that expands %NAME%")"
check "the default handler" vastrel-vsl.desktop "$(default_handler)"
entry=$XDG_DATA_HOME/applications/vastrel-vsl.desktop
check "the entry validates" "" "$(desktop-file-validate "$entry" 2>&1)"
check "the entry's Exec" "Exec=$XDG_DATA_HOME/vastrel/vsl-open %u" "$(grep '^Exec=' "$entry")"
check "a link through xdg-open" "$as_written" "$(game_started_by xdg-open "$link")"
check "remove names Wine's entry, given back" 2 "$("$handler" remove | grep -c -e "before install, Wine's own entry \
.*'wine start'" -e "choose their handler with: xdg-mime default ENTRY.desktop x-scheme-handler/vsl")"
check "the default handler given back" wine-protocol-vsl.desktop "$(default_handler)"
check "the settled home after install and remove" "$before" "$(tree_of settled)"

# Wine's entry written after install, as the prefix starts again: the links
# stay with the handler's entry; remove says where they may go.
fresh_home later
"$handler" install --prefix "$prefix" >/dev/null
wine_entry
update-desktop-database "$XDG_DATA_HOME/applications"
check "the default beside Wine's later entry" vastrel-vsl.desktop "$(default_handler)"
check "a link through xdg-open beside Wine's later entry" "$as_written" "$(game_started_by xdg-open "$link")"
check "remove names Wine's entry, no default left" 2 "$("$handler" remove | grep -c -e "no default left \
.*Wine's own entry .*'wine start'" -e "choose their handler with: xdg-mime default ENTRY.desktop")"
finish
