#!/usr/bin/env bash
# Clicks vsl links in real browsers and follows each to what vsl.exe did:
#   browser-test.sh WINE_RUN VSL_SETUP.exe RECORDER.exe BOX_ANSWERER.exe HANDLER
# A page on 127.0.0.1 carries the links of the table below. Firefox ESR and
# Chromium, each with a fresh profile that lets the page open vsl links
# without asking, show it on a private Xvfb, and xdotool clicks each link with
# the mouse. The browser hands the link to the desktop's handler for vsl links
# (installer/vsl-xdg-handler, in a throw-away home), which runs vsl.exe under
# Wine in a prefix where vsl-setup.exe /S installed Vastrel. Its wine is a
# wrapper that records the link it was given and vsl.exe's exit code. The
# recorder stands in for rtcw's WolfMP.exe and for C:\windows\explorer.exe;
# the box answerer reads and confirms vsl.exe's message boxes.
#
# Prints what each browser delivered for each link, a line per check, and
# exits non-zero on any failure.
set -uo pipefail

wine_run=$1
setup=$2
recorder=$3
answerer=$4
handler=$5

# The script itself handles bytes; what reaches Wine runs in a UTF-8 locale,
# in which Wine's ANSI code page is 1252 (the browsers, through the handler,
# pass their environment on to vsl.exe).
export LC_ALL=C
wine_locale=(env LANG=C.UTF-8 LC_ALL=C.UTF-8)
export WINEDEBUG=-all
python=/usr/bin/python3

# The links and what must come of each. A line per link:
#   name | link as written in the page (UTF-8) | vsl.exe's exit code |
#   the game's command line | explorer's command line after its program name |
#   the message boxes
# "-" for a program: it must not start. For the boxes: "-" none may come up,
# "*" at least one must, any other text: one must name it.
links=(
    a 'vsl://rtcw/127.0.0.1:27960?name=Player' 0
    'WolfMP.exe +set name Player +connect 127.0.0.1:27960' - -

    b 'vsl://rtcw/127.0.0.1:27960?name=Big Joe&password=x&embed_url={https://example.org/}' 0
    'WolfMP.exe +set name Big Joe +set password x +connect 127.0.0.1:27960' 'https://example.org/' -

    c 'vsl://rtcw/127.0.0.1:27960?name=Jörg' 0
    $'WolfMP.exe +set name J\xF6rg +connect 127.0.0.1:27960' - -

    d 'vsl://rtcw/127.0.0.1:27960?name=A&embed_url={https://example.org/a%20b?q=%7Bx%7D&r=1}' 0
    'WolfMP.exe +set name A +connect 127.0.0.1:27960' 'https://example.org/a%20b?q=%7Bx%7D&r=1' -

    e 'vsl://rtcw/127.0.0.1:27960?fs_basepath=\\203.0.113.7\share&fs_game=x' 1 - - fs_basepath

    f 'vsl://rtcw/127.0.0.1:27960?name=x;quit' 1 - - '*'

    g 'vsl://rtcw/127.0.0.1:27960?activeAction=quit' 1 - - activeAction

    h 'vsl://rtcw/127.0.0.1:27960?name=a%2Bb' 1 - - '*'
)
readonly fields=6

work=$(mktemp -d)
prefix=
server_pid=
browser_pid=
browser_profile=
answerer_pid=
passed=0
failed=0
declare -A delivered=()

tools=$(dirname "$0")/../../tools
eval "$("$tools/xvfb-start")"

stop_browser() {
    [[ -n $browser_pid ]] || return 0
    # The browser closes its own helper processes when asked to end; what is
    # left of its process group after 5 s goes by force.
    kill -TERM "$browser_pid" 2>/dev/null
    for _ in $(seq 50); do
        kill -0 "$browser_pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -KILL -- "-$browser_pid" 2>/dev/null
    wait "$browser_pid" 2>/dev/null
    browser_pid=
    # Chromium keeps the socket that makes it a single instance in a folder
    # of the temporary folder, linked from its profile.
    local socket
    socket=$(readlink "$browser_profile/SingletonSocket" 2>/dev/null)
    if [[ $socket =~ ^(/.*/org\.chromium\.Chromium\.[A-Za-z0-9]+)/SingletonSocket$ ]]; then
        rm -rf "${BASH_REMATCH[1]}"
    fi
}

# shellcheck disable=SC2317 # called by the trap
cleanup() {
    stop_browser
    [[ -n $server_pid ]] && kill "$server_pid" 2>/dev/null
    if [[ -n $prefix ]]; then
        touch "$work/stop"
        WINEPREFIX=$prefix wineserver -k 2>/dev/null
        [[ -n $answerer_pid ]] && wait "$answerer_pid" 2>/dev/null
        # Without /run/user the server's socket is in a folder of the
        # temporary folder, named in the prefix.
        local server_folder
        server_folder=$(cat "$prefix/wineserver" 2>/dev/null)
        [[ $server_folder =~ ^wine-[A-Za-z0-9]+$ ]] && rm -rf "${TMPDIR:-/tmp}/$server_folder"
        rm -rf "$(dirname "$prefix")"
    fi
    kill "$VSL_XVFB_PID" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

say() {
    echo "browser-test: $*"
}

# Text as it can be printed: bytes outside printable ASCII as \xNN.
shown() {
    printf '%s' "$1" | "$python" -c 'import sys
print("".join(chr(b) if 32 <= b < 127 else "\\x%02X" % b for b in sys.stdin.buffer.read()), end="")'
}

check() {
    local what=$1 expected=$2 actual=$3
    if [[ $expected == "$actual" ]]; then
        passed=$((passed + 1))
        echo "PASS $what: $(shown "$actual")"
    else
        failed=$((failed + 1))
        echo "FAIL $what"
        echo "  expected: $(shown "$expected")"
        echo "  actual:   $(shown "$actual")"
    fi
}

windows_path() {
    local path=${1//\//\\}
    echo "Z:$path"
}

# Waits up to $2 tenths of a second for the file $1; false without it.
wait_for_file() {
    local _
    for _ in $(seq "$2"); do
        [[ -f $1 ]] && return 0
        sleep 0.1
    done
    [[ -f $1 ]]
}

# A recorder's command line, or "-" when it has not run.
recorded_command_line() {
    if [[ -f $1 ]]; then
        sed -n 's/^command_line=//p' "$1"
    else
        echo -
    fi
}

# What follows the program's name on a command line: the name may be quoted.
after_program_name() {
    local line=$1
    if [[ $line == \"* ]]; then
        line=${line#\"*\"}
        echo "${line# }"
    elif [[ $line == *' '* ]]; then
        echo "${line#* }"
    fi
}

# --- a prefix with Vastrel installed by its installer; the recorder as
# rtcw's WolfMP.exe and as the explorer in the Windows folder.
VSL_KEEP_PREFIX=1 "${wine_locale[@]}" "$wine_run" "$setup" /S 2>"$work/wine-run.err"
status=$?
prefix=$(sed -n 's/^wine-run: kept prefix //p' "$work/wine-run.err")
if [[ $status -ne 0 || -z $prefix ]]; then
    cat "$work/wine-run.err"
    say "vsl-setup.exe /S failed ($status)"
    exit 1
fi
game=$prefix/drive_c/Games/RTCW/WolfMP.exe
explorer=$prefix/drive_c/windows/explorer.exe
mkdir -p "$(dirname "$game")"
cp "$recorder" "$game"
# The prefix shares the template's files through hard links: the explorer is
# replaced, never written through. Wine's desktop process runs the one in
# system32, which stays Wine's.
rm -f "$explorer"
cp "$recorder" "$explorer"

# Wine's own explorer hands web addresses to the Linux desktop's browser.
# Should vsl.exe reach it instead of the stand-in, the address lands in this
# log rather than in a browser.
host_browser_log=$work/host-browser.log
cat >"$work/host-browser" <<EOF
#!/bin/sh
printf '%s\n' "\$*" >>'$host_browser_log'
EOF
chmod 755 "$work/host-browser"
{
    "${wine_locale[@]}" WINEPREFIX="$prefix" wine reg add \
        'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Return to Castle Wolfenstein' \
        /v DisplayIcon /d 'C:\Games\RTCW' /f &&
        "${wine_locale[@]}" WINEPREFIX="$prefix" wine reg add 'HKCU\Software\Wine\WineBrowser' \
            /v Browsers /d "$work/host-browser" /f
} >/dev/null 2>&1 || {
    say "could not write the prefix's registry"
    exit 1
}

boxes=$work/boxes.log
"${wine_locale[@]}" WINEPREFIX="$prefix" wine "$answerer" "$(windows_path "$boxes")" \
    "$(windows_path "$work/stop")" >/dev/null 2>&1 &
answerer_pid=$!

# --- the handler in a throw-away home, with a wine that records each link
# (base64, which any byte survives) and vsl.exe's exit code.
mkdir -p "$work/home"
export HOME=$work/home XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config XDG_CACHE_HOME=$work/cache
unset XDG_CURRENT_DESKTOP XDG_SESSION_DESKTOP DESKTOP_SESSION KDE_FULL_SESSION GNOME_DESKTOP_SESSION_ID
unset XDG_DATA_DIRS XDG_CONFIG_DIRS BROWSER DBUS_SESSION_BUS_ADDRESS
handed=$work/handed.log
{
    echo '#!/usr/bin/env bash'
    echo 'set -u'
    printf 'log=%q\n' "$handed"
    printf 'wine=%q\n' "$(command -v wine)"
    cat <<'EOF'
if [[ $# -eq 2 && $1 == *'\vsl.exe' ]]; then
    printf 'link=%s\n' "$(printf '%s' "$2" | base64 -w 0)" >>"$log"
    status=0
    "$wine" "$@" || status=$?
    echo "exit=$status" >>"$log"
    exit "$status"
fi
exec "$wine" "$@"
EOF
} >"$work/wine"
chmod 755 "$work/wine"
"$handler" install --prefix "$prefix" --wine "$work/wine" >/dev/null || {
    say "installing the handler failed"
    exit 1
}

# --- the page: one link at a time, filling the window; a click shows the
# next one, and the title names the link on show.
mkdir -p "$work/site"
html_escaped() {
    local text=${1//&/&amp;}
    text=${text//\"/&quot;}
    text=${text//</&lt;}
    echo "${text//>/&gt;}"
}
{
    cat <<'EOF'
<!doctype html>
<html><head><meta charset="utf-8"><title>vsl test: loading</title>
<style>
html, body { margin: 0; height: 100%; font: 20px sans-serif; }
a { display: none; position: fixed; inset: 0; padding: 2em; background: #dde8ff; word-break: break-all; }
a.shown { display: block; }
</style></head><body>
EOF
    for ((i = 0; i < ${#links[@]}; i += fields)); do
        printf '<a id="%s" href="%s">%s</a>\n' "${links[i]}" "$(html_escaped "${links[i + 1]}")" \
            "$(html_escaped "${links[i + 1]}")"
    done
    cat <<'EOF'
<script>
const links = Array.from(document.querySelectorAll("a"));
let current = 0;
function show(index) {
  links.forEach((link, i) => link.classList.toggle("shown", i === index));
  document.title = index < links.length ? "vsl test: link " + links[index].id : "vsl test: done";
}
links.forEach(link => link.addEventListener("click", () => {
  // After the browser has handed the link on.
  setTimeout(() => show(++current), 300);
}));
show(0);
</script>
</body></html>
EOF
} >"$work/site/index.html"

"$python" -u -m http.server 0 --bind 127.0.0.1 --directory "$work/site" >"$work/server.out" 2>/dev/null &
server_pid=$!
port=
for _ in $(seq 100); do
    port=$(sed -n 's/^Serving HTTP on 127.0.0.1 port \([0-9]*\) .*/\1/p' "$work/server.out")
    [[ -n $port ]] && break
    sleep 0.1
done
if [[ -z $port ]]; then
    say "the page's server did not start"
    exit 1
fi
origin=http://127.0.0.1:$port
page=$origin/index.html

# Nothing may leave the machine: both browsers send whatever is not for
# 127.0.0.1 to a proxy port on which nothing listens (Firefox by its profile).
dead_proxy=127.0.0.1:9

start_browser() {
    local name=$1 profile=$work/profile-$1
    browser_profile=$profile
    "$tools/browser-profile" "$name" "$profile" "$origin"
    case $name in
    firefox)
        setsid "${wine_locale[@]}" firefox-esr --no-remote --new-instance --profile "$profile" \
            --width 1024 --height 768 "$page" >"$work/$name.out" 2>&1 &
        ;;
    chromium)
        setsid "${wine_locale[@]}" chromium --no-sandbox --user-data-dir="$profile" --no-first-run \
            --disable-gpu --password-store=basic --disable-background-networking --disable-component-update \
            --disable-sync --proxy-server="$dead_proxy" --window-position=0,0 --window-size=1024,768 \
            "$page" >"$work/$name.out" 2>&1 &
        ;;
    esac
    browser_pid=$!
}

# The browser's window once it shows the link with that name; nothing when it
# does not within 30 s.
window_showing() {
    local id=$1 window
    for _ in $(seq 300); do
        window=$(xdotool search --onlyvisible --name "^vsl test: link $id( |\$)" 2>/dev/null | head -n 1)
        if [[ -n $window ]]; then
            echo "$window"
            return
        fi
        sleep 0.1
    done
}

# A mouse click in the middle of the window, which the link fills.
click_in() {
    local window=$1 X Y WIDTH HEIGHT
    eval "$(xdotool getwindowgeometry --shell "$window")"
    xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) click 1
}

# The link the handler's wine was given and vsl.exe's exit code, once it has
# ended; false when nothing arrived within 40 s.
read_handed() {
    local _
    for _ in $(seq 400); do
        if grep -q '^exit=' "$handed" 2>/dev/null; then
            handed_link=$(sed -n '1s/^link=//p' "$handed" | base64 -d)
            handed_exit=$(sed -n 's/^exit=//p' "$handed" | head -n 1)
            handed_count=$(grep -c '^link=' "$handed")
            return 0
        fi
        sleep 0.1
    done
    return 1
}

# The message boxes, to compare with the table's column: "-" when none came
# up, "*" when some did and any will do, the wanted text when one named it,
# else the texts of those that came up.
box_outcome() {
    local wanted=$1
    if [[ ! -s $boxes ]]; then
        echo -
    elif [[ $wanted == '*' ]]; then
        echo '*'
    elif [[ $wanted != - ]] && grep -qF -- "$wanted" "$boxes"; then
        echo "$wanted"
    else
        sed 's/^box=//' "$boxes" | paste -sd '|'
    fi
}

run_browser() {
    local name=$1 program=$1
    [[ $name == firefox ]] && program=firefox-esr
    browser_versions[$name]=$("$program" --version 2>/dev/null | grep -o '[0-9][0-9.a-z]*' | head -n 1)
    say "$name ${browser_versions[$name]}"
    start_browser "$name"
    local i
    for ((i = 0; i < ${#links[@]}; i += fields)); do
        local id=${links[i]} exit_code=${links[i + 2]} game_line=${links[i + 3]}
        local explorer_arguments=${links[i + 4]} wanted_box=${links[i + 5]}
        local what="$name $id"
        rm -f "$handed" "$boxes" "$host_browser_log" "$game.rec" "$explorer.rec"
        local window
        window=$(window_showing "$id")
        if [[ -z $window ]]; then
            check "$what: the page shows the link" "shown" "not shown"
            continue
        fi
        click_in "$window"
        if ! read_handed; then
            check "$what: the browser hands the link to the handler" "handed" "nothing within 40 s"
            continue
        fi
        delivered[$name:$id]=$handed_link
        check "$what: links handed over for one click" 1 "$handed_count"
        check "$what: vsl.exe's exit code" "$exit_code" "$handed_exit"

        # vsl.exe starts the programs before it ends; their records follow
        # within moments. Those that are expected are waited for, and a
        # program that should not start is given time to show up all the same.
        [[ $game_line != - ]] && wait_for_file "$game.rec" 100
        [[ $explorer_arguments != - ]] && wait_for_file "$explorer.rec" 100
        [[ $game_line == - || $explorer_arguments == - ]] && sleep 1.5
        check "$what: the game's command line" "$game_line" "$(recorded_command_line "$game.rec")"
        if [[ $game_line != - ]]; then
            check "$what: the game's folder" 'C:\Games\RTCW' "$(sed -n 's/^cwd=//p' "$game.rec" 2>/dev/null)"
        fi
        local explorer_actual=-
        if [[ -f $explorer.rec ]]; then
            explorer_actual=$(after_program_name "$(recorded_command_line "$explorer.rec")")
        elif [[ -s $host_browser_log ]]; then
            explorer_actual="- (Wine's own explorer passed $(paste -sd ' ' "$host_browser_log") to the Linux browser)"
        fi
        check "$what: explorer's arguments" "$explorer_arguments" "$explorer_actual"
        check "$what: message boxes" "$wanted_box" "$(box_outcome "$wanted_box")"
    done
    stop_browser
}

declare -A browser_versions=()
browsers=(firefox chromium)
for browser in "${browsers[@]}"; do
    run_browser "$browser"
done

# What each browser handed over, for the release notes.
tick='`'
echo
echo "| link | written in the page | Firefox ESR ${browser_versions[firefox]:-} | Chromium ${browser_versions[chromium]:-} |"
echo "|---|---|---|---|"
for ((i = 0; i < ${#links[@]}; i += fields)); do
    id=${links[i]}
    printf '| %s | %s%s%s |' "$id" "$tick" "${links[i + 1]}" "$tick"
    for browser in "${browsers[@]}"; do
        if [[ -v delivered[$browser:$id] ]]; then
            printf ' %s%s%s |' "$tick" "$(shown "${delivered[$browser:$id]}")" "$tick"
        else
            printf ' (nothing) |'
        fi
    done
    echo
done
echo
echo "$passed passed, $failed failed"
[[ $failed -eq 0 ]]
