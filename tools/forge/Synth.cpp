#include "tools/forge/Synth.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr float SecondsPerFrame = 1.0f / SynthRate;
constexpr int ControlInterval = 16;  // frames between cutoff updates of a sweeping filter

// The correction that removes the step of a sawtooth or pulse edge at phase t (polyBLEP).
double Blep(double t, double increment) {
    if (t < increment) {
        t /= increment;
        return t + t - t * t - 1.0;
    }
    if (t > 1.0 - increment) {
        t = (t - 1.0) / increment;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}

float Cents(float cents) {
    return std::pow(2.0f, cents / 1200.0f);
}

// Frames a voice renders for a note: its length plus its release.
size_t NoteFrames(const Timeline& time, const Note& note, const Envelope& envelope) {
    return static_cast<size_t>((time.Seconds(note.beats) + envelope.release) * SynthRate) + 1;
}

float VibratoFactor(const VoiceSettings& voice, float t) {
    if (voice.vibratoCents <= 0.0f || t < voice.vibratoDelay) {
        return 1.0f;
    }
    float depth = std::min(1.0f, (t - voice.vibratoDelay) * 2.0f) * voice.vibratoCents;
    return Cents(depth * std::sin(2.0f * static_cast<float>(Pi) * voice.vibratoHz * t));
}

}  // namespace

float NoiseSource::Next() {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return static_cast<float>(state >> 8) * (2.0f / 16777216.0f) - 1.0f;
}

float NoiseSource::Between(float low, float high) {
    return low + (Next() * 0.5f + 0.5f) * (high - low);
}

void StereoTrack::Mix(const StereoTrack& other, float gain) {
    for (size_t i = 0; i < Frames() && i < other.Frames(); ++i) {
        left[i] += other.left[i] * gain;
        right[i] += other.right[i] * gain;
    }
}

Pan::Pan(float position) {
    float angle = (position + 1.0f) * static_cast<float>(Pi) / 4.0f;
    left = std::cos(angle) * 1.41421356f;
    right = std::sin(angle) * 1.41421356f;
}

double MidiToHz(double note) {
    return 440.0 * std::pow(2.0, (note - 69.0) / 12.0);
}

Oscillator::Oscillator(double startPhase) : phase(startPhase - std::floor(startPhase)) {}

double Oscillator::Advance(double hz) {
    double increment = hz / SynthRate;
    phase += increment;
    if (phase >= 1.0) {
        phase -= std::floor(phase);
    }
    return increment;
}

float Oscillator::Saw(double hz) {
    double t = phase;
    double increment = Advance(hz);
    return static_cast<float>(2.0 * t - 1.0 - Blep(t, increment));
}

float Oscillator::Pulse(double hz, double width) {
    double t = phase;
    double increment = Advance(hz);
    // Centred on zero: a pulse high for a fraction `width` of its cycle averages 2 width - 1.
    double value = (t < width ? 1.0 : -1.0) - (2.0 * width - 1.0);
    double falling = t + 1.0 - width;
    falling -= std::floor(falling);
    return static_cast<float>(value + Blep(t, increment) - Blep(falling, increment));
}

float Oscillator::Sine(double hz) {
    double t = phase;
    Advance(hz);
    return static_cast<float>(std::sin(2.0 * Pi * t));
}

float Oscillator::Triangle(double hz) {
    double t = phase;
    Advance(hz);
    return static_cast<float>(4.0 * std::fabs(t - 0.5) - 1.0);
}

void Filter::Tune(float cutoffHz, float resonance) {
    float limited = std::clamp(cutoffHz, 10.0f, SynthRate * 0.45f);
    float g = std::tan(static_cast<float>(Pi) * limited / SynthRate);
    damping = 2.0f - 1.96f * std::clamp(resonance, 0.0f, 1.0f);
    a1 = 1.0f / (1.0f + g * (g + damping));
    a2 = g * a1;
    a3 = g * a2;
}

Filter::Output Filter::Process(float input) {
    float v3 = input - state2;
    float v1 = a1 * state1 + a2 * v3;
    float v2 = state2 + a2 * state1 + a3 * v3;
    state1 = 2.0f * v1 - state1;
    state2 = 2.0f * v2 - state2;
    return {v2, v1, input - damping * v1 - v2};
}

namespace {
// Low enough that the phase of the deepest bass and kick is left as it was, so the mastered
// peaks and loudness stay where they were.
constexpr float DcBlockerHz = 2.0f;
}  // namespace

DcBlocker::DcBlocker(int rate)
    : pole(std::exp(-2.0f * static_cast<float>(Pi) * DcBlockerHz / static_cast<float>(rate))) {}

float DcBlocker::Process(float input) {
    lastOutput = input - lastInput + pole * lastOutput;
    lastInput = input;
    return lastOutput;
}

float Envelope::At(float t, float held) const {
    auto holding = [this](float time) {
        if (time < attack) {
            return time / attack;
        }
        if (time < attack + decay) {
            return 1.0f - (1.0f - sustain) * (time - attack) / decay;
        }
        return sustain;
    };
    if (t < 0.0f) {
        return 0.0f;
    }
    if (t <= held) {
        return holding(t);
    }
    float fade = 1.0f - (t - held) / release;
    return fade <= 0.0f ? 0.0f : holding(held) * fade * fade;
}

int NotePitch(const char* name, size_t length) {
    static const int Semitones[7] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
    if (length < 2 || name[0] < 'A' || name[0] > 'G') {
        return -1;
    }
    int pitch = Semitones[name[0] - 'A'];
    size_t at = 1;
    if (name[at] == '#') {
        ++pitch;
        ++at;
    } else if (name[at] == 'b') {
        --pitch;
        ++at;
    }
    if (at + 1 != length || name[at] < '0' || name[at] > '8') {
        return -1;
    }
    return pitch + 12 * (name[at] - '0' + 1);
}

double Part::Melody(const char* text, double startBeat, float velocity) {
    double beat = startBeat;
    const char* at = text;
    while (*at != '\0') {
        while (*at == ' ') {
            ++at;
        }
        const char* end = at;
        while (*end != '\0' && *end != ' ') {
            ++end;
        }
        if (end == at) {
            break;
        }
        std::string token(at, end);
        at = end;
        if (token == "|") {
            continue;  // a bar line, for the reader
        }
        size_t colon = token.find(':');
        int sixteenths = colon == std::string::npos ? 0 : std::atoi(token.c_str() + colon + 1);
        int pitch = token.compare(0, colon, "-") == 0 ? 0 : NotePitch(token.c_str(), colon);
        if (sixteenths <= 0 || pitch < 0) {
            std::fprintf(stderr, "cataclysm-forge: cannot read the note '%s'\n", token.c_str());
            ok = false;
            return beat;
        }
        if (pitch > 0) {
            Add(beat, sixteenths / 4.0, pitch, velocity);
        }
        beat += sixteenths / 4.0;
    }
    return beat;
}

void RenderKick(StereoTrack& track, size_t frame, float velocity, float punch, float tone) {
    TrackWriter out(track, frame);
    Oscillator body;
    const size_t frames = SynthRate * 45 / 100;
    for (size_t i = 0; i < frames; ++i) {
        float t = i * SecondsPerFrame;
        float hz = tone * (1.0f + punch * std::exp(-t * 35.0f));
        float sample = body.Sine(hz) * std::exp(-t * 7.0f);
        sample +=
            0.25f * std::sin(2.0f * static_cast<float>(Pi) * 1100.0f * t) * std::exp(-t * 400.0f);
        sample = std::tanh(1.6f * sample) * velocity;
        out.Add(sample, sample);
    }
}

void RenderClap(StereoTrack& track, size_t frame, float velocity, NoiseSource& noise) {
    TrackWriter out(track, frame);
    Filter band(1400.0f, 0.35f);
    Filter air(5000.0f, 0.0f);
    const size_t frames = SynthRate * 35 / 100;
    for (size_t i = 0; i < frames; ++i) {
        float t = i * SecondsPerFrame;
        float envelope = 0.0f;
        for (float burst : {0.0f, 0.011f, 0.022f}) {
            if (t >= burst) {
                envelope = std::max(envelope, std::exp(-(t - burst) * 170.0f));
            }
        }
        if (t >= 0.022f) {
            envelope = std::max(envelope, 0.55f * std::exp(-(t - 0.022f) * 16.0f));
        }
        float source = noise.Next();
        float sample = (band.Process(source).band * 2.2f + air.Process(source).high * 0.3f) *
                       envelope * velocity;
        out.Add(sample, sample);
    }
}

void RenderHat(StereoTrack& track, size_t frame, float velocity, float decaySeconds, float pan,
               NoiseSource& noise) {
    TrackWriter out(track, frame);
    Filter high(7500.0f, 0.2f);
    Filter sheen(11000.0f, 0.4f);
    Pan place(pan);
    const size_t frames = static_cast<size_t>(decaySeconds * SynthRate) + 1;
    for (size_t i = 0; i < frames; ++i) {
        float t = i * SecondsPerFrame;
        float source = noise.Next();
        float sample = (high.Process(source).high + 0.5f * sheen.Process(source).band) *
                       std::exp(-t * 4.6f / decaySeconds) * velocity * 0.6f;
        out.Add(sample * place.left, sample * place.right);
    }
}

void RenderSnare(StereoTrack& track, size_t frame, float velocity, float pan, NoiseSource& noise) {
    TrackWriter out(track, frame);
    Oscillator low, high;
    Filter crisp(1800.0f, 0.1f);
    Pan place(pan);
    const size_t frames = SynthRate * 3 / 10;
    for (size_t i = 0; i < frames; ++i) {
        float t = i * SecondsPerFrame;
        float tone =
            low.Sine(185.0f * (1.0f + 0.3f * std::exp(-t * 40.0f))) * std::exp(-t * 22.0f) +
            0.4f * high.Sine(330.0f) * std::exp(-t * 30.0f);
        float rattle = crisp.Process(noise.Next()).high * std::exp(-t * 13.0f);
        float sample = (0.7f * tone + 0.8f * rattle) * velocity;
        out.Add(sample * place.left, sample * place.right);
    }
}

void RenderShaker(StereoTrack& track, size_t frame, float velocity, float pan, NoiseSource& noise) {
    TrackWriter out(track, frame);
    Filter band(6200.0f, 0.45f);
    Pan place(pan);
    const size_t frames = SynthRate / 8;
    for (size_t i = 0; i < frames; ++i) {
        float t = i * SecondsPerFrame;
        float envelope = std::min(1.0f, t / 0.008f) * std::exp(-t * 38.0f);
        float sample = band.Process(noise.Next()).band * envelope * velocity;
        out.Add(sample * place.left, sample * place.right);
    }
}

void RenderRim(StereoTrack& track, size_t frame, float velocity, float pan, NoiseSource& noise) {
    TrackWriter out(track, frame);
    Oscillator high, low;
    Filter band(3200.0f, 0.5f);
    Pan place(pan);
    const size_t frames = SynthRate / 10;
    for (size_t i = 0; i < frames; ++i) {
        float t = i * SecondsPerFrame;
        float sample =
            (0.6f * high.Sine(1650.0f) + 0.5f * low.Sine(820.0f)) * std::exp(-t * 70.0f) +
            0.5f * band.Process(noise.Next()).band * std::exp(-t * 140.0f);
        sample *= velocity;
        out.Add(sample * place.left, sample * place.right);
    }
}

void RenderTom(StereoTrack& track, size_t frame, float velocity, float hz, float pan) {
    TrackWriter out(track, frame);
    Oscillator body;
    Pan place(pan);
    const size_t frames = SynthRate * 4 / 10;
    for (size_t i = 0; i < frames; ++i) {
        float t = i * SecondsPerFrame;
        float sample =
            body.Sine(hz * (1.0f + 0.6f * std::exp(-t * 18.0f))) * std::exp(-t * 7.0f) * velocity;
        sample = std::tanh(1.3f * sample);
        out.Add(sample * place.left, sample * place.right);
    }
}

void RenderSupersaw(StereoTrack& track, const Timeline& time, const std::vector<Note>& notes,
                    const VoiceSettings& voice) {
    static const float Spread[4] = {-1.0f, -0.35f, 0.4f, 1.0f};
    for (const Note& note : notes) {
        TrackWriter out(track, time.Frame(note.beat));
        float held = static_cast<float>(time.Seconds(note.beats));
        double hz = MidiToHz(note.pitch);
        Oscillator saws[4] = {Oscillator(0.11 * note.pitch), Oscillator(0.37 * note.pitch),
                              Oscillator(0.59 * note.pitch), Oscillator(0.83 * note.pitch)};
        double rates[4];
        for (int s = 0; s < 4; ++s) {
            rates[s] = hz * Cents(Spread[s] * voice.detuneCents);
        }
        Filter leftFilter(voice.cutoffHz, voice.resonance);
        Filter rightFilter(voice.cutoffHz, voice.resonance);
        Pan place(voice.pan);
        const size_t frames = NoteFrames(time, note, voice.envelope);
        for (size_t i = 0; i < frames; ++i) {
            float t = i * SecondsPerFrame;
            float level = voice.envelope.At(t, held) * note.velocity * voice.gain * 0.35f;
            float left = saws[0].Saw(rates[0]) + 0.7f * saws[2].Saw(rates[2]);
            float right = saws[3].Saw(rates[3]) + 0.7f * saws[1].Saw(rates[1]);
            out.Add(leftFilter.Process(left).low * level * place.left,
                    rightFilter.Process(right).low * level * place.right);
        }
    }
}

void RenderBass(StereoTrack& track, const Timeline& time, const std::vector<Note>& notes,
                const VoiceSettings& voice) {
    for (const Note& note : notes) {
        TrackWriter out(track, time.Frame(note.beat));
        float held = static_cast<float>(time.Seconds(note.beats));
        double hz = MidiToHz(note.pitch);
        Oscillator saw, sub;
        Filter filter;
        const size_t frames = NoteFrames(time, note, voice.envelope);
        for (size_t i = 0; i < frames; ++i) {
            float t = i * SecondsPerFrame;
            if (i % ControlInterval == 0) {
                float boost = 1.0f + voice.cutoffBoost * std::exp(-t * voice.boostDecay);
                filter.Tune(voice.cutoffHz * boost, voice.resonance);
            }
            float level = voice.envelope.At(t, held) * note.velocity * voice.gain;
            float tone = filter.Process(saw.Saw(hz)).low * 0.55f + sub.Sine(hz * 0.5) * 0.6f;
            float sample = std::tanh(1.4f * tone) * level;
            out.Add(sample, sample);
        }
    }
}

void RenderLead(StereoTrack& track, const Timeline& time, const std::vector<Note>& notes,
                const VoiceSettings& voice) {
    for (const Note& note : notes) {
        TrackWriter out(track, time.Frame(note.beat));
        float held = static_cast<float>(time.Seconds(note.beats));
        double hz = MidiToHz(note.pitch);
        float up = Cents(voice.detuneCents);
        float down = Cents(-voice.detuneCents);
        Oscillator first(0.0), second(0.5), square(0.25);
        Filter filter;
        Pan place(voice.pan);
        const size_t frames = NoteFrames(time, note, voice.envelope);
        for (size_t i = 0; i < frames; ++i) {
            float t = i * SecondsPerFrame;
            if (i % ControlInterval == 0) {
                float boost = 1.0f + voice.cutoffBoost * std::exp(-t * voice.boostDecay);
                filter.Tune(voice.cutoffHz * boost, voice.resonance);
            }
            double pitch = hz * VibratoFactor(voice, t);
            float tone = 0.5f * first.Saw(pitch * up) + 0.5f * second.Saw(pitch * down) +
                         0.35f * square.Pulse(pitch * 0.5, 0.5);
            float level = voice.envelope.At(t, held) * note.velocity * voice.gain * 0.5f;
            float sample = filter.Process(tone).low * level;
            out.Add(sample * place.left, sample * place.right);
        }
    }
}

void RenderFlute(StereoTrack& track, const Timeline& time, const std::vector<Note>& notes,
                 const VoiceSettings& voice) {
    NoiseSource breath(0xF1u);
    for (const Note& note : notes) {
        TrackWriter out(track, time.Frame(note.beat));
        float held = static_cast<float>(time.Seconds(note.beats));
        double hz = MidiToHz(note.pitch);
        Oscillator fundamental, octave, third;
        Filter air(static_cast<float>(hz * 2.0), 0.6f);
        Filter soften(voice.cutoffHz, 0.0f);
        Pan place(voice.pan);
        const size_t frames = NoteFrames(time, note, voice.envelope);
        for (size_t i = 0; i < frames; ++i) {
            float t = i * SecondsPerFrame;
            double pitch = hz * VibratoFactor(voice, t);
            float tone = fundamental.Sine(pitch) + 0.22f * octave.Sine(pitch * 2.0) +
                         0.06f * third.Triangle(pitch * 3.0);
            tone += 0.08f * air.Process(breath.Next()).band;
            float level = voice.envelope.At(t, held) * note.velocity * voice.gain * 0.5f;
            float sample = soften.Process(tone).low * level;
            out.Add(sample * place.left, sample * place.right);
        }
    }
}

void RenderBell(StereoTrack& track, const Timeline& time, const std::vector<Note>& notes,
                const VoiceSettings& voice) {
    for (const Note& note : notes) {
        TrackWriter out(track, time.Frame(note.beat));
        float held = static_cast<float>(time.Seconds(note.beats));
        double hz = MidiToHz(note.pitch);
        Oscillator modulator, shimmer;
        double carrier = 0.0;
        Pan place(voice.pan + 0.25f * static_cast<float>((note.pitch % 5) - 2) / 2.0f);
        const size_t frames = NoteFrames(time, note, voice.envelope);
        for (size_t i = 0; i < frames; ++i) {
            float t = i * SecondsPerFrame;
            // An electric-piano tone: the modulation index falls as the note rings, leaving a
            // rounder sound; a faint fourth harmonic gives the strike its shine.
            float index = 2.2f * std::exp(-t * 2.8f) + 0.3f;
            float modulation = index * modulator.Sine(hz);
            carrier += hz / SynthRate;
            carrier -= std::floor(carrier);
            float tone =
                std::sin(2.0f * static_cast<float>(Pi) * static_cast<float>(carrier) + modulation) +
                0.2f * shimmer.Sine(hz * 4.0) * std::exp(-t * 9.0f);
            float level = voice.envelope.At(t, held) * std::exp(-t * 0.9f) * note.velocity *
                          voice.gain * 0.4f;
            out.Add(tone * level * place.left, tone * level * place.right);
        }
    }
}

void RenderRiser(StereoTrack& track, size_t from, size_t to, float gain, NoiseSource& noise) {
    TrackWriter out(track, from);
    Filter sweep;
    const size_t frames = to > from ? to - from : 0;
    for (size_t i = 0; i < frames; ++i) {
        float progress = static_cast<float>(i) / frames;
        if (i % ControlInterval == 0) {
            sweep.Tune(250.0f * std::pow(36.0f, progress), 0.55f);
        }
        float sample = sweep.Process(noise.Next()).band * progress * progress * gain;
        float wobble = 0.2f * std::sin(progress * 40.0f);
        out.Add(sample * (1.0f + wobble), sample * (1.0f - wobble));
    }
}

namespace {

// One channel of the reverb: eight damped comb filters in parallel, then four all-passes.
class ReverbChannel {
public:
    ReverbChannel(int spread, float feedback, float damping)
        : feedback(feedback), damping(damping) {
        static const int CombLengths[8] = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
        static const int AllPassLengths[4] = {556, 441, 341, 225};
        for (int i = 0; i < 8; ++i) {
            combs[i].assign(CombLengths[i] + spread, 0.0f);
        }
        for (int i = 0; i < 4; ++i) {
            allPasses[i].assign(AllPassLengths[i] + spread, 0.0f);
        }
    }

    float Process(float input) {
        float output = 0.0f;
        for (int i = 0; i < 8; ++i) {
            std::vector<float>& line = combs[i];
            size_t& at = combAt[i];
            float delayed = line[at];
            combMemory[i] = delayed * (1.0f - damping) + combMemory[i] * damping;
            line[at] = input + combMemory[i] * feedback;
            if (++at == line.size()) {
                at = 0;
            }
            output += delayed;
        }
        for (int i = 0; i < 4; ++i) {
            std::vector<float>& line = allPasses[i];
            size_t& at = allPassAt[i];
            float delayed = line[at];
            line[at] = output + delayed * 0.5f;
            output = delayed - output;
            if (++at == line.size()) {
                at = 0;
            }
        }
        return output;
    }

private:
    float feedback;
    float damping;
    std::vector<float> combs[8];
    float combMemory[8] = {};
    size_t combAt[8] = {};
    std::vector<float> allPasses[4];
    size_t allPassAt[4] = {};
};

}  // namespace

void AddReverb(const StereoTrack& send, float roomSize, float damping, float level,
               StereoTrack& into) {
    const float feedback = roomSize * 0.28f + 0.7f;
    ReverbChannel left(0, feedback, damping * 0.4f);
    ReverbChannel right(23, feedback, damping * 0.4f);
    const size_t preDelay = SynthRate * 25 / 1000;
    // The first pass only fills the reverb's memory with the end of the loop.
    for (int pass = 0; pass < 2; ++pass) {
        TrackWriter out(into, preDelay);
        for (size_t i = 0; i < send.Frames(); ++i) {
            float input = (send.left[i] + send.right[i]) * 0.015f;
            float l = left.Process(input);
            float r = right.Process(input);
            if (pass == 1) {
                out.Add(l * level, r * level);
            }
        }
    }
}

void AddPingPongDelay(const StereoTrack& send, size_t delayFrames, float feedback, float toneHz,
                      float level, StereoTrack& into) {
    std::vector<float> leftLine(delayFrames, 0.0f);
    std::vector<float> rightLine(delayFrames, 0.0f);
    Filter leftTone(toneHz, 0.0f);
    Filter rightTone(toneHz, 0.0f);
    size_t at = 0;
    for (int pass = 0; pass < 2; ++pass) {
        for (size_t i = 0; i < send.Frames(); ++i) {
            float input = (send.left[i] + send.right[i]) * 0.5f;
            float fromLeft = leftLine[at];
            float fromRight = rightLine[at];
            leftLine[at] = leftTone.Process(input + fromRight * feedback).low;
            rightLine[at] = rightTone.Process(fromLeft * feedback).low;
            if (++at == delayFrames) {
                at = 0;
            }
            if (pass == 1) {
                into.left[i] += fromLeft * level;
                into.right[i] += fromRight * level;
            }
        }
    }
}

void Duck(StereoTrack& track, const std::vector<size_t>& hits, float depth, float seconds) {
    const size_t frames = track.Frames();
    std::vector<float> gain(frames, 1.0f);
    const size_t attack = SynthRate * 3 / 1000;
    const size_t length = static_cast<size_t>(seconds * SynthRate);
    for (size_t hit : hits) {
        size_t at = hit % frames;
        for (size_t i = 0; i < length; ++i) {
            float dip;
            if (i < attack) {
                dip = depth * static_cast<float>(i) / attack;
            } else {
                float recovered = static_cast<float>(i - attack) / (length - attack);
                dip = depth * (1.0f - recovered) * (1.0f - recovered);
            }
            gain[at] = std::min(gain[at], 1.0f - dip);
            if (++at == frames) {
                at = 0;
            }
        }
    }
    for (size_t i = 0; i < frames; ++i) {
        track.left[i] *= gain[i];
        track.right[i] *= gain[i];
    }
}

namespace {

void SetPeak(std::vector<float>& samples, float peakLevel) {
    float peak = 0.0f;
    for (float sample : samples) {
        peak = std::max(peak, std::fabs(sample));
    }
    if (peak > 0.0f) {
        float scale = peakLevel / peak;
        for (float& sample : samples) {
            sample *= scale;
        }
    }
}

}  // namespace

std::vector<float> MasterStereo(const StereoTrack& mix, float drive, float peakLevel) {
    // Before the saturation, so that it rounds off both halves of the wave alike.
    DcBlocker leftBlocker, rightBlocker;
    std::vector<float> left = FilterLoop(mix.left, [&](float x) { return leftBlocker.Process(x); });
    std::vector<float> right =
        FilterLoop(mix.right, [&](float x) { return rightBlocker.Process(x); });
    std::vector<float> interleaved(mix.Frames() * 2);
    for (size_t i = 0; i < mix.Frames(); ++i) {
        interleaved[2 * i] = left[i];
        interleaved[2 * i + 1] = right[i];
    }
    // Saturate relative to the mix's own peak, so that drive alone decides how much the
    // loudest moments are rounded off.
    SetPeak(interleaved, 1.0f);
    const float ceiling = std::tanh(drive);
    for (float& sample : interleaved) {
        sample = std::tanh(drive * sample) / ceiling;
    }
    SetPeak(interleaved, peakLevel);
    return interleaved;
}

std::vector<float> MasterMono(std::vector<float> samples, float peakLevel) {
    SetPeak(samples, peakLevel);
    return samples;
}
