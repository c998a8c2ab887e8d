#pragma once
#include <vector>

// Anything the game can load from a sound file, play once or looping, and stop: short effects
// held whole (Wave) and streamed music (OggVorbis). Clips are made with new and deleted by
// their owner, on the main thread; each one alive is listed, so that all of them can move to a
// new output device when the old one is lost.
class SoundClip {
public:
    SoundClip();
    virtual ~SoundClip();
    SoundClip(const SoundClip&) = delete;
    SoundClip& operator=(const SoundClip&) = delete;

    // Loads the file at a path relative to the asset root; false when it cannot be opened.
    virtual bool Load(const char* path) = 0;
    // Starts the clip from its beginning.
    virtual void Play(bool loop) = 0;
    virtual void Stop() = 0;

    // The output device is being replaced. LeaveDevice gives up what the clip made on the old
    // one, while that is still current, noting what was playing; JoinDevice makes it anew on the
    // new device, where a clip that was looping plays on and a stream goes on from where it was.
    virtual void LeaveDevice() = 0;
    virtual void JoinDevice() = 0;
};

// Every clip alive, in the order they were made.
const std::vector<SoundClip*>& LiveSoundClips();
