#!/usr/bin/env bash
# Clicks vsl links in a real browser and follows each to what vsl.exe did:
#   browser-test.sh firefox|chromium WINE_RUN VSL_SETUP.exe RECORDER.exe BOX_ANSWERER.exe HANDLER
# The browser, with a fresh profile that lets a page on 127.0.0.1 open vsl
# links without asking, shows the links one at a time; xdotool clicks each.
# The desktop's handler runs vsl.exe through a wine that records the link and
# the exit code; the box answerer logs and confirms vsl.exe's message boxes.
set -uo pipefail
browser=$1 wine_run=$2 setup=$3 recorder=$4 answerer=$5 handler=$6
# The script handles bytes; Wine runs in a UTF-8 locale, in which its ANSI
# code page is 1252 (the browser passes its environment on).
export LC_ALL=C WINEDEBUG=-all

# Per link: name | as written in the page (UTF-8) | vsl.exe's exit code | the
# game's command line | explorer's arguments | the message boxes. "-": the
# program must not start, or no box may come up; "*": some box must; any
# other text: a box must name it.
links=(
    a 'vsl://rtcw/127.0.0.1:27960?name=Player' 0 'WolfMP.exe +set name Player +connect 127.0.0.1:27960' - -
    b 'vsl://rtcw/127.0.0.1:27960?name=Big Joe&password=x&embed_url={https://example.org/}' 0
    'WolfMP.exe +set name Big Joe +set password x +connect 127.0.0.1:27960' 'https://example.org/' -
    c 'vsl://rtcw/127.0.0.1:27960?name=Jörg' 1 - - 'beyond ASCII'
    d 'vsl://rtcw/127.0.0.1:27960?name=A&embed_url={https://example.org/a%20b?q=%7Bx%7D&r=1}' 0
    'WolfMP.exe +set name A +connect 127.0.0.1:27960' 'https://example.org/a%20b?q=%7Bx%7D&r=1' -
    e 'vsl://rtcw/127.0.0.1:27960?fs_basepath=\\203.0.113.7\share&fs_game=x' 1 - - fs_basepath
    f 'vsl://rtcw/127.0.0.1:27960?name=a%2Bb' 1 - - '*'
)

# shellcheck source=../support/installed-prefix.sh
source "$(dirname "$0")/../support/installed-prefix.sh"
server_pid='' browser_pid=''
tools=$(dirname "$0")/../../tools
# shellcheck disable=SC2317 # called by the trap
stop_started() {
    if [[ -n $browser_pid ]]; then
        # Asked to end, the browser ends its helpers; what is left after 5 s goes by force.
        kill -TERM "$browser_pid" 2>/dev/null
        timeout 5 tail --pid="$browser_pid" -f /dev/null
        kill -KILL -- "-$browser_pid" 2>/dev/null
        [[ $(readlink "$work/profile/SingletonSocket") =~ ^(/.*/org\.chromium\.Chromium\.[A-Za-z0-9]+)/ ]] &&
            rm -rf "${BASH_REMATCH[1]}"
    fi
    [[ -n $server_pid ]] && kill "$server_pid" 2>/dev/null
    touch "$work/stop"
}
cleanup_first=stop_started
recorded() { [[ -f $1.rec ]] && sed 1,2d "$1.rec" || echo -; }
# The click on the link on show was taken: it was handed over, or the page moved on.
clicked() { [[ -s $work/handed.log ]] || ! xdotool search --onlyvisible --name "^vsl test: link $id( |\$)" >/dev/null; }

# --- the prefix, with the recorder as rtcw and as the Windows folder's
# explorer (replaced, not written through: the prefix's files are hard links;
# Wine's desktop runs the one in system32). Wine's own explorer would hand web
# addresses to the desktop's browser: a log takes that browser's place.
install_prefix "$wine_run" "$setup" "$recorder"
explorer=$prefix/drive_c/windows/explorer.exe
rm -f "$explorer" && cp "$recorder" "$explorer"
printf '#!/bin/sh\necho "$*" >>%q\n' "$work/host-browser.log" >"$work/host-browser"
chmod 755 "$work/host-browser"
"${utf8[@]}" WINEPREFIX="$prefix" wine reg add 'HKCU\Software\Wine\WineBrowser' /v Browsers \
    /d "$work/host-browser" /f >/dev/null 2>&1 || { echo "browser-test: cannot write the registry"; exit 1; }
"${utf8[@]}" WINEPREFIX="$prefix" wine "$answerer" "Z:${work//\//\\}\\boxes.log" "Z:${work//\//\\}\\stop" \
    >/dev/null 2>&1 &

# --- the handler in a throw-away home, with a wine that records each link
# (in base64, which any byte survives) and vsl.exe's exit code.
fresh_home browser
cat >"$work/wine" <<EOF
#!/usr/bin/env bash
[[ \$# -eq 2 && \$1 == *'\\vsl.exe' ]] || exec '$(command -v wine)' "\$@"
echo "link=\$(printf '%s' "\$2" | base64 -w 0)" >>'$work/handed.log'
'$(command -v wine)' "\$@"
status=\$?
echo "exit=\$status" >>'$work/handed.log'
exit \$status
EOF
chmod 755 "$work/wine"
"$handler" install --prefix "$prefix" --wine "$work/wine" >/dev/null || { echo "browser-test: no handler"; exit 1; }

# --- the page: one link at a time, filling the window; a click shows the
# next one, and the title names the link on show.
mkdir -p "$work/site"
{
    echo '<!doctype html><html><head><meta charset="utf-8"><title>vsl test</title><style>'
    echo 'a { display: none; position: fixed; inset: 0; } a.shown { display: block; }</style></head><body>'
    for ((i = 0; i < ${#links[@]}; i += 6)); do
        href=${links[i + 1]//&/&amp;}
        echo "<a id=\"${links[i]}\" href=\"${href//\"/&quot;}\">${links[i]}</a>"
    done
    cat <<'EOF'
<script>
const links = Array.from(document.querySelectorAll("a"));
let current = 0;
function show(index) {
  links.forEach((link, i) => link.classList.toggle("shown", i === index));
  document.title = index < links.length ? "vsl test: link " + links[index].id : "vsl test: done";
}
links.forEach(link => link.addEventListener("click", () => setTimeout(() => show(++current), 300)));
show(0);
</script></body></html>
EOF
} >"$work/site/index.html"
python3 -u -m http.server 0 --bind 127.0.0.1 --directory "$work/site" >"$work/server.out" 2>/dev/null &
server_pid=$!
wait_for grep -q '^Serving HTTP' "$work/server.out"
origin=http://127.0.0.1:$(sed -n 's/^Serving HTTP on 127.0.0.1 port \([0-9]*\) .*/\1/p' "$work/server.out")

# --- the browser. Nothing may leave the machine: what is not for 127.0.0.1
# goes to a proxy port on which nothing listens (Firefox's by its profile).
"$tools/browser-profile" "$browser" "$work/profile" "$origin"
if [[ $browser == firefox ]]; then
    program=firefox-esr
    options=(--no-remote --new-instance --profile "$work/profile" --width 1024 --height 768)
else
    program=chromium
    # shellcheck disable=SC2054 # the commas belong to the option
    options=(--no-sandbox --user-data-dir="$work/profile" --no-first-run --disable-gpu --password-store=basic
        --disable-background-networking --disable-component-update --disable-sync --proxy-server=127.0.0.1:9
        --window-position=0,0 --window-size=1024,768)
fi
setsid "${utf8[@]}" "$program" "${options[@]}" "$origin/index.html" >"$work/browser.out" 2>&1 &
browser_pid=$!

for ((i = 0; i < ${#links[@]}; i += 6)); do
    id=${links[i]} what="$browser ${links[i]}"
    rm -f "$work/handed.log" "$work/boxes.log" "$work/host-browser.log" "$game.rec" "$explorer.rec"
    window=$(wait_for xdotool search --onlyvisible --name "^vsl test: link $id( |\$)" | head -n 1)
    if [[ -z $window ]]; then
        check "$what: the page shows the link" shown "not shown"
        continue
    fi
    # A click in the middle of the window, which the link fills. A browser
    # still settling may drop it: then the link stays on show and nothing is
    # handed over, and the click is repeated.
    eval "$(xdotool getwindowgeometry --shell "$window")"
    for _ in 1 2 3; do
        xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) click 1
        wait_ticks=150 wait_for clicked && break
    done
    if ! wait_for grep -q '^exit=' "$work/handed.log"; then
        check "$what: the browser hands the link over" handed "nothing within 90 s"
        continue
    fi
    delivered=$(sed -n '1s/^link=//p' "$work/handed.log" | base64 -d)
    printf '%s: %s delivered %s\n' "$id" "$browser" "$delivered"
    check "$what: links handed over for one click" 1 "$(grep -c '^link=' "$work/handed.log")"
    check "$what: vsl.exe's exit code" "${links[i + 2]}" "$(sed -n 's/^exit=//p' "$work/handed.log")"
    # vsl.exe starts the programs before it ends; their records follow within moments.
    [[ ${links[i + 3]} != - ]] && wait_for test -f "$game.rec"
    [[ ${links[i + 4]} != - ]] && wait_for test -f "$explorer.rec"
    [[ ${links[i + 3]} == - || ${links[i + 4]} == - ]] && sleep 0.5
    check "$what: the game's command line" "${links[i + 3]}" "$(recorded "$game")"
    [[ ${links[i + 3]} != - ]] && check "$what: the game's folder" 'C:\Games\RTCW' "$(sed -n 2p "$game.rec")"
    arguments=$(recorded "$explorer")
    [[ $arguments == explorer\ * ]] && arguments=${arguments#explorer }
    [[ -s $work/host-browser.log ]] && arguments+=" (Wine's explorer opened $(cat "$work/host-browser.log"))"
    check "$what: explorer's arguments" "${links[i + 4]}" "$arguments"
    boxes=-
    if [[ -s $work/boxes.log ]]; then
        boxes=$(paste -sd '|' "$work/boxes.log")
        case ${links[i + 5]} in
        -) ;;
        '*') boxes='*' ;;
        *) grep -qF -- "${links[i + 5]}" "$work/boxes.log" && boxes=${links[i + 5]} ;;
        esac
    fi
    check "$what: message boxes" "${links[i + 5]}" "$boxes"
done

finish
