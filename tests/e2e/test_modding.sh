#!/usr/bin/env bash
# The README's worked example, carried out as it stands on a copy of the game with pictures drawn
# by ImageMagick: a new ship and a new Start button, `check` passes, and the game shows both on
# the shader path (the menu with the button in each look, then level 1 with the ship).
source "$(dirname "$0")/lib.sh"
readme="$(dirname "$0")/../../README.md"

# A whole copy, not links: the example writes into the game's asset folder.
game_folder="$OUT_DIR/game"
mkdir -p "$game_folder"
cp "$GAME" "$BIN_DIR/cataclysm-kit" "$game_folder/"
cp -r "$BIN_DIR/base" "$game_folder/"
GAME="$game_folder/brindles-cataclysm"

work="$OUT_DIR/pictures"
mkdir -p "$work"
font=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf
/usr/bin/convert -size 256x256 xc:none -fill '#70ff00' -stroke '#204000' -strokewidth 6 \
    -draw 'polygon 128,12 232,236 128,176 24,236' -fill '#ff00ff' -stroke none \
    -draw 'circle 128,150 128,128' "$work/my-ship.png"
for look in normal:#ff4000 active:#00c8ff; do
    name=my-start.png
    [ "${look%%:*}" = active ] && name=my-start-active.png
    /usr/bin/convert -size 240x104 xc:none -fill "${look#*:}" -draw 'roundrectangle 4,4 235,99 24,24' \
        -fill white -font "$font" -pointsize 44 -gravity center -annotate +0+0 LAUNCH "$work/$name"
done

# The first shell block after the example's heading, with GAME pointed at the copy.
example=$(awk '/^### Worked example/ { found = 1 } found && /^```sh$/ { on = 1; next }
    on && /^```$/ { exit } on { print }' "$readme")
[ -n "$example" ] || fail "no worked example in the README"
echo "$example" | sed "s|^GAME=.*|GAME='$game_folder'|" > "$OUT_DIR/example.sh"
(cd "$work" && bash -euo pipefail "$OUT_DIR/example.sh") > "$OUT_DIR/example.out" 2>&1 ||
    fail "the worked example failed: $(tail -n 5 "$OUT_DIR/example.out")"
[ "$(tail -n 1 "$OUT_DIR/example.out")" = "checked 68 files: 0 problems" ] ||
    fail "check after the example said: $(tail -n 3 "$OUT_DIR/example.out")"

# How many pixels of a screenshot, within a box (WxH+X+Y), are close to a colour
# ("#rrggbb"): the fuzz allows for filtering and lighting.
pixels_near() {
    /usr/bin/convert "$OUT_DIR/$1.png" -crop "$2" +repage -alpha off -fuzz "$4" -transparent "$3" \
        -alpha extract -format '%[fx:round((1 - mean) * w * h)]' info:
}

export ALSOFT_DRIVERS=null
start_display
log_frames
start_to_menu menu
# The pointer starts over Options; 68 mouse pixels up it is over Start.
move_mouse 0 -68 0.6
screenshot menu-start-active > /dev/null
# The box holds the Start button and nothing else.
normal_in_menu=$(pixels_near menu 220x100+402+240 '#ff4000' 12%)
active_in_menu=$(pixels_near menu 220x100+402+240 '#00c8ff' 12%)
normal_lit=$(pixels_near menu-start-active 220x100+402+240 '#ff4000' 12%)
active_lit=$(pixels_near menu-start-active 220x100+402+240 '#00c8ff' 12%)
note "Start button pixels: normal look $normal_in_menu then $normal_lit, lit look $active_in_menu then $active_lit"
[ "$normal_in_menu" -gt 5000 ] && [ "$active_in_menu" -lt 200 ] || fail "the menu does not show the new Start button"
[ "$active_lit" -gt 5000 ] && [ "$normal_lit" -lt 200 ] || fail "the Start button under the pointer is not the new lit one"

play_from_start > /dev/null
sleep 1
at_least "$(screenshot playing)" 0.01 || fail "the level is black"
green=$(pixels_near playing 240x240+392+264 '#70ff00' 35%)
note "green ship pixels around the middle of the play field: $green"
[ "$green" -gt 250 ] || fail "level 1 does not show the new ship"
# The game is left to the clean-up, which ends it: what follows Start is tested elsewhere.
note "the worked example: check passes, the menu and the level show the new pictures"
