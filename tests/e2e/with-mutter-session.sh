#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a command inside a private, headless Mutter session (two virtual monitors, 1280x720 and
# 1024x768 to its right) with its own session bus, XWayland, and PipeWire when installed (for
# screen casts). The command sees WAYLAND_DISPLAY, DISPLAY, XAUTHORITY, XDG_CURRENT_DESKTOP=GNOME
# and LUMATIDE_ARTIFACTS. Unlike sway, Mutter runs as root too. Its settings are kept in memory,
# so no run changes the user's desktop.
#
# Usage: tests/e2e/with-mutter-session.sh <program> [arguments...]
set -eu

: "${LUMATIDE_ARTIFACTS:=${TMPDIR:-/tmp}/lumatide-artifacts}"
mkdir -p "$LUMATIDE_ARTIFACTS"
export LUMATIDE_ARTIFACTS

if [ -z "${LUMATIDE_IN_SESSION_BUS:-}" ]; then
    LUMATIDE_IN_SESSION_BUS=1 exec dbus-run-session -- sh "$0" "$@"
fi

runtime=$(mktemp -d)
chmod 700 "$runtime"
XDG_RUNTIME_DIR=$runtime
export XDG_RUNTIME_DIR
unset DISPLAY WAYLAND_DISPLAY XAUTHORITY

mutter_pid=""
pipewire_pids=""
cleanup() {
    for pid in $pipewire_pids $mutter_pid; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$runtime"
}
trap cleanup EXIT INT TERM

socket=lumatide-mutter
log="$LUMATIDE_ARTIFACTS/mutter.log"
GSETTINGS_BACKEND=memory XDG_CONFIG_HOME="$runtime/config" \
    mutter --headless --wayland --wayland-display="$socket" \
    --virtual-monitor 1280x720 --virtual-monitor 1024x768 >"$log" 2>&1 &
mutter_pid=$!
# Mutter picks a free X display for XWayland and names it in its log.
tries=0
until [ -S "$runtime/$socket" ] &&
    DISPLAY=$(sed -n 's/.*Using public X11 display \(:[0-9]*\).*/\1/p' "$log") &&
    [ -n "$DISPLAY" ] && XAUTHORITY=$(ls "$runtime"/.mutter-Xwaylandauth.* 2>/dev/null) &&
    DISPLAY=$DISPLAY XAUTHORITY=$XAUTHORITY xdpyinfo >/dev/null 2>&1; do
    tries=$((tries + 1))
    if [ "$tries" -ge 200 ] || ! kill -0 "$mutter_pid" 2>/dev/null; then
        echo "Mutter did not start:" >&2
        cat "$log" >&2
        exit 1
    fi
    sleep 0.1
done
# Mutter's screen casts (the tests' screenshots) need PipeWire and its session manager.
if command -v pipewire >/dev/null && command -v wireplumber >/dev/null; then
    pipewire >"$LUMATIDE_ARTIFACTS/pipewire.log" 2>&1 &
    pipewire_pids=$!
    tries=0
    until [ -S "$runtime/pipewire-0" ] || [ "$tries" -ge 50 ]; do
        tries=$((tries + 1))
        sleep 0.1
    done
    wireplumber >>"$LUMATIDE_ARTIFACTS/pipewire.log" 2>&1 &
    pipewire_pids="$pipewire_pids $!"
fi
WAYLAND_DISPLAY=$socket
XDG_CURRENT_DESKTOP=GNOME
export WAYLAND_DISPLAY DISPLAY XAUTHORITY XDG_CURRENT_DESKTOP
"$@"
