#!/usr/bin/env bash
# With no display to open (DISPLAY and WAYLAND_DISPLAY unset, as over ssh or on a text console)
# the game does not run unseen on SDL's off-screen driver: it stops at once with one line on
# stderr that names both variables, status 1, and nothing of it left running.
source "$(dirname "$0")/lib.sh"
use_private_copy
env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER ALSOFT_DRIVERS=null "$GAME" \
    > "$OUT_DIR/game.out" 2> "$OUT_DIR/game.err" &
GAME_PID=$!
wait_for_exit 20
[ "$GAME_STATUS" -eq 1 ] || fail "exit status $GAME_STATUS without a display"
[ "$(wc -l < "$OUT_DIR/game.err")" -eq 1 ] || fail "not one line on stderr: $(cat "$OUT_DIR/game.err")"
grep -q 'no display could be opened' "$OUT_DIR/game.err" || fail "no message about the display"
grep -qw DISPLAY "$OUT_DIR/game.err" && grep -qw WAYLAND_DISPLAY "$OUT_DIR/game.err" ||
    fail "the message does not name both DISPLAY and WAYLAND_DISPLAY"
! pgrep -f "$GAME" > /dev/null || fail "a process of the game is still running"
note "no display: status 1, '$(cat "$OUT_DIR/game.err")'"
