#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# A Wayland session without an X server: the program starts anyway as a native Wayland client,
# says once on stderr what the user loses, counts down, starts a rest on time and answers on the
# session bus. Runs inside with-sway-session.sh (which starts no XWayland).
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
[ "$(grep -c '^lumatide: ' "$private/err")" -eq 1 ] || fail "not one message"
grep -qx 'lumatide: this desktop session has no X server (XWayland): rest panels cannot be shown above other windows on this desktop' \
    "$private/err" || fail "the limitation was not said"
echo "wayland_without_x: ok"
