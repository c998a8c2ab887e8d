#!/usr/bin/env bash
# Sets up the machine if needed, builds everything and runs every test:
#   1. build/ (g++): the unit tests and, in a virtual X server, the end-to-end ones (the Debian
#      package built, installed and played among them, when run as root);
#   2. build-asan/ (clang, AddressSanitizer + UndefinedBehaviorSanitizer): the unit tests, a
#      short run of every fuzz target, and a minute of the monkey test with leak detection;
#   3. build-tsan/ (g++, ThreadSanitizer): the unit tests;
#   4. build-windows/ (MinGW-w64, see tools/setup.sh windows): the unit tests under Wine, and
#      the zip and the installer played under Wine in a virtual X server.
# Each part prints how long it took. Every build folder is kept, so a second run is quick.
set -euo pipefail
cd "$(dirname "$0")"

started=$SECONDS
part_started=$SECONDS
took() {
    echo "test.sh: $1 took $((SECONDS - part_started)) s"
    part_started=$SECONDS
}

tools/setup.sh test
took "setting up and building build/"
ctest --test-dir build --output-on-failure -j "$(nproc)"
took "the tests in build/"

# Configures a sanitizer build folder once; later runs only build what changed.
configure() {
    local folder=$1
    shift
    [ -f "$folder/CMakeCache.txt" ] ||
        cmake -S . -B "$folder" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" > /dev/null
}

configure build-asan -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DCATACLYSM_FUZZ=ON
cmake --build build-asan -j "$(nproc)" --target cataclysm-tests assets fuzz brindles-cataclysm \
    cataclysm-kit
took "building build-asan/"
ctest --test-dir build-asan --output-on-failure -j "$(nproc)" -LE e2e
took "the unit tests and short fuzz runs in build-asan/"
tests/e2e/sanitized.sh tests/e2e/test_monkey.sh build-asan/bin build-asan/e2e-output/monkey
took "the monkey test on the game built with AddressSanitizer"

configure build-tsan -DCATACLYSM_SANITIZE=thread
cmake --build build-tsan -j "$(nproc)" --target cataclysm-tests
# The tests read the forged assets beside them: those of build/ serve, so the forge is neither
# built nor run again under ThreadSanitizer.
[ -L build-tsan/bin/base ] || rm -rf build-tsan/bin/base
ln -sfn "$PWD/build/bin/base" build-tsan/bin/base
took "building build-tsan/"
ctest --test-dir build-tsan --output-on-failure -j "$(nproc)" -LE e2e
took "the unit tests in build-tsan/"

tools/setup.sh windows
took "setting up and building build-windows/"
source tools/windows/wine-env.sh
start_wine
# One test at a time: of Wine programs started at the same moment, one now and then fails before
# it runs (2 runs in 25 with two at a time here, none in 30 one at a time).
ctest --test-dir build-windows/game --output-on-failure -LE e2e
stop_wine
took "the unit tests under Wine"
ctest --test-dir build-windows/game --output-on-failure -L e2e
took "the Windows scenarios under Wine"

echo "test.sh: everything took $((SECONDS - started)) s"
