#!/usr/bin/env bash
# The Windows build, once tools/setup.sh windows has installed its packages: the assets from
# the Linux forge in build/, the Windows libraries in build-windows/prefix, the game, the kit
# and the unit tests in build-windows/game, then the zip and the installer. Each step says how
# long it took; a second run reuses what is built.
set -euo pipefail
cd "$(dirname "$0")/../.."
source tools/windows/wine-env.sh

step_started=$SECONDS
took() {
    echo "windows: $1 took $((SECONDS - step_started)) s"
    step_started=$SECONDS
}

# The forge and the kit run on Linux: the assets are the same files on every system.
linux_configure=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
[ -f build/CMakeCache.txt ] || linux_configure+=(-G Ninja -DBUILD_TESTING=OFF)
cmake -S . -B build "${linux_configure[@]}" > /dev/null
cmake --build build -j "$(nproc)" --target assets cataclysm-kit
took "the assets and the kit on Linux"

tools/windows/build-libraries.sh build-windows
took "the Windows libraries"

# A display is not needed to build: the tests are listed through Wine without one. The server
# started here is ended again below, so that a run with a display starts its own.
start_wine
took "the Wine prefix"

if [ ! -f build-windows/game/CMakeCache.txt ]; then
    cmake -S . -B build-windows/game -G Ninja -DCMAKE_TOOLCHAIN_FILE=tools/windows/MinGW.cmake \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=ON \
        -DCATACLYSM_FORGED_ASSETS="$PWD/build/bin/base" > /dev/null
fi
cmake --build build-windows/game -j "$(nproc)"
stop_wine
took "the game, the kit and the unit tests for Windows"

tools/windows/pack.sh build-windows/game build build-windows
took "the zip and the installer"
