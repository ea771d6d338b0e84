#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# A rest on a Wayland desktop with a layer shell, typed at through the compositor's own keyboard:
# the panels cover both outputs above a full-screen window; a wrong passcode keeps the rest and
# shows the message; the keys still reach the panel, and nothing else, whatever the compositor is
# asked to focus (another output, another workspace, a window) and the compositor's shortcuts are
# held back; the right passcode ends the rest, and not one key typed during it reached a window.
# Each run once as the program starts on this desktop by default (X11 through XWayland), once
# with QT_QPA_PLATFORM=wayland exported (still X11, as DISPLAY is set) and once without X.
# Runs inside with-sway-session.sh (HEADLESS-1 1280x720 at 0,0, HEADLESS-2 1024x768 at 1280,0).
#
# Usage: wayland_rest.sh <path to lumatide> <path to lumatide_virtual_keyboard>
set -eu
program=$1
keyboard=$2
. "$(dirname "$0")/lib.sh"
private_home

pids=""
app=""
cleanup() {
    exec 3>&- 2>/dev/null || true
    [ -n "$app" ] && stop "$app"
    for pid in $pids; do kill "$pid" 2>/dev/null; done
    wait 2>/dev/null
    rm -rf "$private"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    cat "$private/err" >&2 2>/dev/null || true
    grim "$shots/failure.png" 2>/dev/null || true
    exit 1
}
# Started before any window, so that every client knows the seat has a keyboard when typed at.
start_keyboard "$keyboard"

focused() { swaymsg -t get_tree | python3 -c '
import json, sys
def walk(node):
    if node.get("focused"):
        print(node.get("app_id") or node.get("name"))
    for child in node.get("nodes", []) + node.get("floating_nodes", []):
        walk(child)
walk(json.load(sys.stdin))'; }
# The visible workspaces, the focused one marked with a star (for the log).
workspaces() { swaymsg -t get_workspaces | python3 -c '
import json, sys
print(" ".join(w["name"] + "@" + w["output"] + "*" * w["focused"] for w in json.load(sys.stdin) if w["visible"]))'; }
# terminal <app id>: a white terminal that writes every byte typed into it, unechoed and at
# once, to $private/<app id>.keys.
terminal() {
    foot -o colors.background=ffffff --app-id "$1" \
        sh -c "stty raw -echo && exec cat >'$private/$1.keys'" >/dev/null 2>&1 &
    pids="$pids $!"
    wait_for 100 appeared "$1" || fail "terminal $1 did not appear"
}
appeared() { [ "$(focused)" = "$1" ] && [ -f "$private/$1.keys" ]; }
# A full-screen window on the left output, as a video or game would be; another on the right.
swaymsg focus output HEADLESS-1 >/dev/null
terminal full
swaymsg '[app_id=full] fullscreen enable' >/dev/null
swaymsg focus output HEADLESS-2 >/dev/null
terminal side
# A shortcut of the compositor's, to see it held back during the rest.
swaymsg "bindsym Mod1+Tab exec touch '$private/shortcut'" >/dev/null

# First the keyboard itself: what it types reaches the focused window, and the shortcut runs.
for name in full side; do
    swaymsg "[app_id=$name] focus" >/dev/null
    keys type "$name"
    wait_for 20 grep -qx "$name" "$private/$name.keys" ||
        fail "the keyboard did not reach $name: $(od -c "$private/$name.keys")"
done
keys key alt+Tab
wait_for 20 test -e "$private/shortcut" || fail "the compositor's shortcut did not run"
rm "$private/shortcut"

# Corners and edges of both outputs, away from the panels' texts; those on the left are on the
# full-screen terminal.
spots="20 5|640 5|1270 10|20 700|1275 715|1285 5|1800 5|2290 10|1285 760|2299 763"
# survey <image>: a new screenshot, and each spot in it as "x,y (r g b)", with " panel" after
# it where it shows the panel's colour.
survey() {
    grim "$1"
    format=$(echo "$spots" | tr '|' '\n' | while read -r x y; do
        printf '%s' "$x $y %[fx:int(255*p{$x,$y}.r)] %[fx:int(255*p{$x,$y}.g)] %[fx:int(255*p{$x,$y}.b)]\n"
    done)
    convert "$1" -format "$format" info: | while read -r x y r g b; do
        echo "$x,$y ($r $g $b)$(is_panel_colour "$r" "$g" "$b" && echo ' panel')"
    done
}
covered() { ! survey "$private/probe.png" | grep -qv 'panel$'; }
messages() {
    echo $(($(message_pixels "$1" 1280x300+0+420) + $(message_pixels "$1" 1024x400+1280+368)))
}
# after <command> <keyboard command>: the compositor asked to focus something else, then typing.
after() {
    echo "$1: $(swaymsg "$1" 2>&1 | tr -d ' \n'); focus on: $(focused); $(workspaces)" \
        >>"$shots/focus-$mode.log"
    keys "$2"
}

# The session leaves DISPLAY unset; the XWayland display is the one sway gives its own children.
display=""
swaymsg exec "printf %s \"\$DISPLAY\" >'$private/display'" >/dev/null
wait_for 30 test -s "$private/display" && display=$(cat "$private/display")
[ -n "$display" ] || fail "sway gives its windows no XWayland display"

for mode in xwayland qt-wayland native; do
    : >"$shots/focus-$mode.log"
    case $mode in
    xwayland) set -- env DISPLAY="$display" ;;
    qt-wayland) set -- env DISPLAY="$display" QT_QPA_PLATFORM=wayland ;;
    native) set -- env -u DISPLAY ;;
    esac
    for name in full side; do cp "$private/$name.keys" "$private/$name.before"; done
    # The rest starts while the full-screen window has the focus.
    swaymsg '[app_id=full] focus' >/dev/null
    "$@" "$program" --demo-work-seconds 3 --lock-minutes 1 --demo-language en 2>"$private/err" &
    app=$!
    wait_for 150 resting || fail "no rest after the work period"
    wait_for 30 covered || true
    missed=$(survey "$shots/rest-$mode.png" | grep -v 'panel$' | tr '\n' ' ')
    [ -z "$missed" ] || problem "not covered at $missed"
    [ "$(messages "$shots/rest-$mode.png")" -eq 0 ] || problem "a message before any passcode"

    keys type 1357
    keys key Return
    keys sleep 0.7
    grim "$shots/wrong-passcode-$mode.png"
    resting || problem "a wrong passcode ended the rest"
    [ "$(messages "$shots/wrong-passcode-$mode.png")" -gt 20 ] || problem "no incorrect-passcode message"

    # Keys the panel takes without a trace (two of them typed, then rubbed out), and a shortcut
    # of the compositor's, which must not run.
    keys type 13
    keys key alt+Tab
    keys key ctrl+c
    keys key BackSpace
    keys key BackSpace
    # The passcode a key at a time, the compositor asked each time to focus something else
    # first: another output, a new workspace and back, the windows. It ends the rest only if
    # every key reached the panel's field.
    after 'focus output HEADLESS-2' 'type 2'
    after 'workspace 3' 'type 4'
    after 'workspace 1' 'type 6'
    after '[app_id=side] focus' 'type 8'
    resting || problem "the rest ended before the passcode"
    after '[app_id=full] focus' 'key Return'
    [ ! -e "$private/shortcut" ] || problem "the compositor's shortcut ran during the rest"
    rm -f "$private/shortcut"
    if wait_for 30 working; then
        sleep 0.5
        left=$(survey "$shots/after-$mode.png" | grep 'panel$' | tr '\n' ' ')
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
echo "wayland_rest: ok"
