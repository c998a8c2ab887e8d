#pragma once
#include "audio/ALEntryPoints.h"

// The output device and context, opened once at start-up and left to the system at exit.
extern ALCdevice* AudioDevice;
extern ALCcontext* AudioContext;

// Device names tried in order before the default device (a null name).
extern const char* const PreferredAudioDevices[6];

constexpr ALCint AudioFrequency = 44100;

// Opens the first device of the preference list that opens, falling back to the default one,
// creates a 44100 Hz context, makes it current and places the listener at the origin facing
// down -z with y up. False when no device opens or the context cannot be created.
bool OpenAudioDevice();

// Releases the context and closes the device. The teardown calls it before OpenAL Soft is
// unloaded: its mixer thread must not outlive the library's code.
void CloseAudioDevice();
