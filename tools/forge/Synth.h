#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// The forge's small synthesiser: oscillators, filters, envelopes, drum and instrument voices,
// and circular effects for music that loops. Every random choice comes from a seeded
// generator, so the same build makes the same sounds.

constexpr int SynthRate = 44100;
constexpr double Pi = 3.14159265358979323846;

// A seeded xorshift generator: the same seed gives the same noise on every machine.
class NoiseSource {
public:
    explicit NoiseSource(uint32_t seed) : state(seed != 0 ? seed : 0x9E3779B9u) {}
    float Next();  // uniform in [-1, 1)
    float Between(float low, float high);

private:
    uint32_t state;
};

// Two channels of float samples whose end joins its beginning: whatever is added past the end
// wraps round to the start, so a note or an echo that rings over the loop point is heard at
// the start of the next pass, as in endless playback.
class StereoTrack {
public:
    explicit StereoTrack(size_t frames) : left(frames, 0.0f), right(frames, 0.0f) {}
    size_t Frames() const { return left.size(); }
    void Mix(const StereoTrack& other, float gain);

    std::vector<float> left;
    std::vector<float> right;
};

// Writes consecutive frames into a track from a starting frame on, wrapping at its end.
class TrackWriter {
public:
    TrackWriter(StereoTrack& track, size_t frame) : track(track), at(frame % track.Frames()) {}
    void Add(float leftSample, float rightSample) {
        track.left[at] += leftSample;
        track.right[at] += rightSample;
        if (++at == track.Frames()) {
            at = 0;
        }
    }

private:
    StereoTrack& track;
    size_t at;
};

// Equal-power gains for a position from -1 (left) through 0 (centre) to 1 (right).
struct Pan {
    explicit Pan(float position);
    float left;
    float right;
};

double MidiToHz(double note);

// Band-limited sawtooth and pulse (polyBLEP) and plain sine and triangle, one phase each;
// each averages zero over a cycle, whatever the pulse's width.
class Oscillator {
public:
    // startPhase in cycles; only its fractional part counts.
    explicit Oscillator(double startPhase = 0.0);
    float Saw(double hz);
    float Pulse(double hz, double width);
    float Sine(double hz);
    float Triangle(double hz);

private:
    double Advance(double hz);  // returns the increment
    double phase;
};

// A state-variable filter (topology-preserving form) giving low, band and high outputs at
// once. Tune sets the cutoff and resonance (0 none, towards 1 ringing); voices that sweep the
// cutoff retune every few samples, since the tuning costs a tangent.
class Filter {
public:
    struct Output {
        float low, band, high;
    };
    Filter() { Tune(1000.0f, 0.0f); }
    Filter(float cutoffHz, float resonance) { Tune(cutoffHz, resonance); }
    void Tune(float cutoffHz, float resonance);
    Output Process(float input);

private:
    float damping = 2.0f;
    float a1 = 0.0f, a2 = 0.0f, a3 = 0.0f;
    float state1 = 0.0f;
    float state2 = 0.0f;
};

// A one-pole high-pass at a few hertz that takes a constant offset (DC) out of a signal and
// leaves everything audible as it was. An offset wastes headroom and clicks where a sound starts
// or stops; asymmetric waves (a narrow pulse, a decaying kick) leave one in the mix.
class DcBlocker {
public:
    explicit DcBlocker(int rate = SynthRate);
    float Process(float input);

private:
    float pole;
    float lastInput = 0.0f;
    float lastOutput = 0.0f;
};

// Runs a filter step over a loop twice and keeps the second pass, so its state at the start of
// the loop is the state the end of the loop leaves: the filtered loop joins without a step.
template <typename Step>
std::vector<float> FilterLoop(const std::vector<float>& input, Step step) {
    std::vector<float> output(input.size());
    for (int pass = 0; pass < 2; ++pass) {
        for (size_t i = 0; i < input.size(); ++i) {
            output[i] = step(input[i]);
        }
    }
    return output;
}

// Attack, decay, sustain level and release, in seconds: a note held for `held` seconds.
struct Envelope {
    float attack = 0.005f;
    float decay = 0.1f;
    float sustain = 0.7f;
    float release = 0.1f;
    float At(float t, float held) const;
};

// One note: start and length in beats, MIDI pitch, loudness 0..1.
struct Note {
    double beat = 0.0;
    double beats = 1.0;
    int pitch = 60;
    float velocity = 1.0f;
};

// The notes of one instrument. Melody appends notes written as text, one token per note: a
// name with its octave and its length in sixteenth notes, as "E5:3 C#5:2 Bb4:4", "-:4" being
// a rest, "|" a bar line that is skipped. A token it cannot read is reported on stderr and leaves
// ok false.
struct Part {
    std::vector<Note> notes;
    bool ok = true;
    // Returns the beat after the last token.
    double Melody(const char* text, double startBeat, float velocity = 1.0f);
    void Add(double beat, double beats, int pitch, float velocity) {
        notes.push_back({beat, beats, pitch, velocity});
    }
};

// The MIDI number of a note name such as "C#4" (60 is C4); -1 when it is not one.
int NotePitch(const char* name, size_t length);

// Places beats on frames for a tempo.
class Timeline {
public:
    explicit Timeline(double beatsPerMinute) : framesPerBeat(SynthRate * 60.0 / beatsPerMinute) {}
    size_t Frame(double beat) const { return static_cast<size_t>(beat * framesPerBeat + 0.5); }
    double Seconds(double beats) const { return beats * framesPerBeat / SynthRate; }
    double framesPerBeat;
};

// Drum voices: each renders one hit at a frame, at a loudness, placed by pan.
void RenderKick(StereoTrack& track, size_t frame, float velocity, float punch, float tone);
void RenderClap(StereoTrack& track, size_t frame, float velocity, NoiseSource& noise);
void RenderHat(StereoTrack& track, size_t frame, float velocity, float decaySeconds, float pan,
               NoiseSource& noise);
void RenderSnare(StereoTrack& track, size_t frame, float velocity, float pan, NoiseSource& noise);
void RenderShaker(StereoTrack& track, size_t frame, float velocity, float pan, NoiseSource& noise);
void RenderRim(StereoTrack& track, size_t frame, float velocity, float pan, NoiseSource& noise);
void RenderTom(StereoTrack& track, size_t frame, float velocity, float hz, float pan);

// Tonal voices: each renders a list of notes on a timeline.
struct VoiceSettings {
    float gain = 1.0f;
    float pan = 0.0f;
    Envelope envelope;
    float cutoffHz = 2000.0f;  // filter cutoff when the note has settled
    float cutoffBoost = 0.0f;  // extra cutoff at the note's start, as a multiple, decaying
    float boostDecay = 8.0f;   // per second
    float resonance = 0.2f;
    float detuneCents = 8.0f;
    float vibratoCents = 0.0f;  // depth, reached after vibratoDelay seconds
    float vibratoDelay = 0.3f;
    float vibratoHz = 5.0f;
};
void RenderSupersaw(StereoTrack& track, const Timeline& time, const std::vector<Note>& notes,
                    const VoiceSettings& voice);
void RenderBass(StereoTrack& track, const Timeline& time, const std::vector<Note>& notes,
                const VoiceSettings& voice);
void RenderLead(StereoTrack& track, const Timeline& time, const std::vector<Note>& notes,
                const VoiceSettings& voice);
void RenderFlute(StereoTrack& track, const Timeline& time, const std::vector<Note>& notes,
                 const VoiceSettings& voice);
void RenderBell(StereoTrack& track, const Timeline& time, const std::vector<Note>& notes,
                const VoiceSettings& voice);

// A rising noise sweep from one frame to another, for build-ups.
void RenderRiser(StereoTrack& track, size_t from, size_t to, float gain, NoiseSource& noise);

// Circular effects: each adds only the effect's own (wet) signal of the send into a track, at
// a level, computed as if the loop had been playing for ever.
void AddReverb(const StereoTrack& send, float roomSize, float damping, float level,
               StereoTrack& into);
void AddPingPongDelay(const StereoTrack& send, size_t delayFrames, float feedback, float toneHz,
                      float level, StereoTrack& into);

// Multiplies a track by a gain curve that dips after every given frame and recovers, the
// pumping of dance music where the kick pushes the other parts down.
void Duck(StereoTrack& track, const std::vector<size_t>& hits, float depth, float seconds);

// The final mix of a loop as interleaved stereo in [-1, 1]: its DC offset taken out round the
// loop, a gentle saturation, then the peak set to peakLevel.
std::vector<float> MasterStereo(const StereoTrack& mix, float drive, float peakLevel);
// The same for a mono effect.
std::vector<float> MasterMono(std::vector<float> samples, float peakLevel);
