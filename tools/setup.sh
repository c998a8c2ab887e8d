#!/usr/bin/env bash
# Installs whatever Debian packages the game, its tools and its tests need and are missing,
# then configures and builds everything into build/. Quick when nothing changed.
set -euo pipefail
cd "$(dirname "$0")/.."

PACKAGES=(
    # build
    build-essential cmake ninja-build pkg-config python3
    libsdl2-dev libvorbis-dev libopenal-dev libgl-dev libcairo2-dev libpng-dev libstb-dev
    fonts-dejavu-core
    # run: OpenAL Soft and Mesa's OpenGL are loaded at run time
    libopenal1 libgl1 libgl1-mesa-dri
    # tests and benchmarks
    libgtest-dev libgmock-dev libbenchmark-dev
    xvfb xauth xdotool x11-apps x11-utils imagemagick sox desktop-file-utils
    # fuzzing (libFuzzer) and the sanitizer builds
    clang libclang-rt-14-dev
    # sound files made by others, which the sound tests load when present
    alsa-utils sound-theme-freedesktop
)

missing=()
for package in "${PACKAGES[@]}"; do
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

generator=()
[ -f build/CMakeCache.txt ] || generator=(-G Ninja)
cmake -S . -B build "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build build -j "$(nproc)"
