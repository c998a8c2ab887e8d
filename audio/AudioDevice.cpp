#include "audio/AudioDevice.h"

#include <AL/alext.h>
#include <SDL.h>

#include <atomic>

#include "audio/SoundClip.h"

ALCdevice* AudioDevice = nullptr;
ALCcontext* AudioContext = nullptr;

// Names from the sound cards of the game's first home; OpenAL Soft knows none of them, so on
// Linux the default device is the one that opens.
const char* const PreferredAudioDevices[6] = {
    "Creative Audigy 2", "Creative Audigy", "NVIDIA nForce2",
    "DirectSound3D",     "DirectSound",     "MMSYSTEM",
};

namespace {

// What the watch thread shares with the main thread. The watch only reads WatchedDevice while
// ReopenedDevice is null, and the main thread only closes a device while it is not: so the
// watch never looks at a device that is gone.
std::atomic<ALCdevice*> WatchedDevice{nullptr};
std::atomic<ALCdevice*> ReopenedDevice{nullptr};
std::atomic<bool> WatchEnds{false};
SDL_sem* WatchWakes = nullptr;
SDL_Thread* WatchThread = nullptr;

bool SoundOutputPaused = false;

// The device's pause and resume, from OpenAL Soft's ALC_SOFT_pause_device; null without it.
LPALCDEVICEPAUSESOFT DevicePause = nullptr;
LPALCDEVICERESUMESOFT DeviceResume = nullptr;

void FindPauseFunctions(ALCdevice* device) {
    DevicePause = nullptr;
    DeviceResume = nullptr;
    if (alcIsExtensionPresent(device, "ALC_SOFT_pause_device") == ALC_TRUE) {
        DevicePause =
            reinterpret_cast<LPALCDEVICEPAUSESOFT>(alcGetProcAddress(device, "alcDevicePauseSOFT"));
        DeviceResume = reinterpret_cast<LPALCDEVICERESUMESOFT>(
            alcGetProcAddress(device, "alcDeviceResumeSOFT"));
    }
}

bool Connected(ALCdevice* device) {
    ALCint connected = ALC_TRUE;
    if (device != nullptr) {
        // Without ALC_EXT_disconnect the query fails and leaves the device counted as there.
        alcGetIntegerv(device, ALC_CONNECTED, 1, &connected);
    }
    return connected != ALC_FALSE;
}

// A 44100 Hz context on the device, current, with the listener at the origin facing down -z.
bool MakeContext(ALCdevice* device) {
    const ALCint attributes[3] = {ALC_FREQUENCY, AudioFrequency, 0};
    AudioContext = alcCreateContext(device, attributes);
    if (AudioContext == nullptr) {
        return false;
    }
    alcMakeContextCurrent(AudioContext);
    alListener3f(AL_POSITION, 0.0f, 0.0f, 0.0f);
    const ALfloat orientation[6] = {0.0f, 0.0f, -1.0f, 0.0f, 1.0f, 0.0f};
    alListenerfv(AL_ORIENTATION, orientation);
    FindPauseFunctions(device);
    return true;
}

void ReleaseContext() {
    if (AudioContext != nullptr) {
        alcMakeContextCurrent(nullptr);
        alcDestroyContext(AudioContext);
        AudioContext = nullptr;
    }
    DevicePause = nullptr;
    DeviceResume = nullptr;
}

int WatchAudioDevice(void*) {
    while (!WatchEnds.load()) {
        SDL_SemWaitTimeout(WatchWakes, AudioWatchMilliseconds);
        if (WatchEnds.load() || ReopenedDevice.load() != nullptr) {
            continue;
        }
        // No device at all is what a new one that took no context leaves.
        ALCdevice* device = WatchedDevice.load();
        if (device == nullptr || !Connected(device)) {
            ReopenedDevice.store(alcOpenDevice(nullptr));
        }
    }
    return 0;
}

}  // namespace

bool OpenAudioDevice() {
    AudioDevice = nullptr;
    for (const char* name : PreferredAudioDevices) {
        AudioDevice = alcOpenDevice(name);
        if (AudioDevice != nullptr) {
            break;
        }
    }
    if (AudioDevice == nullptr) {
        AudioDevice = alcOpenDevice(nullptr);
    }
    if (AudioDevice == nullptr) {
        return false;
    }
    return MakeContext(AudioDevice);
}

void CloseAudioDevice() {
    ReleaseContext();
    if (AudioDevice != nullptr) {
        alcCloseDevice(AudioDevice);
        AudioDevice = nullptr;
    }
    SoundOutputPaused = false;
}

bool AudioDeviceConnected() {
    return Connected(AudioDevice);
}

void PauseSoundOutput() {
    if (!SoundOutputPaused && DevicePause != nullptr) {
        DevicePause(AudioDevice);
    }
    SoundOutputPaused = true;
}

void ResumeSoundOutput() {
    if (SoundOutputPaused && DeviceResume != nullptr) {
        DeviceResume(AudioDevice);
    }
    SoundOutputPaused = false;
}

void StartWatchingAudioDevice() {
    if (WatchThread != nullptr || AudioDevice == nullptr) {
        return;
    }
    WatchedDevice.store(AudioDevice);
    WatchEnds.store(false);
    WatchWakes = SDL_CreateSemaphore(0);
    if (WatchWakes != nullptr) {
        WatchThread = SDL_CreateThread(WatchAudioDevice, "audio-watch", nullptr);
    }
    if (WatchThread == nullptr && WatchWakes != nullptr) {
        SDL_DestroySemaphore(WatchWakes);
        WatchWakes = nullptr;
    }
}

void StopWatchingAudioDevice() {
    if (WatchThread != nullptr) {
        WatchEnds.store(true);
        SDL_SemPost(WatchWakes);
        SDL_WaitThread(WatchThread, nullptr);
        WatchThread = nullptr;
        SDL_DestroySemaphore(WatchWakes);
        WatchWakes = nullptr;
    }
    ALCdevice* unused = ReopenedDevice.exchange(nullptr);
    if (unused != nullptr) {
        alcCloseDevice(unused);
    }
    WatchedDevice.store(nullptr);
}

bool AdoptReopenedAudioDevice() {
    ALCdevice* fresh = ReopenedDevice.load();
    if (fresh == nullptr) {
        return false;
    }
    // Clips leave in the reverse of the order they were made and join in that order.
    const std::vector<SoundClip*>& clips = LiveSoundClips();
    for (auto clip = clips.rbegin(); clip != clips.rend(); ++clip) {
        (*clip)->LeaveDevice();
    }
    ReleaseContext();
    if (AudioDevice != nullptr) {
        alcCloseDevice(AudioDevice);
    }
    AudioDevice = fresh;
    // A device that opens but takes no context is lost again: with no device to watch, the
    // watch tries once more.
    if (!MakeContext(fresh)) {
        alcCloseDevice(fresh);
        AudioDevice = nullptr;
    }
    WatchedDevice.store(AudioDevice);
    ReopenedDevice.store(nullptr);
    if (AudioDevice == nullptr) {
        return false;
    }
    if (SoundOutputPaused && DevicePause != nullptr) {
        DevicePause(AudioDevice);
    }
    for (SoundClip* clip : clips) {
        clip->JoinDevice();
    }
    return true;
}
