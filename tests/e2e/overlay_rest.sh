#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# A rest covers both monitors above a full-screen window, a wrong passcode keeps the panels and
# shows the message on the panel that has the keyboard, a click moves the keyboard to the other
# monitor's panel, the right passcode removes every panel at once; a second run lets the rest
# end by itself, and a monitor added meanwhile is covered at once.
# Runs inside with-x-session.sh (LEFT 1280x720+0+0, RIGHT 1024x768+1280+0).
#
# Usage: overlay_rest.sh <path to lumatide>
set -eu

program=$1
. "$(dirname "$0")/lib.sh"
private_user

app=""
fullscreen=""
cleanup() {
    [ -n "$app" ] && stop "$app"
    [ -n "$fullscreen" ] && stop "$fullscreen"
    rm -rf "$private"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    import -window root "$shots/failure.png" 2>/dev/null || true
    exit 1
}

has_panel_of_width() {
    for id in $(panels); do
        xwininfo -id "$id" 2>/dev/null | grep -q "Width: $1\$" && return 0
    done
    return 1
}

# The colour of one pixel of a screenshot as "r g b" (0..255).
pixel() {
    convert "$1" -format "%[fx:int(255*p{$2,$3}.r)] %[fx:int(255*p{$2,$3}.g)] %[fx:int(255*p{$2,$3}.b)]" info:
}
# True when the pixel is the panel's dark teal rather than the white full-screen window.
is_panel_colour() {
    set -- $(pixel "$1" "$2" "$3")
    [ "$1" -lt 60 ] && [ "$2" -lt 90 ] && [ "$3" -lt 90 ]
}

# A full-screen window in front, as a video player or presentation would be.
xlogo -bg white -fg white >/dev/null 2>&1 &
fullscreen=$!
wait_for 50 xdotool search --onlyvisible --class xlogo >/dev/null || fail "xlogo did not appear"
wmctrl -r xlogo -b add,fullscreen
wmctrl -a xlogo
xdotool mousemove 640 360
sleep 0.5
import -window root "$shots/before-rest.png"

# Run 1: unlock with the passcode (a rest long enough for a loaded machine).
"$program" --demo-work-seconds 3 --lock-minutes 0.5 --demo-language en &
app=$!
wait_for 100 two_panels || fail "the rest did not put up two panels ($(panel_count))"

geometries=$(for id in $(panels); do
    xwininfo -id "$id" | awk '/Absolute upper-left X/ { x = $NF } /Absolute upper-left Y/ { y = $NF }
                              /Width:/ { w = $NF } /Height:/ { h = $NF } END { print w "x" h "+" x "+" y }'
done | sort | tr '\n' ' ')
[ "$geometries" = "1024x768+1280+0 1280x720+0+0 " ] || fail "panel geometries: $geometries"

sleep 0.5
import -window root "$shots/rest-both-monitors.png"
for point in "5 5" "1275 715" "640 5" "1285 5" "2299 763" "1800 5"; do
    # shellcheck disable=SC2086
    is_panel_colour "$shots/rest-both-monitors.png" $point ||
        fail "not covered at $point: $(pixel "$shots/rest-both-monitors.png" $point)"
done

# Typing reaches the panel under the pointer without a click, though xlogo had the focus.
xdotool type --delay 60 1357
xdotool key Return
sleep 0.7
import -window root "$shots/wrong-passcode-left.png"
[ "$(panel_count)" -eq 2 ] || fail "a wrong passcode removed panels"
left=$(message_pixels "$shots/wrong-passcode-left.png" 1280x300+0+420)
right=$(message_pixels "$shots/wrong-passcode-left.png" 1024x400+1280+368)
[ "$left" -gt 20 ] || fail "no incorrect-passcode message on the left panel ($left)"
[ "$right" -eq 0 ] || fail "message on the right panel too ($right)"

# A click into the other monitor's field moves the keyboard there.
y=$(field_middle "$shots/wrong-passcode-left.png" 1880 768)
[ -n "$y" ] || fail "no passcode field found on the right panel"
xdotool mousemove 1880 "$y" click 1
sleep 0.3
xdotool type --delay 60 9999
xdotool key Return
sleep 0.7
import -window root "$shots/wrong-passcode-right.png"
right=$(message_pixels "$shots/wrong-passcode-right.png" 1024x400+1280+368)
[ "$right" -gt 20 ] || fail "no incorrect-passcode message on the right panel ($right)"
[ "$(panel_count)" -eq 2 ] || fail "a wrong passcode removed panels"

xdotool type --delay 60 2468
xdotool key Return
wait_for 20 no_panels || fail "the passcode left $(panel_count) panels"
sleep 0.3
import -window root "$shots/after-unlock.png"
is_panel_colour "$shots/after-unlock.png" 5 5 && fail "the left monitor is still covered"
stop "$app"
app=""

# Run 2: the rest ends by itself after its 15 s.
"$program" --demo-work-seconds 3 --lock-minutes 0.25 --demo-language en &
app=$!
wait_for 100 two_panels || fail "the second rest did not put up two panels"
shown=$(date +%s)
import -window root "$shots/second-rest.png"

# A monitor plugged in during the rest gets its panel at once; unplugged, its panel goes.
three_panels() { [ "$(panel_count)" -eq 3 ]; }
xrandr --setmonitor THIRD 400/106x48/13+0+720 none >/dev/null
wait_for 30 three_panels || fail "no panel for an added monitor ($(panel_count))"
wait_for 30 has_panel_of_width 400 || fail "the added monitor's panel has the wrong size"
import -window root "$shots/monitor-added.png"
xrandr --delmonitor THIRD >/dev/null
wait_for 30 two_panels || fail "the panel of a removed monitor stayed ($(panel_count))"
wait_for 250 no_panels || fail "the rest did not end by itself"
lasted=$(($(date +%s) - shown))
[ "$lasted" -ge 12 ] || fail "the rest ended after only $lasted s"
import -window root "$shots/after-timed-rest.png"
echo "overlay rest: ok (timed rest lasted about $lasted s)"
