#include "audio/AudioDevice.h"

ALCdevice* AudioDevice = nullptr;
ALCcontext* AudioContext = nullptr;

// Names from the sound cards of the game's first home; OpenAL Soft knows none of them, so on
// Linux the default device is the one that opens.
const char* const PreferredAudioDevices[6] = {
    "Creative Audigy 2", "Creative Audigy", "NVIDIA nForce2",
    "DirectSound3D",     "DirectSound",     "MMSYSTEM",
};

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
    const ALCint attributes[3] = {ALC_FREQUENCY, AudioFrequency, 0};
    AudioContext = alcCreateContext(AudioDevice, attributes);
    if (AudioContext == nullptr) {
        return false;
    }
    alcMakeContextCurrent(AudioContext);
    alListener3f(AL_POSITION, 0.0f, 0.0f, 0.0f);
    const ALfloat orientation[6] = {0.0f, 0.0f, -1.0f, 0.0f, 1.0f, 0.0f};
    alListenerfv(AL_ORIENTATION, orientation);
    return true;
}

void CloseAudioDevice() {
    if (AudioContext != nullptr) {
        alcMakeContextCurrent(nullptr);
        alcDestroyContext(AudioContext);
        AudioContext = nullptr;
    }
    if (AudioDevice != nullptr) {
        alcCloseDevice(AudioDevice);
        AudioDevice = nullptr;
    }
}
