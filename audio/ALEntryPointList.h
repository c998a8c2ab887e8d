// Made by tools/make_entry_point_lists.py from the system's Khronos headers; do not edit.
// clang-format off
#pragma once

// The 73 al functions of OpenAL 1.1, in header order.
#define AL_ENTRY_POINTS(X) \
    X(alEnable) \
    X(alDisable) \
    X(alIsEnabled) \
    X(alGetString) \
    X(alGetBooleanv) \
    X(alGetIntegerv) \
    X(alGetFloatv) \
    X(alGetDoublev) \
    X(alGetBoolean) \
    X(alGetInteger) \
    X(alGetFloat) \
    X(alGetDouble) \
    X(alGetError) \
    X(alIsExtensionPresent) \
    X(alGetProcAddress) \
    X(alGetEnumValue) \
    X(alListenerf) \
    X(alListener3f) \
    X(alListenerfv) \
    X(alListeneri) \
    X(alListener3i) \
    X(alListeneriv) \
    X(alGetListenerf) \
    X(alGetListener3f) \
    X(alGetListenerfv) \
    X(alGetListeneri) \
    X(alGetListener3i) \
    X(alGetListeneriv) \
    X(alGenSources) \
    X(alDeleteSources) \
    X(alIsSource) \
    X(alSourcef) \
    X(alSource3f) \
    X(alSourcefv) \
    X(alSourcei) \
    X(alSource3i) \
    X(alSourceiv) \
    X(alGetSourcef) \
    X(alGetSource3f) \
    X(alGetSourcefv) \
    X(alGetSourcei) \
    X(alGetSource3i) \
    X(alGetSourceiv) \
    X(alSourcePlayv) \
    X(alSourceStopv) \
    X(alSourceRewindv) \
    X(alSourcePausev) \
    X(alSourcePlay) \
    X(alSourceStop) \
    X(alSourceRewind) \
    X(alSourcePause) \
    X(alSourceQueueBuffers) \
    X(alSourceUnqueueBuffers) \
    X(alGenBuffers) \
    X(alDeleteBuffers) \
    X(alIsBuffer) \
    X(alBufferData) \
    X(alBufferf) \
    X(alBuffer3f) \
    X(alBufferfv) \
    X(alBufferi) \
    X(alBuffer3i) \
    X(alBufferiv) \
    X(alGetBufferf) \
    X(alGetBuffer3f) \
    X(alGetBufferfv) \
    X(alGetBufferi) \
    X(alGetBuffer3i) \
    X(alGetBufferiv) \
    X(alDopplerFactor) \
    X(alDopplerVelocity) \
    X(alSpeedOfSound) \
    X(alDistanceModel)

// The 20 alc functions of OpenAL 1.1, capture included, in header order.
#define ALC_ENTRY_POINTS(X) \
    X(alcCreateContext) \
    X(alcMakeContextCurrent) \
    X(alcProcessContext) \
    X(alcSuspendContext) \
    X(alcDestroyContext) \
    X(alcGetCurrentContext) \
    X(alcGetContextsDevice) \
    X(alcOpenDevice) \
    X(alcCloseDevice) \
    X(alcGetError) \
    X(alcIsExtensionPresent) \
    X(alcGetProcAddress) \
    X(alcGetEnumValue) \
    X(alcGetString) \
    X(alcGetIntegerv) \
    X(alcCaptureOpenDevice) \
    X(alcCaptureCloseDevice) \
    X(alcCaptureStart) \
    X(alcCaptureStop) \
    X(alcCaptureSamples)
