#!/usr/bin/env bash
# The game under openbox on a 1280x720 screen, sound through PulseAudio: its window gets full
# screen and the focus; a game starts from keyboard taps; while an xterm has the focus the game
# is hidden and stands still (no frame, no music, next to no processor time); activated again,
# it goes on where it stopped, with its music.
source "$(dirname "$0")/lib.sh"

SCREEN=1280x720
use_private_copy
use_sound_server
start_display "$SCREEN"
start_window_manager
log_frames
start_to_menu menu
game_window=$(wait_for_window)

# Full screen, asked of the window manager and given, and the focus.
xprop -id "$game_window" _NET_WM_STATE | grep -q _NET_WM_STATE_FULLSCREEN ||
    fail "the window is not full screen: $(xprop -id "$game_window" _NET_WM_STATE)"
[ "$(xdotool getwindowfocus)" = "$game_window" ] ||
    fail "the game's window does not have the focus ($(xdotool getwindowfocus))"
note "the window is full screen (_NET_WM_STATE_FULLSCREEN) and has the focus"

# A game from taps: Up brings the pointer from Options onto Start, Return picks it. The story's
# pictures go on a key seen held for a frame, so they are skipped with short holds.
tap 0.3 Up
level_opened=$(play_from_start keys)
note "a game started from keyboard taps"
record level
played_from=$(now)
sleep_until "$(calc "$level_opened + 1")"

# An xterm takes the focus: the game is hidden, with its music paused.
grab before-away
xterm -geometry 80x24+100+100 -title other-window 2> /dev/null &
HELPER_PIDS+=($!)
xdotool windowactivate "$(wait_for_window other-window)"
sleep 1
xprop -id "$game_window" WM_STATE | grep -q Iconic ||
    fail "the game's window is not iconic: $(xprop -id "$game_window" WM_STATE _NET_WM_STATE)"
xprop -id "$game_window" _NET_WM_STATE | grep -q _NET_WM_STATE_HIDDEN ||
    fail "the window manager does not show the game hidden"

# Ten seconds away: no frame, next to no processor time, the sound output standing.
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$GAME_PID/stat"; }
away_from=$(now) ticks_from=$(cpu_ticks)
sleep 10
away_to=$(now) ticks_to=$(cpu_ticks)
away_cpu=$(calc "($ticks_to - $ticks_from) / $(getconf CLK_TCK) / ($away_to - $away_from)")
away_frames=$(frames_between "$away_from" "$away_to")
[ "$away_frames" -eq 0 ] || fail "$away_frames frames were drawn while the game was hidden"
at_least 0.1 "$away_cpu" || fail "the hidden game used $away_cpu of a core"
note "hidden for 10 s: no frame drawn, $away_cpu core-seconds a second"

# Back: the level goes on from where it stood.
xdotool windowactivate "$game_window"
back=$(now)
first_back=$(first_frame_after "$back")
sleep 0.3
grab back
sleep 6
grab later
frame_rate=$(frame_rate "$(calc "$back + 1")" "$(calc "$back + 6")")
[ "$(xdotool getwindowfocus)" = "$game_window" ] || fail "the game did not get the focus back"
for name in before-away back later; do
    at_least "$(develop_grab "$name")" 0.01 || fail "the level is black ($name.png)"
done
# The level's clocks stood still: the shield the ship starts with lasts 5 s and had about 3 s left
# when the game was hidden, so after the 10 s away its bar in the HUD still shows,
# and 6 s later it is gone.
SHIELD_BOX=20x20+888+692
shield_before=$(mean_in before-away "$SHIELD_BOX")
shield_back=$(mean_in back "$SHIELD_BOX")
shield_later=$(mean_in later "$SHIELD_BOX")
at_least "$(calc "$shield_before - $shield_later")" 0.1 ||
    fail "the shield had run out before the game was hidden (HUD box $shield_before)"
at_least "$(calc "$shield_back - $shield_later")" "$(calc "($shield_before - $shield_later) / 2")" ||
    fail "the shield ran down while the game was hidden (HUD box $shield_before before," \
        "$shield_back back, $shield_later 6 s later)"
stop_recording
music_before=$(audio_rms "$(into_recording "$played_from")" 0.5)
music_away=$(audio_rms "$(into_recording "$away_from")" 10)
music_back=$(audio_rms "$(into_recording "$back")" 5)
at_least "$music_before" 0.02 || fail "no level music before the game was hidden ($music_before)"
at_least 0.001 "$music_away" || fail "the music played on while hidden (RMS $music_away)"
at_least "$music_back" 0.02 || fail "no music after the return (RMS $music_back)"
note "back: a frame $(calc "$first_back - $back") s after activation, the shield's bar as it" \
    "was (HUD box $shield_before before, $shield_back back, $shield_later 6 s later)," \
    "the music paused and heard again (RMS $music_before, $music_away away, $music_back back)"
note "level frame rate on X11 under openbox at $SCREEN: $frame_rate frames a second"
end_by_signals TERM any-stderr
