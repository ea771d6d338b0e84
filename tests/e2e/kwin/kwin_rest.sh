#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# A rest on KWin, typed at through KWin's fake input: the panels, drawn in the layer shell's
# overlay layer, cover both outputs above a full-screen window and another window; a wrong
# passcode keeps the rest and shows the message; the right one, typed a key at a time after
# Alt+Tab and Alt+F4 (KWin's shortcuts, which must stay held back), after KWin activated another
# window (a script) and after KWin closed the panel typed into (the program puts up a new one),
# still ends the rest, the panels go, and not one key typed during the rest reached a window.
# Run once as X11 through XWayland (DISPLAY set, QT_QPA_PLATFORM=wayland exported) and once
# without X. Runs inside with-kwin-session.sh with LUMATIDE_KWIN_XWAYLAND=1 (Virtual-0 1280x720
# at 0,0, Virtual-1 at 1280,0).
#
# Usage: kwin_rest.sh <lumatide> <kwin_screenshot> <kwin_window> <virtual_keyboard>
set -eu
program=$1
screenshot=$2
window=$3
keyboard=$4
. "$(dirname "$0")/../lib.sh"
private_home
# KWin read the keyboard's desktop file from XDG_DATA_HOME; the program gets a folder of its own.
XDG_DATA_HOME=$private/data
export XDG_DATA_HOME
pids=""
app=""
cleanup() {
    exec 3>&- 2>/dev/null || true
    [ -n "$app" ] && stop "$app"
    for pid in $pids; do stop "$pid"; done
    rm -rf "$private"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    cat "$private/err" >&2 2>/dev/null || true
    "$screenshot" "$shots/failure.png" 2>/dev/null || true
    exit 1
}
# Started before any window, so that every client knows the seat has a keyboard when typed at.
start_keyboard "$keyboard"

# kwin <javascript>: runs a KWin script, which says in KWin's log which window is active after
# it ("panel <id>" for a rest panel), and waits for that line (KWin reads the script in the
# background); active prints it.
scripts=0
kwin() {
    scripts=$((scripts + 1))
    printf '%s\n%s\n' "$1" "var a = workspace.activeClient; print(\"lumatide-$scripts:\", !a ? \"-\" :
        a.resourceClass == \"lumatide\" && a.caption == \"\" ? \"panel \" + a.internalId : a.caption);" \
        >"$private/$scripts.js"
    # KWin ignores calls that expect no reply.
    dbus-send --session --dest=org.kde.KWin --print-reply /Scripting \
        org.kde.kwin.Scripting.loadScript string:"$private/$scripts.js" string:"lumatide-$scripts" \
        >/dev/null || fail "KWin did not load a script"
    dbus-send --session --dest=org.kde.KWin --print-reply /Scripting \
        org.kde.kwin.Scripting.start >/dev/null || fail "KWin did not run a script"
    tries=0
    until grep -q "lumatide-$scripts:" "$shots/kwin.log"; do
        tries=$((tries + 1))
        [ "$tries" -lt 150 ] || fail "KWin did not run: $1"
        sleep 0.02
    done
}
active() { sed -n "s/.*lumatide-$scripts: //p" "$shots/kwin.log"; }
on_panel() { case $(active) in panel*) ;; *) return 1 ;; esac; }
activate() { kwin "workspace.clientList().forEach(function (w) {
    if (w.caption == '$1') workspace.activeClient = w; });"; }

# A full-screen window on the first output; another on the second.
QT_QPA_PLATFORM=wayland "$window" "$private/full.keys" 2>"$private/full.err" &
pids="$pids $!"
wait_for 100 test -f "$private/full.keys" || fail "the full-screen window did not start"
QT_QPA_PLATFORM=wayland "$window" "$private/side.keys" normal 2>"$private/side.err" &
pids="$pids $!"
wait_for 100 test -f "$private/side.keys" || fail "the other window did not start"
sleep 1
kwin "workspace.clientList().forEach(function (w) {
    if (w.caption == 'side') w.frameGeometry = {x: 1600, y: 160, width: 640, height: 400}; });"
# First the keyboard itself: what it types reaches the active window, and Alt+Tab switches.
for name in full side; do
    activate "$name"
    keys type "$name"
    wait_for 20 grep -qx "$name" "$private/$name.keys" ||
        fail "the keyboard did not reach $name (active: $(active)): $(od -c "$private/$name.keys")"
done
keys key alt+Tab
kwin ""
[ "$(active)" = full ] || fail "Alt+Tab did not switch windows (active: $(active))"

# colour <image> <x> <y>: "r g b" of one pixel, 0..255.
colour() {
    convert "$1" -format "%[fx:int(255*p{$2,$3}.r)] %[fx:int(255*p{$2,$3}.g)] %[fx:int(255*p{$2,$3}.b)]" info:
}
# Corners and edges of both outputs, away from the panels' texts: the first three on the
# full-screen window, 1920 360 on the other window.
spots="20 20|640 700|1260 360|1300 20|1920 360|2540 700"
# panel_spots <image>: a new screenshot, and each spot in it, " panel" after those in the
# panel's colour.
panel_spots() {
    "$screenshot" "$1" || fail "no screenshot"
    echo "$spots" | tr '|' '\n' | while read -r x y; do
        # shellcheck disable=SC2046
        echo "$x,$y $(is_panel_colour $(colour "$1" "$x" "$y") && echo panel)"
    done
}
covered() { ! panel_spots "$private/probe.png" | grep -qv 'panel$'; }
messages() {
    echo $(($(message_pixels "$1" 1280x300+0+420) + $(message_pixels "$1" 1280x300+1280+420)))
}
# after <what KWin is made to do> <keyboard command>: typing once the panel has the keyboard
# again. KWin gives the keyboard to any window it activates, even over the panel, until the
# program asks for it back: how long that took (a look costs about 0.15 s) goes to the log.
after() {
    case $1 in
    alt+*)
        keys key "$1"
        kwin ""
        on_panel || problem "KWin ran its $1 shortcut during the rest ($(active))"
        ;;
    close) kwin "var w = workspace.activeClient;
        if (w && w.resourceClass == 'lumatide') w.closeWindow();" ;;
    *) activate "$1" ;;
    esac
    took=$(date +%s%N)
    then=$(active)
    looks=0
    # A closed panel is still the active window until the program has put up the new one.
    until { on_panel && [ "$1 $(active)" != "close $then" ]; } || [ "$looks" -ge 20 ]; do
        looks=$((looks + 1))
        kwin ""
    done
    took=$((($(date +%s%N) - took) / 1000000))
    echo "$1: active $then, then $(active) after $looks looks, $took ms; $2" >>"$shots/focus-$mode.log"
    on_panel || problem "the panel did not take the keyboard back after $1"
    keys "$2"
}

for mode in xwayland native; do
    : >"$shots/focus-$mode.log"
    case $mode in
    xwayland) set -- env DISPLAY="${LUMATIDE_XWAYLAND_DISPLAY:?}" QT_QPA_PLATFORM=wayland ;;
    native) set -- env -u DISPLAY ;;
    esac
    for name in full side; do cp "$private/$name.keys" "$private/$name.before"; done
    # The rest starts while the full-screen window has the focus.
    activate full
    "$@" "$program" --demo-work-seconds 3 --lock-minutes 1 --demo-language en \
        2>"$shots/program-$mode.err" &
    app=$!
    wait_for 150 resting || fail "no rest after the work period"
    wait_for 30 covered || true
    missed=$(panel_spots "$shots/rest-$mode.png" | grep -v 'panel$' | tr '\n' ' ')
    [ -z "$missed" ] || problem "not covered at $missed"
    [ "$(messages "$shots/rest-$mode.png")" -eq 0 ] || problem "a message before any passcode"

    kwin ""
    echo "rest: $(active)" >>"$shots/focus-$mode.log"
    keys type 1357
    keys key Return
    keys sleep 0.7
    "$screenshot" "$shots/wrong-passcode-$mode.png"
    resting || problem "a wrong passcode ended the rest"
    [ "$(messages "$shots/wrong-passcode-$mode.png")" -gt 20 ] || problem "no incorrect-passcode message"

    # The passcode a key at a time, KWin made each time to put another window or nothing in
    # front first. It ends the rest only if every key reached the panel's field.
    after alt+Tab 'type 2'
    after side 'type 4'
    after alt+F4 'type 6'
    # KWin asked to close the panel typed into (as Alt+F4 would without the program holding
    # KWin's shortcuts back): the program puts up a new one.
    after close 'type 8'
    wait_for 30 covered || problem "a panel KWin closed did not come back"
    cp "$private/probe.png" "$shots/after-close-$mode.png"
    resting || problem "the rest ended before the passcode"
    after full 'key Return'
    if wait_for 30 working; then
        # Only where a window is: KWin repaints the bare second output late, and shows the last
        # picture of its panel there for seconds (a window moved there leaves its old place
        # behind it too).
        left=$(panel_spots "$shots/after-$mode.png" | grep -v '^1300,\|^2540,' |
            grep 'panel$' | tr '\n' ' ')
        [ -z "$left" ] || problem "still covered after the rest at $left"
    else
        problem "the passcode did not end the rest"
    fi
    for name in full side; do
        cmp -s "$private/$name.before" "$private/$name.keys" ||
            problem "keys typed during the rest reached $name:$(od -An -c -j \
                "$(wc -c <"$private/$name.before")" "$private/$name.keys" | tr -s ' \n' ' ')"
    done
    stop "$app"
    app=""
done
[ -z "$problems" ] || fail "$(printf '%s' "$problems" | wc -l) problems"
echo "kwin_rest: ok"
