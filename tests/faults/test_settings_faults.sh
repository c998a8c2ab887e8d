#!/usr/bin/env bash
# The settings file survives a save that is killed, a full disk and a read-only folder; an
# ordinary player learns what stops the game from saving: see tests/faults/settings_faults.py.
# Runs in a private mount namespace when it can, so its tmpfs mounts never outlive it.
set -euo pipefail
script="$(dirname "$0")/settings_faults.py"
if [ "$(id -u)" -eq 0 ] && unshare -m true 2> /dev/null; then
    exec unshare -m python3 "$script" "$1" "$2"
fi
exec python3 "$script" "$1" "$2"
