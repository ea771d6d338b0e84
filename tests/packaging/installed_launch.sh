#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# The installed copy, started the way a desktop starts it: the build is installed into a
# temporary prefix, the program is started from the Exec line of the installed desktop file,
# its icon appears in the tray host, and on this first start it switches launching at login on
# with an autostart entry whose Exec is the installed program. Starting that entry brings the
# program back into the tray.
# Usage (inside tests/e2e/with-x-session.sh): installed_launch.sh <cmake> <build dir>
set -eu
cmake=$1
build=$2
. "$(dirname "$0")/../e2e/lib.sh"

root=$(mktemp -d)
app=""
finish() {
    [ -z "$app" ] || kill "$app" 2>/dev/null || true
    rm -rf "$root"
}
trap finish EXIT
fail() {
    echo "FAIL: $*" >&2
    import -window root "$shots/failure.png" 2>/dev/null || true
    [ ! -f "$root/program.log" ] || cat "$root/program.log" >&2
    exit 1
}

prefix=$root/prefix
"$cmake" --install "$build" --prefix "$prefix" >"$root/install.log" 2>&1 \
    || { cat "$root/install.log" >&2; fail "cmake --install failed"; }
installed=$(readlink -f "$prefix/bin/lumatide")

# A private user with usage events off; nothing about launch at login is stored yet.
home=$root/home
mkdir -p "$home/config/lumatide" "$home/data"
mkdir -m 700 "$home/run"
printf '{"Lumatide.anonymousTelemetryEnabled": false}\n' >"$home/config/lumatide/preferences.json"
HOME=$home XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/data XDG_RUNTIME_DIR=$home/run
export HOME XDG_CONFIG_HOME XDG_DATA_HOME XDG_RUNTIME_DIR
# The desktop finds the program on the search path, as it would in /usr/bin.
PATH=$prefix/bin:$PATH
export PATH

# exec_line <desktop file>: the Exec value without field codes (%f, %u, ...).
exec_line() {
    sed -n 's/^Exec=//p' "$1" | head -n 1 | sed 's/ *%[a-zA-Z]//g'
}
# start_entry <desktop file>: runs its Exec line as a launcher does (quoted arguments honoured).
start_entry() {
    command=$(exec_line "$1")
    [ -n "$command" ] || fail "$1 has no Exec line"
    eval "set -- $command"
    "$@" >>"$root/program.log" 2>&1 &
    app=$!
}

desktop=$prefix/share/applications/com.vexilo.lumatide.desktop
[ "$(exec_line "$desktop")" = "$installed" ] || fail "the desktop file names $(exec_line "$desktop")"
start_entry "$desktop"
wait_for 150 has_tray_icon || fail "the program started from the desktop file shows no tray icon"
kill -0 "$app" || fail "the program left"
[ "$(readlink -f "/proc/$app/exe")" = "$installed" ] || fail "the desktop file started $(readlink -f "/proc/$app/exe")"

# First start of an installed copy: launch at login is switched on by default.
autostart=$XDG_CONFIG_HOME/autostart/com.vexilo.lumatide.desktop
wait_for 50 test -f "$autostart" || fail "no autostart entry after the first start"
desktop-file-validate "$autostart" || fail "the autostart entry is not a valid desktop file"
eval "set -- $(exec_line "$autostart")"
[ "$#" -eq 1 ] && [ "$1" = "$installed" ] || fail "the autostart entry runs '$*', not $installed"
grep -q '^Hidden=true' "$autostart" && fail "the autostart entry is hidden"
wait_for 50 grep -q '"Lumatide.launchAtLoginPreferenceInitialized": *true' \
    "$XDG_CONFIG_HOME/lumatide/preferences.json" || fail "the default was not recorded"
sleep 0.3
import -window root "$shots/installed-tray.png"

kill -TERM "$app"
status=0
wait "$app" || status=$?
app=""
[ "$status" -eq 0 ] || fail "SIGTERM gave exit status $status"
wait_for 50 sh -c '! xwininfo -root -tree | grep -q "(\"lumatide\" \"lumatide\")"' \
    || fail "the tray icon stayed after the program ended"

# At the next login the session starts the autostart entry: the program comes back, and the
# recorded default is not applied again (the entry is left as it is).
before=$(cat "$autostart")
start_entry "$autostart"
wait_for 150 has_tray_icon || fail "the program started from the autostart entry shows no tray icon"
[ "$(readlink -f "/proc/$app/exe")" = "$installed" ] || fail "autostart started another program"
[ "$(cat "$autostart")" = "$before" ] || fail "the autostart entry was rewritten"
kill -TERM "$app"
wait "$app" || true
app=""
echo "installed_launch: ok"
