#!/usr/bin/env bash
# The game on a native Wayland desktop: a headless sway compositor (no X server, no Xwayland)
# run by an added user, the game given only WAYLAND_DISPLAY and SDL left to choose its driver.
# The window must be sway's own full-screen xdg-shell window of the 1280x720 output with the
# menu pillar-boxed in it; a game starts from the keyboard (wtype), the ship fires (the laser in
# the captured audio) and turns (screenshots from grim), Q ends the level, and SIGTERM ends the
# program with status 0 and the settings saved. The same steps then run under X11 on a 1280x720
# Xvfb, so that measurements.txt compares the frame rates of the menu and of level play.
# Needs root (sway refuses it, so the compositor runs as an added user, removed again whatever
# happens).
source "$(dirname "$0")/lib.sh"
if [ "$(id -u)" -ne 0 ]; then
    echo "e2e: test_wayland skipped: running the compositor as an added user needs root"
    exit 77
fi
for tool in sway swaymsg grim wtype; do
    if ! command -v "$tool" > /dev/null; then
        echo "e2e: test_wayland skipped: $tool is not installed"
        exit 77
    fi
done
SCREEN=1280x720
TURNED_PIXELS=300 # a quarter turn changes about 900 of the ship's pixels, none turning almost none

# The compositor's user and everything it reads or writes live in a folder every user can reach.
shared=$(mktemp -d /tmp/cataclysm-wayland-XXXXXX)
chmod 755 "$shared"
compositor_user="bcwl$$"
SWAY_PID=""
KEYBOARD_PID=""
wayland_cleanup() {
    cleanup
    [ -n "$KEYBOARD_PID" ] && kill "$KEYBOARD_PID" 2> /dev/null
    [ -n "$SWAY_PID" ] && kill "$SWAY_PID" 2> /dev/null && wait "$SWAY_PID" 2> /dev/null
    id "$compositor_user" > /dev/null 2>&1 && userdel "$compositor_user" 2> /dev/null
    rm -rf "$shared"
    return 0
}
trap wayland_cleanup EXIT

# Runs sway's IPC client as the compositor's user, against its socket.
sway_ipc() {
    setpriv --reuid="$compositor_user" --regid="$(id -g "$compositor_user")" --init-groups -- \
        env XDG_RUNTIME_DIR="$shared/runtime" SWAYSOCK="$SWAYSOCK" swaymsg "$@"
}

# Starts headless sway with one output of $SCREEN and no Xwayland, as the compositor's user, and
# exports WAYLAND_DISPLAY as the full path of its socket, which root's clients (the game, grim,
# wtype) reach whatever the folder's permissions. DISPLAY is unset: there is no X server.
start_compositor() {
    useradd --no-create-home --home-dir "$shared" --shell /usr/sbin/nologin "$compositor_user" ||
        fail "cannot add the user $compositor_user"
    mkdir -m 0700 "$shared/runtime"
    chown "$compositor_user:" "$shared/runtime"
    printf 'output HEADLESS-1 resolution %s\nxwayland disable\n' "$SCREEN" > "$shared/sway.conf"
    chmod 644 "$shared/sway.conf"
    setpriv --reuid="$compositor_user" --regid="$(id -g "$compositor_user")" --init-groups -- \
        env -i HOME="$shared" PATH=/usr/bin:/bin XDG_RUNTIME_DIR="$shared/runtime" \
        WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
        sway -c "$shared/sway.conf" > "$OUT_DIR/sway.log" 2>&1 &
    SWAY_PID=$!
    local deadline=$((SECONDS + 30)) socket=""
    while [ -z "$socket" ]; do
        kill -0 "$SWAY_PID" 2> /dev/null ||
            fail "sway ended at once (sway.log: $(tail -n 3 "$OUT_DIR/sway.log"))"
        [ $SECONDS -lt $deadline ] || fail "sway made no socket within 30 s"
        sleep 0.2
        socket=$(find "$shared/runtime" -maxdepth 1 -type s -name 'wayland-*' | head -n 1)
        SWAYSOCK=$(find "$shared/runtime" -maxdepth 1 -type s -name 'sway-ipc.*' | head -n 1)
        [ -n "$SWAYSOCK" ] || socket=""
    done
    export WAYLAND_DISPLAY=$socket
    unset DISPLAY
    sway_ipc -t get_version > /dev/null || fail "sway does not answer on its IPC socket"
    local children
    children=$(ps --ppid "$SWAY_PID" -o comm= || true)
    [ -z "$children" ] || fail "sway started other programs (Xwayland?): $children"
}

# What sway knows of the game's window, one line: "NAME|SHELL|FULLSCREEN_MODE|WIDTHxHEIGHT".
game_window() {
    sway_ipc -t get_tree | python3 -c '
import json, sys
def views(node):
    for child in node.get("nodes", []) + node.get("floating_nodes", []):
        yield child
        yield from views(child)
for view in views(json.load(sys.stdin)):
    if view.get("name") == "Brindle'"'"'s Cataclysm":
        rect = view["rect"]
        print("%s|%s|%s|%dx%d" % (view["name"], view.get("shell"), view.get("fullscreen_mode"),
                                   rect["width"], rect["height"]))'
}

# From the menu with the pointer on Options: Up onto Start, Return, the story skipped; waits
# until the level opens its HUD font and prints the time it did.
start_level_by_keys() {
    local fonts
    fonts=$(count_opens fonts/default.tga)
    hold_key Up 0.2
    sleep 0.3
    hold_key Return 0.2
    skip_story
    wait_for_open fonts/default.tga $((fonts + 1)) 30
}

# In level 1 from its start at $1: music alone for a while, then Space held for two seconds
# (a screenshot NAME-firing.png in the middle); once the first life's five seconds of shield
# are over, screenshots NAME-unturned.png, then Left held for half a second (a quarter turn),
# then NAME-turned.png. Sets QUIET_FROM and FIRING_FROM (times) and LEVEL_FPS, the frame rate
# between them, while no screenshot takes processor time from the game.
fire_and_turn() {
    local started=$1 name=$2
    sleep_until "$(calc "$started + 0.5")"
    at_least "$(screenshot "$name-level")" 0.01 || fail "the level is black ($name-level.png)"
    QUIET_FROM=$(now)
    sleep 1.5
    FIRING_FROM=$(now)
    hold_key space 2 &
    local holding=$!
    sleep 1
    screenshot "$name-firing" > /dev/null
    wait "$holding"
    sleep_until "$(calc "$started + 6")"
    screenshot "$name-unturned" > /dev/null
    hold_key Left 0.5
    sleep 0.3
    screenshot "$name-turned" > /dev/null
    local frames
    frames=$(frames_between "$QUIET_FROM" "$FIRING_FROM")
    LEVEL_FPS=$(calc "$frames / ($FIRING_FROM - $QUIET_FROM)")
}

# The ship at the centre of the screen looks otherwise on NAME-turned.png than on
# NAME-unturned.png ($1 is NAME); prints how many of its pixels differ.
check_turned() {
    local ship="100x100+$((SCREEN_W / 2 - 50))+$((SCREEN_H / 2 - 50))" shot differing
    for shot in unturned turned; do
        /usr/bin/convert "$OUT_DIR/$1-$shot.png" -crop "$ship" +repage "$OUT_DIR/$1-$shot-ship.png"
    done
    differing=$(/usr/bin/compare -metric AE -fuzz 10% "$OUT_DIR/$1-unturned-ship.png" \
        "$OUT_DIR/$1-turned-ship.png" null: 2>&1 || true)
    [ "${differing%% *}" -ge "$TURNED_PIXELS" ] 2> /dev/null ||
        fail "$1: the ship did not turn: $differing pixels differ at the centre"
    echo "$differing"
}

# The menu's frame rate over three seconds from now.
menu_frame_rate() {
    local from to
    from=$(now)
    sleep 3
    to=$(now)
    calc "$(frames_between "$from" "$to") / ($to - $from)"
}

# Holds Q until the game-over screen opens its picture; prints the time it did. The wtype call
# holding Q is ended then: its keyboard goes, and the key with it.
abandon_by_keys() {
    wtype -s 100 -P q -s 40000 -p q &
    local holding=$!
    wait_for_open textures/story/gameover.tga 1 40
    kill "$holding" 2> /dev/null
    wait "$holding" 2> /dev/null || true
}

use_private_copy
settings_set "$SETTINGS" ScreenWidth=640 ScreenHeight=480 HighScore=0 Sound=1
capture_audio
log_frames
viewport_of "$SCREEN"
start_compositor
note "sway $(sway --version | awk '{ print $3 }') on $WAYLAND_DISPLAY, no X server"

# A keyboard for the whole run, as a player has: with none, the seat has no keyboard and the
# window no keyboard focus, and every wtype call would bring its own focus and take it away.
wtype -s 600000 &
KEYBOARD_PID=$!
sleep 0.5
kill -0 "$KEYBOARD_PID" 2> /dev/null || fail "wtype could not add a keyboard to sway's seat"

# The menu: sway's own full-screen window, the picture pillar-boxed and not black.
GAME_VIDEO_DRIVER=""
start_game
wait_for_open textures/menu/Pointer.tga 1 90 > /dev/null
sleep 1
window=$(game_window)
[ "$window" = "Brindle's Cataclysm|xdg_shell|1|$SCREEN" ] ||
    fail "the game's window is not a native full-screen $SCREEN one: '$window'"
at_least "$(screenshot menu)" 0.02 || fail "the menu is black (menu.png)"
check_bars menu
at_least "$(mean_in menu "${VIEW_W}x${VIEW_H}+${VIEW_X}+${VIEW_Y}")" 0.03 ||
    fail "the menu's picture between the bars is black"
wayland_menu_fps=$(menu_frame_rate)
note "menu: $window, pillar-boxed, $wayland_menu_fps frames per second"

# A game from the keyboard; in level 1 the ship fires and turns.
level_started=$(start_level_by_keys)
fire_and_turn "$level_started" wayland
wayland_level_fps=$LEVEL_FPS
differing=$(check_turned wayland)
note "level 1: the ship turned ($differing pixels), $wayland_level_fps frames per second"

# Q ends the level; SIGTERM on the game-over screen ends the program cleanly with the settings
# saved, the Wayland desktop's size among them.
game_over=$(abandon_by_keys)
sleep_until "$(calc "$game_over + 2.5")"
at_least "$(screenshot game-over)" 0.01 || fail "the game-over screen is black"
kill -TERM "$GAME_PID"
wait_for_exit 10
expect_clean_exit "SIGTERM on Wayland"
settings_hold "$SETTINGS" ScreenWidth="$SCREEN_W" ScreenHeight="$SCREEN_H"
note "Q ended the level; SIGTERM: status 0, settings saved"

# The laser in the captured audio: around its pitch, firing is far louder than the level's music
# alone.
audio_opened=$(awk '$1 == "open" && $3 ~ /audio\.wav$/ { print $2; exit }' "$FRAME_LOG")
[ -n "$audio_opened" ] || fail "OpenAL Soft never opened its output file"
music=$(audio_rms "$(calc "$QUIET_FROM - $audio_opened + 0.2")" 1.2)
music_band=$(audio_rms "$(calc "$QUIET_FROM - $audio_opened + 0.2")" 1.2 "${LASER_BAND[@]}")
firing_band=$(audio_rms "$(calc "$FIRING_FROM - $audio_opened + 0.4")" 1.5 "${LASER_BAND[@]}")
note "audio RMS: level music $music; around the laser's pitch $music_band, firing $firing_band"
at_least "$music" 0.005 || fail "no level music in the captured audio ($music)"
at_least "$firing_band" "$(calc "$music_band * $LASER_GAIN")" ||
    fail "no laser in the captured audio: $firing_band while firing, $music_band before"

# The same steps under X11 on a screen of the same size, for the frame rates.
kill "$KEYBOARD_PID" 2> /dev/null
KEYBOARD_PID=""
kill "$SWAY_PID" 2> /dev/null
wait "$SWAY_PID" 2> /dev/null || true
SWAY_PID=""
unset WAYLAND_DISPLAY
unset ALSOFT_CONF
export ALSOFT_DRIVERS=null
start_display "$SCREEN"
GAME_VIDEO_DRIVER=x11
: > "$FRAME_LOG"
start_to_menu x11-menu
x11_menu_fps=$(menu_frame_rate)
level_started=$(start_level_by_keys)
fire_and_turn "$level_started" x11
x11_level_fps=$LEVEL_FPS
x11_differing=$(check_turned x11)
kill -TERM "$GAME_PID"
wait_for_exit 10
expect_clean_exit "SIGTERM on X11"
note "X11: menu $x11_menu_fps, level $x11_level_fps frames per second"

{
    echo "screen $SCREEN"
    echo "wayland_menu_frames_per_second $wayland_menu_fps"
    echo "wayland_level_frames_per_second $wayland_level_fps"
    echo "x11_menu_frames_per_second $x11_menu_fps"
    echo "x11_level_frames_per_second $x11_level_fps"
    echo "audio_rms_level_music $music"
    echo "audio_rms_laser_band_music $music_band"
    echo "audio_rms_laser_band_firing $firing_band"
    echo "wayland_ship_turn_pixels_differing $differing"
    echo "x11_ship_turn_pixels_differing $x11_differing"
} > "$OUT_DIR/measurements.txt"
note "native Wayland: full screen, pillar-boxed menu, keys, laser, turn, Q and SIGTERM: ok"
