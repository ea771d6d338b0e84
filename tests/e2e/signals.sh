#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# SIGTERM and SIGINT end the program cleanly in every state: while a countdown toast is up,
# during a rest (panels on both monitors), while the preferences are being written, and with a
# pipe where the preference file belongs; the exit status is 0, no window of the program is
# left, and the preference file is whole, private and has no lock or temporary file next to it.
# A second copy started meanwhile leaves at once, even when the lock file was deleted.
# Runs inside with-x-session.sh.
#
# Usage: signals.sh <path to lumatide>
set -eu

program=$1
. "$(dirname "$0")/lib.sh"
private_user

app=""
cleanup() {
    [ -n "$app" ] && kill -9 "$app" 2>/dev/null
    rm -rf "$private"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    import -window root "$shots/signals-failure.png" 2>/dev/null || true
    exit 1
}
# Visible windows named exactly "Lumatide": the countdown toasts.
toast_count() {
    xdotool search --onlyvisible --name '^Lumatide$' 2>/dev/null | grep -c . || true
}
some_toast() { [ "$(toast_count)" -ge 1 ]; }
now_ms() { date +%s%3N; }

# end_with <signal> <what>: sends the signal, waits at most 5 s, checks what is left.
end_with() {
    sent=$(now_ms)
    kill "-$1" "$app"
    tries=0
    while kill -0 "$app" 2>/dev/null; do
        tries=$((tries + 1))
        [ "$tries" -ge 50 ] && fail "SIG$1 $2: still running after 5 s"
        sleep 0.1
    done
    status=0
    wait "$app" || status=$?
    took=$(($(now_ms) - sent))
    app=""
    [ "$status" -eq 0 ] || fail "SIG$1 $2: exit status $status"
    [ "$(panel_count)" -eq 0 ] || fail "SIG$1 $2: rest panels left"
    [ "$(toast_count)" -eq 0 ] || fail "SIG$1 $2: toasts left"
    python3 -c 'import json, sys; v = json.load(open(sys.argv[1])); assert v["Lumatide.passcode"] == "2468"' \
        "$prefs" || fail "SIG$1 $2: the preference file is not whole"
    [ "$(stat -c %a "$prefs")" = 600 ] || fail "SIG$1 $2: preference file mode $(stat -c %a "$prefs")"
    leftovers=$(ls -A "$XDG_CONFIG_HOME/lumatide" | grep -v '^preferences.json$' || true)
    [ -z "$leftovers" ] || fail "SIG$1 $2: left next to the preferences: $leftovers"
    echo "  SIG$1 $2: ended with status 0 in $took ms"
}

start() {
    "$program" --demo-work-seconds "$1" --lock-minutes 1 --demo-language en 2>>"$private/stderr" &
    app=$!
}

# During a rest, by SIGTERM and by SIGINT.
start 2
wait_for 100 two_panels || fail "no rest ($(panel_count) panels)"
import -window root "$shots/signals-rest.png"
end_with TERM "during a rest"

start 2
wait_for 100 two_panels || fail "no rest ($(panel_count) panels)"
end_with INT "during a rest"

# While the countdown toasts are up.
start 6
wait_for 60 some_toast || fail "no countdown toast"
import -window root "$shots/signals-toast.png"
end_with TERM "with a toast up"

start 6
wait_for 60 some_toast || fail "no countdown toast"
end_with INT "with a toast up"

# Just after start-up, as soon as the program has a window, while it may still be writing its
# first preferences.
has_window() { xdotool search --pid "$app" >/dev/null 2>&1; }
for run in 1 2; do
    start 30
    wait_for 100 has_window || fail "no window after start-up"
    end_with TERM "just after start-up ($run)"
done

# One copy only, even when the lock file is deleted under the running one: the second start
# leaves at once.
start 30
wait_for 100 has_window || fail "no window after start-up"
rm -f "$XDG_RUNTIME_DIR/lumatide.lock"
second=0
timeout 10 "$program" --demo-language en 2>>"$private/stderr" || second=$?
[ "$second" -eq 0 ] || fail "a second copy with the lock file deleted ended with status $second"
kill -0 "$app" || fail "the first copy died"
end_with TERM "after a second copy was turned away"

# A pipe where the preference file belongs would block a plain read for good: the program
# starts all the same, keeps the pipe aside, and a termination request still ends it.
mv "$prefs" "$private/saved.json"
mkfifo "$prefs"
start 30
wait_for 100 has_window || fail "no window with a pipe for preferences"
kill -TERM "$app"
tries=0
while kill -0 "$app" 2>/dev/null; do
    tries=$((tries + 1))
    [ "$tries" -ge 50 ] && fail "SIGTERM did not end the program with a pipe for preferences"
    sleep 0.1
done
app=""
ls "$XDG_CONFIG_HOME/lumatide" | grep -q '^preferences.json.corrupt-' || fail "the pipe was not kept aside"
rm -f "$XDG_CONFIG_HOME/lumatide/"preferences.json*
mv "$private/saved.json" "$prefs"

grep -q 2468 "$private/stderr" && fail "the passcode reached the log"
echo "signals: ok"
