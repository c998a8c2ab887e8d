#!/usr/bin/env bash
# What a logout, a closed terminal and Ctrl-C send: SIGTERM, SIGHUP, both at once in either
# order, and both sent while the game is stopped (as a busy machine delivers them: SIGHUP
# first) during a level end the game with status 0 and the level's score saved as the new high
# score; SIGINT in the menu ends it with status 0 and the settings saved. How long each took
# from the signals to the end lands in measurements.txt. An optional third argument plays each
# case that many times.
source "$(dirname "$0")/lib.sh"
OLD_HIGH_SCORE=1

use_private_copy
export ALSOFT_DRIVERS=null
start_display
log_frames

measurements=()
for round in $(seq "${3:-1}"); do
    for signals in TERM HUP "TERM HUP" "HUP TERM" "STOP TERM HUP CONT"; do
        settings_set "$SETTINGS" HighScore=$OLD_HIGH_SCORE
        : > "$FRAME_LOG"
        start_to_menu
        move_mouse 0 -50 # from Options onto Start
        play_from_start > /dev/null
        sleep 0.5
        fly_until_scored
        name=${signals// /_}
        screenshot "level-scored-$name" > /dev/null
        [ "$(count_opens textures/story/gameover.tga)" -eq 0 ] ||
            fail "the game ended before SIG$name"
        end_by_signals "$signals"
        high=$("$kit" rep get "$SETTINGS" HighScore)
        [ "$high" -gt "$OLD_HIGH_SCORE" ] || fail "after SIG$name the high score saved is $high"
        note "round $round, SIG${signals// /+SIG} in a level: status 0 after $SIGNAL_SECONDS s," \
            "high score $high saved"
        measurements+=("sig${name}_in_level_to_exit_seconds $SIGNAL_SECONDS"
            "high_score_saved_after_sig$name $high")
    done
done

# SIGINT in the menu: the settings are saved at once, the desktop size among them.
settings_set "$SETTINGS" ScreenWidth=640
: > "$FRAME_LOG"
start_to_menu menu
end_by_signals INT
settings_hold "$SETTINGS" ScreenWidth=1024
note "SIGINT in the menu: status 0 after $SIGNAL_SECONDS s, settings saved"
printf '%s\n' "${measurements[@]}" "sigint_in_menu_to_exit_seconds $SIGNAL_SECONDS" \
    > "$OUT_DIR/measurements.txt"
