// The game's two music tracks, composed here note by note, rendered by the forge's synthesiser
// and encoded as Ogg Vorbis: a calm, spacious piece for the main menu and an upbeat electronic
// one for level play. Both loop: everything that rings past the end is heard at the start.
#include <algorithm>
#include <cstdio>
#include <vector>

#include "tools/forge/ForgeStep.h"
#include "tools/forge/SoundEncoding.h"
#include "tools/forge/Synth.h"

namespace {

constexpr float MusicQuality = 0.4f;  // about 128 kbit/s

// A chord: the bass note and four notes for pads, arpeggios and bells.
struct Chord {
    int bass;
    int notes[4];
};

// Calls visit(step, velocity) for each hit of a 16-step pattern: 'X' accented, 'x' normal,
// 'o' soft, anything else a rest.
template <typename Visit>
void ForEachHit(const char* steps, Visit visit) {
    for (int step = 0; step < 16 && steps[step] != '\0'; ++step) {
        char mark = steps[step];
        float velocity = mark == 'X' ? 1.0f : mark == 'x' ? 0.75f : mark == 'o' ? 0.45f : 0.0f;
        if (velocity > 0.0f) {
            visit(step, velocity);
        }
    }
}

// The buses of a piece: the dry mix and the sends to its reverb and its echo. Instruments are
// rendered one at a time into the same scratch track and mixed into the buses, so only a few
// whole-length tracks are ever alive.
class Mixer {
public:
    explicit Mixer(size_t frames)
        : dry(frames), reverbSend(frames), delaySend(frames), stem(frames) {}

    // Renders one instrument with render(track) and mixes it at a level, with its sends.
    template <typename Render>
    void Add(float level, float reverb, float delay, Render render) {
        std::fill(stem.left.begin(), stem.left.end(), 0.0f);
        std::fill(stem.right.begin(), stem.right.end(), 0.0f);
        render(stem);
        dry.Mix(stem, level);
        reverbSend.Mix(stem, reverb);
        delaySend.Mix(stem, delay);
    }

    StereoTrack dry, reverbSend, delaySend;

private:
    StereoTrack stem;
};

// The upbeat electronic track of level play: 128 beats a minute, A minor, 48 bars (90
// seconds). It builds from a filtered arpeggio over the kick, through a bass groove, two
// statements of the theme and a breakdown with a riser, to a bridge in a new progression, a
// reprise and an outro whose tom fill leads back into the opening.
class UpbeatTech {
public:
    enum class Section { Intro, Groove, Theme, Variation, Breakdown, Bridge, Reprise, Outro };

    static constexpr int Bars = 48;

    static Section SectionOf(int bar) {
        if (bar < 4)
            return Section::Intro;
        if (bar < 12)
            return Section::Groove;
        if (bar < 20)
            return Section::Theme;
        if (bar < 28)
            return Section::Variation;
        if (bar < 32)
            return Section::Breakdown;
        if (bar < 40)
            return Section::Bridge;
        if (bar < 44)
            return Section::Reprise;
        return Section::Outro;
    }

    static const Chord& ChordOf(int bar) {
        static const Chord Am{45, {57, 60, 64, 69}};
        static const Chord F{41, {57, 60, 65, 69}};
        static const Chord C{48, {55, 60, 64, 67}};
        static const Chord G{43, {55, 59, 62, 67}};
        static const Chord Em{40, {55, 59, 64, 67}};
        static const Chord* const Verse[4] = {&Am, &F, &C, &G};
        static const Chord* const Bridge[4] = {&F, &G, &Em, &Am};
        return SectionOf(bar) == Section::Bridge ? *Bridge[bar % 4] : *Verse[bar % 4];
    }

    static constexpr const char* ThemeOpening =
        "E5:3 C5:3 A4:2 B4:2 C5:2 D5:2 E5:2 | F5:3 E5:3 C5:2 A4:6 -:2 | "
        "G5:3 E5:3 C5:2 D5:2 E5:2 G5:2 E5:2 | D5:6 B4:2 G4:4 -:4";
    static constexpr const char* ThemeClose =
        "E5:3 C5:3 A4:2 B4:2 C5:2 D5:2 E5:2 | F5:3 A5:3 G5:2 F5:2 E5:2 C5:4 | "
        "E5:3 G5:3 C6:2 B5:2 G5:2 E5:4 | D5:4 E5:2 D5:2 B4:8";
    static constexpr const char* ThemeTwo =
        "A5:2 G5:2 E5:2 A5:2 G5:2 E5:2 D5:2 E5:2 | C5:2 A4:2 C5:2 F5:4 E5:2 C5:2 -:2 | "
        "E5:2 G5:2 C6:4 B5:2 G5:2 E5:4 | D5:2 G5:2 B5:4 A5:2 G5:2 D5:4 | "
        "A5:2 G5:2 E5:2 A5:2 G5:2 E5:2 D5:2 E5:2 | F5:4 E5:2 F5:2 A5:4 G5:2 F5:2 | "
        "E5:2 D5:2 C5:2 E5:2 G5:4 E5:4 | D5:6 E5:2 B4:8";
    static constexpr const char* BridgeTheme =
        "A5:6 G5:2 F5:4 E5:4 | D5:6 E5:2 G5:8 | B5:6 A5:2 G5:4 E5:4 | A5:12 -:4 | "
        "A5:4 C6:4 B5:2 A5:2 G5:4 | B5:4 D6:4 C6:2 B5:2 G5:4 | E6:6 D6:2 B5:4 G5:4 | A5:16";

    UpbeatTech() : time(128.0), frames(time.Frame(Bars * 4.0)), noise(0xC47Au), feel(0x5EEDu) {}

    bool Compose(std::vector<float>& out) {
        WriteParts();
        if (!lead.ok || !bells.ok) {
            return false;
        }
        Mixer mixer(frames);
        mixer.Add(0.85f, 0.05f, 0.0f, [&](StereoTrack& track) { RenderDrums(track); });
        mixer.Add(1.2f, 0.0f, 0.0f, [&](StereoTrack& track) { RenderHats(track); });
        mixer.Add(0.8f, 0.35f, 0.0f, [&](StereoTrack& track) { RenderClaps(track); });
        mixer.Add(0.75f, 0.35f, 0.12f, [&](StereoTrack& track) {
            RenderArpeggio(track);
            Duck(track, kicks, 0.35f, 0.25f);
        });
        mixer.Add(0.7f, 0.0f, 0.0f, [&](StereoTrack& track) {
            RenderBass(track, time, rollingBass.notes, RollingBassVoice());
            RenderBass(track, time, heldBass.notes, HeldBassVoice());
            Duck(track, kicks, 0.3f, 0.2f);
        });
        mixer.Add(0.45f, 0.25f, 0.0f, [&](StereoTrack& track) {
            RenderSupersaw(track, time, pad.notes, PadVoice());
            Duck(track, kicks, 0.5f, 0.3f);
        });
        mixer.Add(0.8f, 0.3f, 0.3f,
                  [&](StereoTrack& track) { RenderLead(track, time, lead.notes, LeadVoice()); });
        mixer.Add(0.6f, 0.6f, 0.4f,
                  [&](StereoTrack& track) { RenderBell(track, time, bells.notes, BellVoice()); });
        mixer.Add(0.3f, 0.4f, 0.0f, [&](StereoTrack& track) {
            RenderRiser(track, time.Frame(11 * 4.0), time.Frame(12 * 4.0), 0.6f, noise);
            RenderRiser(track, time.Frame(28 * 4.0), time.Frame(32 * 4.0), 1.0f, noise);
        });
        AddReverb(mixer.reverbSend, 0.82f, 0.45f, 1.0f, mixer.dry);
        // A dotted-eighth echo, bouncing between the sides.
        AddPingPongDelay(mixer.delaySend, time.Frame(0.75), 0.38f, 3500.0f, 0.5f, mixer.dry);
        out = MasterStereo(mixer.dry, 1.4f, 0.89f);
        return true;
    }

private:
    float Feel(float velocity) { return velocity * feel.Between(0.9f, 1.0f); }
    size_t Frame(int bar, int step) const { return time.Frame(bar * 4.0 + step * 0.25); }

    // Kick, the breakdown's snare roll and the closing tom fill; remembers every kick for the
    // pumping of the other parts.
    void RenderDrums(StereoTrack& track) {
        for (int bar = 0; bar < Bars; ++bar) {
            const bool fillBar = bar == Bars - 1;
            if (SectionOf(bar) != Section::Breakdown) {
                ForEachHit(fillBar ? "X...X..........." : "X...X...X...X...",
                           [&](int step, float v) {
                               kicks.push_back(Frame(bar, step));
                               RenderKick(track, Frame(bar, step), Feel(v), 2.6f, 48.0f);
                           });
            }
            if (bar == 31) {
                ForEachHit("x.x.x.x.xxxxxxxx", [&](int step, float) {
                    float rise = 0.3f + 0.7f * step / 15.0f;
                    RenderSnare(track, Frame(bar, step), rise, 0.0f, noise);
                });
            }
            if (fillBar) {
                static const float TomHz[8] = {196.0f, 196.0f, 165.0f, 165.0f,
                                               139.0f, 139.0f, 110.0f, 104.0f};
                for (int step = 8; step < 16; ++step) {
                    float pan = 0.5f - (step - 8) * 0.14f;
                    RenderTom(track, Frame(bar, step), Feel(0.7f + step * 0.02f), TomHz[step - 8],
                              pan);
                }
            }
        }
    }

    // Closed hats that fill in as the track builds, open hats in the later sections, and a
    // crash at the head of each section, the loop's start included.
    void RenderHats(StereoTrack& track) {
        for (int bar = 0; bar < Bars; ++bar) {
            const Section section = SectionOf(bar);
            const char* closed = "ooxoooxoooxoooxo";
            const char* open = "";
            if (section == Section::Intro || (section == Section::Breakdown && bar < 31)) {
                closed = "..o...o...o...o.";
            } else if (section == Section::Breakdown) {
                closed = "";
            } else if (section == Section::Variation || section == Section::Bridge) {
                closed = "oo.ooo.ooo.ooo.o";
                open = "..x...x...x...x.";
            }
            ForEachHit(closed, [&](int step, float v) {
                float pan = step % 2 == 0 ? 0.25f : -0.2f;
                RenderHat(track, Frame(bar, step), Feel(v), 0.045f, pan, noise);
            });
            ForEachHit(open, [&](int step, float v) {
                RenderHat(track, Frame(bar, step), Feel(v) * 0.7f, 0.22f, 0.1f, noise);
            });
            if (bar == 0 || bar == 4 || bar == 12 || bar == 20 || bar == 32 || bar == 40) {
                RenderHat(track, Frame(bar, 0), 0.8f, 1.6f, -0.3f, noise);
            }
        }
    }

    void RenderClaps(StereoTrack& track) {
        for (int bar = 0; bar < Bars; ++bar) {
            const Section section = SectionOf(bar);
            if (section != Section::Intro && section != Section::Breakdown) {
                ForEachHit("....x.......x...", [&](int step, float v) {
                    RenderClap(track, Frame(bar, step), Feel(v), noise);
                });
            }
        }
    }

    // Sixteenths over the chord and the octave above, the filter opening through the intro
    // and the breakdown, quieter under the theme.
    void RenderArpeggio(StereoTrack& track) {
        static const int Order[16] = {0, 1, 2, 3, 4, 3, 2, 1, 0, 2, 1, 3, 2, 4, 3, 5};
        for (int bar = 0; bar < Bars; ++bar) {
            const Chord& chord = ChordOf(bar);
            const int tones[6] = {chord.notes[0] + 12, chord.notes[1] + 12, chord.notes[2] + 12,
                                  chord.notes[3] + 12, chord.notes[1] + 24, chord.notes[2] + 24};
            Part arp;
            for (int step = 0; step < 16; ++step) {
                float accent = step % 4 == 0 ? 1.0f : step % 2 == 0 ? 0.8f : 0.65f;
                arp.Add(bar * 4.0 + step * 0.25, 0.25, tones[Order[step]], Feel(accent));
            }
            VoiceSettings voice;
            voice.envelope = {0.002f, 0.16f, 0.0f, 0.06f};
            voice.detuneCents = 6.0f;
            voice.resonance = 0.45f;
            voice.cutoffBoost = 3.0f;
            voice.boostDecay = 14.0f;
            voice.pan = bar % 2 == 0 ? -0.3f : 0.3f;
            switch (SectionOf(bar)) {
                case Section::Intro:
                    voice.cutoffHz = 450.0f * (1.0f + bar * 0.6f);
                    voice.gain = 0.9f;
                    break;
                case Section::Breakdown:
                    voice.cutoffHz = 700.0f * (1.0f + (bar - 28) * 0.5f);
                    voice.gain = 0.85f;
                    break;
                case Section::Groove:
                case Section::Outro:
                    voice.cutoffHz = 1700.0f;
                    voice.gain = 0.75f;
                    break;
                default:
                    voice.cutoffHz = 1400.0f;
                    voice.gain = 0.55f;
                    break;
            }
            RenderLead(track, time, arp.notes, voice);
        }
    }

    void WriteParts() {
        for (int bar = 0; bar < Bars; ++bar) {
            const Section section = SectionOf(bar);
            const Chord& chord = ChordOf(bar);
            float padLevel = section == Section::Breakdown ? 1.0f
                             : section == Section::Intro   ? 0.55f
                                                           : 0.7f;
            for (int note : chord.notes) {
                pad.Add(bar * 4.0, 4.0, note, padLevel);
            }
            if (section == Section::Breakdown) {
                heldBass.Add(bar * 4.0, 4.0, chord.bass, 0.8f);
            } else if (section != Section::Intro) {
                // A rolling line between the kicks: root, root, octave after every beat, with
                // a turn to the fifth at the end of each phrase; the last bar breaks for the
                // fill.
                const int beats = bar == Bars - 1 ? 2 : 4;
                for (int beat = 0; beat < beats; ++beat) {
                    const bool turn = bar % 4 == 3 && beat == 3;
                    const double at = bar * 4.0 + beat;
                    rollingBass.Add(at + 0.25, 0.25, chord.bass, Feel(0.75f));
                    rollingBass.Add(at + 0.5, 0.25, chord.bass + (turn ? 12 : 0), Feel(0.9f));
                    rollingBass.Add(at + 0.75, 0.25, chord.bass + (turn ? 7 : 12), Feel(0.7f));
                }
            }
        }
        lead.Melody(ThemeOpening, 12 * 4.0, 0.9f);
        lead.Melody(ThemeClose, 16 * 4.0, 0.9f);
        lead.Melody(ThemeTwo, 20 * 4.0, 0.95f);
        lead.Melody(BridgeTheme, 32 * 4.0, 1.0f);
        lead.Melody(ThemeOpening, 40 * 4.0, 0.9f);
        // The breakdown hears the theme's opening on bells; in the bridge they shadow the lead
        // an octave up.
        bells.Melody(ThemeOpening, 28 * 4.0, 0.8f);
        Part bridge;
        bridge.Melody(BridgeTheme, 32 * 4.0, 0.35f);
        for (const Note& note : bridge.notes) {
            bells.Add(note.beat, note.beats, note.pitch + 12, note.velocity);
        }
    }

    static VoiceSettings RollingBassVoice() {
        VoiceSettings voice;
        voice.envelope = {0.003f, 0.12f, 0.55f, 0.04f};
        voice.cutoffHz = 380.0f;
        voice.cutoffBoost = 3.5f;
        voice.boostDecay = 30.0f;
        voice.resonance = 0.35f;
        return voice;
    }

    static VoiceSettings HeldBassVoice() {
        VoiceSettings voice;
        voice.envelope = {0.25f, 0.5f, 0.8f, 0.6f};
        voice.cutoffHz = 260.0f;
        voice.gain = 0.8f;
        return voice;
    }

    static VoiceSettings PadVoice() {
        VoiceSettings voice;
        voice.envelope = {0.35f, 0.6f, 0.8f, 0.7f};
        voice.cutoffHz = 2600.0f;
        voice.resonance = 0.1f;
        voice.detuneCents = 11.0f;
        return voice;
    }

    static VoiceSettings LeadVoice() {
        VoiceSettings voice;
        voice.envelope = {0.008f, 0.25f, 0.75f, 0.14f};
        voice.cutoffHz = 3200.0f;
        voice.cutoffBoost = 1.5f;
        voice.boostDecay = 7.0f;
        voice.resonance = 0.25f;
        voice.detuneCents = 9.0f;
        voice.vibratoCents = 18.0f;
        voice.vibratoDelay = 0.28f;
        voice.vibratoHz = 5.5f;
        return voice;
    }

    static VoiceSettings BellVoice() {
        VoiceSettings voice;
        voice.envelope = {0.002f, 0.3f, 0.7f, 0.9f};
        return voice;
    }

    Timeline time;
    size_t frames;
    NoiseSource noise;
    NoiseSource feel;  // small differences in loudness between hits, like a player's
    std::vector<size_t> kicks;
    Part rollingBass, heldBass, pad, lead, bells;
};

// The main menu's calm, spacious track: 80 beats a minute, D major, 24 bars (72 seconds).
// Electric-piano arpeggios over a slow pad open it; bass, a soft kick and a shaker join; a
// flute-like melody sings two phrases, the second over a new progression; then the piano
// takes up the melody as the drums thin out into the opening again.
class CalmMenu {
public:
    static constexpr int Bars = 24;

    static constexpr const char* Melody =
        "F#5:6 E5:2 D5:4 A4:4 | B4:6 C#5:2 D5:4 F#5:4 | G5:6 F#5:2 D5:4 B4:4 | "
        "E5:8 C#5:4 A4:4 | F#5:6 A5:2 F#5:4 E5:4 | D5:6 E5:2 F#5:4 B5:4 | "
        "A5:6 G5:2 F#5:4 D5:4 | E5:12 -:4";
    static constexpr const char* Answer =
        "G5:6 F#5:2 E5:4 B4:4 | D5:6 E5:2 F#5:4 A5:4 | A5:6 B5:2 A5:4 F#5:4 | E5:8 C#5:4 E5:4";
    static constexpr const char* PianoEcho =
        "F#5:6 E5:2 D5:4 A4:4 | B4:6 C#5:2 D5:4 F#5:4 | G5:6 F#5:2 D5:4 B4:4 | E5:12 -:4";

    // The chord of a bar; the fourth bar of each phrase moves from a suspended to a plain A.
    static const Chord& ChordOf(int bar, bool secondHalf) {
        static const Chord Dmaj7{38, {50, 57, 61, 66}};
        static const Chord Bm7{35, {47, 54, 57, 62}};
        static const Chord Gmaj7{43, {43, 54, 59, 62}};
        static const Chord Asus{45, {45, 57, 62, 64}};
        static const Chord A{45, {45, 57, 61, 64}};
        static const Chord Em7{40, {40, 55, 59, 62}};
        static const Chord DoverFSharp{42, {42, 57, 62, 66}};
        const bool answer = bar >= 16 && bar < 20;
        switch (bar % 4) {
            case 0:
                return answer ? Em7 : Dmaj7;
            case 1:
                return answer ? Gmaj7 : Bm7;
            case 2:
                return answer ? DoverFSharp : Gmaj7;
            default:
                return secondHalf ? A : Asus;
        }
    }

    CalmMenu() : time(80.0), frames(time.Frame(Bars * 4.0)), noise(0x3E9Du), feel(0xCA1Bu) {}

    bool Compose(std::vector<float>& out) {
        WriteParts();
        if (!flute.ok || !piano.ok) {
            return false;
        }
        Mixer mixer(frames);
        mixer.Add(0.7f, 0.12f, 0.0f, [&](StereoTrack& track) { RenderKicks(track); });
        mixer.Add(1.0f, 0.12f, 0.0f, [&](StereoTrack& track) { RenderShakers(track); });
        mixer.Add(0.6f, 0.6f, 0.0f, [&](StereoTrack& track) { RenderRims(track); });
        mixer.Add(1.0f, 0.0f, 0.0f,
                  [&](StereoTrack& track) { RenderBass(track, time, bass.notes, BassVoice()); });
        mixer.Add(0.5f, 0.5f, 0.0f,
                  [&](StereoTrack& track) { RenderSupersaw(track, time, pad.notes, PadVoice()); });
        mixer.Add(0.6f, 0.7f, 0.5f,
                  [&](StereoTrack& track) { RenderBell(track, time, piano.notes, PianoVoice()); });
        mixer.Add(0.7f, 0.55f, 0.35f,
                  [&](StereoTrack& track) { RenderFlute(track, time, flute.notes, FluteVoice()); });
        AddReverb(mixer.reverbSend, 0.9f, 0.35f, 1.3f, mixer.dry);
        AddPingPongDelay(mixer.delaySend, time.Frame(0.75), 0.45f, 2800.0f, 0.45f, mixer.dry);
        out = MasterStereo(mixer.dry, 1.1f, 0.85f);
        return true;
    }

private:
    float Feel(float velocity) { return velocity * feel.Between(0.85f, 1.0f); }
    size_t Frame(int bar, int step) const { return time.Frame(bar * 4.0 + step * 0.25); }

    // A soft kick from the fifth bar on, lighter at the end of each phrase.
    void RenderKicks(StereoTrack& track) {
        for (int bar = 4; bar < Bars; ++bar) {
            ForEachHit(bar % 4 == 3 ? "x.........o....." : "x.........x.....",
                       [&](int step, float v) {
                           RenderKick(track, Frame(bar, step), Feel(v) * 0.8f, 1.4f, 52.0f);
                       });
        }
    }

    // Shaker sixteenths with the offbeats leaning, and an open hat in the answering phrase.
    void RenderShakers(StereoTrack& track) {
        for (int bar = 4; bar < Bars; ++bar) {
            ForEachHit("oxoxoxoxoxoxoxox", [&](int step, float v) {
                float pan = step % 2 == 0 ? -0.35f : 0.35f;
                RenderShaker(track, Frame(bar, step), Feel(v), pan, noise);
            });
            if (bar >= 16 && bar < 20) {
                RenderHat(track, Frame(bar, 14), Feel(0.45f) * 0.5f, 0.3f, 0.3f, noise);
            }
        }
    }

    // A rim click on the third beat while the melody sings.
    void RenderRims(StereoTrack& track) {
        for (int bar = 8; bar < 20; ++bar) {
            RenderRim(track, Frame(bar, 8), Feel(0.75f) * 0.55f, 0.15f, noise);
        }
    }

    void WriteParts() {
        for (int bar = 0; bar < Bars; ++bar) {
            const bool split = bar % 4 == 3;
            for (int note : ChordOf(bar, false).notes) {
                pad.Add(bar * 4.0, split ? 2.0 : 4.0, note, bar < 4 ? 0.8f : 0.7f);
            }
            if (split) {
                for (int note : ChordOf(bar, true).notes) {
                    pad.Add(bar * 4.0 + 2.0, 2.0, note, bar < 4 ? 0.8f : 0.7f);
                }
            }
            if (bar >= 4) {
                // A held root, an octave pickup, the root again and a step to the fifth.
                const int root = ChordOf(bar, false).bass;
                const double at = bar * 4.0;
                bass.Add(at, 1.75, root, Feel(0.9f));
                bass.Add(at + 1.75, 0.25, root + 12, Feel(0.45f));
                bass.Add(at + 2.0, 1.5, root, Feel(0.8f));
                bass.Add(at + 3.5, 0.5, root + 7, Feel(0.55f));
            }
            if (bar < 20) {
                // Piano arpeggios in eighths, the chord an octave up, quieter under the melody.
                static const int Order[8] = {0, 2, 1, 3, 2, 1, 3, 2};
                float level = bar >= 8 ? 0.5f : 0.85f;
                for (int step = 0; step < 8; ++step) {
                    int note = ChordOf(bar, step >= 4).notes[Order[step]] + 12;
                    if (note < 57) {
                        note += 12;  // keep the low bass voicing out of the piano's register
                    }
                    piano.Add(bar * 4.0 + step * 0.5, 0.75, note, Feel(level));
                }
            }
        }
        flute.Melody(Melody, 8 * 4.0, 0.9f);
        flute.Melody(Answer, 16 * 4.0, 0.95f);
        piano.Melody(PianoEcho, 20 * 4.0, 0.8f);
    }

    static VoiceSettings BassVoice() {
        VoiceSettings voice;
        voice.envelope = {0.02f, 0.4f, 0.7f, 0.25f};
        voice.cutoffHz = 220.0f;
        voice.cutoffBoost = 0.8f;
        voice.boostDecay = 5.0f;
        voice.gain = 0.85f;
        return voice;
    }

    static VoiceSettings PadVoice() {
        VoiceSettings voice;
        voice.envelope = {1.2f, 1.0f, 0.8f, 2.0f};
        voice.cutoffHz = 1500.0f;
        voice.detuneCents = 13.0f;
        voice.resonance = 0.05f;
        return voice;
    }

    static VoiceSettings FluteVoice() {
        VoiceSettings voice;
        voice.envelope = {0.07f, 0.3f, 0.85f, 0.35f};
        voice.cutoffHz = 5000.0f;
        voice.vibratoCents = 14.0f;
        voice.vibratoDelay = 0.35f;
        voice.vibratoHz = 4.8f;
        voice.pan = 0.05f;
        return voice;
    }

    static VoiceSettings PianoVoice() {
        VoiceSettings voice;
        voice.envelope = {0.002f, 0.5f, 0.6f, 1.1f};
        voice.pan = -0.1f;
        return voice;
    }

    Timeline time;
    size_t frames;
    NoiseSource noise;
    NoiseSource feel;
    Part bass, pad, flute, piano;
};

bool WriteMusic(const ForgeContext& context, const char* path, const char* title,
                const std::vector<float>& interleaved) {
    std::vector<uint8_t> stream;
    if (!EncodeOggVorbis(interleaved, 2, SynthRate, MusicQuality, title, stream)) {
        std::fprintf(stderr, "cataclysm-forge: the Vorbis encoder refused %s\n", path);
        return false;
    }
    return WriteForgedFile(context, path, stream.data(), stream.size());
}

// Each piece is composed, written and let go before the next, to keep the forge's memory low.
bool ForgeMenuMusic(const ForgeContext& context) {
    std::vector<float> music;
    return CalmMenu().Compose(music) &&
           WriteMusic(context, "sound/music/BC_menu.ogg", "Drifting Light", music);
}

bool ForgeLevelMusic(const ForgeContext& context) {
    std::vector<float> music;
    return UpbeatTech().Compose(music) &&
           WriteMusic(context, "sound/music/BC_upbeat-tech.ogg", "Shatterfield", music);
}

FORGE_STEP("menu music", ForgeMenuMusic);
FORGE_STEP("level music", ForgeLevelMusic);

}  // namespace
