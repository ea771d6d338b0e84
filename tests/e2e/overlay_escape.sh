#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# The rest panels cannot be escaped with a window manager running: Escape, Alt+F4, Alt+Tab, a
# close request through the window manager, unmapping or minimising a panel, a new full-screen
# window, a switch of workspace, and other programs moving, resizing, reshaping, reparenting or
# destroying a panel or raising a window of their own over and over each leave both monitors
# covered again within 1.5 s and the passcode field still taking typing. Only the passcode
# removes the panels.
# Runs inside with-x-session.sh (LEFT 1280x720+0+0, RIGHT 1024x768+1280+0).
#
# Usage: overlay_escape.sh <path to lumatide>
set -eu

program=$1
. "$(dirname "$0")/lib.sh"
private_user

app=""
others=""
cleanup() {
    [ -n "$app" ] && stop "$app"
    for pid in $others; do stop "$pid"; done
    rm -rf "$private"
}
trap cleanup EXIT

step=start
fail() {
    echo "FAIL after $step: $*" >&2
    import -window root "$shots/escape-failure.png" 2>/dev/null || true
    exit 1
}

# The panel window covering a point of the root window.
panel_at() {
    for id in $(xdotool search --name '^Lumatide rest panel' 2>/dev/null); do
        if xwininfo -id "$id" 2>/dev/null | awk -v px="$1" -v py="$2" '
            /Absolute upper-left X/ { x = $NF } /Absolute upper-left Y/ { y = $NF }
            /Width:/ { w = $NF } /Height:/ { h = $NF }
            END { exit !(px >= x && px < x + w && py >= y && py < y + h) }'; then
            echo "$id"
            return 0
        fi
    done
    return 1
}
# Both monitors covered: two mapped panels and the panel's dark teal (not the white of the
# full-screen windows, nor the black of the bare root window) in the corners and middles of
# both monitors, read in one pass.
covered() {
    [ "$(panel_count)" -eq 2 ] || return 1
    import -window root "$private/now.miff" 2>/dev/null || return 1
    format=""
    for point in "5,5" "1275,715" "640,5" "1285,5" "2299,763" "1800,5"; do
        format="$format%[fx:p{$point}.r<0.24 && p{$point}.g<0.35 && p{$point}.b<0.35 && p{$point}.b>0.02]"
    done
    [ "$(convert "$private/now.miff" -format "$format" info: 2>/dev/null)" = 111111 ]
}
# A picture of the root window showing the left panel's passcode field; prints the field's
# middle. A window raising itself over and over is on top for a moment before the panel rises
# again, so a few pictures may be needed.
field_shot() {
    for _ in 1 2 3 4 5 6 7 8 9 10; do
        import -window root "$1"
        y=$(field_middle "$1" 560 720)
        [ -n "$y" ] && echo "$y" && return 0
        sleep 0.1
    done
    return 1
}
# Typing reaches the left panel's passcode field: three digits change the field's middle
# (more than a blinking caret could), and are erased again.
takes_typing() {
    y=$(field_shot "$private/before.miff") || fail "no passcode field on the left panel"
    region="240x16+520+$((y - 8))"
    xdotool type --delay 40 135
    sleep 0.4
    field_shot "$private/after.miff" >/dev/null || fail "the passcode field went away"
    changed=$(convert "$private/before.miff" -crop "$region" +repage "$private/b.png" &&
        convert "$private/after.miff" -crop "$region" +repage "$private/a.png" &&
        compare -metric AE -fuzz 10% "$private/b.png" "$private/a.png" null: 2>&1 || true)
    xdotool key BackSpace BackSpace BackSpace
    [ "${changed%% *}" -gt 40 ] 2>/dev/null || fail "typing did not reach the passcode field ($changed)"
}
# After an escape attempt: covered again within 1.5 s, and the field still takes typing.
still_locked() {
    wait_for 15 covered || fail "the monitors were not covered again ($(panel_count) panels)"
    import -window root "$shots/escape-$step.png"
    takes_typing
    echo "  $step: covered again, typing reaches the field"
}

# A full-screen white window in front, as a video player would be.
xlogo -bg white -fg white >/dev/null 2>&1 &
others="$!"
wait_for 50 xdotool search --onlyvisible --class xlogo >/dev/null || fail "xlogo did not appear"
wmctrl -r xlogo -b add,fullscreen
xdotool mousemove 640 360

"$program" --demo-work-seconds 3 --lock-minutes 1.5 --demo-language en 2>"$private/stderr" &
app=$!
wait_for 100 covered || fail "the rest did not cover both monitors ($(panel_count) panels)"
step=rest
still_locked

step=escape
xdotool key Escape
still_locked

step=alt-f4
xdotool key alt+F4
still_locked

step=alt-tab
xdotool key alt+Tab
sleep 0.2
xdotool key alt+Tab
still_locked

step=close-request
for id in $(panels); do wmctrl -i -c "$id"; done
still_locked

step=unmap
xdotool windowunmap "$(panel_at 640 360)"
still_locked
xdotool windowunmap "$(panel_at 1800 300)"
still_locked

step=minimise
for id in $(panels); do xdotool windowminimize "$id" || true; done
still_locked

step=new-fullscreen-window
xlogo -bg white -fg white -geometry 300x300+1400+100 >/dev/null 2>&1 &
others="$others $!"
wait_for 50 sh -c '[ "$(xdotool search --onlyvisible --class xlogo | grep -c .)" -ge 2 ]' ||
    fail "the second xlogo did not appear"
newest=$(xdotool search --onlyvisible --class xlogo | tail -n 1)
wmctrl -i -r "$newest" -b add,fullscreen,above
wmctrl -i -a "$newest"
still_locked

step=workspace
wmctrl -s 1
still_locked
wmctrl -s 0

# What other programs can do to the panels behind the program's back.
tamper=${LUMATIDE_X11_TAMPER:?}
step=move
xdotool windowmove "$(panel_at 640 360)" 300 200
still_locked
step=resize
xdotool windowsize "$(panel_at 640 360)" 200 150
still_locked
step=shape
"$tamper" shape "$(panel_at 1800 300)"
still_locked
step=reparent
xlogo -geometry 200x200+100+100 >/dev/null 2>&1 &
others="$others $!"
wait_for 50 xdotool search --onlyvisible --name '^xlogo$' >/dev/null || fail "no xlogo to reparent into"
host=$(xdotool search --onlyvisible --name '^xlogo$' | tail -n 1)
xdotool windowreparent "$(panel_at 640 360)" "$host"
still_locked
step=destroy
xdotool windowclose "$(panel_at 1800 300)"
still_locked
step=raise-loop
"$tamper" raise-loop 50 &
raiser=$!
others="$others $raiser"
still_locked
stop "$raiser"

step=passcode
kill -0 "$app" || fail "the program died"
xdotool type --delay 60 9999
xdotool key Return
sleep 0.7
import -window root "$shots/escape-wrong-passcode.png"
[ "$(panel_count)" -eq 2 ] || fail "a wrong passcode removed panels"
[ "$(message_pixels "$shots/escape-wrong-passcode.png" 1280x300+0+420)" -gt 20 ] ||
    fail "no incorrect-passcode message"
xdotool type --delay 60 2468
xdotool key Return
wait_for 20 no_panels || fail "the passcode left $(panel_count) panels"
import -window root "$shots/escape-unlocked.png"
echo "overlay escape: ok"
