#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs `lumatide --self-test` as a user would: no display, no session bus, a foreign locale,
# and a damaged preference file of the user's own that the self-test must neither need nor touch.
set -eu
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
mkdir -p "$home/config/lumatide"
printf 'not json {' >"$home/config/lumatide/preferences.json"
before=$(ls -la --time-style=full-iso "$home/config/lumatide" | sha256sum)
expected=$(printf '%s ok\n' self-test large-figure animated-figure step-motion pose-sheet bear-figure \
    breathing-scale smooth-breathing-text pose-instruction eye-care-background lock-warning)

for args in "--self-test" "--demo-language ja --self-test" "--work-minutes --self-test"; do
    # shellcheck disable=SC2086
    output=$(env -u DISPLAY -u WAYLAND_DISPLAY -u DBUS_SESSION_BUS_ADDRESS HOME="$home" \
        XDG_CONFIG_HOME="$home/config" LANG=de_DE.UTF-8 LC_ALL=de_DE.UTF-8 "$1" $args)
    if [ "$output" != "$expected" ]; then
        printf 'unexpected output for "%s":\n%s\n' "$args" "$output"
        exit 1
    fi
done
if [ "$before" != "$(ls -la --time-style=full-iso "$home/config/lumatide" | sha256sum)" ]; then
    echo "the self-test changed the user's preference folder"
    exit 1
fi
