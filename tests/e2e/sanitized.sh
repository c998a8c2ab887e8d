#!/usr/bin/env bash
# Runs an end-to-end scenario against a game built with AddressSanitizer (build-asan/), with
# leak detection on:
#
#   tests/e2e/sanitized.sh SCENARIO BIN_DIR OUT_DIR [MORE ARGUMENTS OF THE SCENARIO]
#
# A memory error or undefined behaviour ends the game at once with a report on stderr, and a
# leak found at exit makes its status non-zero, so the scenario fails on any of them. Leaks
# inside the system's libraries are suppressed by tests/lsan.supp, which names those libraries;
# the ones the game loads and unloads at run time (OpenGL with Mesa's driver, OpenAL Soft) are
# preloaded here so that they stay mapped until the leak check and a report can name them.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
scenario=$1
shift

keep_loaded="libGL.so.1 libopenal.so.1"
driver=$(find /usr/lib -path '*/dri/swrast_dri.so' 2> /dev/null | head -n 1)
[ -z "$driver" ] || keep_loaded="$keep_loaded $driver"
export E2E_KEEP_LOADED="$keep_loaded"
export ASAN_OPTIONS="detect_leaks=1"
export LSAN_OPTIONS="suppressions=$here/../lsan.supp:print_suppressions=0"
exec bash "$scenario" "$@"
