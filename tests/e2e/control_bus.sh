#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# The real program's control interface on the private session bus: the interface matches its
# published description; the properties follow a demo work/rest cycle and each change is
# announced (the countdown title never is); --status --follow prints the countdown and the
# phase changes and ends with the program; no command ends a rest; --restart-work-timer counts
# against the day's allowance as the menu does; --start-break covers both monitors; a second
# copy says that Lumatide is already running; the history records what happened.
#
# Usage: control_bus.sh <path to lumatide> <interface description>
set -eu

program=$1
description=$2
. "$(dirname "$0")/lib.sh"
private_user

app=""
watchers=""
cleanup() {
    [ -n "$app" ] && stop "$app"
    for pid in $watchers; do stop "$pid"; done
    rm -rf "$private"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    for log in app follow monitor; do
        [ -f "$private/$log.log" ] && sed "s/^/$log: /" "$private/$log.log" >&2
    done
    import -window root "$shots/failure.png" 2>/dev/null || true
    exit 1
}

property() {
    gdbus call --session --dest com.vexilo.Lumatide --object-path /com/vexilo/Lumatide \
        --method org.freedesktop.DBus.Properties.Get com.vexilo.Lumatide1 "$1" |
        sed -E "s/^\(<(uint32 |int64 )?'?([^'>]*)'?>,\)$/\2/"
}
is_phase() { [ "$(property Phase)" = "$1" ]; }
# Whether the end of the phase is still <ms>: it is worked out from two clocks at each reading,
# so it may differ by a millisecond; the commands are given a second later, so a moved end
# would differ by more than that.
end_is() { [ "$(( $(property PhaseEndsAt) - $1 ))" -le 100 ] && [ "$(( $1 - $(property PhaseEndsAt) ))" -le 100 ]; }
# call <method> [arguments...]: the method's reply or error on stdout, its status as its own.
call() {
    method=$1
    shift
    gdbus call --session --dest com.vexilo.Lumatide --object-path /com/vexilo/Lumatide \
        --method "com.vexilo.Lumatide1.$method" "$@" 2>&1
}

"$program" --status 2>"$private/err" && fail "--status answered with no program running"

"$program" --demo-work-seconds 6 --lock-minutes 0.2 --demo-language en >"$private/app.log" 2>&1 &
app=$!
wait_for 100 "$program" --status || fail "the control interface did not appear"
dbus-monitor --session "type='signal',path='/com/vexilo/Lumatide'" >"$private/monitor.log" 2>&1 &
watchers="$!"
"$program" --status --follow >"$private/follow.log" 2>&1 &
follow=$!
watchers="$watchers $follow"

"$program" --demo-language en 2>"$private/second.err" || fail "a second copy exited with $?"
[ "$(cat "$private/second.err")" = "lumatide: Lumatide is already running" ] ||
    fail "a second copy said: $(cat "$private/second.err")"

# The members the program offers are the ones its description lists, with the same types.
members() {
    grep -oE '<(property|method|arg) [^>]*' "$1" | sed -E 's/ +/ /g; s/ *\/$//' | sort
}
gdbus introspect --session --dest com.vexilo.Lumatide --object-path /com/vexilo/Lumatide --xml |
    awk '/<interface name="com.vexilo.Lumatide1">/,/<\/interface>/' >"$private/live.xml"
members "$description" >"$private/described"
members "$private/live.xml" >"$private/offered"
diff "$private/described" "$private/offered" >&2 || fail "the interface differs from its description"

# The demo work period ends by itself: a rest on both monitors, then refusals for everything
# that would end or replace it.
wait_for 150 is_phase rest || fail "no rest after the demo work period"
wait_for 50 two_panels || fail "the rest does not cover both monitors"
[ -n "$(property Activity)" ] || fail "no activity during the rest"
ends=$(property PhaseEndsAt)
sleep 1
for method in RestartWorkTimer StartBreak; do
    call "$method" | grep -q 'com.vexilo.Lumatide1.Error.Resting' || fail "$method during a rest"
done
"$program" --restart-work-timer 2>"$private/err" && fail "--restart-work-timer ended the rest"
is_phase rest && two_panels || fail "a command ended the rest"
end_is "$ends" || fail "a refused command moved the end of the rest"

# The rest ends by its time; the first restart of the day is granted, the second refused with
# the menu's message and the timer left alone.
wait_for 250 is_phase work || fail "the rest did not end by itself"
wait_for 30 no_panels || fail "panels left after the rest"
"$program" --restart-work-timer || fail "the first restart of the day was refused"
ends=$(property PhaseEndsAt)
sleep 1
"$program" --restart-work-timer 2>"$private/err" && fail "a second restart was granted"
grep -q 'restarting the work timer is allowed once per day' "$private/err" ||
    fail "the second restart said: $(cat "$private/err")"
end_is "$ends" || fail "the refused restart moved the timer"

call SetWorkMinutes 33 | grep -q 'Error.InvalidWorkLength' || fail "33 minutes were accepted"
call SetWorkMinutes 40 >/dev/null || fail "40 minutes were refused"
[ "$(property WorkSeconds)" = 2400 ] || fail "the work length is $(property WorkSeconds) s"
"$program" --status | grep -qE '^W (40:00|39:5[0-9])$' || fail "status: $("$program" --status)"

"$program" --start-break || fail "--start-break was refused"
wait_for 50 two_panels || fail "--start-break did not cover both monitors"
"$program" --status --json | grep -q '"phase":"rest"' || fail "status json: $("$program" --status --json)"
import -window root "$shots/started-break.png"
stop "$app"
app=""

# The follower printed the countdown second by second, the rest and the work after it, and
# ended with the program.
wait_for 30 sh -c "! kill -0 $follow" || fail "--status --follow outlived the program"
grep -q '^W 00:0[1-5]$' "$private/follow.log" || fail "no work countdown followed"
grep -q '^B 00:1[0-1]$' "$private/follow.log" || fail "no rest countdown followed"
[ -z "$(uniq -d "$private/follow.log")" ] || fail "a title was printed twice in a row"
tr '\n' ' ' <"$private/follow.log" | grep -qE 'W 00:0[0-9] .*B 00:[0-9]{2} .*W [0-9]{2}:[0-9]{2}' ||
    fail "the phases were not followed in order"

# Announced: both phases and the work length; never the title.
grep -A1 '"Phase"' "$private/monitor.log" | grep -q '"rest"' || fail "the rest was not announced"
grep -A1 '"WorkSeconds"' "$private/monitor.log" | grep -q 'uint32 2400' ||
    fail "the work length was not announced"
! grep -q '"Title"' "$private/monitor.log" || fail "the title was announced"

# The record: one rest ended by time, the restart; the rest stopped with the program is not one.
"$program" --history --json --days 1 >"$private/history.json" || fail "--history failed"
python3 - "$private/history.json" <<'PY' || fail "history: $(cat "$private/history.json")"
import json, sys
total = json.load(open(sys.argv[1]))["total"]
assert (total["rests"], total["endedByTime"], total["restarts"]) == (1, 1, 1), total
PY
echo "control_bus: ok"
