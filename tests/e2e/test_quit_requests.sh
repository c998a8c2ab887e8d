#!/usr/bin/env bash
# What a logout, a closed terminal and Ctrl-C send: SIGTERM, SIGHUP, or both at once during a
# level end the game with status 0 and the level's score saved as the new high score; SIGINT in
# the menu ends it with status 0 and the settings saved. How long each took from the signal to
# the end lands in measurements.txt.
source "$(dirname "$0")/lib.sh"
OLD_HIGH_SCORE=1

use_private_copy
settings_set "$SETTINGS" HighScore=$OLD_HIGH_SCORE ScreenWidth=640
export ALSOFT_DRIVERS=null
start_display
log_frames

# Sends the signals named in $1 (such as "TERM HUP", one right after the other, as systemd stops
# a session) to the game and waits for it to end with status 0 and no error; sets SIGNAL_SECONDS
# to how long that took (to a tenth of a second).
signal_and_wait() {
    local sent signal
    sent=$(now)
    for signal in $1; do
        kill "-$signal" "$GAME_PID"
    done
    wait_for_exit 10
    SIGNAL_SECONDS=$(calc "$(now) - $sent")
    expect_clean_exit "SIG${1// /+SIG}"
}

# SIGTERM, SIGHUP (a closed terminal) and SIGTERM with SIGHUP at once (a logout), each in a level
# that has scored: the level's score is saved as the new high score.
measurements=()
for signals in TERM HUP "TERM HUP"; do
    settings_set "$SETTINGS" HighScore=$OLD_HIGH_SCORE
    : > "$FRAME_LOG"
    start_to_menu
    move_mouse 0 -50 # from Options onto Start
    play_from_start > /dev/null
    sleep 0.5
    fly_until_scored
    screenshot "level-scored-${signals// /-}" > /dev/null
    [ "$(count_opens textures/story/gameover.tga)" -eq 0 ] || fail "the game ended before SIG$signals"
    signal_and_wait "$signals"
    high=$("$kit" rep get "$SETTINGS" HighScore)
    [ "$high" -gt "$OLD_HIGH_SCORE" ] || fail "after SIG$signals the high score saved is $high"
    note "SIG${signals// /+SIG} in a level: status 0 after $SIGNAL_SECONDS s, high score $high saved"
    measurements+=("sig${signals// /_}_in_level_to_exit_seconds $SIGNAL_SECONDS"
        "high_score_saved_after_sig${signals// /_} $high")
done

# SIGINT in the menu: the settings are saved at once, the desktop size among them.
settings_set "$SETTINGS" ScreenWidth=640
: > "$FRAME_LOG"
start_to_menu menu
signal_and_wait INT
int_seconds=$SIGNAL_SECONDS
settings_hold "$SETTINGS" ScreenWidth=1024
note "SIGINT in the menu: status 0 after $int_seconds s, settings saved"

{
    printf '%s\n' "${measurements[@]}"
    echo "sigint_in_menu_to_exit_seconds $int_seconds"
} > "$OUT_DIR/measurements.txt"
