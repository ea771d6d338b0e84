#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a command inside a private desktop session like a user's: a D-Bus session bus, an X server
# with two monitors side by side (1280x720 and 1024x768), the openbox window manager and a tray
# host at the bottom left. Everything started here is stopped when the command ends.
# With LUMATIDE_X_SCREENS=fhd the X server has one 1920x1080 monitor instead.
#
# Usage: tests/e2e/with-x-session.sh <command> [arguments...]
# The command sees DISPLAY, DBUS_SESSION_BUS_ADDRESS and LUMATIDE_ARTIFACTS (a folder for
# screenshots, kept after the run).
set -eu

if [ -z "${LUMATIDE_IN_SESSION_BUS:-}" ]; then
    LUMATIDE_IN_SESSION_BUS=1 exec dbus-run-session -- "$0" "$@"
fi

: "${LUMATIDE_ARTIFACTS:=${TMPDIR:-/tmp}/lumatide-artifacts}"
mkdir -p "$LUMATIDE_ARTIFACTS"
export LUMATIDE_ARTIFACTS

# A display number nobody uses, so parallel test runs never meet.
display=$((90 + $$ % 500))
while [ -e "/tmp/.X${display}-lock" ] || [ -e "/tmp/.X11-unix/X${display}" ]; do
    display=$((display + 1))
done
DISPLAY=":${display}"
export DISPLAY
# An X11 session, also when run from a terminal of a Wayland desktop.
unset WAYLAND_DISPLAY XDG_SESSION_TYPE

pids=""
cleanup() {
    for pid in $pids; do
        kill "$pid" 2>/dev/null || true
    done
    wait 2>/dev/null || true
}
trap cleanup EXIT INT TERM

if [ "${LUMATIDE_X_SCREENS:-two}" = fhd ]; then
    size=1920x1080
else
    size=2304x768
fi
Xvfb "$DISPLAY" -screen 0 "${size}x24" -noreset -nolisten tcp >/dev/null 2>&1 &
pids="$! $pids"

tries=0
until xdpyinfo >/dev/null 2>&1; do
    tries=$((tries + 1))
    if [ "$tries" -gt 100 ]; then
        echo "X server did not start" >&2
        exit 1
    fi
    sleep 0.1
done

if [ "${LUMATIDE_X_SCREENS:-two}" != fhd ]; then
    xrandr --setmonitor LEFT 1280/338x720/190+0+0 screen >/dev/null
    xrandr --setmonitor RIGHT 1024/270x768/203+1280+0 none >/dev/null
fi

openbox >/dev/null 2>&1 &
pids="$! $pids"
trayer --edge bottom --align left --widthtype pixel --width 200 --height 32 \
    --SetDockType true --transparent false >/dev/null 2>&1 &
pids="$! $pids"

# Wait until the tray host owns the system tray selection.
tries=0
until xdotool search --class trayer >/dev/null 2>&1; do
    tries=$((tries + 1))
    if [ "$tries" -gt 100 ]; then
        echo "tray host did not start" >&2
        exit 1
    fi
    sleep 0.1
done

status=0
"$@" || status=$?
exit "$status"
