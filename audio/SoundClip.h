#pragma once

// Anything the game can load from a sound file, play once or looping, and stop: short effects
// held whole (Wave) and streamed music (OggVorbis). Clips are made with new and deleted by
// their owner.
class SoundClip {
public:
    virtual ~SoundClip() = default;

    // Loads the file at a path relative to the asset root; false when it cannot be opened.
    virtual bool Load(const char* path) = 0;
    // Starts the clip from its beginning.
    virtual void Play(bool loop) = 0;
    virtual void Stop() = 0;
};
