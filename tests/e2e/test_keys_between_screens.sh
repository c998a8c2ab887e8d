#!/usr/bin/env bash
# Keys as a player taps and holds them between screens: Start picked with a 120 ms Space tap
# shows the opening story (the tap is not taken as its skip key); Escape held for a second to
# leave the options, or to skip the credits, does not leave the game from the main menu; and two
# Return taps 80 ms apart on Brightness step it twice. Every menu key here is a tap that xdotool
# presses and releases at once, inside one frame.
source "$(dirname "$0")/lib.sh"

use_private_copy Brightness=0
export ALSOFT_DRIVERS=null
start_display
log_frames
start_to_menu menu

# Options by a Return tap (the pointer starts on Options), then Brightness from no button: the
# last button (OK) with Up, Brightness above it with another Up; two quick taps of Return there;
# Down onto OK and a Return tap leave and save.
tap 1 Return
move_mouse 600 600 # onto no button
tap 0.3 Up
tap 0.3 Up
tap 1 --delay 80 Return Return
screenshot options-after-taps > /dev/null
tap 0.3 Down
tap 1 Return
settings_hold "$SETTINGS" Brightness=1 # High, then Low, then Medium
note "two Return taps 80 ms apart stepped Brightness twice, and OK saved it"

# Options again, left by Escape held for a second: the main menu is still there afterwards. The
# pointer came back where OK was, over no button of the main menu: two Down taps in one call
# (12 ms apart, mostly inside one frame) step onto Start and then Options.
tap 0.3 Down Down
screenshot menu-options-lit > /dev/null
tap 1 Return
hold_key Escape 1
sleep 2
kill -0 "$GAME_PID" 2>/dev/null || fail "Escape held to leave the options ended the game"
at_least "$(screenshot menu-after-escape)" 0.02 || fail "the menu is black after the options"
note "Escape held for a second left the options and the main menu stayed"

# Start by a 120 ms Space tap, with the pointer brought onto Start by a tap of Up from Options.
tap 0.3 Up
hold_key space 0.12
sleep 3
story=$(screenshot story-3s-after-space-tap)
sleep 3
screenshot story-6s-after-space-tap > /dev/null
# The opening picture stands still for fifteen seconds; a skipped one would have given way to the
# flight picture, the level banner and the level by now.
changed=$(/usr/bin/convert "$OUT_DIR/story-3s-after-space-tap.png" \
    "$OUT_DIR/story-6s-after-space-tap.png" -compose difference -composite -format '%[fx:mean]' info:)
at_least "$story" 0.05 || fail "3 s after Start by a Space tap the screen is dark ($story)"
at_least 0.001 "$changed" || fail "the screen changed between 3 s and 6 s after Start ($changed)"
note "Start by a 120 ms Space tap: the opening story still shows 6 s later (mean $story)"
hold_key Escape 0.3 # skips the story
sleep 0.7
hold_key Escape 0.3 # and the flight picture
# Q leaves the level; the credits follow game over's five seconds. Escape held a second there
# skips them, and the main menu that follows takes no notice of it.
game_over=$(abandon_level)
sleep_until "$(calc "$game_over + 5.5")"
xdotool keydown Escape
wait_for_open textures/menu/Pointer.tga 2 30 > /dev/null
sleep 1
xdotool keyup Escape
sleep 0.5
kill -0 "$GAME_PID" 2>/dev/null || fail "Escape held from the credits ended the game"
note "Escape held from the credits into the main menu left the game running"
quit_from_menu
settings_hold "$SETTINGS" Brightness=1
