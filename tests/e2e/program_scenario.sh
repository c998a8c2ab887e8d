# The whole program as a player meets it, in one full-screen window with an OpenGL 3.3-or-later
# compatibility context: presenter, title and loading, the main menu, each option, the restart
# notice, a game from Start (story skipped, banner, play, Q, game over, credits), the menu again
# and Escape; then the settings saved and the captured audio. Sourced by the two scenario
# scripts with GLSL set to 1 (shader path) or 0; measurements.txt holds the loading cost, frame
# rates and audio levels.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

# Pointer moves in mouse pixels; 500 pixels are one menu unit and the pointer starts at (0, 0),
# over Options.
MUSIC_RMS=0.005    # the menu music is well above this
SILENCE_RMS=0.0005 # and nothing plays below this

use_private_copy ScreenWidth=640 ScreenHeight=480 GLSL="$GLSL" Sound=1 Brightness=0 HighScore=4321

start_display
capture_audio
log_frames
launched=$(now)
start_game
window=$(wait_for_window)
[ "$(xdotool search --name "^Brindle's Cataclysm$" | wc -l)" -eq 1 ] || fail "more than one window"
geometry=$(xdotool getwindowgeometry "$window" | awk '/Geometry/ { print $2 }')
[ "$geometry" = 1024x768 ] || fail "the window is $geometry, not the 1024x768 desktop"

# Presenter (five seconds from its first frame), then the title fading in.
presenter=$(wait_for_open textures/presentation/titlepresents.tga 1 20)
sleep_until "$(calc "$presenter + 2.5")"
grab presenter
title=$(wait_for_open textures/presentation/titlescreen.tga 1 20)
presenter_seconds=$(calc "$title - $presenter")
sleep 1
grab title

# The menu opens its pointer picture before its first frame.
menu_entered=$(wait_for_open textures/menu/Pointer.tga 1 60)
first_menu_frame=$(first_frame_after "$menu_entered")
catalogue=$(wait_for_open tbundles/menu/menu1.qtb 1 1)
loading_frame=$(first_frame_after "$catalogue")
loading_cost=$(calc "$first_menu_frame - $launched - 6.5")
at_least "$(develop_grab presenter)" 0.01 || fail "the presenter screen is black"
at_least "$(develop_grab title)" 0.02 || fail "the title screen is black"
note "presenter $presenter_seconds s; launch to first menu frame minus 6.5 s: $loading_cost s"
context=$(grep -m1 '^Brindle.s Cataclysm: OpenGL' "$OUT_DIR/game.out" || true)
version=$(echo "$context" | sed -n 's/.*OpenGL \([0-9]*\.[0-9]*\).*/\1/p')
at_least "${version:-0}" 3.3 && echo "$context" | grep -q 'Compatibility Profile' ||
    fail "not a compatibility-profile context of OpenGL 3.3 or later: '$context'"
note "$context"

sleep 1
menu_fps=$(frame_rate_for 3)
note "menu frame rate: $menu_fps frames per second"
at_least "$(screenshot menu)" 0.02 || fail "the menu is black"

# Clear high score, then Options.
move_mouse 0 75
screenshot menu-clear-high-score > /dev/null
click 0.5
move_mouse 0 -75
click 1
screenshot options > /dev/null

# The GLSL toggle, sound off and on again, brightness High to Low.
move_mouse 30 35
click 0.6
screenshot options-glsl-toggled > /dev/null
move_mouse 0 55
sound_off=$(now)
click 0.6
screenshot options-sound-off > /dev/null
sleep 2
sound_on=$(now)
click 2
move_mouse 0 50
click 0.6
screenshot options-brightness-low > /dev/null

# OK after the GLSL toggle: the restart notice, then the settings are saved.
move_mouse 220 85
click 1
screenshot restart-notice > /dev/null
click 1
# Saved after OK: the GLSL choice, the brightness and the cleared high score.
settings_hold "$SETTINGS" GLSL=$((1 - GLSL)) Brightness=2 HighScore=0
screenshot menu-again > /dev/null

# Start: a new game, its story skipped. The banner shows for the two seconds before the level
# opens its HUD font, so the screen is grabbed every half second and the grab that falls well
# inside those two seconds is kept.
fonts_before=$(count_opens fonts/default.tga)
move_mouse -250 -275
click
skip_story
grabs=()
for i in $(seq 0 11); do
    grabs+=("$(now)")
    grab "banner-$i"
    [ "$(count_opens fonts/default.tga)" -gt "$fonts_before" ] && break
    sleep 0.5
done
level_started=$(wait_for_open fonts/default.tga $((fonts_before + 1)) 30)
for banner in "${!grabs[@]}" none; do
    [ "$banner" != none ] || fail "no grab fell inside the level banner"
    at_least "${grabs[$banner]}" "$(calc "$level_started - 1.7")" &&
        at_least "$(calc "$level_started - 0.3")" "${grabs[$banner]}" && break
done
mv "$OUT_DIR/banner-$banner.xwd" "$OUT_DIR/banner.xwd"
rm -f "$OUT_DIR"/banner-*.xwd
at_least "$(develop_grab banner)" 0.01 || fail "the level banner is black"

# Level 1: fire, then thrust while firing (the screenshot shows the shots, the flame and the
# HUD), turn, and fly on for a while. The shielded ship may ram the asteroid and everything it
# breaks into, which clears the level early; the summary opens its own font then.
sleep 0.5
xdotool keydown space
sleep 0.5
xdotool keydown Up
sleep 0.5
at_least "$(screenshot playing)" 0.01 || fail "the level is black"
xdotool keyup Up
xdotool keyup space
hold_key Left 0.4
quiet_from=$(now)
sleep 2.5
q_pressed=$(now)
game_over=$(abandon_level)
level_ended=$q_pressed
summary=$(opened_at fonts/default.tga $((fonts_before + 2)))
if [ -n "$summary" ] && at_least "$q_pressed" "$summary"; then
    level_ended=$summary
    note "level 1 was cleared before Q; the game went on to level 2"
fi
level_fps=$(frame_rate "$level_started" "$level_ended")
note "level play: $level_fps frames per second"
# The game music alone plays from a moment after the last key to the end of the level, unless
# the level was cleared before; then from the start of the level, with the shots and the engine.
music_from=$(calc "$quiet_from + 0.3")
at_least "$(calc "$level_ended - $music_from")" 1.2 || music_from=$(calc "$level_started + 0.3")

# Game over fades in for a second and stays five; the credits follow and are centred after 12.5 s.
sleep_until "$(calc "$game_over + 2.5")"
at_least "$(screenshot game-over)" 0.01 || fail "the game-over screen is black"
sleep_until "$(calc "$game_over + 5 + 12.5")"
at_least "$(screenshot credits)" 0.01 || fail "the credits are black"
hold_key space 0.3
wait_for_open textures/menu/Pointer.tga 2 60 > /dev/null
sleep 1
screenshot menu-after-game > /dev/null

quit_from_menu
settings_hold "$SETTINGS" ScreenWidth=1024 ScreenHeight=768 Sound=1

# The captured audio: menu music, silence while sound is off, music again once it is on.
audio_opened=$(awk '$1 == "open" && $3 ~ /audio\.wav$/ { print $2; exit }' "$FRAME_LOG")
[ -n "$audio_opened" ] || fail "OpenAL Soft never opened its output file"
music=$(audio_rms "$(calc "$first_menu_frame - $audio_opened + 0.5")" 2)
silence=$(audio_rms "$(calc "$sound_off - $audio_opened + 0.8")" 1.2)
again=$(audio_rms "$(calc "$sound_on - $audio_opened + 0.8")" 1)
note "audio RMS: menu $music, sound off $silence, sound on again $again"
at_least "$music" "$MUSIC_RMS" || fail "no menu music in the captured audio ($music)"
at_least "$SILENCE_RMS" "$silence" || fail "the music went on with sound off ($silence)"
at_least "$again" "$MUSIC_RMS" || fail "the music did not come back with sound on ($again)"
music_seconds=$(calc "$level_ended - $music_from - 0.2")
playing=n/a
if at_least "$music_seconds" 0.5; then
    playing=$(audio_rms "$(calc "$music_from - $audio_opened")" "$music_seconds")
    at_least "$playing" "$MUSIC_RMS" || fail "no game music while playing ($playing)"
fi
# From 2.3 s into the game-over screen: an explosion (2.2 s long) that began just before Q may
# still sound until then, but the game music must have stopped with the level.
ended=$(audio_rms "$(calc "$game_over - $audio_opened + 2.3")" 2)
note "audio RMS: game music $playing, game over $ended"
at_least "$SILENCE_RMS" "$ended" || fail "the game music went on after the level ($ended)"

catalogue_and_sounds=$(calc "$loading_frame - $catalogue")
loading_frame_to_menu=$(calc "$first_menu_frame - $loading_frame")
write_measurements glsl=GLSL presenter_seconds loading_cost_seconds=loading_cost \
    catalogue_and_sounds_seconds=catalogue_and_sounds \
    loading_frame_to_menu_seconds=loading_frame_to_menu menu_frames_per_second=menu_fps \
    audio_rms_menu=music audio_rms_sound_off=silence level_frames_per_second=level_fps \
    audio_rms_game_music=playing audio_rms_game_over=ended
note "presenter, title, menu, options, restart notice, a game, settings and audio: ok"
