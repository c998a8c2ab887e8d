# The end-to-end scenarios of the Windows build: the packed game under Wine, in a private X
# server with Mesa's software OpenGL (through Wine's opengl32), OpenAL Soft's wave writer, xdotool
# input and screenshots. A scenario sources this file with three arguments: the Linux build's bin
# folder (its kit reads the settings files, its game draws the reference pictures), an output
# folder, and build-windows/, which holds the zip, the installer and the Wine prefix.
source "$(dirname "${BASH_SOURCE[0]}")/../../e2e/lib.sh" "$1" "$2"
WINDOWS_DIR=$(cd "$3" && pwd)
VERSION=$(sed -n 's/^project(BrindlesCataclysm VERSION \([0-9.]*\).*/\1/p' \
    "$(dirname "${BASH_SOURCE[0]}")/../../../CMakeLists.txt")
ZIP="$WINDOWS_DIR/brindles-cataclysm-$VERSION-windows-x64.zip"
SETUP="$WINDOWS_DIR/brindles-cataclysm-$VERSION-setup-x64.exe"
[ -f "$ZIP" ] && [ -f "$SETUP" ] || fail "no zip or installer in $WINDOWS_DIR (tools/setup.sh windows)"

WINEPREFIX="$WINDOWS_DIR/wine"
source "$(dirname "${BASH_SOURCE[0]}")/../../../tools/windows/wine-env.sh"
DRIVE_C="$WINEPREFIX/drive_c"
ROAMING="$DRIVE_C/users/$(whoami)/AppData/Roaming"
PLAYERS_FOLDER="$ROAMING/Brindle's Cataclysm"

# Every Windows program of the scenario ends with it, and so does the Wine server, which must
# not outlive the X server it draws on.
windows_cleanup() {
    stop_wine
    cleanup
}
trap windows_cleanup EXIT

# The X server, then a Wine server that draws on it.
start_windows_display() {
    start_display 1024x768
    start_wine
}

# The Windows path (Z: is /) of a Linux path.
windows_path() { printf 'Z:%s' "$1" | tr / '\\'; }

# Lets the game in folder $1 play into OUT_DIR/$2.wav through OpenAL Soft's wave writer, which
# reads alsoft.ini beside the program.
capture_windows_audio() {
    AUDIO_FILE="$OUT_DIR/$2.wav"
    printf '[general]\r\ndrivers=wave\r\n[wave]\r\nfile=%s\r\n' "$(windows_path "$AUDIO_FILE")" \
        > "$1/alsoft.ini"
}

# Starts brindles-cataclysm.exe in folder $1 under Wine, tracing each shown frame and each file
# it opens into OUT_DIR/trace.log with Wine's own clock. The exit status of `wine` is the game's.
start_windows_game() {
    TRACE="$OUT_DIR/trace.log"
    (cd "$1" && exec env WINEDEBUG=+timestamp,+wgl,+file wine brindles-cataclysm.exe \
        > "$OUT_DIR/game.out" 2> "$TRACE") &
    GAME_PID=$!
}

# Wine's clock in the trace: the time of the latest line, and the wall-clock time it stands for
# (the game shows a frame every few hundredths of a second, each one a line).
trace_now() { tail -n 1 "$TRACE" | cut -d: -f1; }
wall_to_trace() { calc "$1 - $TRACE_OFFSET"; }
sync_trace_clock() { TRACE_OFFSET=$(calc "$(now) - $(trace_now)"); }

# The trace times at which the game opened a file whose path ends in $1, in order.
trace_opens() {
    awk -v name="$1" -F'L"' '/:trace:file:CreateFileW / { split($2, path, "\"");
        if (substr(path[1], length(path[1]) - length(name) + 1) == name) {
        split($1, t, ":"); print t[1] } }' "$TRACE"
}
# The trace time of the $2-th opening of such a file; nothing before it.
trace_opened_at() { trace_opens "$1" | sed -n "$2p"; }
# How many times the game has opened such a file so far.
trace_count_opens() { trace_opens "$1" | wc -l; }

# Waits up to $3 seconds until the game opened a file ending in $1 at least $2 times.
wait_for_windows_open() {
    local deadline=$((SECONDS + $3))
    until [ -n "$(trace_opened_at "$1" "$2")" ]; do
        kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended while waiting for $1"
        [ $SECONDS -lt $deadline ] || fail "the game did not open $1 (#$2) within $3 s"
        sleep 0.2
    done
}

# Frames a second shown between the trace times $1 and $2.
trace_frame_rate() {
    awk -v from="$1" -v to="$2" '/:trace:wgl:glxdrv_wglSwapBuffers/ { split($0, t, ":");
        if (t[1] > from && t[1] <= to) n++ } END { printf "%.1f", n / (to - from) }' "$TRACE"
}

# Waits until the game's menu shows (its pointer picture opened, a second gone by), then saves
# a screenshot NAME.png and fails when it is black.
windows_menu() {
    wait_for_window > /dev/null
    wait_for_windows_open textures/menu/Pointer.tga 1 90
    sleep 1
    at_least "$(screenshot "$1")" 0.02 || fail "the menu is black ($1.png)"
}

# The root-mean-square difference of two pictures, 0 (the same) to 1.
picture_rmse() {
    { /usr/bin/compare -metric RMSE "$OUT_DIR/$1.png" "$OUT_DIR/$2.png" null: 2>&1 || true; } |
        sed 's/.*(\(.*\))/\1/'
}

# From the menu with the pointer on Options: Up onto Start, Return, the story skipped; waits
# until the level opens its HUD font and its banner is over.
windows_level_by_keys() {
    local fonts
    fonts=$(trace_count_opens fonts/default.tga)
    hold_key Up 0.3
    sleep 0.3
    hold_key Return 0.3
    skip_story
    wait_for_windows_open fonts/default.tga $((fonts + 1)) 40
    sleep 2.5
}

# Ends the game as Windows' `taskkill` without /F does (WM_CLOSE to its window) and expects
# status 0 within 20 s.
taskkill_game() {
    wine taskkill /IM brindles-cataclysm.exe > "$OUT_DIR/taskkill.out" 2>&1 ||
        fail "taskkill failed: $(cat "$OUT_DIR/taskkill.out")"
    wait_for_exit 20
    [ "$GAME_STATUS" -eq 0 ] || fail "exit status $GAME_STATUS after taskkill"
}
