#!/usr/bin/env bash
# Sets up the machine if needed, builds everything and runs every test, the end-to-end ones
# in a virtual X server included.
set -euo pipefail
cd "$(dirname "$0")"
tools/setup.sh
ctest --test-dir build --output-on-failure -j "$(nproc)"
