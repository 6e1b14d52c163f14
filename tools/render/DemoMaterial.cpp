#include "DemoMaterial.h"

#include <cmath>
#include <vector>

namespace DemoMaterial
{
namespace
{
constexpr float twoPi = juce::MathConstants<float>::twoPi;
constexpr float peakLevel = 0.5f; // -6 dBFS, leaving the wet path room above the dry one

// A voice is written into the buffer from a start sample, panned with a constant-power law.
struct Voice
{
    juce::AudioBuffer<float>& out;
    double sampleRate;
    int start;
    float pan; // -1 left to +1 right

    void add (int i, float sample) const
    {
        const auto index = start + i;
        if (index < 0 || index >= out.getNumSamples())
            return;

        const auto angle = (pan + 1.0f) * juce::MathConstants<float>::pi * 0.25f;
        out.addSample (0, index, sample * std::cos (angle));
        out.addSample (1, index, sample * std::sin (angle));
    }

    int samplesIn (float seconds) const { return (int) (seconds * (float) sampleRate); }
    float decay (int i, float seconds) const { return std::exp (-(float) i / (seconds * (float) sampleRate)); }
};

// Karplus-Strong: a burst of noise circulating through a delay of one period, averaged each time round.
void pluck (const Voice& voice, float frequency, float gain, juce::Random& random)
{
    constexpr float damping = 0.996f;
    const auto period = std::max (2, (int) std::lround (voice.sampleRate / frequency));
    std::vector<float> string ((size_t) period);
    for (auto& s : string)
        s = random.nextFloat() * 2.0f - 1.0f;

    const auto length = voice.samplesIn (3.0f);
    float previous = 0.0f;
    for (int i = 0; i < length; ++i)
    {
        auto& s = string[(size_t) (i % period)];
        const auto current = s;
        s = damping * 0.5f * (current + previous);
        previous = current;
        voice.add (i, gain * current);
    }
}

void kick (const Voice& voice, float gain)
{
    float phase = 0.0f;
    for (int i = 0; i < voice.samplesIn (0.5f); ++i)
    {
        const auto frequency = 48.0f + 110.0f * voice.decay (i, 0.03f);
        phase += twoPi * frequency / (float) voice.sampleRate;
        voice.add (i, gain * std::sin (phase) * voice.decay (i, 0.16f));
    }
}

void snare (const Voice& voice, float gain, juce::Random& random)
{
    float previousNoise = 0.0f;
    for (int i = 0; i < voice.samplesIn (0.4f); ++i)
    {
        const auto noise = random.nextFloat() * 2.0f - 1.0f;
        const auto brightNoise = noise - 0.6f * previousNoise; // tilted towards the highs
        previousNoise = noise;
        const auto body = std::sin (twoPi * 185.0f * (float) i / (float) voice.sampleRate) * voice.decay (i, 0.05f);
        voice.add (i, gain * (0.6f * brightNoise * voice.decay (i, 0.09f) + 0.5f * body));
    }
}

void hat (const Voice& voice, float gain, juce::Random& random)
{
    float previousNoise = 0.0f;
    for (int i = 0; i < voice.samplesIn (0.12f); ++i)
    {
        const auto noise = random.nextFloat() * 2.0f - 1.0f;
        const auto hiss = noise - previousNoise; // a first difference keeps only the top octaves
        previousNoise = noise;
        voice.add (i, gain * hiss * voice.decay (i, 0.025f));
    }
}
} // namespace

juce::AudioBuffer<float> synthesise (double sampleRate, double bpm)
{
    const auto beatSeconds = 60.0 / bpm;
    const auto beatSample = [&] (double beat) { return (int) std::lround (beat * beatSeconds * sampleRate); };

    juce::AudioBuffer<float> out (2, beatSample (bars * beatsPerBar));
    out.clear();
    juce::Random random (0x5eed);

    // A minor seventh, low to high, strummed down on beat 1 and up, softer, on the "and" of 2.
    const float chord[] = { 110.0f, 164.81f, 196.0f, 261.63f, 329.63f };
    constexpr int strings = 5;
    constexpr double strumSpacingBeats = 0.05;
    for (int s = 0; s < strings; ++s)
    {
        const auto pan = -0.6f + 1.2f * (float) s / (strings - 1);
        pluck (Voice { out, sampleRate, beatSample (s * strumSpacingBeats), pan }, chord[s], 0.5f, random);
        pluck (Voice { out, sampleRate, beatSample (1.5 + (strings - 1 - s) * strumSpacingBeats * 0.5), pan },
               chord[s],
               0.25f,
               random);
    }

    // Bar 2: kick, snare and eighth-note hats.
    for (const double beat : { 4.0, 5.5, 6.0 })
        kick (Voice { out, sampleRate, beatSample (beat), 0.0f }, 0.9f);
    for (const double beat : { 5.0, 7.0 })
        snare (Voice { out, sampleRate, beatSample (beat), 0.1f }, 0.6f, random);
    for (double beat = 4.0; beat < 8.0; beat += 0.5)
        hat (Voice { out, sampleRate, beatSample (beat), 0.35f }, beat == std::floor (beat) ? 0.3f : 0.18f, random);

    const auto peak = out.getMagnitude (0, out.getNumSamples());
    if (peak > 0.0f)
        out.applyGain (peakLevel / peak);

    return out;
}
} // namespace DemoMaterial
