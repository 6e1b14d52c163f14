// Arbitrary audio, block lengths, control moves, tempi, re-preparations and cleared tails fed to a
// prepared engine: every output sample must be finite and stay within reach of the input's level.
#include "FuzzInput.h"
#include "FuzzRequire.h"
#include "engine/Engine.h"

#include <array>
#include <cmath>
#include <limits>

namespace
{
constexpr std::array<double, 8> sampleRates {
    22050.0, 32000.0, 44100.0, 48000.0, 88200.0, 96000.0, 176400.0, 192000.0
};

// Hot but plausible audio: up to +18 dBFS, plus the values a broken upstream plug-in might send.
constexpr float maxInputLevel = 8.0f;

// Measured peaks stay near the input level; the wet path's saturators and the reverb cannot add more
// than a few times it. Far beyond that is a runaway loop.
constexpr float outputHeadroom = 16.0f;

constexpr int maxBlockSize = 4096;

float sampleFrom (std::uint16_t code)
{
    switch (code)
    {
    case 0xffff:
        return std::numeric_limits<float>::quiet_NaN();
    case 0xfffe:
        return std::numeric_limits<float>::infinity();
    case 0xfffd:
        return -std::numeric_limits<float>::infinity();
    case 0xfffc:
        return std::numeric_limits<float>::denorm_min();
    case 0xfffb:
        return -std::numeric_limits<float>::min() * 0.5f;
    default:
        return (static_cast<float> (code) / 32767.5f - 1.0f) * maxInputLevel;
    }
}

double tempoFrom (std::uint8_t code)
{
    constexpr std::array<double, 6> hostile {
        std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(), 0.0, -120.0, 1.0e9, 1.0e-9
    };
    return code < hostile.size() ? hostile[code] : static_cast<double> (code) * 1.5;
}

struct Session
{
    Engine engine;
    MacroTargets targets {};
    double bpm = Engine::defaultBpm;
    int numChannels = 2;
    juce::AudioBuffer<float> buffer;
    float inputPeak = 0.0f;

    void prepare (FuzzInput& in)
    {
        numChannels = (in.byte() & 1) != 0 ? 1 : 2;
        const double rate = sampleRates[in.byte() % sampleRates.size()];
        const int block = in.word() % (maxBlockSize + 1);
        engine.prepare ({ rate, static_cast<juce::uint32> (block), static_cast<juce::uint32> (numChannels) });
        engine.jumpTo (targets);
        inputPeak = 0.0f;
    }

    void processBlock (FuzzInput& in)
    {
        const int length = in.word() % (2 * maxBlockSize + 1); // may exceed what was prepared
        buffer.setSize (numChannels, length, false, false, true);

        for (int ch = 0; ch < numChannels; ++ch)
            for (int i = 0; i < length; ++i)
            {
                const float x = sampleFrom (in.word());
                buffer.setSample (ch, i, x);

                if (std::isfinite (x))
                    inputPeak = std::max (inputPeak, std::abs (x));
            }

        if (length > 0)
            engine.process (buffer.getArrayOfWritePointers(), numChannels, length, targets, bpm);

        const float limit = outputHeadroom * std::max (1.0f, inputPeak);

        for (int ch = 0; ch < numChannels; ++ch)
            for (int i = 0; i < length; ++i)
            {
                const float y = buffer.getSample (ch, i);
                VELDRANOX_FUZZ_REQUIRE (std::isfinite (y));
                VELDRANOX_FUZZ_REQUIRE (std::abs (y) <= limit);
            }
    }
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput (const std::uint8_t* data, std::size_t size)
{
    FuzzInput in (data, size);
    Session session;
    session.prepare (in);

    for (int step = 0; step < 64 && ! in.exhausted(); ++step)
    {
        switch (in.byte() % 8)
        {
        case 0:
        case 1:
        case 2:
            session.processBlock (in);
            break;
        case 3:
        case 4:
            session.targets[in.byte() % session.targets.size()] = in.unit();
            break;
        case 5:
        {
            // A host without a tempo leaves the engine at its default one.
            const bool hostHasTempo = (in.byte() & 1) != 0;
            const double tempo = tempoFrom (in.byte());
            session.bpm = hostHasTempo ? tempo : Engine::defaultBpm;
            break;
        }
        case 6:
            session.prepare (in);
            break;
        default:
            session.engine.clearTails();
            break;
        }
    }

    return 0;
}
