#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# The countdown toast on a Wayland desktop with a layer shell: drawn by the compositor above the
# windows of both outputs, in the top-right corner, and a click on it goes to the window beneath.
# Runs inside with-sway-session.sh (LEFT 1280x720 at 0,0, RIGHT 1024x768 at 1280,0).
# Usage: wayland_toast.sh <path to lumatide>
set -eu
program=$1
. "$(dirname "$0")/lib.sh"
private_home
pids=""
cleanup() {
    for pid in $pids; do kill "$pid" 2>/dev/null; done
    wait 2>/dev/null
    rm -rf "$private"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    grim "$LUMATIDE_ARTIFACTS/failure.png" 2>/dev/null || true
    exit 1
}
focused() { swaymsg -t get_tree | python3 -c '
import json, sys
def walk(node):
    if node.get("focused"):
        print(node.get("app_id"))
    for child in node.get("nodes", []) + node.get("floating_nodes", []):
        walk(child)
walk(json.load(sys.stdin))'; }
window() {
    foot -o colors.background=ffffff --app-id "$1" sh -c 'sleep 120' >/dev/null 2>&1 &
    pids="$pids $!"
    tries=0
    until [ "$(focused)" = "$1" ]; do
        tries=$((tries + 1))
        [ "$tries" -lt 100 ] || fail "window $1 did not appear"
        sleep 0.1
    done
}
# White windows under both corners; on the left output two side by side, the left one focused.
swaymsg focus output HEADLESS-1 >/dev/null
window left
window right
swaymsg focus output HEADLESS-2 >/dev/null
window other
swaymsg '[app_id=left] focus' >/dev/null

# Twelve seconds of work: the toast comes five seconds before the end.
"$program" --demo-work-seconds 12 --demo-language en 2>"$private/err" &
pids="$pids $!"
sleep 8.5
grim "$LUMATIDE_ARTIFACTS/toast.png"
# A pixel's brightness (0..255).
level() { convert "$LUMATIDE_ARTIFACTS/toast.png" -format "%[fx:int(255*p{$1,$2}.intensity)]" info:; }
for spot in "1094 60" "2098 60"; do
    set -- $spot
    [ "$(level "$1" "$2")" -lt 80 ] || fail "no toast at $spot"
    [ "$(level "$1" 200)" -gt 200 ] || fail "the window below the toast at $1 is not white"
done
# A click on the left output's toast lands on the window beneath it, which takes the focus.
swaymsg seat seat0 cursor set 1094 69 >/dev/null
swaymsg seat seat0 cursor press button1 >/dev/null
swaymsg seat seat0 cursor release button1 >/dev/null
sleep 0.3
[ "$(focused)" = right ] || fail "the click did not reach the window beneath the toast ($(focused) has the focus)"
echo "wayland_toast: ok"
