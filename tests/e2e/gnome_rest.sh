#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# What a rest does on GNOME (Mutter, no layer shell: the panels are X11 windows through
# XWayland, full screen and kept on top by the window manager), one line of results for each
# run, and a failure unless every run was covered, took the passcode at the start, took the
# keyboard back and leaked no key:
#   covered       the panel's colour on both monitors, above a full-screen native terminal
#   start         the passcode typed as the rest begins ends it (the keys reached the field)
#   alt+Tab       after Alt+Tab, seconds until a typed key stops landing in a terminal (the
#                 program took the keyboard back), or "never" within 6 s
#   new window    the same after a new native window opens and takes the focus
#   leaked        keys that reached a terminal: of the passcode at the start, of the probes after
#                 Alt+Tab and after the new window (one a probe until the keyboard is back), and
#                 while the passcode is typed after a click into the field
# Keys and pictures go through Mutter's remote desktop and screen cast (gnome_remote.py; the
# pictures need pipewire, wireplumber, gstreamer1.0-pipewire and gstreamer1.0-tools). Where the
# program does not take the keyboard back, a click into the panel's field does. About 40 s a run.
# Runs inside with-mutter-session.sh (Meta-0 1280x720 at 0,0, Meta-1 1024x768 at 1280,0):
#   tests/e2e/with-mutter-session.sh sh tests/e2e/gnome_rest.sh build/x/lumatide \
#       tests/e2e/gnome_remote.py 5
#
# Usage: gnome_rest.sh <path to lumatide> <path to gnome_remote.py> [runs]
set -eu
program=$1
remote=$2
runs=${3:-1}
. "$(dirname "$0")/lib.sh"
private_home

pids=""
app=""
cleanup() {
    exec 3>&- 2>/dev/null || true
    [ -n "$app" ] && stop "$app"
    for pid in $pids; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null
    rm -rf "$private"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    cat "$private/err" >&2 2>/dev/null || true
    exit 1
}

start_keyboard "$remote"
# terminal <name> [foot options]: a white terminal writing every byte typed into it to
# $private/<name>.keys; the newest window has the focus.
terminal() {
    name=$1
    shift
    foot -o colors.background=ffffff --app-id "$name" "$@" \
        sh -c "stty raw -echo && exec cat >'$private/$name.keys'" >/dev/null 2>&1 &
    pids="$pids $!"
    wait_for 50 test -f "$private/$name.keys" || fail "terminal $name did not appear"
    sleep 0.5
}
typed() { cat "$private"/*.keys | wc -c; }

terminal side
terminal full --fullscreen
keys type full
wait_for 20 grep -qx full "$private/full.keys" ||
    fail "the keyboard does not reach the terminal: $(od -c "$private/full.keys")"

# covered <prefix>: corners and edges of both monitors show the panel's dark teal (the left
# monitor's are on the white full-screen terminal).
covered() {
    keys shot "$1"
    for spot in "0 20 5" "0 1270 10" "0 20 700" "0 1275 715" "1 5 5" "1 1015 10" "1 5 760" \
        "1 1019 763"; do
        set -- "$1" $spot
        colour=$(convert "$1-Meta-$2.png" -format \
            "%[fx:int(255*p{$3,$4}.r)] %[fx:int(255*p{$3,$4}.g)] %[fx:int(255*p{$3,$4}.b)]" info:)
        is_panel_colour $colour || return 1
    done
}
# retake: seconds (in tenths) until a typed "x" no longer lands in a terminal, or "never".
retake() {
    before=$(typed)
    tenths=0
    while [ "$tenths" -le 60 ]; do
        keys type x
        sleep 0.3
        tenths=$((tenths + 4))
        if [ "$(typed)" -eq "$before" ]; then
            echo "$((tenths / 10)).$((tenths % 10))"
            return
        fi
        before=$(typed)
    done
    echo never
}
# unlock: the passcode into the keyboard panel's field, clicked first, after rubbing out probes.
unlock() {
    keys click 640 617
    keys key End
    for _ in 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20; do keys key BackSpace; done
    keys type 2468
    keys key Return
    wait_for 30 working
}

failed=no
run=0
while [ "$run" -lt "$runs" ]; do
    run=$((run + 1))
    # The full-screen terminal has the focus as the rest begins.
    keys click 640 360
    "$program" --demo-work-seconds 3 --lock-minutes 0.5 --demo-language en 2>"$private/err" &
    app=$!
    wait_for 150 resting || fail "no rest after the work period"
    sleep 1
    covered "$shots/rest-$run" && cover=yes || cover=no
    before=$(typed)
    keys type 2468
    keys key Return
    if wait_for 20 working; then start=yes; else start=no; fi
    leaked_start=$(($(typed) - before))
    before=$(typed)
    [ "$start" = yes ] || unlock || fail "the passcode did not end the rest"
    leaked_unlock=$(($(typed) - before))
    # A second rest for the focus changes, the keyboard on the panel first.
    "$program" --start-break
    wait_for 50 resting || fail "no rest on request"
    sleep 1
    keys click 640 617
    keys key alt+Tab
    before=$(typed)
    alt_tab=$(retake)
    leaked_alt_tab=$(($(typed) - before))
    [ "$alt_tab" = never ] && keys click 640 617
    terminal "new-$run"
    before=$(typed)
    new_window=$(retake)
    leaked_new=$(($(typed) - before))
    before=$(typed)
    unlock || fail "the passcode did not end the second rest"
    leaked_unlock=$((leaked_unlock + $(typed) - before))
    echo "run $run: covered $cover, start $start, alt+Tab $alt_tab, new window $new_window," \
        "leaked $leaked_start/$leaked_alt_tab/$leaked_new/$leaked_unlock"
    [ "$cover $start" = "yes yes" ] && [ "$alt_tab" != never ] && [ "$new_window" != never ] &&
        [ $((leaked_start + leaked_alt_tab + leaked_new + leaked_unlock)) -eq 0 ] || failed=yes
    stop "$app"
    app=""
done
[ "$failed" = no ] || fail "the rest did not hold in every run"
