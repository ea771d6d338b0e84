#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# The tray countdown, its menu and the demo scenarios, driven as a person would: the program's
# icon appears in the tray host with the title "W 00:0x" as its tooltip, a left click opens
# the menu, "Start Break Now" starts a rest, a second copy leaves at once, SIGTERM ends the
# program cleanly, and each demo scenario shows its alert over the dark backdrop.
# Usage (inside with-x-session.sh): shell_tray.sh <program>
set -eu
prog=$1
. "$(dirname "$0")/lib.sh"

root=$(mktemp -d)
pids=""
finish() {
    for p in $pids; do kill "$p" 2>/dev/null || true; done
    rm -rf "$root"
}
trap finish EXIT

fail() {
    echo "FAIL: $*" >&2
    import -window root "$shots/failure.png" 2>/dev/null || true
    exit 1
}

# A private user: preferences, autostart, runtime folder and lock file never touch the real ones.
# Usage events are switched off in the private store.
named_user() {
    home="$root/$1"
    mkdir -p "$home/config/lumatide" "$home/data" "$home/cache"
    mkdir -m 700 "$home/run"
    printf '{"Lumatide.anonymousTelemetryEnabled": false}\n' \
        >"$home/config/lumatide/preferences.json"
    HOME=$home XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/data XDG_CACHE_HOME=$home/cache \
        XDG_RUNTIME_DIR=$home/run
    export HOME XDG_CONFIG_HOME XDG_DATA_HOME XDG_CACHE_HOME XDG_RUNTIME_DIR
}



# Visible windows of the program at least w x h big, one "id x y w h" per line.
big_windows() {
    for w in $(xdotool search --onlyvisible --class lumatide 2>/dev/null); do
        geometry=$(xdotool getwindowgeometry --shell "$w" 2>/dev/null) || continue
        eval "$geometry"
        if [ "$WIDTH" -ge "$1" ] && [ "$HEIGHT" -ge "$2" ]; then
            echo "$w $X $Y $WIDTH $HEIGHT"
        fi
    done
}
count_big() { big_windows "$1" "$2" | wc -l; }

# ---- The tray icon, its tooltip, its menu and a rest ------------------------------------------
named_user tray
"$prog" --demo-work-seconds 9 --lock-minutes 0.1 --demo-language en 2>"$root/tray.log" &
app=$!
pids="$app $pids"
wait_for 100 has_tray_icon || fail "no tray icon embedded in the tray host"
icon=$(($(tray_icon))) # xwininfo gives hex ids, xdotool decimal ones
eval "$(xdotool getwindowgeometry --shell "$icon")"
icon_x=$X icon_y=$Y icon_w=$WIDTH icon_h=$HEIGHT
echo "tray icon $icon at $icon_x,$icon_y ${icon_w}x$icon_h"

# A second copy finds the lock and leaves at once with status 0.
status=0
timeout 10 "$prog" --demo-language en || status=$?
[ "$status" -eq 0 ] || fail "second instance exited with $status"
kill -0 "$app" || fail "the first instance is gone"

# The tooltip: hover over the icon and wait for Qt's tooltip window.
xdotool mousemove $((icon_x + icon_w / 2)) $((icon_y + icon_h / 2))
sleep 0.2
xdotool mousemove $((icon_x + icon_w / 2 + 1)) $((icon_y + icon_h / 2))
# The tooltip: a small window of the program's other than the icon (the countdown toast, which
# may come meanwhile, is much taller).
tooltips() { big_windows 20 10 | awk -v icon="$icon" '$1 != icon && $5 <= 40'; }
tooltip_shown() { tooltips | grep -q .; }
wait_for 40 tooltip_shown || fail "no tooltip over the tray icon"
# Screenshot, then crop the tooltip out of it; the tooltip may be redrawn meanwhile as the
# title changes every second, so both are tried again until they match.
capture_tooltip() {
    import -window root "$shots/tray-tooltip.png"
    set -- $(tooltips | head -n 1)
    [ "$#" -ge 5 ] || return 1
    convert "$shots/tray-tooltip.png" -crop "${4}x${5}+${2}+${3}" +repage -colorspace Gray \
        -resize 400% -threshold 55% -bordercolor white -border 20 "$shots/tray-tooltip-text.png"
}
wait_for 20 capture_tooltip || fail "the tooltip went away before it could be read"
if command -v tesseract >/dev/null 2>&1; then
    text=$(tesseract "$shots/tray-tooltip-text.png" - --psm 7 \
        -c tessedit_char_whitelist="WB 0123456789:" 2>/dev/null | tr -d '\n')
    echo "tooltip reads: $text"
    echo "$text" | grep -Eq '^W 0?0:0[0-9]$' || fail "tooltip reads '$text', not 'W 00:0x'"
fi
convert "$shots/tray-tooltip.png" -crop 200x64+0+$((icon_y - 32)) +repage -scale 300% \
    "$shots/tray-icon.png"

kill -TERM "$app"
status=0
wait "$app" || status=$?
[ "$status" -eq 0 ] || fail "SIGTERM gave exit status $status"

# ---- The menu starts a rest ---------------------------------------------------------------------
# An ordinary 30-minute work period, so that a rest can only come from the menu.
"$prog" --demo-language en 2>"$root/menu.log" &
app=$!
pids="$app $pids"
wait_for 100 has_tray_icon || fail "no tray icon after a restart"
icon=$(($(tray_icon)))
eval "$(xdotool getwindowgeometry --shell "$icon")"
xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2))
sleep 0.2
# A left click opens the menu; its first row is Start Break Now.
xdotool click 1
menu_open() { big_windows 120 150 | grep -q .; }
wait_for 40 menu_open || fail "left click opened no menu"
sleep 0.3
import -window root "$shots/tray-menu.png"
# The shortcut shown beside Start Break Now works while the menu is open.
xdotool key ctrl+b
# The rest panels cover both monitors.
rest_shown() { [ "$(count_big 1000 700)" -ge 2 ]; }
wait_for 50 rest_shown || fail "Start Break Now showed no rest panels"
sleep 0.5
import -window root "$shots/rest-after-menu.png"

# SIGTERM ends the program with status 0 and takes the panels down.
kill -TERM "$app"
status=0
wait "$app" || status=$?
[ "$status" -eq 0 ] || fail "SIGTERM during a rest gave exit status $status"
[ "$(count_big 1000 700)" -eq 0 ] || fail "rest panels left on screen after SIGTERM"

# ---- Demo scenarios ------------------------------------------------------------------------------
# The alert is on top: the screen shows something other than the backdrop colour under its
# centre. $1 names the screenshot.
alert_above_backdrop() {
    import -window root "$shots/$1.png"
    shot=$shots/$1.png
    set -- $(big_windows 200 80 | awk '$4 < 1000' | head -n 1)
    [ "$#" -eq 5 ] || return 1
    [ "$(convert "$shot" -format "%[hex:p{$(($2 + $4 / 2)),$(($3 + $5 / 2))}]" info:)" != 071213 ]
}
for scenario in quit-confirm quit-limit restart-limit; do
    named_user "$scenario"
    "$prog" --demo-scenario "$scenario" --demo-language en 2>"$root/$scenario.log" &
    demo=$!
    pids="$demo $pids"
    # The backdrop covers the left monitor; the alert comes over it.
    backdrop_shown() { [ "$(count_big 1200 700)" -ge 1 ]; }
    wait_for 100 backdrop_shown || fail "$scenario: no backdrop"
    alert_shown() { big_windows 200 80 | awk '$4 < 1000' | grep -q .; }
    wait_for 50 alert_shown || fail "$scenario: no alert"
    sleep 0.5
    alert_above_backdrop "demo-$scenario" || fail "$scenario: the alert is hidden behind the backdrop"
    if [ "$scenario" = quit-limit ]; then
        # Answered, the alert goes and the backdrop stays: on every workspace, below the tray,
        # and under a dialog opened later from the menu.
        set -- $(big_windows 200 80 | awk '$4 < 1000' | head -n 1)
        wmctrl -i -c "$1" # as its close button would
        alert_gone() { ! alert_shown; }
        wait_for 30 alert_gone || fail "the demo alert did not close"
        wmctrl -s 1
        sleep 0.5
        backdrop_shown || fail "the backdrop is missing on the second workspace"
        wmctrl -s 0
        icon=$(($(tray_icon)))
        eval "$(xdotool getwindowgeometry --shell "$icon")"
        xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) click 1
        wait_for 40 alert_shown || fail "the tray icon cannot be reached beside the backdrop"
        set -- $(big_windows 200 80 | awk '$4 < 1000' | head -n 1)
        xdotool mousemove $(($2 + 40)) $(($3 + $5 - 14)) click 1 # Quit, the last row
        sleep 1
        alert_above_backdrop "demo-menu-quit" || fail "Quit's alert is hidden behind the backdrop"
        xdotool key Escape
    fi
    # The restart-limit demo uses up the day's restart.
    if [ "$scenario" = restart-limit ]; then
        grep -q '"Lumatide.lastManualRestartWorkDay"' "$XDG_CONFIG_HOME/lumatide/preferences.json" \
            || fail "restart-limit did not record the day"
    else
        ! grep -q 'Day"' "$XDG_CONFIG_HOME/lumatide/preferences.json" \
            || fail "$scenario recorded a day"
    fi
    kill -TERM "$demo"
    wait "$demo" || true
done
echo "shell_tray: ok"
