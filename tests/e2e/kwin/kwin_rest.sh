#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# A rest on KWin: the panels, drawn in the layer shell's overlay layer, cover both outputs,
# above a full-screen window on the first, and leave when the rest ends by itself, the window
# showing again. Runs inside with-kwin-session.sh (Virtual-0 1280x720 at 0,0, Virtual-1 at
# 1280,0), which lets the screenshot tool through KWin's permission check.
#
# Usage: kwin_rest.sh <lumatide> <kwin_screenshot> <kwin_window>
set -eu
program=$1
screenshot=$2
window=$3
. "$(dirname "$0")/../lib.sh"
private_home
pids=""
cleanup() {
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
# status_is <letter>: the program's status line starts with it (B in a rest, W at work).
status_is() { "$program" --status 2>/dev/null | grep -q "^$1 "; }
# colour <image> <x> <y>: "r g b" of one pixel, 0..255.
colour() {
    convert "$1" -format "%[fx:int(255*p{$2,$3}.r)] %[fx:int(255*p{$2,$3}.g)] %[fx:int(255*p{$2,$3}.b)]" info:
}
# Spots on the full-screen window (the first output) and on the bare second output.
spots="20 20|640 700|1260 360|1300 20|1920 360|2540 700"

QT_QPA_PLATFORM=wayland "$window" "$private/typed" 2>"$private/window.err" &
pids="$pids $!"
wait_for 100 test -f "$private/typed" || fail "the window did not start"
sleep 1
"$screenshot" "$shots/before.png" || fail "no screenshot"
set -- $(colour "$shots/before.png" 640 360)
[ "$1" -gt 240 ] && [ "$2" -gt 240 ] && [ "$3" -gt 240 ] ||
    fail "the white window does not cover the first output ($*)"

"$program" --demo-work-seconds 3 --lock-minutes 0.3 --demo-language en 2>"$private/err" &
app=$!
pids="$app $pids"
wait_for 150 status_is B || fail "no rest after the work period"
# The panels are drawn a frame or two after the rest starts.
sleep 1
"$screenshot" "$shots/rest.png" || fail "no screenshot during the rest"
IFS='|'
for spot in $spots; do
    IFS=' '
    set -- $spot
    set -- $(colour "$shots/rest.png" "$1" "$2")
    [ "$1" -lt 60 ] && [ "$2" -lt 90 ] && [ "$3" -lt 90 ] || fail "no rest panel at $spot ($*)"
    IFS='|'
done
IFS=' '
status_is B || fail "the rest ended early"

# The rest lasts 18 s; it ends by itself and the panels go.
wait_for 300 status_is W || fail "the rest did not end by itself"
# Quickly: the next rest is due 3 s later.
sleep 0.3
"$screenshot" "$shots/after.png" || fail "no screenshot after the rest"
status_is W || fail "the next rest began before the screenshot"
for spot in "20 20" "640 700" "1260 360"; do
    set -- $spot
    set -- $(colour "$shots/after.png" "$1" "$2")
    [ "$1" -gt 240 ] && [ "$2" -gt 240 ] && [ "$3" -gt 240 ] || fail "a panel stayed at $spot ($*)"
done
for spot in "1300 20" "1920 360" "2540 700"; do
    set -- $spot
    set -- $(colour "$shots/after.png" "$1" "$2")
    [ "$1" -lt 20 ] && [ "$2" -lt 20 ] && [ "$3" -lt 20 ] || fail "a panel stayed at $spot ($*)"
done
kill -0 "$app" 2>/dev/null || fail "the program ended"
echo "kwin_rest: ok"
