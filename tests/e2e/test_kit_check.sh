#!/usr/bin/env bash
# `cataclysm-kit check` passes the forged folder and, on copies that each break one file the way
# a modder might, names exactly that file in one line and exits with 1.
source "$(dirname "$0")/lib.sh"
base="$BIN_DIR/base"

"$kit" check "$base" > "$OUT_DIR/forged.txt" || fail "the forged folder fails: $(cat "$OUT_DIR/forged.txt")"
[ "$(cat "$OUT_DIR/forged.txt")" = "checked 68 files: 0 problems" ] ||
    fail "unexpected report on the forged folder: $(cat "$OUT_DIR/forged.txt")"

# A copy of the forged folder made of links, with FILE as a real file of its own to break.
copy_with() {
    local copy="$OUT_DIR/$1"
    cp -rs "$base" "$copy"
    rm "$copy/$2"
    echo "$copy"
}

# Runs check on a copy and expects exit status 1 and exactly the one line $2 before the summary.
expect_problem() {
    local copy=$1 line=$2 report status=0
    report=$("$kit" check "$copy") || status=$?
    echo "$report" > "$copy.txt"
    [ "$status" -eq 1 ] || fail "check on $(basename "$copy") exited with $status"
    [ "$(echo "$report" | head -n 1)" = "$line" ] ||
        fail "check on $(basename "$copy") said: $(echo "$report" | head -n 1)"
    [ "$(echo "$report" | sed -n 2p)" = "checked 68 files: 1 problem" ] ||
        fail "check on $(basename "$copy") gave more than one line: $report"
}

copy=$(copy_with removed textures/gameplay/bullet.tga)
expect_problem "$copy" "textures/gameplay/bullet.tga: missing"

copy=$(copy_with truncated textures/gameplay/ship.tga)
head -c 20000 "$base/textures/gameplay/ship.tga" > "$copy/textures/gameplay/ship.tga"
expect_problem "$copy" "textures/gameplay/ship.tga: run-length data ends before the last pixel (the file is truncated); the game fills the rest with the last pixel read"

# A paint program's top-left save: the descriptor bit and the y-origin set to the height.
copy=$(copy_with top-left textures/glsl/noise.tga)
cp "$base/textures/glsl/noise.tga" "$copy/textures/glsl/noise.tga"
printf '\x00\x01' | dd of="$copy/textures/glsl/noise.tga" bs=1 seek=10 conv=notrunc status=none
printf '\x20' | dd of="$copy/textures/glsl/noise.tga" bs=1 seek=17 conv=notrunc status=none
expect_problem "$copy" "textures/glsl/noise.tga (shader path only): origin field is not zero (the game takes rows bottom-up; save with a bottom-left origin)"

copy=$(copy_with not-a-power-of-two textures/gameplay/particle.tga)
/usr/bin/convert -size 100x60 xc:orange "$OUT_DIR/orange.png"
"$kit" tga encode "$OUT_DIR/orange.png" "$copy/textures/gameplay/particle.tga" || fail "tga encode"
expect_problem "$copy" "textures/gameplay/particle.tga: mipmapped, but 100 x 60 is not a power of two on each side, so it loses its mipmaps"

# menu1.qtb packed again from its own pictures, all but StartActive.tga.
copy=$(copy_with no-start-active tbundles/menu/menu1.qtb)
menu1="$base/tbundles/menu/menu1.qtb"
mkdir "$OUT_DIR/menu1"
"$kit" bundle list "$menu1" | tail -n +2 | while read -r name _; do
    [ "$name" = StartActive.tga ] && continue
    "$kit" bundle extract "$menu1" "$name" "$OUT_DIR/menu1/$name.pam" &&
        "$kit" tga encode "$OUT_DIR/menu1/$name.pam" "$OUT_DIR/menu1/$name" --rle ||
        fail "cannot take $name out of menu1.qtb"
done
"$kit" bundle pack "$copy/tbundles/menu/menu1.qtb" "$OUT_DIR"/menu1/*.tga || fail "bundle pack"
expect_problem "$copy" "tbundles/menu/menu1.qtb: no picture StartActive.tga (the menus draw a flat patch instead)"

# The "fmt " chunk renamed, so the reader skips it as an unknown one.
copy=$(copy_with no-fmt sound/ship/thrust.wav)
cp "$base/sound/ship/thrust.wav" "$copy/sound/ship/thrust.wav"
offset=$(grep -boa 'fmt ' "$copy/sound/ship/thrust.wav" | head -n 1 | cut -d: -f1)
printf 'junk' | dd of="$copy/sound/ship/thrust.wav" bs=1 seek="$offset" conv=notrunc status=none
expect_problem "$copy" "sound/ship/thrust.wav: no \"fmt \" chunk of 16 bytes or more; the game leaves it silent"

# The mono effect asks for 24-bit samples; `wav info` on a copy that also asks for two channels.
copy=$(copy_with wide-samples sound/ship/thrust.wav)
offset=$(grep -boa 'fmt ' "$base/sound/ship/thrust.wav" | head -n 1 | cut -d: -f1)
cp "$base/sound/ship/thrust.wav" "$copy/sound/ship/thrust.wav"
printf '\x18' | dd of="$copy/sound/ship/thrust.wav" bs=1 seek=$((offset + 22)) conv=notrunc status=none
expect_problem "$copy" "sound/ship/thrust.wav: 1 channel of 24 bits (the game plays 1 or 2 channels of 8 or 16 bits); the game leaves it silent"
cp "$copy/sound/ship/thrust.wav" "$OUT_DIR/stereo.wav"
printf '\x02' | dd of="$OUT_DIR/stereo.wav" bs=1 seek=$((offset + 10)) conv=notrunc status=none
expect_refusal "$kit" wav info "$OUT_DIR/stereo.wav" > "$OUT_DIR/stereo.txt"
grep -q ': 2 channels of 24 bits (' "$OUT_DIR/refusal.err" || fail "wav info said: $(cat "$OUT_DIR/refusal.err")"

expect_refusal "$kit" check "$OUT_DIR/no-such-folder"
note "check: the forged folder passes; each broken copy gives its one line and exit status 1"
