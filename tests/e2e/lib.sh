# Shared pieces of the end-to-end scenarios: a private X server with Mesa's software OpenGL,
# OpenAL Soft mixing into a WAV file, the real game, xdotool input and screenshots.
# A scenario script sources this file with its two arguments: the bin folder and an output
# folder for its logs, screenshots and captured audio.
set -euo pipefail

BIN_DIR=$(cd "$1" && pwd)
OUT_DIR=$2
GAME="$BIN_DIR/brindles-cataclysm"
rm -rf "$OUT_DIR"
mkdir -p "$OUT_DIR"

GAME_PID=""
XVFB_PID=""

fail() {
    echo "FAIL: $*" >&2
    for log in "$OUT_DIR"/game.out "$OUT_DIR"/game.err; do
        [ -s "$log" ] && { echo "--- $log" >&2; tail -n 20 "$log" >&2; }
    done
    exit 1
}

note() { echo "e2e: $*"; }

cleanup() {
    [ -n "$GAME_PID" ] && kill -9 "$GAME_PID" 2>/dev/null || true
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true
    return 0
}
trap cleanup EXIT

# Starts a private 1024x768 X server on a display number of its own.
start_display() {
    local number=$((100 + $$ % 800))
    while [ -e "/tmp/.X${number}-lock" ]; do number=$((number + 1)); done
    export DISPLAY=":$number"
    Xvfb "$DISPLAY" -screen 0 1024x768x24 -nolisten tcp > "$OUT_DIR/xvfb.log" 2>&1 &
    XVFB_PID=$!
    for _ in $(seq 100); do
        xdpyinfo > /dev/null 2>&1 && return 0
        sleep 0.1
    done
    fail "Xvfb did not start on $DISPLAY"
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

start_game() {
    "$GAME" > "$OUT_DIR/game.out" 2> "$OUT_DIR/game.err" &
    GAME_PID=$!
}

# Waits until the game's window exists; prints its id.
wait_for_window() {
    local id=""
    for _ in $(seq 200); do
        id=$(xdotool search --name "^Brindle's Cataclysm$" 2>/dev/null | head -n 1 || true)
        [ -n "$id" ] && { echo "$id"; return 0; }
        kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended before its window appeared"
        sleep 0.1
    done
    fail "no window titled \"Brindle's Cataclysm\""
}

# Holds a key for a while, so that a screen sees it for whole frames.
hold_key() {
    xdotool keydown "$1"
    sleep "${2:-0.5}"
    xdotool keyup "$1"
}

# Saves the whole screen as OUT_DIR/NAME.png and prints its mean brightness (0 is black).
screenshot() {
    local png="$OUT_DIR/$1.png"
    xwd -root -silent | /usr/bin/convert xwd:- "$png"
    /usr/bin/convert "$png" -format '%[fx:mean]' info:
}

# Waits up to $1 seconds for the game to end; prints its exit status.
wait_for_exit() {
    local deadline=$((SECONDS + $1))
    while kill -0 "$GAME_PID" 2>/dev/null; do
        [ $SECONDS -lt $deadline ] || fail "the game did not end within $1 s"
        sleep 0.1
    done
    local status=0
    wait "$GAME_PID" || status=$?
    GAME_PID=""
    echo "$status"
}

# True when the first number is at least the second.
at_least() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a >= b) }'; }
