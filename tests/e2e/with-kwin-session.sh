#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a command inside a private, headless KWin session (two virtual outputs of 1280x720) with
# its own session bus. The command sees WAYLAND_DISPLAY and LUMATIDE_ARTIFACTS; DISPLAY is unset.
# With LUMATIDE_KWIN_XWAYLAND=1, KWin also runs XWayland and the command finds its display in
# LUMATIDE_XWAYLAND_DISPLAY (DISPLAY stays unset, for the command to choose).
# The installed kwin_wayland carries a file capability, which some containers refuse to exec; a
# copy without it is run then (it must keep its name: KWin's built-in platform plugin checks it).
#
# Usage: tests/e2e/with-kwin-session.sh <program> [arguments...]
set -eu

: "${LUMATIDE_ARTIFACTS:=${TMPDIR:-/tmp}/lumatide-artifacts}"
mkdir -p "$LUMATIDE_ARTIFACTS"

if [ -z "${LUMATIDE_IN_SESSION_BUS:-}" ]; then
    LUMATIDE_IN_SESSION_BUS=1 exec dbus-run-session -- sh "$0" "$@"
fi

runtime=$(mktemp -d)
chmod 700 "$runtime"
XDG_RUNTIME_DIR=$runtime
export XDG_RUNTIME_DIR
unset DISPLAY WAYLAND_DISPLAY

kwin=$(command -v kwin_wayland)
if ! "$kwin" --version >/dev/null 2>&1; then
    mkdir "$runtime/bin"
    cp "$kwin" "$runtime/bin/kwin_wayland"
    kwin="$runtime/bin/kwin_wayland"
fi

kwin_pid=""
cleanup() {
    [ -n "$kwin_pid" ] && kill "$kwin_pid" 2>/dev/null
    wait 2>/dev/null || true
    rm -rf "$runtime"
}
trap cleanup EXIT INT TERM

socket=lumatide-kwin
xwayland=""
ready="test -S $runtime/$socket"
if [ "${LUMATIDE_KWIN_XWAYLAND:-}" = 1 ]; then
    # KWin starts the programs named after its options once XWayland is up, with DISPLAY set.
    printf '#!/bin/sh\nprintf %%s "$DISPLAY" >"%s/display"\n' "$runtime" >"$runtime/tell-display"
    chmod +x "$runtime/tell-display"
    xwayland="--xwayland $runtime/tell-display"
    ready="test -s $runtime/display"
fi
# KWin hands out pictures of the screen only to programs a desktop file vouches for, unless told
# not to check; the tests' screenshot tool has no such file.
# shellcheck disable=SC2086
KWIN_SCREENSHOT_NO_PERMISSION_CHECKS=1 "$kwin" --virtual --no-lockscreen --socket "$socket" \
    --output-count 2 --width 1280 --height 720 $xwayland >"$LUMATIDE_ARTIFACTS/kwin.log" 2>&1 &
kwin_pid=$!
tries=0
until $ready; do
    tries=$((tries + 1))
    if [ "$tries" -ge 200 ] || ! kill -0 "$kwin_pid" 2>/dev/null; then
        echo "KWin did not start:" >&2
        cat "$LUMATIDE_ARTIFACTS/kwin.log" >&2
        exit 1
    fi
    sleep 0.1
done
WAYLAND_DISPLAY=$socket
export WAYLAND_DISPLAY
if [ -n "$xwayland" ]; then
    LUMATIDE_XWAYLAND_DISPLAY=$(cat "$runtime/display")
    export LUMATIDE_XWAYLAND_DISPLAY
fi
"$@"
