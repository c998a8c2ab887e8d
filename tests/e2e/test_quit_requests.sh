#!/usr/bin/env bash
# What a logout and Ctrl-C send: SIGTERM during a level ends the game with status 0 and the
# level's score saved as the new high score; SIGINT in the menu ends it with status 0 and the
# settings saved. How long each took from the signal to the end lands in measurements.txt.
source "$(dirname "$0")/lib.sh"
OLD_HIGH_SCORE=1

use_private_copy
kit="$BIN_DIR/cataclysm-kit"
"$kit" rep set "$SETTINGS" HighScore "$OLD_HIGH_SCORE"
"$kit" rep set "$SETTINGS" ScreenWidth 640
export ALSOFT_DRIVERS=null
start_display
log_frames

# Sends signal $1 to the game and waits for it to end; prints the seconds that took.
signal_and_time() {
    local sent
    sent=$(now)
    kill "-$1" "$GAME_PID"
    while kill -0 "$GAME_PID" 2> /dev/null; do sleep 0.02; done
    calc "$(now) - $sent"
}

# The mean brightness of the score's figures in the level's bottom line on screenshot $1: the
# cells after "Score:" in the 80 x 60 grid of the 1024x768 screen.
score_figures() {
    /usr/bin/convert "$OUT_DIR/$1.png" -crop 104x14+332+742 +repage -format '%[fx:mean]' info:
}

# SIGTERM in a level that has scored.
start_game
wait_for_window > /dev/null
wait_for_open textures/menu/Pointer.tga 1 60 > /dev/null
sleep 1
hold_key Up 0.2 # from Options onto Start
sleep 0.2
hold_key Return 0.2
sleep 0.8
hold_key space 0.3
sleep 0.5
hold_key space 0.3
wait_for_open fonts/default.tga 3 30 > /dev/null
sleep 0.3
screenshot level-start > /dev/null
unscored=$(score_figures level-start)
# Fire all round, turning by fits so that the shots fan out in ever new directions, and now and
# then thrust in whatever direction the ship faces: it drifts across the wrapping field (a shot
# reaches less than half of it) and the asteroid cannot hide from it for long. Running into the
# asteroid scores too. Stop once the score shows more figures than its 0.
xdotool keydown space
scored=""
for attempt in $(seq 40); do
    hold_key Left 0.37
    sleep 0.2
    [ $((attempt % 4)) -eq 1 ] && hold_key Up 0.6
    screenshot "level-$attempt" > /dev/null
    if at_least "$(score_figures "level-$attempt")" "$(calc "$unscored * 1.5 + 0.01")"; then
        scored=$attempt
        break
    fi
done
[ -n "$scored" ] || fail "no asteroid was hit in $attempt rounds of firing"
[ "$(count_opens textures/story/gameover.tga)" -eq 0 ] || fail "the game ended before SIGTERM"
term_seconds=$(signal_and_time TERM)
xdotool keyup space
GAME_STATUS=0
wait "$GAME_PID" || GAME_STATUS=$?
GAME_PID=""
[ "$GAME_STATUS" -eq 0 ] || fail "exit status $GAME_STATUS after SIGTERM in a level"
[ ! -s "$OUT_DIR/game.err" ] || fail "the game wrote errors: $(cat "$OUT_DIR/game.err")"
high=$("$kit" rep get "$SETTINGS" HighScore)
[ "$high" -gt "$OLD_HIGH_SCORE" ] || fail "the high score saved is $high, not the level's score"
note "SIGTERM in a level: status 0 after $term_seconds s, high score $high saved"

# SIGINT in the menu: the settings are saved at once, the desktop size among them.
"$kit" rep set "$SETTINGS" ScreenWidth 640
: > "$FRAME_LOG"
start_game
wait_for_window > /dev/null
wait_for_open textures/menu/Pointer.tga 1 60 > /dev/null
sleep 1
int_seconds=$(signal_and_time INT)
GAME_STATUS=0
wait "$GAME_PID" || GAME_STATUS=$?
GAME_PID=""
[ "$GAME_STATUS" -eq 0 ] || fail "exit status $GAME_STATUS after SIGINT in the menu"
[ ! -s "$OUT_DIR/game.err" ] || fail "the game wrote errors: $(cat "$OUT_DIR/game.err")"
[ "$("$kit" rep get "$SETTINGS" ScreenWidth)" = 1024 ] || fail "the settings were not saved"
note "SIGINT in the menu: status 0 after $int_seconds s, settings saved"

{
    echo "sigterm_in_level_to_exit_seconds $term_seconds"
    echo "sigint_in_menu_to_exit_seconds $int_seconds"
    echo "high_score_saved $high"
} > "$OUT_DIR/measurements.txt"
