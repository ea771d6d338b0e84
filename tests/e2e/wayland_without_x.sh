#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# A Wayland session without an X server: the program starts as a native Wayland client, counts
# down, starts a rest on time, covers both outputs with it through the compositor's layer shell
# (so it has nothing to warn about) and answers on the session bus. Runs inside
# with-sway-session.sh (which starts no XWayland).
# Usage: wayland_without_x.sh <path to lumatide>
set -eu
program=$1
. "$(dirname "$0")/lib.sh"
private_home
app=""
cleanup() {
    [ -n "$app" ] && kill "$app" 2>/dev/null && wait "$app" 2>/dev/null
    rm -rf "$private"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    cat "$private/err" >&2 2>/dev/null || true
    exit 1
}

"$program" --demo-work-seconds 3 --lock-minutes 0.2 --demo-language en 2>"$private/err" &
app=$!
tries=0
until "$program" --status >/dev/null 2>&1; do
    tries=$((tries + 1))
    [ "$tries" -lt 100 ] && kill -0 "$app" 2>/dev/null || fail "the program did not start"
    sleep 0.1
done
tries=0
until "$program" --status | grep -q '^B '; do
    tries=$((tries + 1))
    [ "$tries" -lt 100 ] && kill -0 "$app" 2>/dev/null || fail "no rest after the work period"
    sleep 0.1
done
sleep 1
grim "$LUMATIDE_ARTIFACTS/rest.png"
# The panel's dark teal in the middle and near the corners of both outputs.
for spot in "640 700" "20 20" "1260 360" "1792 740" "2280 20"; do
    set -- $spot
    colour=$(convert "$LUMATIDE_ARTIFACTS/rest.png" -format "%[fx:int(255*p{$1,$2}.r)] %[fx:int(255*p{$1,$2}.g)] %[fx:int(255*p{$1,$2}.b)]" info:)
    set -- $colour
    [ "$1" -lt 60 ] && [ "$2" -lt 90 ] && [ "$3" -lt 90 ] || fail "no rest panel at $spot ($colour)"
done
grep -q '^lumatide: ' "$private/err" && fail "a warning although the compositor's layers cover everything"
echo "wayland_without_x: ok"
