#!/usr/bin/env bash
# tga encode turns ImageMagick's PNGs into Targa files that tga decode and ImageMagick read back
# pixel for pixel, and the kit refuses damaged pictures and bundles with one line on stderr and
# a non-zero status. Every PNG colour type, depth and gamma is KitPng's unit test; listing,
# taking out and packing the menu bundles is the README's worked example (test_modding).
source "$(dirname "$0")/lib.sh"
base="$BIN_DIR/base"

head -c 40 "$base/tbundles/menu/menu1.qtb" > "$OUT_DIR/cut.qtb"
expect_refusal "$kit" bundle list "$OUT_DIR/cut.qtb"
printf 'not a picture' > "$OUT_DIR/bad.tga"
expect_refusal "$kit" tga decode "$OUT_DIR/bad.tga" "$OUT_DIR/bad.pam"
expect_refusal "$kit" bundle extract "$base/tbundles/menu/menu2.qtb" Missing.tga "$OUT_DIR/x.pam"
# tga encode: ImageMagick's PNGs (RGB and RGBA, odd sizes) come back pixel for pixel from tga
# decode in both forms (its rows run from the bottom up, hence the flip), ImageMagick reads the
# Targa upright, and a PAM that tga decode wrote comes back byte for byte.
for picture in rgb:37x23 rgba:31x17 rgb:1x1 rgba:3x129; do
    channels=${picture%%:*} size=${picture#*:} name="$OUT_DIR/${picture/:/-}"
    /usr/bin/convert -seed 7 -size "$size" plasma: \( +clone -channel G -separate +channel \) \
        -alpha off -compose copy_opacity -composite -alpha "$([ "$channels" = rgba ] && echo on || echo off)" \
        -depth 8 "$name.png"
    /usr/bin/convert "$name.png" "$channels:$name.expected"
    for form in "" --rle; do
        "$kit" tga encode "$name.png" "$name$form.tga" $form || fail "tga encode $picture $form"
        "$kit" tga decode "$name$form.tga" "$name$form.pam" || fail "tga decode $picture $form"
        /usr/bin/convert "$name$form.pam" -flip "$channels:$name$form.got"
        cmp -s "$name.expected" "$name$form.got" || fail "$picture $form changed in tga encode"
        /usr/bin/convert "$name$form.tga" -auto-orient "$channels:$name$form.upright"
        cmp -s "$name.expected" "$name$form.upright" || fail "$picture $form is not upright"
    done
    "$kit" tga encode "$name.pam" "$name-again.tga" && "$kit" tga decode "$name-again.tga" "$name-again.pam" ||
        fail "tga encode of a PAM"
    cmp -s "$name.pam" "$name-again.pam" || fail "the PAM of $picture changed in tga encode"
done
head -c 100 "$OUT_DIR/rgb-37x23.png" > "$OUT_DIR/cut.png"
for bad in cut.png bad.tga; do
    expect_refusal "$kit" tga encode "$OUT_DIR/$bad" "$OUT_DIR/x.tga"
done
note "tga encode and decode of ImageMagick's PNGs, and refusals: ok"
