#pragma once
#include <string>

#include "audio/Wave.h"

// Why the game would leave a WAV clip silent, in a few words; empty when it would play it.
std::string WaveProblem(const WaveLayout& layout);
