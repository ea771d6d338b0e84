#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Idle time from a real Wayland compositor: it grows while nothing happens and drops at once
# after a key is typed. Runs inside with-sway-session.sh.
# Usage: wayland_idle.sh <wayland_idle_probe>
set -eu
probe=$1
log=$(mktemp)
trap 'rm -f "$log"' EXIT

"$probe" 7 >"$log" &
probe_pid=$!
sleep 4
# One key from a virtual keyboard, as a user's typing would reach the compositor.
wtype x
wait "$probe_pid"

python3 - "$log" <<'PY'
import sys
lines = open(sys.argv[1]).read().split("\n")
assert lines[0].startswith("protocol "), lines[0]
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
