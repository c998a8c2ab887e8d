#!/usr/bin/env bash
# Installs the Debian packages that are missing, then configures and builds into build/. Quick
# when nothing changed.
#   tools/setup.sh play   what playing needs: the game, its forged assets and the kit
#   tools/setup.sh test   everything: the tests, benchmarks, sanitizer and fuzz builds, the
#                         end-to-end tools and the packaging tools, and every target
#   tools/setup.sh windows  the Windows build, made here: MinGW-w64, Wine, NSIS and zip, the
#                         Windows libraries cross-built once into build-windows/prefix, the game,
#                         the kit and the unit tests cross-built into build-windows/game (with the
#                         assets the Linux forge makes in build/), and the portable zip and the
#                         installer in build-windows/
set -euo pipefail
cd "$(dirname "$0")/.."
mode=${1:-}

PLAY_PACKAGES=(
    # build the game, the forge and the kit
    build-essential cmake ninja-build pkg-config
    libsdl2-dev libvorbis-dev libopenal-dev libgl-dev libcairo2-dev libpng-dev fonts-dejavu-core
    # run: OpenAL Soft and Mesa's OpenGL are loaded at run time
    libopenal1 libgl1 libgl1-mesa-dri
)
TEST_PACKAGES=(
    "${PLAY_PACKAGES[@]}"
    # tests and benchmarks
    libgtest-dev libgmock-dev libbenchmark-dev libstb-dev python3
    xvfb xauth xdotool x11-apps x11-utils imagemagick sox desktop-file-utils
    # the native Wayland scenario: a headless compositor, its screenshots and keys, and the EGL
    # that SDL's Wayland driver draws through (only recommended by libegl1)
    sway grim wtype libegl-mesa0
    # a real window manager to hide the game's window, and a real sound server to restart
    openbox xterm pulseaudio pulseaudio-utils
    # fuzzing (libFuzzer) and the sanitizer builds
    clang libclang-rt-14-dev
    # sound files made by others, which the sound tests load when present
    alsa-utils sound-theme-freedesktop
    # the Debian package and its checks
    debhelper dpkg-dev lintian appstream
)

WINDOWS_PACKAGES=(
    "${PLAY_PACKAGES[@]}"
    # the cross compilers (only the posix-thread ones have std::thread), the Windows libraries'
    # sources and their checks, GoogleTest's sources for the cross-built tests
    g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix debian-archive-keyring xz-utils
    libgtest-dev libgmock-dev
    # running the Windows programs, and packing them
    wine wine64 nsis zip
)

case "$mode" in
    play) packages=("${PLAY_PACKAGES[@]}") ;;
    test) packages=("${TEST_PACKAGES[@]}") ;;
    windows) packages=("${WINDOWS_PACKAGES[@]}") ;;
    *)
        echo "usage: tools/setup.sh play|test|windows" >&2
        exit 2
        ;;
esac

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

if [ "$mode" = windows ]; then
    exec tools/windows/build.sh
fi

configure=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
[ -f build/CMakeCache.txt ] || configure+=(-G Ninja)
if [ "$mode" = test ]; then
    configure+=(-DBUILD_TESTING=ON)
    targets=()
else
    # A folder that test.sh configured keeps its tests; a new one is made without them, since
    # GoogleTest is not installed for playing.
    [ -f build/CMakeCache.txt ] || configure+=(-DBUILD_TESTING=OFF)
    targets=(--target brindles-cataclysm cataclysm-kit assets)
fi
cmake -S . -B build "${configure[@]}" > /dev/null
cmake --build build -j "$(nproc)" "${targets[@]}"
