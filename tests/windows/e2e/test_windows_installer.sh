#!/usr/bin/env bash
# The installer: `/S` installs into Program Files with a Start-menu shortcut and an Apps &
# features entry; the game started from there keeps its settings under %APPDATA% (starting
# from the installed ones) and changes nothing in Program Files; the kit, given Windows paths,
# says so too; `/S` uninstall leaves nothing of the program in Program Files, the Start menu or
# the uninstall keys, and the player's settings stay.
source "$(dirname "$0")/lib.sh"

install_dir="$DRIVE_C/Program Files/Brindle's Cataclysm"
shortcut="$DRIVE_C/ProgramData/Microsoft/Windows/Start Menu/Programs/Brindle's Cataclysm.lnk"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\BrindlesCataclysm'
players_file="$PLAYERS_FOLDER/bc.rep"
rm -rf "$PLAYERS_FOLDER" "$install_dir"

start_windows_display
wine "$SETUP" /S > "$OUT_DIR/setup.out" 2>&1 || fail "the installer failed: $(cat "$OUT_DIR/setup.out")"
for file in brindles-cataclysm.exe cataclysm-kit.exe SDL2.dll soft_oal.dll README.txt \
    uninstall.exe base/config/bc.rep base/sound/music/BC_upbeat-tech.ogg licences/OpenAL-Soft.txt; do
    [ -f "$install_dir/$file" ] || fail "the install has no $file"
done
[ -f "$shortcut" ] || fail "no Start-menu shortcut"
wine reg query "$key" /reg:64 > "$OUT_DIR/uninstall-key.txt" 2>&1 || fail "no uninstall key"
for value in DisplayName DisplayIcon DisplayVersion Publisher EstimatedSize UninstallString; do
    grep -q "$value" "$OUT_DIR/uninstall-key.txt" || fail "the uninstall key has no $value"
done
grep -q "DisplayVersion.*$VERSION" "$OUT_DIR/uninstall-key.txt" || fail "the uninstall key's version"
installed_kib=$(du -sk "$install_dir" | cut -f1)
note "installed: $(find "$install_dir" -type f | wc -l) files, $installed_kib KiB"

# Played from Program Files: every file there as it was, the player's own file in %APPDATA%.
snapshot() { (cd "$install_dir" && find . -type f -exec sha256sum {} + | sort -k2); }
snapshot > "$OUT_DIR/installed-before.txt"
export ALSOFT_DRIVERS=null
start_windows_game "$install_dir"
windows_menu installed-menu
taskkill_game
unset ALSOFT_DRIVERS
snapshot > "$OUT_DIR/installed-after.txt"
cmp -s "$OUT_DIR/installed-before.txt" "$OUT_DIR/installed-after.txt" ||
    fail "the game changed Program Files: $(diff "$OUT_DIR/installed-before.txt" "$OUT_DIR/installed-after.txt" | head -5)"
[ -f "$players_file" ] || fail "the game saved no settings in %APPDATA%"
# The same options, in whatever order the save wrote them.
"$kit" rep dump "$install_dir/base/config/bc.rep" | sort > "$OUT_DIR/installed-settings.txt"
"$kit" rep dump "$players_file" | sort > "$OUT_DIR/players-settings.txt"
cmp -s "$OUT_DIR/installed-settings.txt" "$OUT_DIR/players-settings.txt" ||
    fail "the player's settings did not start from the installed ones"

# The kit, with the paths of a Windows player.
(cd "$install_dir" && wine cataclysm-kit.exe rep where) > "$OUT_DIR/kit-where.txt" 2>&1 ||
    fail "cataclysm-kit rep where failed: $(cat "$OUT_DIR/kit-where.txt")"
grep -q "AppData/Roaming/Brindle's Cataclysm/bc.rep" "$OUT_DIR/kit-where.txt" ||
    fail "cataclysm-kit rep where says $(cat "$OUT_DIR/kit-where.txt")"
windows_players_file="C:\\users\\$(whoami)\\AppData\\Roaming\\Brindle's Cataclysm\\bc.rep"
wine "$install_dir/cataclysm-kit.exe" rep set "$windows_players_file" HighScore 4321 > /dev/null 2>&1 ||
    fail "cataclysm-kit rep set with a Windows path failed"
[ "$("$kit" rep get "$players_file" HighScore)" = 4321 ] || fail "the kit did not set the high score"

# The uninstaller copies itself away and returns at once: wait until it has finished.
wine "$install_dir/uninstall.exe" /S > "$OUT_DIR/uninstall.out" 2>&1 ||
    fail "the uninstaller failed: $(cat "$OUT_DIR/uninstall.out")"
deadline=$((SECONDS + 60))
while [ -e "$install_dir" ] || [ -e "$shortcut" ] || wine reg query "$key" /reg:64 > /dev/null 2>&1; do
    [ $SECONDS -lt $deadline ] ||
        fail "the uninstall left: $(find "$install_dir" "$shortcut" 2> /dev/null | head -5 | tr '\n' ' ')"
    sleep 0.5
done
[ "$("$kit" rep get "$players_file" HighScore)" = 4321 ] || fail "the uninstall took the player's settings"
note "uninstalled: nothing left in Program Files, the Start menu or the uninstall keys; the player's settings stay"
write_measurements installed_kib
