#!/usr/bin/env bash
# The whole program from the presenter screen to Escape, drawing with the fixed-function path.
GLSL=0
source "$(dirname "$0")/program_scenario.sh"
