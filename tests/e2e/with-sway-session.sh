#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a command inside a private, headless sway session with two outputs side by side (LEFT
# 1280x720 at 0,0 and RIGHT 1024x768 at 1280,0) and its own session bus. sway refuses to run as
# root, so as root the session and the command run as the unprivileged user lumatide-wayland
# (made when missing), with the command's files copied where that user can read them. The
# command sees WAYLAND_DISPLAY, SWAYSOCK and LUMATIDE_ARTIFACTS; DISPLAY is unset.
#
# Usage: tests/e2e/with-sway-session.sh <program> [arguments...]
# Program and arguments that name files are copied to a private folder first when run as root.
set -eu

: "${LUMATIDE_ARTIFACTS:=${TMPDIR:-/tmp}/lumatide-artifacts}"
mkdir -p "$LUMATIDE_ARTIFACTS"

if [ "$(id -u)" -eq 0 ]; then
    user=lumatide-wayland
    id "$user" >/dev/null 2>&1 || useradd --system --create-home --shell /bin/sh "$user"
    stage=$(mktemp -d)
    trap 'rm -rf "$stage"' EXIT
    chmod 755 "$stage"
    chmod 777 "$LUMATIDE_ARTIFACTS"
    # Files named on the command line, copied (with their folder's siblings for scripts that
    # source helpers) so the user can read and run them wherever the build tree is.
    set -- "$(realpath "$0")" "$@"
    staged=""
    for argument in "$@"; do
        if [ -f "$argument" ]; then
            folder="$stage/$(echo "$argument" | md5sum | cut -c1-8)"
            mkdir -p "$folder"
            cp -p "$(dirname "$argument")"/* "$folder"/ 2>/dev/null || true
            argument="$folder/$(basename "$argument")"
        fi
        staged="$staged '$(printf '%s' "$argument" | sed "s/'/'\\\\''/g")'"
    done
    chmod -R a+rX "$stage"
    eval "set -- $staged"
    script=$1
    shift
    exec runuser -u "$user" -- env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME="/home/$user" \
        LUMATIDE_ARTIFACTS="$LUMATIDE_ARTIFACTS" LUMATIDE_IN_SWAY_USER=1 sh "$script" "$@"
fi

if [ -z "${LUMATIDE_IN_SESSION_BUS:-}" ]; then
    LUMATIDE_IN_SESSION_BUS=1 exec dbus-run-session -- sh "$0" "$@"
fi

runtime=$(mktemp -d)
chmod 700 "$runtime"
XDG_RUNTIME_DIR=$runtime
export XDG_RUNTIME_DIR
unset DISPLAY WAYLAND_DISPLAY

cat >"$runtime/config" <<'CONFIG'
output HEADLESS-1 resolution 1280x720 position 0 0
output HEADLESS-2 resolution 1024x768 position 1280 0
CONFIG

sway_pid=""
cleanup() {
    [ -n "$sway_pid" ] && kill "$sway_pid" 2>/dev/null
    wait 2>/dev/null || true
    rm -rf "$runtime"
}
trap cleanup EXIT INT TERM

WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
    sway -c "$runtime/config" >"$LUMATIDE_ARTIFACTS/sway.log" 2>&1 &
sway_pid=$!
tries=0
until [ -S "$runtime/wayland-1" ] && SWAYSOCK=$(ls "$runtime"/sway-ipc.*.sock 2>/dev/null | head -n 1) &&
    [ -n "$SWAYSOCK" ]; do
    tries=$((tries + 1))
    if [ "$tries" -ge 100 ] || ! kill -0 "$sway_pid" 2>/dev/null; then
        echo "sway did not start:" >&2
        cat "$LUMATIDE_ARTIFACTS/sway.log" >&2
        exit 1
    fi
    sleep 0.1
done
WAYLAND_DISPLAY=wayland-1
export WAYLAND_DISPLAY SWAYSOCK
# The second output: headless sway starts with one.
swaymsg create_output >/dev/null
"$@"
