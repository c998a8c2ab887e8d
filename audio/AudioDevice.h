#pragma once
#include "audio/ALEntryPoints.h"

// The output device and context, opened at start-up. When the device is lost (the sound server
// stopped, crashed or moved the game elsewhere), the game goes on silently and moves every
// sound onto the default device as soon as one opens again.
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

// False once the device says it is lost; true while it plays, or when it cannot tell.
bool AudioDeviceConnected();

// Every sound stands still where it is, and goes on from there: the game is out of sight.
// Nothing happens on a device that cannot pause. Main thread.
void PauseSoundOutput();
void ResumeSoundOutput();

// A thread of its own looks at the device a few times a second; once it is lost, the thread
// tries the default device at each look until one opens, and leaves it for the main thread.
// Started after OpenAudioDevice, stopped before CloseAudioDevice.
void StartWatchingAudioDevice();
void StopWatchingAudioDevice();
constexpr unsigned AudioWatchMilliseconds = 250;

// Main thread, once a frame: when the watch has opened a new device, moves every sound onto it:
// each clip gives up what it made on the lost device, the old context and device go, a new
// context is made on the new device, and each clip is made anew there (every effect uploaded
// again, the music going on from the point it had reached). True when it moved.
bool AdoptReopenedAudioDevice();
