#!/usr/bin/env bash
# One minute of the monkey test (half on each drawing path), so every test run still sends the
# game random input; tests/e2e/monkey.sh runs it for longer.
exec bash "$(dirname "$0")/monkey.sh" "$1" "$2" 60
