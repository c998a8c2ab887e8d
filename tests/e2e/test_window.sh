#!/usr/bin/env bash
# The game opens one full-screen window with a GL 3.3-or-later compatibility context, draws,
# and ends with status 0 when Escape is held in the main menu.
source "$(dirname "$0")/lib.sh"
# The stored screen size is replaced by the desktop size at start and saved at shutdown.
settings="$BIN_DIR/base/config/bc.rep"
kit="$BIN_DIR/cataclysm-kit"
"$kit" rep set "$settings" ScreenWidth 640
"$kit" rep set "$settings" ScreenHeight 480
start_display
capture_audio
log_frames
start_game
window=$(wait_for_window)

[ "$(xdotool search --name "^Brindle's Cataclysm$" | wc -l)" -eq 1 ] || fail "more than one window"
geometry=$(xdotool getwindowgeometry "$window" | awk '/Geometry/ { print $2 }')
[ "$geometry" = "1024x768" ] || fail "window is $geometry, not the 1024x768 desktop"

wait_for_open textures/menu/Pointer.tga 1 60 > /dev/null
sleep 1
context=$(grep -m1 '^Brindle.s Cataclysm: OpenGL' "$OUT_DIR/game.out" || true)
note "$context"
version=$(echo "$context" | sed -n 's/.*OpenGL \([0-9]*\.[0-9]*\).*/\1/p')
at_least "${version:-0}" 3.3 || fail "context version '${version}' is below 3.3"
echo "$context" | grep -q 'Compatibility Profile' || fail "not a compatibility-profile context"

brightness=$(screenshot running)
note "screen brightness $brightness"
at_least "$brightness" 0.005 || fail "the screen is black"

hold_key Escape 0.5
wait_for_exit 20
[ "$GAME_STATUS" -eq 0 ] || fail "exit status $GAME_STATUS after Escape"
[ ! -s "$OUT_DIR/game.err" ] || fail "the game wrote errors: $(cat "$OUT_DIR/game.err")"
[ -s "$AUDIO_FILE" ] || fail "OpenAL Soft's output file was not written"
saved="$("$kit" rep get "$settings" ScreenWidth)x$("$kit" rep get "$settings" ScreenHeight)"
[ "$saved" = "1024x768" ] || fail "the settings file holds the screen size $saved, not 1024x768"
note "window, context, drawing, Escape and the saved screen size: ok"
