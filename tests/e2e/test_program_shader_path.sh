#!/usr/bin/env bash
# The whole program from the presenter screen to Escape, drawing with the shader path.
GLSL=1
source "$(dirname "$0")/program_scenario.sh"
