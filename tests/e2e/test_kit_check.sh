#!/usr/bin/env bash
# `cataclysm-kit check` passes the forged folder and, on copies that each break one file the way
# a modder might, names exactly that file in one line and exits with 1.
source "$(dirname "$0")/lib.sh"
base="$BIN_DIR/base"

"$kit" check "$base" > "$OUT_DIR/forged.txt" || fail "the forged folder fails: $(cat "$OUT_DIR/forged.txt")"
[ "$(cat "$OUT_DIR/forged.txt")" = "checked 68 files: 0 problems" ] ||
    fail "unexpected report on the forged folder: $(cat "$OUT_DIR/forged.txt")"

# A copy of the forged folder made of links, but for FILE ($2), a copy of its own to break;
# sets COPY to the copy's folder and BROKEN to that file.
copy_with() {
    COPY="$OUT_DIR/$1"
    BROKEN="$COPY/$2"
    cp -rs "$base" "$COPY"
    rm "$BROKEN"
    cp "$base/$2" "$BROKEN"
}
# Writes the bytes $2 (printf's escapes) into BROKEN at the offset $1.
poke() { printf "$2" | dd of="$BROKEN" bs=1 seek="$1" conv=notrunc status=none; }

# Runs check on COPY and expects exit status 1 and exactly the one line $1 before the summary.
expect_problem() {
    local report status=0
    report=$("$kit" check "$COPY") || status=$?
    echo "$report" > "$COPY.txt"
    [ "$status" -eq 1 ] || fail "check on $(basename "$COPY") exited with $status"
    [ "$report" = "$1"$'\n'"checked 68 files: 1 problem" ] ||
        fail "check on $(basename "$COPY") said: $report"
}

copy_with removed textures/gameplay/bullet.tga
rm "$BROKEN"
expect_problem "textures/gameplay/bullet.tga: missing"

copy_with truncated textures/gameplay/ship.tga
truncate -s 20000 "$BROKEN"
expect_problem "textures/gameplay/ship.tga: run-length data ends before the last pixel (the file is truncated); the game fills the rest with the last pixel read"

# A paint program's top-left save: the descriptor bit and the y-origin set to the height.
copy_with top-left textures/glsl/noise.tga
poke 10 '\x00\x01'
poke 17 '\x20'
expect_problem "textures/glsl/noise.tga (shader path only): origin field is not zero (the game takes rows bottom-up; save with a bottom-left origin)"

copy_with not-a-power-of-two textures/gameplay/particle.tga
/usr/bin/convert -size 100x60 xc:orange "$OUT_DIR/orange.png"
"$kit" tga encode "$OUT_DIR/orange.png" "$BROKEN" || fail "tga encode"
expect_problem "textures/gameplay/particle.tga: mipmapped, but 100 x 60 is not a power of two on each side, so it loses its mipmaps"

# menu1.qtb packed again from its own pictures, all but StartActive.tga.
copy_with no-start-active tbundles/menu/menu1.qtb
mkdir "$OUT_DIR/menu1"
"$kit" bundle list "$BROKEN" | tail -n +2 | while read -r name _; do
    [ "$name" = StartActive.tga ] && continue
    "$kit" bundle extract "$BROKEN" "$name" "$OUT_DIR/menu1/$name.pam" &&
        "$kit" tga encode "$OUT_DIR/menu1/$name.pam" "$OUT_DIR/menu1/$name" --rle ||
        fail "cannot take $name out of menu1.qtb"
done
"$kit" bundle pack "$BROKEN" "$OUT_DIR"/menu1/*.tga || fail "bundle pack"
expect_problem "tbundles/menu/menu1.qtb: no picture StartActive.tga (the menus draw a flat patch instead)"

# The "fmt " chunk renamed, so the reader skips it as an unknown one.
copy_with no-fmt sound/ship/thrust.wav
fmt=$(grep -boa 'fmt ' "$BROKEN" | head -n 1 | cut -d: -f1)
poke "$fmt" junk
expect_problem "sound/ship/thrust.wav: no \"fmt \" chunk of 16 bytes or more; the game leaves it silent"

# The mono effect asks for 24-bit samples; `wav info` on a copy that also asks for two channels.
copy_with wide-samples sound/ship/thrust.wav
poke $((fmt + 22)) '\x18'
expect_problem "sound/ship/thrust.wav: 1 channel of 24 bits (the game plays 1 or 2 channels of 8 or 16 bits); the game leaves it silent"
poke $((fmt + 10)) '\x02'
expect_refusal "$kit" wav info "$BROKEN" > "$OUT_DIR/stereo.txt"
grep -q ': 2 channels of 24 bits (' "$OUT_DIR/refusal.err" || fail "wav info said: $(cat "$OUT_DIR/refusal.err")"

expect_refusal "$kit" check "$OUT_DIR/no-such-folder"
note "check: the forged folder passes; each broken copy gives its one line and exit status 1"
