# SPDX-License-Identifier: GPL-3.0-or-later
# Helpers shared by the end-to-end scripts; sourced, never run. The scripts run inside
# with-x-session.sh (LEFT 1280x720+0+0, RIGHT 1024x768+1280+0).

# Screenshots go to the folder the test run names (kept after the run).
shots=${LUMATIDE_ARTIFACTS:?}
mkdir -p "$shots"

# private_home: a private home, configuration and state folder with the passcode 2468 and
# usage events switched off, so no run touches the real user's files. Sets $private. The
# runtime folder stays, as the Wayland sessions' sockets live there.
private_home() {
    private=$(mktemp -d)
    HOME="$private/home" XDG_CONFIG_HOME="$private/config" XDG_STATE_HOME="$private/state"
    export HOME XDG_CONFIG_HOME XDG_STATE_HOME
    mkdir -p "$HOME" "$XDG_CONFIG_HOME/lumatide"
    prefs="$XDG_CONFIG_HOME/lumatide/preferences.json"
    printf '%s\n' '{"Lumatide.passcode":"2468","Lumatide.anonymousTelemetryEnabled":false}' \
        >"$prefs"
    chmod 600 "$prefs"
}

# private_user: private_home with a private runtime folder as well (the X sessions).
private_user() {
    private_home
    XDG_RUNTIME_DIR="$private/run"
    export XDG_RUNTIME_DIR
    mkdir -p "$XDG_RUNTIME_DIR"
    chmod 700 "$XDG_RUNTIME_DIR"
}

# stop <pid>: ends a process politely, then for good after 3 s.
stop() {
    kill "$1" 2>/dev/null || return 0
    tries=0
    while kill -0 "$1" 2>/dev/null && [ "$tries" -lt 30 ]; do
        tries=$((tries + 1))
        sleep 0.1
    done
    kill -9 "$1" 2>/dev/null || true
    wait "$1" 2>/dev/null || true
}

# wait_for <tenths of a second> <command...>: polls, quietly, until the command succeeds.
wait_for() {
    limit=$1
    shift
    tries=0
    until "$@" >/dev/null 2>&1; do
        tries=$((tries + 1))
        [ "$tries" -ge "$limit" ] && return 1
        sleep 0.1
    done
}

# The program's icon window embedded in the tray host's panel, and whether there is one.
tray_icon() {
    xwininfo -root -tree | awk '/"panel": \("panel" "trayer"\)/ { inpanel = 1; next }
        inpanel && /\("lumatide" "lumatide"\)/ { print $1; exit }'
}
has_tray_icon() { [ -n "$(tray_icon)" ]; }

# Visible rest-panel windows, one id a line, and their number.
panels() {
    xdotool search --onlyvisible --name '^Lumatide rest panel' 2>/dev/null || true
}
panel_count() {
    panels | grep -c . || true
}
two_panels() { [ "$(panel_count)" -eq 2 ]; }
# Twice in a row: a search that meets windows being rebuilt can come back empty once.
no_panels() { [ "$(panel_count)" -eq 0 ] && sleep 0.2 && [ "$(panel_count)" -eq 0 ]; }

# message_pixels <image> <WxH+X+Y>: pixels of the incorrect-passcode colour (1.0, 0.55, 0.5).
message_pixels() {
    convert "$1" -crop "$2" +repage -fuzz 6% -fill black -opaque white \
        -fill white -opaque '#FF8C80' -fill black +opaque white \
        -format '%[fx:int(mean*w*h+0.5)]' info:
}

# field_middle <image> <x> <monitor height>: the y of the middle of the passcode field in
# column x: the middle of the first run of at least 20 rows of the field's own colour (0.05, 0.09,
# 0.13), a slate bluer than any colour of the background, in the lower half of the monitor. x
# must miss the caret and the dots in the middle of the field (80 px off a panel's centre does).
field_middle() {
    convert "$1" -crop "1x$(($3 / 2))+$2+$(($3 / 2))" +repage -depth 8 txt:- |
        awk -F'[,:]' -v top="$(($3 / 2))" 'NR > 1 {
            if ($0 ~ /#0D1721/) { if (run++ == 0) first = $2 }
            else if (run >= 20) { print top + first + int(run / 2); exit }
            else run = 0
        }'
}

# problem <what>: what a run (named by $mode) found wrong; the run goes on, so that one report
# shows every broken step; $problems holds them all.
problems=""
problem() {
    echo "FAIL ($mode): $*" >&2
    problems="$problems$mode: $*
"
}

# start_keyboard <tool> [arguments]: one keyboard for the whole test (a compositor may move the
# focus when a device appears), commanded through keys(); its process joins $pids.
start_keyboard() {
    mkfifo "$private/keys" "$private/answers"
    "$@" <"$private/keys" >"$private/answers" 2>"$private/keyboard.err" &
    pids="$pids $!"
    exec 3>"$private/keys" 4<"$private/answers"
}
# keys <command>: one command for the keyboard, answered once the compositor has handled it.
keys() {
    printf '%s\n' "$*" >&3
    read -r answer <&4 || fail "the keyboard ended: $(cat "$private/keyboard.err")"
    [ "$answer" = ok ] || fail "keyboard: $*: $answer"
}

# The program's phase from its status line ($program): B during a rest, W at work.
phase() { "$program" --status 2>/dev/null | cut -c1; }
resting() { [ "$(phase)" = B ]; }
working() { [ "$(phase)" = W ]; }
# is_panel_colour <r> <g> <b> (0..255): the panel's dark teal, neither a white window nor a
# compositor's black or grey background and title bars.
is_panel_colour() { [ "$1" -lt 60 ] && [ "$2" -lt 90 ] && [ "$3" -lt 90 ] && [ "$2" -ge $(($1 + 5)) ]; }
