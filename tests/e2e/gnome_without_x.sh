#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# A native Wayland start on GNOME (DISPLAY unset): Mutter offers no layer shell, so the program
# says at once that its rest panels cannot be kept above other windows, and still counts down and
# starts the rest on time. Runs inside with-mutter-session.sh.
# Usage: gnome_without_x.sh <path to lumatide>
set -eu
program=$1
. "$(dirname "$0")/lib.sh"
private_home
app=""
cleanup() {
    [ -n "$app" ] && stop "$app"
    rm -rf "$private"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    cat "$private/err" >&2 2>/dev/null || true
    exit 1
}

env -u DISPLAY -u XAUTHORITY "$program" --demo-work-seconds 2 --lock-minutes 0.2 \
    --demo-language en 2>"$private/err" &
app=$!
resting() { "$program" --status | grep -q '^B '; }
wait_for 150 resting || fail "no rest after the work period"
grep -q '^lumatide: .*rest panels cannot be shown above other windows' "$private/err" ||
    fail "no warning that the panels cannot be kept above other windows"
echo "gnome_without_x: ok"
