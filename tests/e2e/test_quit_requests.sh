#!/usr/bin/env bash
# What a logout and Ctrl-C send: SIGTERM during a level ends the game with status 0 and the
# level's score saved as the new high score; SIGINT in the menu ends it with status 0 and the
# settings saved. How long each took from the signal to the end lands in measurements.txt.
source "$(dirname "$0")/lib.sh"
OLD_HIGH_SCORE=1

use_private_copy
settings_set "$SETTINGS" HighScore=$OLD_HIGH_SCORE ScreenWidth=640
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
    expect_clean_exit "SIG$1"
}

# SIGTERM in a level that has scored.
start_to_menu
move_mouse 0 -50 # from Options onto Start
play_from_start > /dev/null
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
settings_set "$SETTINGS" ScreenWidth=640
: > "$FRAME_LOG"
start_to_menu menu
signal_and_wait INT
int_seconds=$SIGNAL_SECONDS
settings_hold "$SETTINGS" ScreenWidth=1024
note "SIGINT in the menu: status 0 after $int_seconds s, settings saved"

{
    echo "sigterm_in_level_to_exit_seconds $term_seconds"
    echo "sigint_in_menu_to_exit_seconds $int_seconds"
    echo "high_score_saved $high"
} > "$OUT_DIR/measurements.txt"
