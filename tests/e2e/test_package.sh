#!/usr/bin/env bash
# The Debian packages built from this tree, checked by lintian, appstreamcli and
# desktop-file-validate (any error or warning fails), installed with apt-get and played by an
# added user (a game from Start, SIGTERM in the level), whose ~/.config/brindles-cataclysm/bc.rep
# must hold the desktop size; a second user and root get fresh files of their own, and the
# installed folders stay as the packages left them. Removing the programs leaves none of their
# files and the data whole; purging the data too leaves nothing of the game below /usr, and every
# player's file. Needs root; users and packages are removed whatever happens.
source "$(dirname "$0")/lib.sh"
need_root "installing a package and adding users"
source_root="$(cd "$(dirname "$0")/../.." && pwd)"
build=$(cd "$BIN_DIR/.." && pwd)
package_name=brindles-cataclysm
data_name=brindles-cataclysm-data
# Fails unless dpkg knows neither package, or knows them as not installed; $1 says when.
expect_neither_package() {
    local name state
    for name in "$package_name" "$data_name"; do
        state=$(dpkg-query -W -f='${db:Status-Status}' "$name" 2>/dev/null || true)
        [ -z "$state" ] || [ "$state" = not-installed ] || fail "dpkg has $name as $state $1"
    done
}
expect_neither_package "before the test: remove it first"

# Everything the players touch lives in a folder every user can reach, whatever the clone's.
shared=$(mktemp -d /tmp/cataclysm-package-XXXXXX)
chmod 755 "$shared"
players=("bcpkg$$a" "bcpkg$$b")
installed=""
package_cleanup() {
    cleanup
    [ -n "$installed" ] && { dpkg --purge "$package_name" "$data_name" > /dev/null 2>&1 || true; }
    for player in "${players[@]}"; do
        id "$player" > /dev/null 2>&1 && userdel "$player" 2> /dev/null
    done
    rm -rf "$shared"
    return 0
}
trap package_cleanup EXIT

started=$SECONDS
debs=$("$source_root/tools/make_package.sh" "$build") || fail "tools/make_package.sh failed"
mapfile -t debs <<< "$debs"
[ "${#debs[@]}" = 2 ] || fail "tools/make_package.sh printed ${#debs[@]} packages, not 2"
note "built $(basename -a "${debs[@]}" | tr '\n' ' ')in $((SECONDS - started)) s"
lintian --fail-on error,warning -I "${debs[@]}" > "$OUT_DIR/lintian.txt" 2>&1 ||
    fail "lintian: $(grep -v '^running with root' "$OUT_DIR/lintian.txt")"
note "lintian: $(grep -c '^I:' "$OUT_DIR/lintian.txt" || true) informational tags (lintian.txt)"

DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${debs[@]}" \
    > "$OUT_DIR/apt-install.log" 2>&1 || fail "apt-get install failed: $(tail -n 5 "$OUT_DIR/apt-install.log")"
installed=yes
for name in "$package_name" "$data_name"; do
    dpkg-query -L "$name" > "$OUT_DIR/files-$name.txt"
done
game_folder=/usr/lib/games/$package_name
data_folder=/usr/share/games/$package_name
desktop=/usr/share/applications/$package_name.desktop
for file in /usr/games/$package_name /usr/games/cataclysm-kit $desktop \
    /usr/share/icons/hicolor/scalable/apps/$package_name.svg \
    /usr/share/man/man6/$package_name.6.gz /usr/share/man/man1/cataclysm-kit.1.gz \
    /usr/share/doc/$package_name/copyright "$data_folder/base/config/bc.rep"; do
    [ -e "$file" ] || fail "the package did not install $file"
done
for size in 16 32 48 64 128 256 512; do
    icon=/usr/share/icons/hicolor/${size}x$size/apps/$package_name.png
    [ "$(/usr/bin/identify -format '%m %wx%h' "$icon")" = "PNG ${size}x$size" ] ||
        fail "$icon is not a $size px PNG"
done
# The desktop entry and the metainfo: no error, no warning.
desktop-file-validate "$desktop" > "$OUT_DIR/desktop-file-validate.txt" 2>&1 &&
    ! grep -qE '(error|warning):' "$OUT_DIR/desktop-file-validate.txt" ||
    fail "desktop-file-validate: $(cat "$OUT_DIR/desktop-file-validate.txt")"
metainfo=$(ls /usr/share/metainfo/*.metainfo.xml | grep -i cataclysm)
appstreamcli validate --no-net "$metainfo" > "$OUT_DIR/appstream.txt" 2>&1 &&
    ! grep -qE '^(E|W):' "$OUT_DIR/appstream.txt" ||
    fail "appstreamcli validate: $(cat "$OUT_DIR/appstream.txt")"
version=$(dpkg-query -W -f='${Version}' "$package_name")
grep -q "^Depends:.*$data_name (= $version).*libopenal1.*libgl1" <(dpkg-query -s "$package_name") ||
    fail "the package does not depend on $data_name (= $version), libopenal1 and libgl1"

# What the package put below /usr, to compare with after the runs.
list_installed() { find "$game_folder" "$data_folder" -printf '%p %s %T@\n' | sort; }
list_installed > "$OUT_DIR/installed-before.txt"

start_display
log_frames
cp "$OUT_DIR/frame_log.so" "$shared/"
GAME_PRELOAD="$shared/frame_log.so"
unset CATACLYSM_FRAME_LOG
export ALSOFT_DRIVERS=null
GAME=/usr/games/$package_name
kit=/usr/games/cataclysm-kit  # root's PATH has no /usr/games

# Sets GAME_WRAPPER so that the next game runs as user $1 (root included) with the home folder
# $2, no XDG_CONFIG_HOME, a runtime folder and a frame log of its own.
play_as() {
    local player=$1 home=$2 runtime="$shared/runtime-$1"
    mkdir -p -m 0700 "$runtime"
    FRAME_LOG="$shared/frames-$player.log"
    : > "$FRAME_LOG"
    chown "$player:" "$runtime" "$FRAME_LOG"
    GAME_WRAPPER=(setpriv --reuid="$player" --regid="$(id -g "$player")" --init-groups --
        env -u XDG_CONFIG_HOME HOME="$home" USER="$player" LOGNAME="$player"
        XDG_RUNTIME_DIR="$runtime" CATACLYSM_FRAME_LOG="$FRAME_LOG")
}

for player in "${players[@]}"; do
    useradd --create-home --home-dir "$shared/home-$player" --shell /usr/sbin/nologin "$player" ||
        fail "cannot add the user $player"
done
first=${players[0]}
first_home="$shared/home-$first"
first_file="$first_home/.config/$package_name/bc.rep"

# The first player: a game from Start, ended by SIGTERM in the level.
play_as "$first" "$first_home"
start_to_menu menu-first-player
move_mouse 0 -50
play_from_start > /dev/null
sleep 0.5
at_least "$(screenshot playing)" 0.01 || fail "the level is black"
end_by_signals TERM
[ "$(stat -c '%U %a' "$first_home/.config/$package_name")" = "$first 700" ] ||
    fail "the settings folder is not the player's alone"
settings_hold "$first_file" ScreenWidth=1024 ScreenHeight=768 GLSL=1 Sound=1 HighScore=0
# A value of the first player's own, which the second must not see.
high_score=4242
settings_set "$first_file" HighScore=$high_score

# The second player starts from the installed defaults, whatever the first one did.
second=${players[1]}
second_file="$shared/home-$second/.config/$package_name/bc.rep"
play_as "$second" "$shared/home-$second"
start_to_menu menu-second-player
quit_from_menu
settings_hold "$second_file" ScreenWidth=1024 ScreenHeight=768 HighScore=0
settings_hold "$first_file" HighScore="$high_score"

# Root, whom no permission bits stop, keeps its file in its own home too, not below /usr.
mkdir -p "$shared/home-root"
play_as root "$shared/home-root"
start_to_menu menu-root
quit_from_menu
settings_hold "$shared/home-root/.config/$package_name/bc.rep" ScreenWidth=1024 HighScore=0

list_installed > "$OUT_DIR/installed-after.txt"
diff "$OUT_DIR/installed-before.txt" "$OUT_DIR/installed-after.txt" > /dev/null ||
    fail "the installed folders changed: $(diff "$OUT_DIR/installed-before.txt" "$OUT_DIR/installed-after.txt" | head -n 5)"
verify_packages() {
    dpkg --verify "$@" > "$OUT_DIR/verify.txt" || fail "dpkg --verify: $(cat "$OUT_DIR/verify.txt")"
}
verify_packages "$package_name" "$data_name"

# Fails when a file that package $1 listed at install time is still there after $2.
none_left() {
    while read -r path; do
        case "$path" in
            *brindles-cataclysm* | *cataclysm-kit*) ;;
            *) [ -d "$path" ] && continue ;;  # a folder other packages share, such as /usr/share
        esac
        [ ! -e "$path" ] && [ ! -L "$path" ] || fail "$2 left $path"
    done < "$OUT_DIR/files-$1.txt"
}
# The programs go alone: every file of theirs with them (the link base/ too), the data stays.
DEBIAN_FRONTEND=noninteractive apt-get remove -y "$package_name" > "$OUT_DIR/remove.log" 2>&1 ||
    fail "apt-get remove failed: $(tail -n 5 "$OUT_DIR/remove.log")"
none_left "$package_name" "apt-get remove $package_name"
verify_packages "$data_name"
# Then the data, and purging it leaves nothing of the game below /usr.
DEBIAN_FRONTEND=noninteractive apt-get purge -y "$data_name" > "$OUT_DIR/purge.log" 2>&1 ||
    fail "apt-get purge failed: $(tail -n 5 "$OUT_DIR/purge.log")"
installed=""
none_left "$data_name" "apt-get purge $data_name"
expect_neither_package "after the purge"
[ ! -e "$game_folder" ] && [ ! -e "$data_folder" ] ||
    fail "the purge left $game_folder or $data_folder"
for file in "$first_file" "$second_file"; do
    [ -f "$file" ] || fail "removing the package took $file"
done
note "packages built, checked, installed, played by two users and root, removed and purged: ok"
