#!/usr/bin/env bash
# tga encode turns ImageMagick's PNGs into Targa files that tga decode and ImageMagick read back
# pixel for pixel, and the kit refuses damaged pictures and bundles with one line on stderr and
# a non-zero status: every PNG colour type, 16-bit and 2-bit depths, a transparency chunk, and a
# stated linear gamma. Listing, taking out and packing the menu bundles is the README's worked
# example (test_modding).
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
# 16-bit, palette and 2-bit PNGs that say nothing of their gamma, as paint and 3-D programs write
# them, keep the samples ImageMagick reads from them (16 bits rounded to 8); a picture whose gAMA
# chunk says linear light is made sRGB. The first is the washed-out ramp a modder sent.
no_colour="-define png:exclude-chunks=gAMA,sRGB,cHRM,bKGD,date,tIME,zTXt,tEXt"
plasma="/usr/bin/convert -seed 7 -size 19x13 plasma:"
alpha_from="-alpha off -compose copy_opacity -composite"
# tga encode of $1.png, then tga decode of the Targa into $1.pam.
encode_png() {
    "$kit" tga encode "$1.png" "$1.tga" && "$kit" tga decode "$1.tga" "$1.pam" ||
        fail "tga encode $(basename "$1").png"
}
/usr/bin/convert -size 16x256 gradient:white-black -rotate 90 -depth 16 $no_colour png48:"$OUT_DIR/ramp.png"
$plasma -colorspace gray -depth 16 -define png:color-type=0 $no_colour "$OUT_DIR/grey16.png"
$plasma -colorspace gray \( +clone -fx i/w \) $alpha_from -depth 16 -define png:color-type=4 $no_colour \
    "$OUT_DIR/grey-alpha16.png"
$plasma \( +clone -fx j/h \) $alpha_from -depth 16 $no_colour png64:"$OUT_DIR/rgba16.png"
$plasma -depth 16 -interlace PNG $no_colour png48:"$OUT_DIR/rgb16-interlaced.png"
$plasma \( +clone -fx 'i/w>0.5' \) $alpha_from -colors 16 $no_colour png8:"$OUT_DIR/palette-trns.png"
/usr/bin/convert -size 19x13 gradient:black-white -colorspace gray -posterize 4 \
    -define png:bit-depth=2 -define png:color-type=0 $no_colour "$OUT_DIR/grey2.png"
for picture in ramp:rgb grey16:rgb grey-alpha16:rgba rgba16:rgba rgb16-interlaced:rgb \
    palette-trns:rgba grey2:rgb; do
    channels=${picture#*:} name="$OUT_DIR/${picture%%:*}"
    /usr/bin/convert "$name.png" -depth 16 -endian MSB "$channels:-" | python3 -c '
import sys
d = sys.stdin.buffer.read()
sys.stdout.buffer.write(bytes(((d[i] << 8 | d[i + 1]) * 255 + 32767) // 65535 for i in range(0, len(d), 2)))
' > "$name.expected"
    encode_png "$name"
    /usr/bin/convert "$name.pam" -flip "$channels:$name.got"
    cmp -s "$name.expected" "$name.got" || fail "${picture%%:*}.png changed in tga encode"
done
/usr/bin/convert "$OUT_DIR/ramp.png" -set gamma 1.0 -depth 16 ${no_colour/gAMA,/} png48:"$OUT_DIR/ramp-linear.png"
encode_png "$OUT_DIR/ramp-linear"
/usr/bin/convert "$OUT_DIR/ramp-linear.pam" -flip gray:- | python3 -c '
import sys
got = sys.stdin.buffer.read()[:256]
sys.exit(len(got) < 256 or any(abs(v - 255 * (x / 255) ** (1 / 2.2)) > 1 for x, v in enumerate(got)))
' || fail "the linear ramp did not become sRGB"

head -c 100 "$OUT_DIR/rgb-37x23.png" > "$OUT_DIR/cut.png"
for bad in cut.png bad.tga; do
    expect_refusal "$kit" tga encode "$OUT_DIR/$bad" "$OUT_DIR/x.tga"
done
note "tga encode and decode of ImageMagick's PNGs of every form, and refusals: ok"
