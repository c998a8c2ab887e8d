#!/usr/bin/env bash
# Sets up the machine if needed, builds the game and starts it.
set -euo pipefail
cd "$(dirname "$0")"
tools/setup.sh
exec build/bin/brindles-cataclysm
