// The ship's three sound effects: a laser shot, an engine rumble that loops, and a debris
// explosion, synthesised and written as 16-bit RIFF/WAVE files.
#include <cmath>
#include <vector>

#include "tools/forge/ForgeStep.h"
#include "tools/forge/SoundEncoding.h"
#include "tools/forge/Synth.h"

namespace {

constexpr int ThrustRate = 22050;

// Takes the DC offset out of a one-shot effect of interleaved channels, which starts from
// silence; before its fade-out, which then still ends it at zero.
void BlockDc(std::vector<float>& samples, size_t channels) {
    std::vector<DcBlocker> blockers(channels);
    for (size_t i = 0; i < samples.size(); ++i) {
        samples[i] = blockers[i % channels].Process(samples[i]);
    }
}

// Fades the last samples of a one-shot effect to silence, so it never ends on a step.
void FadeOut(std::vector<float>& samples, size_t channels, size_t frames) {
    size_t total = samples.size() / channels;
    for (size_t i = 0; i < frames && i < total; ++i) {
        float gain = static_cast<float>(i) / frames;
        for (size_t channel = 0; channel < channels; ++channel) {
            samples[(total - 1 - i) * channels + channel] *= gain;
        }
    }
}

// A bright zap that falls in pitch: two detuned pulse waves sweeping down through a closing
// filter, a spark of noise at the start and one faint echo.
std::vector<float> MakeLaserShot() {
    const size_t frames = SynthRate * 30 / 100;
    std::vector<float> dry(frames);
    Oscillator first, second;
    Filter filter;
    NoiseSource noise(0x1A5Eu);
    for (size_t i = 0; i < frames; ++i) {
        float t = static_cast<float>(i) / SynthRate;
        double hz = 2400.0 * std::exp(-t * 14.0) + 240.0;
        if (i % 16 == 0) {
            filter.Tune(9000.0f * std::exp(-t * 9.0f) + 900.0f, 0.35f);
        }
        float tone = first.Pulse(hz, 0.3) + 0.6f * second.Saw(hz * 1.007);
        float spark = noise.Next() * std::exp(-t * 160.0f);
        float envelope = std::min(1.0f, t / 0.002f) * std::exp(-t * 11.0f);
        dry[i] = (filter.Process(tone).low * 0.8f + 0.35f * spark) * envelope;
    }
    const size_t echo = SynthRate * 55 / 1000;
    std::vector<float> shot = dry;
    for (size_t i = echo; i < frames; ++i) {
        shot[i] += 0.28f * dry[i - echo];
    }
    BlockDc(shot, 1);
    FadeOut(shot, 1, SynthRate / 200);
    return MasterMono(shot, 0.7f);
}

// An engine's rumble for the thrust loop: deep filtered noise, a roar that swells and
// settles, a low hum and a thin hiss. Every periodic part completes whole cycles in the loop
// and every filter runs round it, so the loop has no seam.
std::vector<float> MakeThrust() {
    const size_t frames = ThrustRate * 2;  // two seconds: 110 hum cycles, 6 swells
    const float rate = static_cast<float>(ThrustRate);
    std::vector<float> white(frames);
    NoiseSource noise(0x7A57u);
    for (float& sample : white) {
        sample = noise.Next();
    }
    // Filters are tuned for 44.1 kHz; this loop runs at half that rate.
    auto atThrustRate = [rate](float hz) { return hz * SynthRate / rate; };
    Filter deep(atThrustRate(170.0f), 0.1f);
    Filter deeper(atThrustRate(170.0f), 0.1f);
    std::vector<float> rumble =
        FilterLoop(white, [&](float x) { return deeper.Process(deep.Process(x).low).low; });
    Filter roarBand(atThrustRate(520.0f), 0.3f);
    std::vector<float> roar = FilterLoop(white, [&](float x) { return roarBand.Process(x).band; });
    Filter hissBand(atThrustRate(3800.0f), 0.2f);
    std::vector<float> hiss = FilterLoop(white, [&](float x) { return hissBand.Process(x).high; });

    std::vector<float> thrust(frames);
    for (size_t i = 0; i < frames; ++i) {
        double cycle = static_cast<double>(i) / frames;  // 0..1 over the loop
        float swell = 0.75f + 0.25f * static_cast<float>(std::sin(2.0 * Pi * 6.0 * cycle));
        double humPhase = 110.0 * cycle;
        float hum = static_cast<float>(2.0 * (humPhase - std::floor(humPhase)) - 1.0) * 0.25f +
                    static_cast<float>(std::sin(2.0 * Pi * 220.0 * cycle)) * 0.15f;
        thrust[i] = 3.2f * rumble[i] + 0.9f * roar[i] * swell + 0.05f * hiss[i] + 0.12f * hum;
    }
    Filter smooth(atThrustRate(2400.0f), 0.0f);
    DcBlocker blocker(ThrustRate);
    thrust = FilterLoop(thrust, [&](float x) { return blocker.Process(smooth.Process(x).low); });
    return MasterMono(thrust, 0.5f);
}

// A debris explosion: a deep boom, a wide blast of noise whose filter closes as it fades,
// fragments crackling away to either side, and a few early reflections.
std::vector<float> MakeDebrisExplosion() {
    const size_t frames = SynthRate * 22 / 10;
    StereoTrack blast(frames);
    NoiseSource noise(0xDEB815u);
    Oscillator boom;
    Filter leftBlast, rightBlast, leftRumble(120.0f, 0.0f), rightRumble(120.0f, 0.0f);
    for (size_t i = 0; i < frames; ++i) {
        float t = static_cast<float>(i) / SynthRate;
        if (i % 16 == 0) {
            float cutoff = 6000.0f * std::exp(-t * 4.0f) + 160.0f;
            leftBlast.Tune(cutoff, 0.1f);
            rightBlast.Tune(cutoff, 0.1f);
        }
        float attack = std::min(1.0f, t / 0.003f);
        float low =
            std::tanh(2.0f * boom.Sine(35.0f + 70.0f * std::exp(-t * 9.0f)) * std::exp(-t * 3.2f)) *
            attack;
        float blastLevel = attack * std::exp(-t * 2.6f);
        float rumbleLevel = std::exp(-t * 1.4f) * 2.5f;
        float left = 0.8f * low + leftBlast.Process(noise.Next()).low * blastLevel +
                     leftRumble.Process(noise.Next()).low * rumbleLevel;
        float right = 0.8f * low + rightBlast.Process(noise.Next()).low * blastLevel +
                      rightRumble.Process(noise.Next()).low * rumbleLevel;
        blast.left[i] = left;
        blast.right[i] = right;
    }
    // Fragments: short bursts of band-passed noise, thick at first and thinning out.
    for (int grain = 0; grain < 140; ++grain) {
        float when = 1.7f * std::pow(noise.Between(0.0f, 1.0f), 2.2f);
        float hz = noise.Between(700.0f, 5200.0f);
        float length = noise.Between(0.004f, 0.03f);
        float level = 0.45f * std::exp(-when * 1.8f) * noise.Between(0.3f, 1.0f);
        Pan place(noise.Between(-0.9f, 0.9f));
        Filter band(hz, 0.6f);
        size_t start = static_cast<size_t>(when * SynthRate);
        size_t count = static_cast<size_t>(length * SynthRate);
        for (size_t i = 0; i < count && start + i < frames; ++i) {
            float t = static_cast<float>(i) / SynthRate;
            float sample = band.Process(noise.Next()).band * level * std::exp(-t * 4.0f / length);
            blast.left[start + i] += sample * place.left;
            blast.right[start + i] += sample * place.right;
        }
    }
    StereoTrack reflected = blast;
    const float Delays[4] = {0.023f, 0.037f, 0.053f, 0.071f};
    for (int tap = 0; tap < 4; ++tap) {
        size_t delay = static_cast<size_t>(Delays[tap] * SynthRate);
        float gain = 0.3f - 0.05f * tap;
        for (size_t i = delay; i < frames; ++i) {
            // Alternate sides: each reflection comes back from the other wall.
            if (tap % 2 == 0) {
                reflected.left[i] += blast.right[i - delay] * gain;
            } else {
                reflected.right[i] += blast.left[i - delay] * gain;
            }
        }
    }
    std::vector<float> interleaved(frames * 2);
    for (size_t i = 0; i < frames; ++i) {
        interleaved[2 * i] = reflected.left[i];
        interleaved[2 * i + 1] = reflected.right[i];
    }
    BlockDc(interleaved, 2);
    FadeOut(interleaved, 2, SynthRate / 10);
    return MasterMono(interleaved, 0.9f);
}

bool WriteWave(const ForgeContext& context, const char* path, const std::vector<float>& samples,
               int channels, int rate) {
    std::vector<uint8_t> file = EncodeWave(ToPcm16(samples), channels, rate);
    return WriteForgedFile(context, path, file.data(), file.size());
}

bool ForgeSounds(const ForgeContext& context) {
    return WriteWave(context, "sound/ship/BC_shot-laser3.wav", MakeLaserShot(), 1, SynthRate) &&
           WriteWave(context, "sound/ship/thrust.wav", MakeThrust(), 1, ThrustRate) &&
           WriteWave(context, "sound/ship/BC_explosion-debris.wav", MakeDebrisExplosion(), 2,
                     SynthRate);
}

FORGE_STEP("sounds", ForgeSounds);

}  // namespace
