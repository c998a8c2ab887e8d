#!/usr/bin/env bash
# Without an audio device that opens, the game stops at once with a clear message and a
# non-zero status.
source "$(dirname "$0")/lib.sh"
start_display
export ALSOFT_DRIVERS=no-such-driver
start_game
wait_for_exit 20
[ "$GAME_STATUS" -ne 0 ] || fail "exit status 0 without an audio device"
grep -q 'audio device' "$OUT_DIR/game.err" || fail "no message naming the audio device"
[ "$(wc -l < "$OUT_DIR/game.err")" -ge 1 ] || fail "nothing on stderr"
note "no audio device: status $GAME_STATUS, '$(head -n 1 "$OUT_DIR/game.err")'"
