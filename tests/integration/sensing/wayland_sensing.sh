#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Sensing against a real Wayland compositor: the idle time grows while nothing happens and drops
# at once after a key is typed; the active window counts as covering a screen exactly while it
# is full screen. Runs inside with-sway-session.sh, or inside with-kwin-session.sh, where the
# idle time comes through the standard protocol that KWin offers next to KDE's own, and the
# window list is KDE's, which KWin shows the probe only as a desktop file in $XDG_DATA_HOME
# vouches for it.
# Usage: wayland_sensing.sh <wayland_probe> [<kwin_window> <virtual_keyboard>, on KWin]
set -eu
probe=$1
log=$(mktemp)
terminal=""
cleanup() {
    [ -n "$terminal" ] && kill "$terminal" 2>/dev/null
    rm -f "$log" "$log".*.js
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}
# expect <probe answer> <failure>: the probe gives that answer within five seconds; no answer
# at all (no window list) never matches.
expect() {
    tries=0
    until [ "$("$probe" fullscreen)" = "$1" ]; do
        tries=$((tries + 1))
        [ "$tries" -lt 50 ] || fail "$2"
        sleep 0.1
    done
}

"$probe" idle 7 >"$log" &
probe_pid=$!
sleep 4
# One key from a virtual keyboard, as a user's typing would reach the compositor (on KWin its
# fake input, which a desktop file in $XDG_DATA_HOME vouches for).
if [ -n "${SWAYSOCK:-}" ]; then wtype x; else echo "key x" | "$3" >/dev/null; fi
wait "$probe_pid"
protocol=ext_idle_notifier_v1
[ -z "${SWAYSOCK:-}" ] || protocol=org_kde_kwin_idle
python3 - "$log" "protocol $protocol" <<'PY'
import sys
lines = open(sys.argv[1]).read().split("\n")
assert lines[0] == sys.argv[2], lines[0]
samples = [tuple(map(float, line.split())) for line in lines[1:] if line]
before = [idle for t, idle in samples if 2.0 <= t <= 3.8]
after = [idle for t, idle in samples if t >= 4.8]
assert before and after, samples
# Growing with the time that passes, a second behind at most.
assert all(b >= a for a, b in zip(before, before[1:])), before
assert before[-1] >= 2.5, before
# The key brought it back to nothing, and it grew again from there.
assert min(after) < 2.0 and min(after) < before[-1] - 1.5, (before, after)
print(lines[0], "- idle", before[-1], "s before the key,", min(after), "s after")
PY

if [ -z "${SWAYSOCK:-}" ]; then
    expect "does not cover" "an empty desktop covers a screen, or KWin hides its window list"
    # The white window starts full screen; KWin changes a window's state from a script.
    QT_QPA_PLATFORM=wayland "$2" /dev/null 2>/dev/null &
    terminal=$!
    kwin_set() {
        echo "workspace.clientList().forEach(function (window) {
            if (window.resourceClass == 'kwin_window') window.$1 = $2; });" >"$log.$1-$2.js"
        # KWin ignores calls that expect no reply.
        dbus-send --session --dest=org.kde.KWin --print-reply /Scripting \
            org.kde.kwin.Scripting.loadScript string:"$log.$1-$2.js" string:"lumatide-$1-$2" \
            >/dev/null || fail "KWin did not load the script"
        dbus-send --session --dest=org.kde.KWin --print-reply /Scripting \
            org.kde.kwin.Scripting.start >/dev/null || fail "KWin did not run the script"
    }
    expect covers "a full-screen window does not cover a screen"
    kwin_set fullScreen false
    expect "does not cover" "a window that is not full screen covers a screen"
    kwin_set fullScreen true
    expect covers "a window made full screen does not cover a screen"
    # Still full screen, but no longer the active window.
    kwin_set minimized true
    expect "does not cover" "a minimised full-screen window covers a screen"
    echo "full screen: ok"
    exit 0
fi

expect "does not cover" "an empty desktop covers a screen"
foot --app-id lumatide-test sh -c 'sleep 60' >/dev/null 2>&1 &
terminal=$!
tries=0
until swaymsg -t get_tree | grep -q '"app_id": "lumatide-test"'; do
    tries=$((tries + 1))
    [ "$tries" -lt 100 ] || fail "the terminal did not appear"
    sleep 0.1
done
expect "does not cover" "a window that is not full screen covers a screen"
swaymsg '[app_id=lumatide-test] fullscreen enable' >/dev/null
expect covers "a full-screen window does not cover a screen"
swaymsg '[app_id=lumatide-test] fullscreen disable' >/dev/null
expect "does not cover" "the window still covers a screen after leaving full screen"
echo "full screen: ok"
