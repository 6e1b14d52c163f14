#pragma once

#include "engine/Dynamics.h"
#include "engine/LastValueCache.h"
#include "engine/StageBasics.h"

#include <array>
#include <juce_dsp/juce_dsp.h>

struct CharacterStageProbe; // test access to the per-channel state

// GRIT's colour on the wet path: the saturator with its DC tracker, the tone low-pass, the leveller and the
// bit/rate reducer, one after another. The engine blends the delays and the reverb before this stage and
// runs the low cut and the output mix after it; each law can also be read (and tested) on its own.
class CharacterStage
{
public:
    // Asymmetric, tanh-normalised waveshaper (before DC removal).
    static float saturate (float x, float driveAmount) noexcept;

    // The leveller's gain reduction in dB for a follower level (linear) and a drive amount. It reaches its
    // ceiling, levellerMaxReductionDb × drive, at a level of 10^(-12/20) = 0.2511886; from the bound just
    // above that, with a margin of thousands of ulps of the logarithm, it is surely at the ceiling.
    static constexpr float levellerMaxReductionDb = 6.0f;
    static constexpr GainComputer leveller { -24.0f, 0.5f, levellerMaxReductionDb };
    static float levellerReductionDb (float envelope, float drive) noexcept
    {
        return leveller.reductionDb (envelope, drive);
    }
    static constexpr float levellerCeilingEnvelope = 0.2512f;

    // A sample on the bit reducer's grid for a crush amount (GritLaws::quantisationStep).
    static float quantise (float x, float crush) noexcept;

    void prepare (const juce::dsp::ProcessSpec& spec);
    void updateTone (float grit);

    // Clears every channel's state, as prepare() leaves it; the coefficients stay.
    void reset() noexcept;

    // Steps from the saturator to the output trim for numSamples samples of one or two channels (channel
    // ch uses the state entries ch): samples holds the bus blend on entry and the trimmed result on return.
    void process (float* const* samples, int numChannels, int numSamples, const float* grit) noexcept;

    // The same for one sample of one channel.
    float processSample (int channel, float blend, float grit) noexcept;

    // The leveller and the bit/rate reducer on their own, advancing one channel's state; processSample
    // runs them only while their amount is above the switch-off threshold.
    float runLeveller (int channel, float sample, float driveAmount) noexcept;
    float runReducer (int channel, float sample, float crushAmount) noexcept;

    // The tone low-pass's coefficient, which follows GRIT once per block.
    float getToneCoefficient() const noexcept { return toneCoefficient; }

private:
    friend struct CharacterStageProbe;

    // The block is worked through in chunks, each stage over the whole chunk before the next, so that the
    // maths library calls of successive samples, which do not depend on each other, can overlap.
    static constexpr int chunkLength = 64;
    using Chunk = std::array<float, chunkLength>;

    struct SteadyAmounts;
    struct MovingAmounts;

    template <typename Visit>
    void forEachChunk (const float* grit, int numSamples, Visit&& visit) noexcept;
    // Channel c of the chunk is samples[c], with the state entries ks[c].
    template <size_t N, typename Amounts>
    void processChunk (const std::array<size_t, N>& ks,
                       const std::array<float*, N>& samples,
                       size_t length,
                       const Amounts& amounts) noexcept;
    float normaliserFor (float drive) noexcept;
    float holdOrQuantise (float& held, int& counter, float sample, float crushAmount) noexcept;
    float applyLeveller (float s, float envelope, float drive) noexcept;

    // Pure functions of a GRIT-derived amount, which rests for whole blocks while GRIT does: both
    // channels share them.
    LastValueCache<float> driveNormaliser;
    LastValueCache<float> levellerGain;
    LastValueCache<float> stepForCrush;
    LastValueCache<int> holdForCrush;

    double sampleRate = 44100.0;
    float toneCoefficient = 1.0f;
    float dcCoefficient = 0.001f;
    EnvelopeFollower levelFollower;

    // Per channel.
    std::array<float, maxChannels> toneState {};
    std::array<float, maxChannels> dcState {};
    std::array<float, maxChannels> levelEnvelope {};
    std::array<float, maxChannels> heldSample {};
    std::array<int, maxChannels> holdCounter {};
};
