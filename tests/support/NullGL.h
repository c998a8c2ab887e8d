#pragma once

// A stand-in for OpenGL that does nothing at all: every slot of both published tables returns
// zero at once. Benchmarks time the processor's side of drawing code with it.
namespace NullGL {

void Install();
void Uninstall();

}  // namespace NullGL
