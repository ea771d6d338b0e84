#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Hundreds of full work/rest cycles of the real program with demo timings: some rests end with a
# wrong and then the right passcode, the others by themselves. The program must never die, its
# windows must come back to the idle count after every rest, and its resident memory
# after the last cycle must be within 2 MB of that after the tenth.
# Runs inside with-x-session.sh; takes about half an hour for the default 300 cycles.
#
# Usage: endurance.sh <path to lumatide>   (LUMATIDE_ENDURANCE_CYCLES overrides the 300)
set -eu

program=$1
cycles=${LUMATIDE_ENDURANCE_CYCLES:-300}
. "$(dirname "$0")/lib.sh"
private_user

app=""
cleanup() {
    if [ -n "$app" ]; then
        kill "$app" 2>/dev/null || true
        sleep 1
        kill -9 "$app" 2>/dev/null || true
    fi
    rm -rf "$private"
}
trap cleanup EXIT

fail() {
    echo "FAIL (cycle $cycle): $*" >&2
    import -window root "$shots/endurance-failure.png" 2>/dev/null || true
    exit 1
}

rss_kb() {
    awk '/^VmRSS:/ { print $2 }' "/proc/$app/status"
}
alive() {
    kill -0 "$app" 2>/dev/null || fail "the program died"
}
# wait_until <tenths of a second> <command...>
wait_until() {
    limit=$1
    shift
    tries=0
    until "$@"; do
        alive
        tries=$((tries + 1))
        [ "$tries" -ge "$limit" ] && return 1
        sleep 0.1
    done
}

cycle=0
"$program" --demo-work-seconds 2 --lock-minutes 0.05 --demo-language en 2>"$private/stderr" &
app=$!
xdotool mousemove 640 360

idle_existing=""
rss_tenth=""
started=$(date +%s)
while [ "$cycle" -lt "$cycles" ]; do
    cycle=$((cycle + 1))
    wait_until 200 two_panels || fail "no rest came ($(panel_count) panels)"
    if [ $((cycle % 5)) -eq 0 ]; then
        xdotool type --delay 30 1357
        xdotool key Return
        sleep 0.2
        [ "$(panel_count)" -eq 2 ] || fail "a wrong passcode removed panels"
        xdotool type --delay 30 2468
        xdotool key Return
        wait_until 20 no_panels || fail "the passcode left $(panel_count) panels"
    else
        wait_until 100 no_panels || fail "the rest did not end ($(panel_count) panels)"
    fi
    # Right after a rest no panel window may be left, not even an unmapped one, and the
    # program's other windows may not outnumber those of the first cycles. The countdown
    # toasts (named "Lumatide") of the next two-second work period are left out: whether they
    # are up yet when this looks depends only on how quickly it looks.
    leftover=$(xdotool search --name '^Lumatide rest panel' 2>/dev/null | grep -c . || true)
    [ "$leftover" -eq 0 ] || fail "$leftover rest panel windows left after the rest"
    existing=0
    for id in $(xdotool search --pid "$app" 2>/dev/null); do
        # A window gone meanwhile has no name any more and is not counted.
        name=$(xdotool getwindowname "$id" 2>/dev/null) || continue
        [ "$name" = Lumatide ] || existing=$((existing + 1))
    done
    if [ "$cycle" -le 10 ]; then
        if [ -z "$idle_existing" ] || [ "$existing" -gt "$idle_existing" ]; then
            idle_existing=$existing
        fi
    elif [ "$existing" -gt "$idle_existing" ]; then
        fail "$existing windows after the rest, at most $idle_existing in the first cycles"
    fi
    [ "$cycle" -eq 10 ] && rss_tenth=$(rss_kb)
    if [ $((cycle % 25)) -eq 0 ]; then
        echo "cycle $cycle: $(rss_kb) kB resident, $existing windows, $(($(date +%s) - started)) s"
    fi
done
alive
rss_last=$(rss_kb)
grep -i -e 2468 -e 1357 "$private/stderr" && fail "a passcode reached the log"
echo "endurance: $cycles cycles in $(($(date +%s) - started)) s; resident $rss_tenth kB after cycle 10, $rss_last kB after the last"
[ $((rss_last - rss_tenth)) -le 2048 ] || fail "resident memory grew by $((rss_last - rss_tenth)) kB"
