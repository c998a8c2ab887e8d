#!/usr/bin/env bash
# Sets up the machine for playing if needed (only what building and running the game needs),
# builds the game, its assets and the kit, and starts it.
set -euo pipefail
cd "$(dirname "$0")"
tools/setup.sh play
exec build/bin/brindles-cataclysm
