#!/usr/bin/env bash
# The monkey test: the real game in a private Xvfb server, fed random keys, mouse motion and
# clicks through xdotool for a set time, half of it on the shader path and half on the
# fixed-function path. It fails on a crash (the game ends with a non-zero status or a signal), a
# hang (no new frame for 10 s once the game has drawn) or a settings file that no longer loads.
# A game that ends normally (Escape or Exit in the main menu) is started again.
#
#   tests/e2e/monkey.sh BIN_DIR OUT_DIR [SECONDS [SEED]]
#
# SECONDS defaults to 600; SEED to 1, and the same seed sends the same inputs. The frame log,
# the game's output, screenshots and a summary (monkey.txt) land in OUT_DIR.
source "$(dirname "$0")/lib.sh"
TOTAL_SECONDS=${3:-600}
RANDOM=${4:-1}
HANG_SECONDS=10
START_SECONDS=60  # launch to the first frame, loading on a busy software renderer included

use_private_copy Sound=1
start_display
export ALSOFT_DRIVERS=null
log_frames

KEYS=(space space space Up Up Left Right Down Return q Q a x 1 Tab Escape)
actions=0
starts=0
normal_ends=0

settings_load() {
    "$kit" rep dump "$SETTINGS" > /dev/null 2> "$OUT_DIR/settings.err" ||
        fail "the settings file no longer loads: $(cat "$OUT_DIR/settings.err")"
}

# The time of the last frame the game showed, or of its launch before the first one.
last_frame() {
    awk -v since="$1" '$1 == "swap" && $2 > since { last = $2 } END { print (last == "" ? since : last) }' "$FRAME_LOG"
}

# Aims the menu pointer at Start and clicks, so that the monkey plays games rather than spend
# its time in the menus. The pointer stops at the menu's edges: three long moves up and left put
# it in the top-left corner (one move at a time, since a move ends at the screen's edge), and
# Start lies 372 mouse pixels right of and 211 below that corner.
aim_at_start() {
    for _ in 1 2 3; do
        move_mouse -400 -400 0.1
    done
    move_mouse 372 211 0.1
    click
}

random_action() {
    local roll=$((RANDOM % 100))
    if [ $roll -lt 6 ]; then
        aim_at_start
    elif [ $roll -lt 48 ]; then
        local key=${KEYS[$((RANDOM % ${#KEYS[@]}))]}
        # Escape leaves most screens: send it seldom, or the game spends its time starting.
        [ "$key" = Escape ] && [ $((RANDOM % 4)) -ne 0 ] && key=space
        xdotool keydown "$key"
        sleep "0.0$((RANDOM % 10))"
        xdotool keyup "$key"
    elif [ $roll -lt 80 ]; then
        move_mouse $((RANDOM % 801 - 400)) $((RANDOM % 601 - 300)) 0
    else
        click
    fi
    actions=$((actions + 1))
}

# Plays on one drawing path until the deadline; restarts the game whenever it ends normally.
monkey_on_path() {
    local glsl=$1 deadline=$2 launched=""
    while [ $SECONDS -lt "$deadline" ]; do
        if [ -z "$GAME_PID" ]; then
            settings_load
            "$kit" rep set "$SETTINGS" GLSL "$glsl"
            launched=$(now)
            start_game
            starts=$((starts + 1))
        fi
        random_action
        sleep "0.$((RANDOM % 3))"
        if ! kill -0 "$GAME_PID" 2> /dev/null; then
            wait_for_exit 1
            [ "$GAME_STATUS" -eq 0 ] || fail "the game ended with status $GAME_STATUS (GLSL $glsl)"
            normal_ends=$((normal_ends + 1))
            continue
        fi
        local shown quiet
        shown=$(last_frame "$launched")
        quiet=$(calc "$(now) - $shown")
        if [ "$shown" = "$launched" ]; then
            at_least "$START_SECONDS" "$quiet" ||
                fail "no frame within $START_SECONDS s of the launch (GLSL $glsl)"
        else
            at_least "$HANG_SECONDS" "$quiet" ||
                { grab hang; fail "no new frame for $quiet s (GLSL $glsl)"; }
        fi
    done
    if [ -n "$GAME_PID" ]; then
        screenshot "path-$glsl" > /dev/null
        hold_key Escape 0.3
        hold_key Escape 0.3
        sleep 3
        if kill -0 "$GAME_PID" 2> /dev/null; then
            kill -9 "$GAME_PID"  # still in some screen; the saved settings are checked below
        fi
        wait "$GAME_PID" 2> /dev/null || true
        GAME_PID=""
    fi
    settings_load
}

begin=$SECONDS
monkey_on_path 1 $((begin + TOTAL_SECONDS / 2))
monkey_on_path 0 $((begin + TOTAL_SECONDS))
frames=$(grep -c '^swap' "$FRAME_LOG" || true)
game_overs=$(count_opens textures/story/gameover.tga)
summary="monkey: $((SECONDS - begin)) s, $actions inputs, $starts starts, $normal_ends normal ends, $game_overs games to game over, $frames frames, no crash, no hang, settings load"
echo "$summary" > "$OUT_DIR/monkey.txt"
note "$summary"
