#pragma once
#include <string>
#include <vector>

#include "render/GLEntryPoints.h"
#include "tests/support/CallRecorder.h"

// A stand-in for OpenGL: fills the published tables with recorders, so drawing code runs
// without a context and tests read back what it asked for. Object names (textures, lists,
// shaders, programs) are handed out from 1 upwards; shaders compile and programs link.
namespace RecordingGL {

void Install();    // fills both published tables with recorders and clears the log
void Uninstall();  // empties both published tables

std::vector<RecordedCall>& Calls();
void ClearCalls();

// The recorded calls of one function, in order.
std::vector<RecordedCall> CallsTo(const std::string& name);

// The names of every recorded call, in order.
std::vector<std::string> CallNames();

}  // namespace RecordingGL
