#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Idle time on GNOME Wayland, read as the program reads it (Mutter's idle monitor): it grows
# while nothing happens, and a key typed through the compositor brings it back near zero.
# Runs inside with-mutter-session.sh.
# Usage: gnome_idle.sh <path to gnome_idle> <path to gnome_remote.py>
set -eu
idle=$1
remote=$2
. "$(dirname "$0")/lib.sh"
private=$(mktemp -d)
trap 'exec 3>&-; wait; rm -rf "$private"' EXIT
fail() {
    echo "FAIL: $*" >&2
    cat "$private/idle" "$private/remote.err" >&2 2>/dev/null || true
    exit 1
}

mkfifo "$private/keys"
"$remote" <"$private/keys" >"$private/answers" 2>"$private/remote.err" &
exec 3>"$private/keys"
"$idle" 5 >"$private/idle" &
sleep 2.5
echo "key shift" >&3
wait_for 40 grep -q ok "$private/answers" || fail "no key typed: $(cat "$private/answers")"
wait $!
# Before the key the idle time climbs past 1.5 s; after it, it is below half a second once and
# then climbs again.
awk '$2 < 0 { print "no idle time at " $1 "s"; bad = 1 }
    !dropped && $2 > high { high = $2 }
    high > 1.5 && $2 < 0.5 { dropped = 1 }
    END { if (!dropped) print "no climb past 1.5 s and drop below 0.5 s"
          if ($2 < 1) print "no climb after the key"
          exit bad || !dropped || $2 < 1 }' "$private/idle" >"$private/verdict" ||
    fail "$(cat "$private/verdict")"
echo "gnome_idle: ok"
