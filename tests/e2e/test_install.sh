#!/usr/bin/env bash
# `cmake --install` lays out a self-contained game folder with its desktop entry and links in
# bin/; the installed game runs from anywhere, through its link, and keeps its settings in its
# own folder, which the player owns; a reinstall keeps them, and `cataclysm-kit rep reset` mends
# a broken file. The icons, metainfo and manual pages come from the same install rules that
# test_package checks in the packages.
source "$(dirname "$0")/lib.sh"
build=$(cd "$BIN_DIR/.." && pwd)
prefix="$(cd "$OUT_DIR" && pwd -P)/prefix"
game_folder="$prefix/lib/brindles-cataclysm"

cmake --install "$build" --prefix "$prefix" > "$OUT_DIR/install.log" || fail "cmake --install failed"
for file in "$game_folder/brindles-cataclysm" "$game_folder/cataclysm-kit"; do
    [ -x "$file" ] || fail "$file is missing"
done
for file in textures/menu/Pointer.tga tbundles/menu/menu1.qtb sound/music/BC_menu.ogg \
    shaders/default.qvs fonts/default.tga; do
    cmp -s "$BIN_DIR/base/$file" "$game_folder/base/$file" || fail "base/$file was not installed"
done
[ ! -e "$game_folder/base/icons" ] || fail "the icon was installed into base/"
kit="$game_folder/cataclysm-kit"
settings="$game_folder/base/config/bc.rep"
settings_hold "$settings" ScreenWidth=1024 GLSL=1 Sound=1 Brightness=0 HighScore=0

desktop="$prefix/share/applications/brindles-cataclysm.desktop"
grep -qx "Exec=\"$prefix/bin/brindles-cataclysm\"" "$desktop" || fail "Exec does not name the game"
for program in brindles-cataclysm cataclysm-kit; do
    [ "$(readlink -f "$prefix/bin/$program")" = "$(readlink -f "$game_folder/$program")" ] ||
        fail "bin/$program does not lead to $program"
done
[ "$("$prefix/bin/cataclysm-kit" rep where)" = "$settings" ] || fail "rep where does not name $settings"

# The player's settings survive a reinstall.
"$kit" rep set "$settings" HighScore 4242
cmake --install "$build" --prefix "$prefix" > "$OUT_DIR/reinstall.log" || fail "reinstall failed"
settings_hold "$settings" HighScore=4242

# Started through the link, from a folder that has nothing to do with the game.
GAME="$prefix/bin/brindles-cataclysm"
cd /
start_display
capture_audio
log_frames
start_to_menu installed
grep -q "open .* $game_folder/base/textures/menu/Pointer.tga" "$FRAME_LOG" ||
    fail "the game did not read its assets from $game_folder/base"
quit_from_menu
settings_hold "$settings" HighScore=4242

# A settings file that no longer loads is mended by a reset.
printf 'not a settings file' > "$settings"
"$kit" rep reset "$settings" > "$OUT_DIR/reset.out" || fail "rep reset failed"
grep -q 'high score starts at 0' "$OUT_DIR/reset.out" || fail "rep reset did not say the file was lost"
settings_hold "$settings" GLSL=1
note "install into $prefix, desktop entry, icon, a run from /, reinstall and reset: ok"
