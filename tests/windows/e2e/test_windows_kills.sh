#!/usr/bin/env bash
# A hundred `taskkill /F` kills of a program that saves the settings file over and over, as the
# game saves it, each at a random moment: every time the file is whole afterwards (it decodes)
# and holds a high score that run saved. The temporary files of cut-off saves are counted: they
# are the kills that landed inside a save; the next save a minute later removes them.
source "$(dirname "$0")/lib.sh"
KILLS=${4:-100}

start_wine
loop="$WINDOWS_DIR/game/bin/cataclysm-save-loop.exe"
[ -f "$loop" ] || fail "no $loop"
folder="$DRIVE_C/users/Public/Brindle's saves"
rm -rf "$folder"
mkdir -p "$folder"
file="$folder/bc.rep"
windows_file='C:\users\Public\Brindle'"'"'s saves\bc.rep'

for kill in $(seq "$KILLS"); do
    first=$((kill * 1000000))
    wine "$loop" "$windows_file" "$first" > "$OUT_DIR/loop.out" 2>&1 &
    pid=$!
    # The program starts in about a tenth of a second, then saves all the while.
    sleep "$(awk -v seed="$kill" 'BEGIN { srand(seed); printf "%.3f", 0.3 + rand() * 0.4 }')"
    wine taskkill /F /IM cataclysm-save-loop.exe > "$OUT_DIR/taskkill.out" 2>&1 ||
        fail "taskkill /F failed: $(cat "$OUT_DIR/taskkill.out")"
    # TerminateProcess leaves the status taskkill gives, 0 here: a save that failed is known
    # by its message.
    wait "$pid" || true
    [ ! -s "$OUT_DIR/loop.out" ] || fail "kill $kill: a save failed: $(cat "$OUT_DIR/loop.out")"
    high=$("$kit" rep get "$file" HighScore 2> "$OUT_DIR/kit.err") ||
        fail "kill $kill: the settings file does not decode: $(cat "$OUT_DIR/kit.err")"
    [ "$high" -ge "$first" ] && [ "$high" -lt $((first + 1000000)) ] ||
        fail "kill $kill: the file holds the high score $high, which this run did not save"
done
cut_saves=$(find "$folder" -name 'bc.rep.tmp-*' | wc -l)
note "$KILLS kills: the settings file whole after each; $cut_saves saves cut off before their move"
kills=$KILLS
write_measurements kills cut_saves
