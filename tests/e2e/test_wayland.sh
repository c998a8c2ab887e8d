#!/usr/bin/env bash
# The game on a native Wayland desktop: headless sway (no X server, no Xwayland) run by an added
# user, removed again whatever happens; the game gets only WAYLAND_DISPLAY. Its window must be
# sway's full-screen xdg-shell window of the 1280x720 output, the menu pillar-boxed; a game
# starts from wtype keys, the ship fires (the laser in the captured audio) and turns (grim
# screenshots), Q ends the level and SIGTERM the program, with status 0 and the settings saved.
# The same steps then run on a 1280x720 Xvfb, for measurements.txt's frame rates of both.
source "$(dirname "$0")/lib.sh"
need_root "running the compositor as an added user"
for tool in sway swaymsg grim wtype; do
    command -v "$tool" > /dev/null || skip "$tool is not installed"
done
SCREEN=1280x720
TURNED_PIXELS=300 # a quarter turn changes about 900 of the ship's pixels, none turning almost none

# The compositor's user and everything it reads or writes live in a folder every user can reach.
shared=$(mktemp -d /tmp/cataclysm-wayland-XXXXXX)
chmod 755 "$shared"
compositor_user="bcwl$$"
SWAY_PID="" KEYBOARD_PID=""
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
def look(node):
    if node.get("name") == "Brindle'"'"'s Cataclysm":
        print("%s|%s|%s|%dx%d" % (node["name"], node.get("shell"), node.get("fullscreen_mode"),
                                   node["rect"]["width"], node["rect"]["height"]))
    for child in node.get("nodes", []) + node.get("floating_nodes", []):
        look(child)
look(json.load(sys.stdin))'
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
    LEVEL_FPS=$(frame_rate "$QUIET_FROM" "$FIRING_FROM")
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

use_private_copy ScreenWidth=640 ScreenHeight=480 HighScore=0 Sound=1
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
wayland_menu_fps=$(frame_rate_for 3)
note "menu: $window, pillar-boxed, $wayland_menu_fps frames per second"

# A game from the keyboard; in level 1 the ship fires and turns.
level_started=$(start_level_by_keys)
fire_and_turn "$level_started" wayland
wayland_level_fps=$LEVEL_FPS
differing=$(check_turned wayland)
note "level 1: the ship turned ($differing pixels), $wayland_level_fps frames per second"

# Q ends the level; SIGTERM on the game-over screen ends the program cleanly with the settings
# saved, the Wayland desktop's size among them.
game_over=$(abandon_level)
sleep_until "$(calc "$game_over + 2.5")"
at_least "$(screenshot game-over)" 0.01 || fail "the game-over screen is black"
end_by_signals TERM
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
kill "$KEYBOARD_PID" "$SWAY_PID" 2> /dev/null
wait "$SWAY_PID" 2> /dev/null || true
KEYBOARD_PID="" SWAY_PID=""
unset WAYLAND_DISPLAY ALSOFT_CONF
export ALSOFT_DRIVERS=null
start_display "$SCREEN"
GAME_VIDEO_DRIVER=x11
: > "$FRAME_LOG"
start_to_menu x11-menu
x11_menu_fps=$(frame_rate_for 3)
level_started=$(start_level_by_keys)
fire_and_turn "$level_started" x11
x11_level_fps=$LEVEL_FPS
x11_differing=$(check_turned x11)
end_by_signals TERM
note "X11: menu $x11_menu_fps, level $x11_level_fps frames per second"

write_measurements screen=SCREEN wayland_menu_frames_per_second=wayland_menu_fps \
    wayland_level_frames_per_second=wayland_level_fps x11_menu_frames_per_second=x11_menu_fps \
    x11_level_frames_per_second=x11_level_fps audio_rms_level_music=music \
    audio_rms_laser_band_music=music_band audio_rms_laser_band_firing=firing_band \
    wayland_ship_turn_pixels_differing=differing x11_ship_turn_pixels_differing=x11_differing
note "native Wayland: full screen, pillar-boxed menu, keys, laser, turn, Q and SIGTERM: ok"
