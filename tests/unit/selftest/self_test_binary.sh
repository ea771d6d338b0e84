#!/bin/sh
# Runs `lumatide --self-test` as a user would: no display, no session bus, a foreign locale,
# and a damaged preference file of the user's own that the self-test must neither need nor touch.
set -eu
binary=$1
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
mkdir -p "$home/config/lumatide"
printf 'not json {' > "$home/config/lumatide/preferences.json"
before=$(ls -la "$home/config/lumatide" | sha256sum)

expected='self-test ok
large-figure ok
animated-figure ok
step-motion ok
pose-sheet ok
bear-figure ok
breathing-scale ok
smooth-breathing-text ok
pose-instruction ok
eye-care-background ok
lock-warning ok'

for args in "--self-test" "--demo-language ja --self-test" "--work-minutes --self-test"; do
    # shellcheck disable=SC2086
    output=$(env -u DISPLAY -u WAYLAND_DISPLAY -u DBUS_SESSION_BUS_ADDRESS \
        HOME="$home" XDG_CONFIG_HOME="$home/config" LANG=de_DE.UTF-8 LC_ALL=de_DE.UTF-8 \
        "$binary" $args)
    if [ "$output" != "$expected" ]; then
        echo "unexpected output for '$args':"
        echo "$output"
        exit 1
    fi
done

after=$(ls -la "$home/config/lumatide" | sha256sum)
if [ "$before" != "$after" ]; then
    echo "the self-test changed the user's preference folder"
    ls -la "$home/config/lumatide"
    exit 1
fi
echo "self-test binary: 3 passed, 0 failed"
