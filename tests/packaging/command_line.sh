#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# --help and --version answer on standard output and exit 0 without a display, without the
# single-instance lock and without touching the preferences; the help lists exactly the
# options the man page documents. A start without a usable display fails in one clear line.
# Usage: command_line.sh <program> <version> <man page>
set -eu
prog=$1
version=$2
manpage=$3

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# No display at all: creating the application object here would abort the program.
mkdir -m 700 "$root/run"
run() {
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM HOME="$root/home" \
        XDG_CONFIG_HOME="$root/config" XDG_RUNTIME_DIR="$root/run" \
        timeout 10 "$prog" "$@" >"$root/out" 2>"$root/err"
}

run --version || fail "--version exited with $?"
[ "$(cat "$root/out")" = "lumatide $version" ] || fail "--version printed '$(cat "$root/out")'"
[ ! -s "$root/err" ] || fail "--version wrote to stderr: $(cat "$root/err")"

# Anywhere after the program path, next to other options.
for args in "--help" "--demo-language en --help" "--help --version"; do
    # shellcheck disable=SC2086
    run $args || fail "$args exited with $?"
    head -n 1 "$root/out" | grep -q '^Usage: lumatide' || fail "$args printed no usage line"
    [ ! -s "$root/err" ] || fail "$args wrote to stderr: $(cat "$root/err")"
done
cp "$root/out" "$root/help"

# Nothing of the running program happened: no lock file, no preferences, no autostart entry.
[ -z "$(ls -A "$root/run")" ] || fail "the runtime folder holds $(ls -A "$root/run")"
[ ! -e "$root/config" ] || fail "--help created $(find "$root/config")"
[ ! -e "$root/home" ] || fail "--help created $(find "$root/home")"

# Each option appears on a line of its own in the help, and the help and the man page list
# the same options.
options() { grep -o -- '--[a-z][a-z-]*' | sort -u; }
sed 's/\\-/-/g' "$manpage" | options >"$root/man-options"
options <"$root/help" >"$root/help-options"
diff "$root/help-options" "$root/man-options" >&2 || fail "--help and the man page list different options"
for option in $(cat "$root/help-options"); do
    grep -Eq -- "^  $option( |$)" "$root/help" || fail "$option has no line of its own in --help"
done
[ "$(wc -l <"$root/help-options")" -ge 8 ] || fail "--help lists too few options"

# Without a usable display a start says why in one line and exits 1, leaving no lock behind.
# With a display named, X11 is used even where Qt is told to prefer Wayland.
start_on() {
    env -u WAYLAND_DISPLAY HOME="$root/home" XDG_CONFIG_HOME="$root/config" \
        XDG_RUNTIME_DIR="$root/run" DISPLAY="$1" QT_QPA_PLATFORM="$platform" \
        timeout 10 "$prog" >"$root/out" 2>"$root/err"
}
platform=xcb
for display in unset ":97" "not a display" "wayland:97"; do
    [ "$display" = "wayland:97" ] && platform="wayland;xcb" && display=":97"
    if [ "$display" = unset ]; then
        run && status=0 || status=$?
    else
        start_on "$display" && status=0 || status=$?
    fi
    [ "$status" -eq 1 ] || fail "DISPLAY $display: exit status $status"
    grep -q '^lumatide: cannot open the display.*; Lumatide needs a graphical session$' "$root/err" ||
        fail "DISPLAY $display: $(cat "$root/err")"
    [ "$(wc -l <"$root/err")" -eq 1 ] || fail "DISPLAY $display: more than one line: $(cat "$root/err")"
    [ -z "$(ls -A "$root/run")" ] || fail "DISPLAY $display left $(ls -A "$root/run")"
done

# The verbs: a wrong combination is a usage error (2) whatever runs; the control verbs say that
# Lumatide is not running (3) without a bus to ask; the history needs neither and reads nothing
# it could change.
for args in "--status --start-break" "--follow" "--history --days 0" "--history --days 2.5" \
    "--days 3" "--start-break --json"; do
    # shellcheck disable=SC2086
    run $args && status=0 || status=$?
    [ "$status" -eq 2 ] || fail "$args: exit status $status"
    grep -q "^Try 'lumatide --help'.\$" "$root/err" || fail "$args: $(cat "$root/err")"
done
for args in "--status" "--status --follow" "--start-break" "--restart-work-timer"; do
    # shellcheck disable=SC2086
    DBUS_SESSION_BUS_ADDRESS="unix:path=$root/no-bus" run $args && status=0 || status=$?
    [ "$status" -eq 3 ] || fail "$args without Lumatide: exit status $status"
    grep -q '^lumatide: Lumatide is not running' "$root/err" || fail "$args: $(cat "$root/err")"
done
XDG_STATE_HOME="$root/state" run --history --days 3 || fail "--history exited with $?"
[ "$(wc -l <"$root/out")" -ge 5 ] || fail "--history printed: $(cat "$root/out")"
[ ! -e "$root/state" ] && [ ! -e "$root/config" ] || fail "--history created files"

# The self-test still wins over --help, as before.
run --help --self-test || fail "--self-test with --help exited with $?"
grep -q 'ok' "$root/out" || fail "--self-test did not run when --help came first"
! grep -q '^Usage:' "$root/out" || fail "--self-test printed the usage"
echo "command_line: ok"
