#!/usr/bin/env bash
# The portable zip, unzipped into a folder whose names hold spaces, apostrophes and letters
# beyond ASCII: the menu matches the Linux build's at the same size; a game started from the
# keyboard plays level 1, with the music and the laser in the captured audio; `taskkill`
# without /F ends it with status 0 and the level's score saved as the high score, and so does
# a logoff (`wineboot --end-session`) in mid-level. The frame rates of the menu and of level 1,
# against the Linux build's, land in measurements.txt.
source "$(dirname "$0")/lib.sh"
OLD_HIGH_SCORE=1
# Above this the two menus differ in more than the spinning rock, the pointer and rounding.
MENU_RMSE_LIMIT=0.02
MUSIC_RMS=0.005

# The Linux build: its menu, and the frame rates of the menu and of level 1 while firing. It has
# an X server of its own, so that the keyboard focus it leaves behind cannot reach Windows.
start_display 1024x768
use_private_copy
export ALSOFT_DRIVERS=null
log_frames
start_to_menu linux-menu
linux_menu_fps=$(frame_rate_for 4)
start_level_by_keys > /dev/null
sleep 2.5
xdotool keydown space
linux_level_fps=$(frame_rate_for 4)
xdotool keyup space
end_by_signals TERM any-stderr
unset ALSOFT_DRIVERS CATACLYSM_FRAME_LOG
stop_display
start_windows_display
note "Linux: menu $linux_menu_fps frames a second, level 1 $linux_level_fps"

place="$DRIVE_C/users/Public/Jeux d'été/Brindle's Cataclysm – 彗星"
rm -rf "$DRIVE_C/users/Public/Jeux d'été"
mkdir -p "$place"
(cd "$place" && unzip -q "$ZIP")
game_dir="$place/Brindles Cataclysm"
settings="$game_dir/base/config/bc.rep"
[ -f "$game_dir/brindles-cataclysm.exe" ] || fail "the zip holds no Brindles Cataclysm\\brindles-cataclysm.exe"
settings_set "$settings" HighScore=$OLD_HIGH_SCORE

# The menu, a level from the keyboard, and taskkill.
capture_windows_audio "$game_dir" level
start_windows_game "$game_dir"
windows_menu windows-menu
sync_trace_clock
menu_rmse=$(picture_rmse linux-menu windows-menu)
at_least "$MENU_RMSE_LIMIT" "$menu_rmse" ||
    fail "the Windows menu differs from the Linux one: RMSE $menu_rmse (windows-menu.png)"
from=$(trace_now)
sleep 4
windows_menu_fps=$(trace_frame_rate "$from" "$(trace_now)")
note "menu: RMSE $menu_rmse against Linux, $windows_menu_fps frames a second"

windows_level_by_keys
quiet_from=$(wall_to_trace "$(now)")
screenshot level-start > /dev/null
sleep 2.5
quiet_to=$(wall_to_trace "$(now)")
fire_from=$quiet_to
fly_until_scored
fire_to=$(wall_to_trace "$(now)")
at_least "$(screenshot level-scored)" 0.01 || fail "level 1 is black (level-scored.png)"
windows_level_fps=$(trace_frame_rate "$fire_from" "$fire_to")
[ "$(trace_count_opens textures/story/gameover.tga)" -eq 0 ] || fail "the game ended before taskkill"
taskkill_game
high=$("$kit" rep get "$settings" HighScore)
[ "$high" -gt "$OLD_HIGH_SCORE" ] || fail "after taskkill the high score saved is $high"
note "taskkill in level 1: status 0, high score $high saved; level 1 $windows_level_fps frames a second"

# The wave writer opened its file when the game opened the device: offsets into it follow.
audio_opened=$(trace_opened_at level.wav 1)
[ -n "$audio_opened" ] || fail "OpenAL Soft never opened level.wav"
music=$(audio_rms "$(calc "$quiet_from - $audio_opened")" 2)
alone=$(audio_rms "$(calc "$quiet_from - $audio_opened")" 2 "${LASER_BAND[@]}")
laser=$(audio_rms "$(calc "$fire_from - $audio_opened")" "$(calc "$fire_to - $fire_from")" \
    "${LASER_BAND[@]}")
note "audio RMS: music $music; in the laser's band $alone without firing, $laser firing"
at_least "$music" "$MUSIC_RMS" || fail "no music in level 1 ($music)"
at_least "$laser" "$(calc "$alone * $LASER_GAIN")" || fail "no laser in level 1 ($laser against $alone)"

# A logoff in mid-level: Windows sends the session's end and then ends the process.
settings_set "$settings" HighScore=$OLD_HIGH_SCORE
start_windows_game "$game_dir"
windows_menu menu-again
sync_trace_clock
windows_level_by_keys
fly_until_scored
wineboot --end-session > "$OUT_DIR/end-session.out" 2>&1 || fail "wineboot --end-session failed"
wait_for_exit 20
[ "$GAME_STATUS" -eq 0 ] || fail "exit status $GAME_STATUS after the logoff"
logoff_high=$("$kit" rep get "$settings" HighScore)
[ "$logoff_high" -gt "$OLD_HIGH_SCORE" ] || fail "after the logoff the high score saved is $logoff_high"
note "logoff in level 1: status 0, high score $logoff_high saved"

write_measurements menu_rmse_against_linux=menu_rmse menu_rmse_limit=MENU_RMSE_LIMIT \
    menu_fps_windows=windows_menu_fps menu_fps_linux=linux_menu_fps \
    level1_fps_windows=windows_level_fps level1_fps_linux=linux_level_fps \
    audio_rms_music=music audio_rms_laser_band_firing=laser audio_rms_laser_band_music=alone \
    high_score_after_taskkill=high high_score_after_logoff=logoff_high
