#include "audio/SoundClip.h"

#include <algorithm>

namespace {

std::vector<SoundClip*>& Clips() {
    static std::vector<SoundClip*> clips;
    return clips;
}

}  // namespace

SoundClip::SoundClip() {
    Clips().push_back(this);
}

SoundClip::~SoundClip() {
    std::vector<SoundClip*>& clips = Clips();
    clips.erase(std::remove(clips.begin(), clips.end(), this), clips.end());
}

const std::vector<SoundClip*>& LiveSoundClips() {
    return Clips();
}
