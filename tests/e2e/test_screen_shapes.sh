#!/usr/bin/env bash
# The game on the screens people have: 4:3, 16:9, 64:27 and 5:4. On each, the menu, a story
# picture and a level lie in the centred 4:3 rectangle with black bars beside or above it and
# keep their shapes (the menu's ship disc and the ship's shield stay round); Start lights where
# it is drawn under the keyboard and under the mouse, and a click there starts a game.
# Screenshots and measurements.txt (the frame rates of the menu and the level on each screen)
# land in the output folder.
source "$(dirname "$0")/lib.sh"
SCREENS=(800x600 1280x720 1920x1080 2560x1080 1280x1024)
ROUNDNESS=0.02  # a round ring's width and height differ by less than this share

use_private_copy HighScore=0
export ALSOFT_DRIVERS=null
roundness="$(dirname "$0")/roundness.py"

# The screen pixel (x y, from the top-left) where the game's fixed 4:3 projection puts the point
# ($1, $2) at depth $3.
pixel_of() {
    awk -v x="$1" -v y="$2" -v z="$3" -v vx="$VIEW_X" -v vy="$VIEW_Y" -v vw="$VIEW_W" \
        -v vh="$VIEW_H" 'BEGIN {
        printf "%.1f %.1f", vx + (1 + 1.3444432401894781 * x / -z) * vw / 2,
                            vy + (1 - 1.792590986919304 * y / -z) * vh / 2 }'
}

# The ring centred on the point ($2, $3) at depth $4, within $5 units of it, is round on
# screenshot $1; prints its width/height ratio.
check_round() {
    local centre half measured ratio
    centre=$(pixel_of "$2" "$3" "$4")
    half=$(awk -v r="$5" -v z="$4" -v vh="$VIEW_H" 'BEGIN { printf "%d", 1.792590986919304 * r / -z * vh / 2 }')
    # shellcheck disable=SC2086
    measured=$(python3 "$roundness" "$OUT_DIR/$1.png" $centre "$half") ||
        fail "$1: no ring to measure at $centre"
    ratio=${measured##* }
    at_least "$ROUNDNESS" "$(calc "($ratio > 1 ? $ratio - 1 : 1 - $ratio)")" ||
        fail "$1: the ring at $centre is $measured (width, height, ratio): not round"
    echo "$ratio"
}

# The rectangle WxH+X+Y on the screen of the menu button whose corners are ($1, $2) and ($3, $4).
button_rectangle() {
    local a b
    read -r -a a <<< "$(pixel_of "$1" "$2" -1)"
    read -r -a b <<< "$(pixel_of "$3" "$4" -1)"
    awk -v x0="${a[0]}" -v y0="${a[1]}" -v x1="${b[0]}" -v y1="${b[1]}" \
        'BEGIN { printf "%dx%d+%d+%d", x1 - x0 - 4, y1 - y0 - 4, x0 + 2, y0 + 2 }'
}

# Start is lit on screenshot $1 where it must be drawn: much brighter than on the menu's first
# screenshot, which showed it unlit.
check_start_lit() {
    local lit unlit
    lit=$(mean_in "$1" "$START")
    unlit=$(mean_in "menu-$size" "$START")
    at_least "$lit" "$(calc "$unlit * 1.5 + 0.02")" ||
        fail "$1: Start is not lit at $START ($lit against $unlit)"
}

measurements="$OUT_DIR/measurements.txt"
: > "$measurements"
log_frames
for size in "${SCREENS[@]}"; do
    note "screen $size"
    viewport_of "$size"
    start_display "$size"
    : > "$FRAME_LOG"
    start_game
    window=$(wait_for_window)
    geometry=$(xdotool getwindowgeometry "$window" | awk '/Geometry/ { print $2 }')
    [ "$geometry" = "$size" ] || fail "the window is $geometry on the $size screen"
    START=$(button_rectangle -0.15 0.2 0.15 0.07)

    # The menu: bars, the round ship disc (widget 2: centre (-0.55, 0.1), 0.2 across each way).
    menu_entered=$(wait_for_open textures/menu/Pointer.tga 1 60)
    sleep_until "$(calc "$menu_entered + 1.5")"
    menu_fps=$(frame_rate_for 1.5)
    screenshot "menu-$size" > /dev/null
    check_bars "menu-$size"
    disc=$(check_round "menu-$size" -0.55 0.1 -1 0.21)

    # Up from Options onto Start lights it; so does the mouse where the bars put it: the pointer
    # goes down onto Clear high score and back. A click there begins a game, whose story picture
    # fills the rectangle: its top-right corner is black in the menu.
    hold_key Up 0.2
    sleep 0.3
    screenshot "start-by-keys-$size" > /dev/null
    check_start_lit "start-by-keys-$size"
    move_mouse 0 140
    move_mouse 0 -140
    screenshot "start-by-mouse-$size" > /dev/null
    check_start_lit "start-by-mouse-$size"
    click 0.8
    screenshot "story-$size" > /dev/null
    corner=$(button_rectangle 0.55 0.55 0.72 0.4)
    at_least "$(mean_in "story-$size" "$corner")" 0.01 || fail "the click on Start began no game"
    check_bars "story-$size"

    # The level opens its font after the banner's two seconds, and after the large and the small;
    # half a second in, the shielded ship is at the centre of the field.
    skip_story
    level_started=$(wait_for_open fonts/default.tga 3 30)
    sleep_until "$(calc "$level_started + 0.5")"
    screenshot "level-$size" > /dev/null
    sleep 1.5
    level_fps=$(frame_rate "$level_started")
    check_bars "level-$size" filled
    shield=$(check_round "level-$size" 0 0 -25 2.6)
    end_by_signals TERM
    stop_display
    echo "$size menu_frames_per_second $menu_fps level_frames_per_second $level_fps" \
        "disc_ratio $disc shield_ratio $shield" >> "$measurements"
    note "$size: menu $menu_fps fps, level $level_fps fps, disc $disc, shield $shield"
done
note "every screen shape: bars, round rings, Start by keys and by mouse: ok"
