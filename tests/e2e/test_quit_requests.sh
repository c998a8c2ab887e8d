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

# Sends signal $1 to the game and waits for it to end with status 0 and no error; sets
# SIGNAL_SECONDS to how long that took (to a tenth of a second).
signal_and_wait() {
    local sent
    sent=$(now)
    kill "-$1" "$GAME_PID"
    wait_for_exit 10
    SIGNAL_SECONDS=$(calc "$(now) - $sent")
    [ "$GAME_STATUS" -eq 0 ] || fail "exit status $GAME_STATUS after SIG$1"
    [ ! -s "$OUT_DIR/game.err" ] || fail "the game wrote errors: $(cat "$OUT_DIR/game.err")"
}

# SIGTERM in a level that has scored.
start_game
wait_for_window > /dev/null
wait_for_open textures/menu/Pointer.tga 1 60 > /dev/null
sleep 1
hold_key Up 0.2 # from Options onto Start
sleep 0.2
hold_key Return 0.2
skip_story
wait_for_open fonts/default.tga 3 30 > /dev/null
sleep 0.5
fly_until_scored
screenshot level-scored > /dev/null
[ "$(count_opens textures/story/gameover.tga)" -eq 0 ] || fail "the game ended before SIGTERM"
signal_and_wait TERM
term_seconds=$SIGNAL_SECONDS
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
screenshot menu > /dev/null
signal_and_wait INT
int_seconds=$SIGNAL_SECONDS
[ "$("$kit" rep get "$SETTINGS" ScreenWidth)" = 1024 ] || fail "the settings were not saved"
note "SIGINT in the menu: status 0 after $int_seconds s, settings saved"

{
    echo "sigterm_in_level_to_exit_seconds $term_seconds"
    echo "sigint_in_menu_to_exit_seconds $int_seconds"
    echo "high_score_saved $high"
} > "$OUT_DIR/measurements.txt"
