# Shared pieces of the end-to-end scenarios: a private X server with Mesa's software OpenGL,
# OpenAL Soft mixing into a WAV file, the real game, xdotool input and screenshots (on a Wayland
# desktop, wtype input and grim screenshots).
# A scenario script sources this file with its two arguments: the bin folder and an output
# folder for its logs, screenshots and captured audio.
set -euo pipefail

BIN_DIR=$(cd "$1" && pwd)
OUT_DIR=$2
GAME="$BIN_DIR/brindles-cataclysm"
kit="$BIN_DIR/cataclysm-kit"
rm -rf "$OUT_DIR"
mkdir -p "$OUT_DIR"

GAME_PID=""
XVFB_PID=""
GAME_PRELOAD=""
# A command that start_game puts before the game, such as one that runs it as another user; it
# must end by executing the game in the same process, so that GAME_PID is the game's.
GAME_WRAPPER=()
# The SDL video driver the game must use; empty lets SDL choose from the desktop it finds, as it
# does for a player.
GAME_VIDEO_DRIVER=x11

# A private runtime folder: without one, libraries the game loads complain on stderr.
export XDG_RUNTIME_DIR="$OUT_DIR/runtime"
mkdir -p -m 0700 "$XDG_RUNTIME_DIR"

fail() {
    echo "FAIL: $*" >&2
    for log in "$OUT_DIR"/game.out "$OUT_DIR"/game.err; do
        [ -s "$log" ] && { echo "--- $log" >&2; tail -n 20 "$log" >&2; }
    done
    exit 1
}

note() { echo "e2e: $*"; }

# Skips the scenario (CTest's status 77) with the reason $1; need_root skips it unless it runs
# as root, which $1 needs.
skip() {
    echo "e2e: $(basename "$0" .sh) skipped: $1"
    exit 77
}
need_root() { [ "$(id -u)" -eq 0 ] || skip "$1 needs root"; }

# Helpers the scenario started in the background, such as a window manager: killed at the end.
HELPER_PIDS=()

cleanup() {
    [ -n "$GAME_PID" ] && kill -9 "$GAME_PID" 2>/dev/null || true
    for pid in "${HELPER_PIDS[@]}" ${RECORDER_PID:-} ${SOUND_SERVER_PID:-}; do
        kill -9 "$pid" 2>/dev/null || true
    done
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true
    return 0
}
trap cleanup EXIT

# Starts a private X server on a display number of its own, with a screen of $1 (1024x768 unless
# given, as WIDTHxHEIGHT). The server does not reset when its last client leaves: a game that
# connected while it reset after the readiness check below would find no display.
start_display() {
    local number=$((100 + $$ % 800))
    while [ -e "/tmp/.X${number}-lock" ]; do number=$((number + 1)); done
    export DISPLAY=":$number"
    Xvfb "$DISPLAY" -screen 0 "${1:-1024x768}x24" -nolisten tcp -noreset \
        > "$OUT_DIR/xvfb.log" 2>&1 &
    XVFB_PID=$!
    for _ in $(seq 100); do
        # A server that died at once lost the display number to another run's server.
        kill -0 "$XVFB_PID" 2>/dev/null || fail "Xvfb could not take $DISPLAY"
        xdpyinfo > /dev/null 2>&1 && return 0
        sleep 0.1
    done
    fail "Xvfb did not start on $DISPLAY"
}

# Starts openbox on the display and waits until it runs: once it names its check window on the
# root window.
start_window_manager() {
    openbox --sm-disable > "$OUT_DIR/openbox.log" 2>&1 &
    HELPER_PIDS+=($!)
    until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; do
        kill -0 "${HELPER_PIDS[-1]}" 2>/dev/null && [ $SECONDS -lt 30 ] || fail "openbox did not start"
        sleep 0.1
    done
}

# Stops the X server that start_display started, so that another can take its place.
stop_display() {
    [ -n "$XVFB_PID" ] || return 0
    kill "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
    XVFB_PID=""
}

# Points OpenAL Soft at its wave writer, so everything the game plays lands in a WAV file.
capture_audio() {
    AUDIO_FILE="$OUT_DIR/audio.wav"
    cat > "$OUT_DIR/alsoft.conf" <<CONF
[general]
drivers=wave
[wave]
file=$AUDIO_FILE
CONF
    export ALSOFT_CONF="$OUT_DIR/alsoft.conf"
}

# Plays the game's sound through a real sound server, as on a player's desktop: PulseAudio with
# one null sink "out", which OpenAL Soft finds by itself (no ALSOFT_DRIVERS). The server and its
# clients keep their cookie and state in the scenario's folder; record captures the sink.
use_sound_server() {
    unset ALSOFT_DRIVERS ALSOFT_CONF
    export HOME="$OUT_DIR/home"
    mkdir -p "$HOME"
    export PULSE_CLIENTCONFIG="$OUT_DIR/pulse-client.conf"
    echo "autospawn = no" > "$PULSE_CLIENTCONFIG"
    start_sound_server
}
start_sound_server() {
    pulseaudio -n --daemonize=no --exit-idle-time=-1 --disallow-exit --log-target=stderr \
        -L "module-null-sink sink_name=out" -L module-native-protocol-unix \
        >> "$OUT_DIR/pulseaudio.log" 2>&1 &
    SOUND_SERVER_PID=$!
    for _ in $(seq 100); do
        pactl info > /dev/null 2>&1 && { pactl set-default-sink out; return 0; }
        kill -0 "$SOUND_SERVER_PID" 2>/dev/null || fail "pulseaudio did not start"
        sleep 0.05
    done
    fail "pulseaudio did not answer"
}
# Kills the sound server as a crash would.
kill_sound_server() {
    kill -9 "$SOUND_SERVER_PID"
    wait "$SOUND_SERVER_PID" 2>/dev/null || true
    SOUND_SERVER_PID=""
}

# Records the sink's monitor into OUT_DIR/$1.raw until stop_recording makes it $1.wav, which
# becomes the file audio_rms reads. RECORDED_FROM is the time it started; into_recording gives
# the offset into the recording of a wall-clock time.
record() {
    RECORDING=$1
    parec -d out.monitor --raw --format=s16le --rate=44100 --channels=2 \
        > "$OUT_DIR/$RECORDING.raw" 2>> "$OUT_DIR/parec.log" &
    RECORDER_PID=$!
    RECORDED_FROM=$(now)
}
stop_recording() {
    kill "$RECORDER_PID" 2>/dev/null || true
    wait "$RECORDER_PID" 2>/dev/null || true
    RECORDER_PID=""
    AUDIO_FILE="$OUT_DIR/$RECORDING.wav"
    sox -t raw -r 44100 -e signed -b 16 -c 2 "$OUT_DIR/$RECORDING.raw" "$AUDIO_FILE"
}
into_recording() { calc "$1 - $RECORDED_FROM"; }

# Only the game gets the frame logger (see log_frames) and the libraries sanitized.sh keeps
# loaded; the tools the scenario runs get neither. The game must use the private X server: when
# SDL cannot reach it, it would otherwise draw to an invisible off-screen surface instead of
# saying so. It starts as from a terminal, where Ctrl-C reaches it: a script's background jobs
# would otherwise inherit SIGINT ignored.
start_game() {
    local driver=(SDL_VIDEODRIVER="$GAME_VIDEO_DRIVER")
    [ -n "$GAME_VIDEO_DRIVER" ] || driver=(-u SDL_VIDEODRIVER)
    env --default-signal=INT "${driver[@]}" \
        LD_PRELOAD="${GAME_PRELOAD:-} ${E2E_KEEP_LOADED:-}" "${GAME_WRAPPER[@]}" "$GAME" \
        > "$OUT_DIR/game.out" 2> "$OUT_DIR/game.err" &
    GAME_PID=$!
}

# Waits until the game's window (or the window titled $1) exists; prints its id. The deadline is
# in seconds, not tries: on a loaded machine each look at the window tree can take a while.
wait_for_window() {
    local title=${1:-"Brindle's Cataclysm"} deadline=$((SECONDS + 90)) id=""
    while [ $SECONDS -lt $deadline ]; do
        id=$(xdotool search --name "^$title\$" 2>/dev/null | head -n 1 || true)
        [ -n "$id" ] && { echo "$id"; return 0; }
        kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended before its window appeared"
        sleep 0.2
    done
    xwininfo -root -tree > "$OUT_DIR/window-tree.txt" 2>&1 || true
    fail "no window titled \"$title\" (window tree in window-tree.txt)"
}

# Starts the game and waits until its main menu has shown for a second; with a name, saves a
# screenshot of the menu as NAME.png and fails when it is black.
start_to_menu() {
    start_game
    wait_for_window > /dev/null
    wait_for_open textures/menu/Pointer.tga 1 90 > /dev/null
    sleep 1
    [ -z "${1:-}" ] || at_least "$(screenshot "$1")" 0.02 || fail "the menu is black ($1.png)"
}

# Fails unless the game ended with status 0 and (unless $2 is "any-stderr") wrote nothing on
# stderr; $1 says after what.
expect_clean_exit() {
    [ "$GAME_STATUS" -eq 0 ] || fail "exit status $GAME_STATUS after $1"
    [ "${2:-}" = any-stderr ] || [ ! -s "$OUT_DIR/game.err" ] ||
        fail "the game wrote errors: $(cat "$OUT_DIR/game.err")"
}

# Sends the signals named in $1 ("TERM", "HUP TERM", "STOP TERM HUP CONT", ...) to the game one
# right after the other and expects a clean exit within 20 s (see expect_clean_exit for $2);
# sets SIGNAL_SECONDS to how long it took.
end_by_signals() {
    local sent signal
    sent=$(now)
    for signal in $1; do
        kill "-$signal" "$GAME_PID"
    done
    wait_for_exit 20
    SIGNAL_SECONDS=$(calc "$(now) - $sent")
    expect_clean_exit "SIG${1// /+SIG}" "${2:-}"
}

# Holds Escape in the main menu, which ends the game, and expects it to end cleanly.
quit_from_menu() {
    hold_key Escape 0.5
    wait_for_exit 20
    expect_clean_exit Escape
}

# True when the scenario's desktop is a Wayland compositor and no X server.
on_wayland() { [ -z "${DISPLAY:-}" ] && [ -n "${WAYLAND_DISPLAY:-}" ]; }

# Holds a key for a while, so that a screen sees it for whole frames. On Wayland each wtype call
# is a virtual keyboard of its own that lets go of its keys when it ends, so one call holds the
# key; it waits a tenth of a second first, since a key pressed the moment a new keyboard appears
# can reach the compositor before the game has that keyboard's focus, and be lost.
hold_key() {
    if on_wayland; then
        wtype -s 100 -P "$1" -s "$(awk -v s="${2:-0.5}" 'BEGIN { printf "%d", s * 1000 }')" -p "$1"
        return
    fi
    xdotool keydown "$1"
    sleep "${2:-0.5}"
    xdotool keyup "$1"
}

# Saves the whole screen as OUT_DIR/NAME.png and prints its mean brightness (0 is black).
screenshot() {
    local png="$OUT_DIR/$1.png"
    if on_wayland; then
        grim "$png"
    else
        xwd -root -silent | /usr/bin/convert xwd:- "$png"
    fi
    /usr/bin/convert "$png" -format '%[fx:mean]' info:
}

# The rectangle the picture must fill on a screen of $1 (WIDTHxHEIGHT), in screen pixels from
# the top-left: SCREEN_W, SCREEN_H, VIEW_X, VIEW_Y, VIEW_W, VIEW_H.
viewport_of() {
    SCREEN_W=${1%x*}
    SCREEN_H=${1#*x}
    VIEW_X=0 VIEW_Y=0 VIEW_W=$SCREEN_W VIEW_H=$SCREEN_H
    if ((SCREEN_W * 3 > SCREEN_H * 4)); then
        VIEW_W=$((SCREEN_H * 4 / 3))
        VIEW_X=$(((SCREEN_W - VIEW_W) / 2))
    elif ((SCREEN_W * 3 < SCREEN_H * 4)); then
        VIEW_H=$((SCREEN_W * 3 / 4))
        # GL counts from the bottom: the spare pixel of an odd bar lies at the top.
        VIEW_Y=$((SCREEN_H - VIEW_H - (SCREEN_H - VIEW_H) / 2))
    fi
}

# The largest brightness (0 to 1) in the rectangle WxH+X+Y of screenshot $1, or with a third
# argument "mean" its mean brightness.
brightest() {
    /usr/bin/convert "$OUT_DIR/$1.png" -crop "$2" +repage -format "%[fx:${3:-maxima}]" info:
}
mean_in() { brightest "$1" "$2" mean; }

# The bars of screenshot $1 (see viewport_of) are black, and the picture (when $2 is "filled")
# reaches every edge of its rectangle.
check_bars() {
    local right=$((VIEW_X + VIEW_W)) bottom=$((VIEW_Y + VIEW_H)) bar
    for bar in "${VIEW_X}x${SCREEN_H}+0+0" "$((SCREEN_W - right))x${SCREEN_H}+${right}+0" \
        "${SCREEN_W}x${VIEW_Y}+0+0" "${SCREEN_W}x$((SCREEN_H - bottom))+0+${bottom}"; do
        case $bar in 0x* | *x0+*) continue ;; esac
        [ "$(brightest "$1" "$bar")" = 0 ] || fail "$1: the bar $bar is not black"
    done
    [ "${2:-}" = filled ] || return 0
    local edge
    for edge in "1x${VIEW_H}+${VIEW_X}+${VIEW_Y}" "1x${VIEW_H}+$((right - 1))+${VIEW_Y}" \
        "${VIEW_W}x1+${VIEW_X}+${VIEW_Y}" "${VIEW_W}x1+${VIEW_X}+$((bottom - 1))"; do
        at_least "$(mean_in "$1" "$edge")" 0.005 || fail "$1: the picture does not reach $edge"
    done
}

# Grabs the screen as OUT_DIR/NAME.xwd without converting it, for moments when a conversion
# would take processor time from the game; develop_grab makes the PNG later and prints its
# mean brightness.
grab() { xwd -root -silent > "$OUT_DIR/$1.xwd"; }
develop_grab() {
    /usr/bin/convert "xwd:$OUT_DIR/$1.xwd" "$OUT_DIR/$1.png" && rm "$OUT_DIR/$1.xwd"
    /usr/bin/convert "$OUT_DIR/$1.png" -format '%[fx:mean]' info:
}

# Waits up to $1 seconds for the game to end and sets GAME_STATUS to its exit status. Called
# directly, never in a $(...) subshell: only this shell, the game's parent, can collect its
# status.
wait_for_exit() {
    local deadline=$((SECONDS + $1))
    while kill -0 "$GAME_PID" 2>/dev/null; do
        [ $SECONDS -lt $deadline ] || fail "the game did not end within $1 s"
        sleep 0.1
    done
    GAME_STATUS=0
    wait "$GAME_PID" || GAME_STATUS=$?
    GAME_PID=""
}

# True when the first number is at least the second.
at_least() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a >= b) }'; }

# Runs a copy of the game with an asset folder of its own in OUT_DIR: the forged assets are
# linked in, the settings file is copied, so a scenario may change the settings freely; any
# KEY=VALUE arguments are set in it at once. Sets GAME and SETTINGS.
use_private_copy() {
    local home="$OUT_DIR/game"
    mkdir -p "$home/base"
    cp "$GAME" "$home/"
    for entry in "$BIN_DIR"/base/*; do
        [ "$(basename "$entry")" = config ] || ln -s "$entry" "$home/base/"
    done
    cp -r "$BIN_DIR/base/config" "$home/base/"
    GAME="$home/brindles-cataclysm"
    SETTINGS="$home/base/config/bc.rep"
    [ $# -eq 0 ] || settings_set "$SETTINGS" "$@"
}

# Preloads a small library into the game that logs every shown frame and every opened file with
# wall-clock times into OUT_DIR/frames.log ("swap T", "open T PATH").
log_frames() {
    FRAME_LOG="$OUT_DIR/frames.log"
    cc -shared -fPIC -O2 -o "$OUT_DIR/frame_log.so" "$(dirname "${BASH_SOURCE[0]}")/frame_log.c" \
        -ldl || fail "cannot build the frame logger"
    : > "$FRAME_LOG"
    export CATACLYSM_FRAME_LOG="$FRAME_LOG"
    GAME_PRELOAD="$OUT_DIR/frame_log.so"
}

now() { date +%s.%N; }

# Sleeps until the wall-clock time $1, or not at all when it has passed.
sleep_until() {
    local left
    left=$(calc "$1 - $(now)")
    if at_least "$left" 0.001; then sleep "$left"; fi
}

# The time at which the game opened a file whose path ends in $1 for the $2-th time; nothing
# when it has not yet.
opened_at() {
    awk -v name="$1" -v count="$2" '$1 == "open" && substr($3, length($3) - length(name) + 1) == name { if (++n == count) { print $2; exit } }' "$FRAME_LOG"
}

# Waits up to $3 seconds until the game has opened a file whose path ends in $1 at least $2
# times; prints the time of that opening.
wait_for_open() {
    local deadline=$((SECONDS + $3)) opened=""
    while :; do
        opened=$(opened_at "$1" "$2")
        [ -n "$opened" ] && { echo "$opened"; return 0; }
        kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended while waiting for $1"
        [ $SECONDS -lt $deadline ] || fail "the game did not open $1 (#$2) within $3 s"
        sleep 0.1
    done
}

# How many times the game has opened a file whose path ends in $1 so far.
count_opens() {
    awk -v name="$1" '$1 == "open" && substr($3, length($3) - length(name) + 1) == name { n++ } END { print n + 0 }' "$FRAME_LOG"
}

# The time of the first frame shown after time $1 (waits for it up to 10 s).
first_frame_after() {
    local shown=""
    for _ in $(seq 100); do
        shown=$(awk -v t="$1" '$1 == "swap" && $2 > t { print $2; exit }' "$FRAME_LOG")
        [ -n "$shown" ] && { echo "$shown"; return 0; }
        sleep 0.1
    done
    fail "no frame shown after $1"
}

# How many frames were shown between the times $1 and $2.
frames_between() {
    awk -v from="$1" -v to="$2" '$1 == "swap" && $2 > from && $2 <= to { n++ } END { print n + 0 }' "$FRAME_LOG"
}
# Frames a second between the times $1 and $2 (now unless given).
frame_rate() {
    local to=${2:-$(now)}
    calc "$(frames_between "$1" "$to") / ($to - $1)"
}
# The frame rate over the next $1 seconds (3 unless given), as the screen stands.
frame_rate_for() {
    local from
    from=$(now)
    sleep "${1:-3}"
    frame_rate "$from"
}

# Moves the menu pointer by a relative mouse motion in pixels, then waits $3 seconds (0.3 unless
# given) for the screen to show it.
move_mouse() {
    xdotool mousemove_relative -- "$1" "$2"
    sleep "${3:-0.3}"
}

# After Start: Space skips the opening story picture of a new game and then, if it still shows,
# the flight picture; the level banner ignores it.
skip_story() {
    sleep 1.5
    hold_key space 0.3
    sleep 0.7
    hold_key space 0.3
}

# In level 1 on a 1024x768 screen, firing all the while, flies the ship in a wide polygon over
# the wrapping field: its shots, or the ship itself when it rams a rock, score points. Level 1
# holds few rocks, so it flies on until the HUD's score has left 0 in two looks in a row (a rock
# passing over the HUD changes one look only), for at most 40 legs; fails when it never does.
# Sets SCORED_LEGS. Space and the other keys are let go at the end.
SCORE_BOX=170x20+250+736 # "Score:0" at the bottom left of a 1024x768 screen
look_at_score() { xwd -root -silent | /usr/bin/convert xwd:- -crop "$SCORE_BOX" +repage "$1"; }
fly_until_scored() {
    local changed_looks=0 differing
    look_at_score "$OUT_DIR/score-0.png"
    xdotool keydown space
    for SCORED_LEGS in $(seq 1 40); do
        xdotool keydown Up
        sleep 0.8
        xdotool keyup Up
        hold_key Left 0.35
        look_at_score "$OUT_DIR/score-now.png"
        differing=$(/usr/bin/compare -metric AE -fuzz 25% "$OUT_DIR/score-0.png" \
            "$OUT_DIR/score-now.png" null: 2>&1 || true)
        if [ "${differing%% *}" -gt 20 ] 2> /dev/null; then
            changed_looks=$((changed_looks + 1))
            [ "$changed_looks" -lt 2 ] || break
        else
            changed_looks=0
        fi
    done
    xdotool keyup space
    [ "$changed_looks" -ge 2 ] || fail "the score did not leave 0 in $SCORED_LEGS legs"
}

# From the main menu with the pointer on Options: Up onto Start, Return, the story skipped; waits
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

# With the menu pointer on Start: clicks (with "keys", taps Return), skips the story and waits
# until the level opens its HUD font, once the banner's two seconds are over; prints the time it
# did.
play_from_start() {
    local fonts
    fonts=$(count_opens fonts/default.tga)
    if [ "${1:-}" = keys ]; then xdotool key Return; else click; fi
    skip_story
    wait_for_open fonts/default.tga $((fonts + 1)) 30
}

# Holds Q, which abandons a level, until the game-over screen opens its picture; prints the time
# it did. After a cleared level Q abandons the next one: the summary and the banner ignore it.
# On Wayland the wtype call that holds Q is ended then: its keyboard goes, and the key with it.
abandon_level() {
    if on_wayland; then
        wtype -s 100 -P q -s 40000 -p q &
        wait_for_open textures/story/gameover.tga 1 40
        kill $! 2> /dev/null
        wait $! 2> /dev/null || true
        return
    fi
    xdotool keydown q
    wait_for_open textures/story/gameover.tga 1 40
    xdotool keyup q
}

# Taps the keys after $1 (xdotool key: each pressed and released at once, inside one frame), then
# waits $1 seconds.
tap() {
    xdotool key "${@:2}"
    sleep "$1"
}

# Holds the left button long enough for a frame to see it, and not so long that it acts twice;
# then waits $1 seconds, when given.
click() {
    xdotool mousedown 1
    sleep 0.12
    xdotool mouseup 1
    sleep "${1:-0}"
}

# Writes OUT_DIR/measurements.txt: a line "NAME VALUE" for each argument, NAME=VARIABLE or the
# NAME of a variable alone.
write_measurements() {
    local pair variable
    for pair in "$@"; do
        variable=${pair#*=}
        echo "${pair%%=*} ${!variable}"
    done > "$OUT_DIR/measurements.txt"
}

# Arithmetic on decimal numbers: calc "1.5 + 2".
calc() { awk "BEGIN { printf \"%.3f\", $* }"; }

# The RMS amplitude of the captured audio over $2 seconds from $1 seconds into the file; any
# further arguments are sox effects applied first, such as a band filter.
audio_rms() {
    local from=$1 seconds=$2
    shift 2
    sox "$AUDIO_FILE" -n trim "$from" "$seconds" "$@" stat 2>&1 |
        awk '/RMS +amplitude/ { print $3 }'
}

# The laser's sound lies around 2.4 kHz, where the level's bass-heavy music is quiet: in that
# band firing is about five times as loud as the music alone, which varies less than 1.3 times
# over its first fifteen seconds.
LASER_BAND=(bandpass 2400 500h)
LASER_GAIN=2.5

# Sets KEY=VALUE in the settings file $1 for each further argument, through the kit.
settings_set() {
    local file=$1 pair
    shift
    for pair in "$@"; do
        "$kit" rep set "$file" "${pair%%=*}" "${pair#*=}"
    done
}

# Fails unless the settings file $1 holds KEY=VALUE for each further argument.
settings_hold() {
    local file=$1 pair
    shift
    for pair in "$@"; do
        [ "$("$kit" rep get "$file" "${pair%%=*}")" = "${pair#*=}" ] ||
            fail "$file does not hold ${pair} ($("$kit" rep dump "$file" 2>&1 | tr '\n' ' '))"
    done
}

# Runs a command that must fail with exactly one line on stderr.
expect_refusal() {
    local err="$OUT_DIR/refusal.err"
    if "$@" 2> "$err"; then
        fail "$* succeeded"
    fi
    [ "$(wc -l < "$err")" -eq 1 ] || fail "$* did not give one line on stderr: $(cat "$err")"
}
