#!/usr/bin/env bash
# The game from the zip under a real window manager (openbox) on a 1280x720 screen: the level's
# 4:3 picture fills the centre between black bars, undistorted. In the level, another window takes
# the focus and the full-screen game is minimised, as Windows does it: no frame is drawn and next
# to no processor time is used while it is away; brought back, it draws again and the level goes
# on; minimised by hand, the same.
source "$(dirname "$0")/lib.sh"

SCREEN=1280x720
start_display $SCREEN
start_window_manager
start_wine

place="$DRIVE_C/users/Public/Window manager"
rm -rf "$place"
mkdir -p "$place"
(cd "$place" && unzip -q "$ZIP")
game_dir="$place/Brindles Cataclysm"
capture_windows_audio "$game_dir" level
start_windows_game "$game_dir"
windows_menu menu
game_window=$(wait_for_window)
windows_level_by_keys
sync_trace_clock
screenshot "level-$SCREEN" > /dev/null
viewport_of $SCREEN
check_bars "level-$SCREEN" filled
note "level 1 at $SCREEN: the 4:3 picture fills ${VIEW_W}x$VIEW_H at $VIEW_X,$VIEW_Y between black bars"

frames_for() {
    local from
    from=$(trace_now)
    sleep "$1"
    trace_frame_rate "$from" "$(wall_to_trace "$(now)")"
}
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$GAME_PID/stat"; }
# Checks that the game stays away for $1 seconds: no frame, next to no processor time.
expect_away() {
    local ticks_from ticks_to from to fps cpu
    sleep 1
    xprop -id "$game_window" WM_STATE | grep -q Iconic ||
        fail "$2: the game's window is not minimised: $(xprop -id "$game_window" WM_STATE)"
    ticks_from=$(cpu_ticks) from=$(now)
    fps=$(frames_for "$1")
    ticks_to=$(cpu_ticks) to=$(now)
    cpu=$(calc "($ticks_to - $ticks_from) / $(getconf CLK_TCK) / ($to - $from)")
    [ "$fps" = 0.0 ] || fail "$2: $fps frames a second were drawn while the game was away"
    at_least 0.1 "$cpu" || fail "$2: the game used $cpu of a core while away"
    note "$2: minimised, no frame drawn in $1 s, $cpu core-seconds a second"
}
expect_back() {
    xdotool windowactivate "$game_window" 2> /dev/null || true
    sleep 1.5
    local fps
    fps=$(frames_for 2)
    at_least "$fps" 30 || fail "$1: back in front, only $fps frames a second"
    [ "$(trace_count_opens textures/story/gameover.tga)" -eq 0 ] || fail "$1: the level ended"
    note "$1: back in front, $fps frames a second, the level goes on"
}

playing=$(frames_for 2)
note "level 1 under openbox: $playing frames a second"
xterm -geometry 80x24+100+100 -title other-window 2> /dev/null &
HELPER_PIDS+=($!)
xdotool windowactivate "$(wait_for_window other-window)"
expect_away 4 "another window took the focus"
screenshot away > /dev/null
expect_back "focus back"
screenshot back > /dev/null

xdotool windowminimize "$game_window"
expect_away 4 "minimised"
expect_back "restored"
taskkill_game
note "taskkill: status 0"
