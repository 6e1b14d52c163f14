#pragma once

#include "engine/LastValueCache.h"

#include <array>

// Coefficients and per-channel state of the character stage: the saturator's DC tracker, the tone
// low-pass, the leveller and the bit/rate reducer. The processor blends the buses before these steps and
// runs the low cut and the output mix after them; each law can also be read (and tested) on its own.
class CharacterState
{
public:
    static constexpr int maxChannels = 2;
    static constexpr float lowCutFrequency = 150.0f;

    // GRIT splits into two overlapping amounts: drive over its lower 55 %, crush over its upper 55 %.
    static float driveAmount (float grit) noexcept;
    static float crushAmount (float grit) noexcept;

    static float toneCutoff (float grit, float sampleRateHz) noexcept;

    // Asymmetric, tanh-normalised waveshaper (before DC removal).
    static float saturate (float x, float driveAmount) noexcept;

    // The leveller's gain reduction in dB for a follower level (linear) and a drive amount. It reaches its
    // ceiling, levellerMaxReductionDb × drive, at a level of 10^(-12/20) = 0.2511886; from the bound just
    // above that, with a margin of thousands of ulps of the logarithm, it is surely at the ceiling.
    static float levellerReductionDb (float envelope, float drive) noexcept;
    static constexpr float levellerMaxReductionDb = 6.0f;
    static constexpr float levellerCeilingEnvelope = 0.2512f;

    static float crushBits (float crush) noexcept;
    static float quantisationStep (float crush) noexcept;
    static float quantise (float x, float crush) noexcept;
    static int holdLength (float crush) noexcept;

    void prepare (double newSampleRate);
    void updateTone (float grit);

    // Clears every channel's state, as prepare() leaves it; the coefficients stay.
    void reset() noexcept;

    // Steps from the saturator to the output trim for numSamples samples of one or two channels (channel
    // ch uses the state entries ch): samples holds the bus blend on entry and the trimmed result on return.
    void processBlock (float* const* samples, int numChannels, const float* grit, int numSamples) noexcept;

    // The same for one sample.
    float processSample (int k, float blend, float grit) noexcept;

    // The leveller and the bit/rate reducer on their own, advancing channel k's state; processSample
    // runs them only while their amount is above the switch-off threshold.
    float level (int k, float s, float drive) noexcept;
    float reduce (int k, float s, float crush) noexcept;

    double sampleRate = 44100.0;
    float toneCoefficient = 1.0f;
    float dcCoefficient = 0.001f;
    float levelAttack = 0.99f;
    float levelRelease = 0.9999f;
    std::array<float, maxChannels> toneState {};
    std::array<float, maxChannels> dcState {};
    std::array<float, maxChannels> levelEnvelope {};
    std::array<float, maxChannels> heldSample {};
    std::array<int, maxChannels> holdCounter {};

private:
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
    float followLevel (float envelope, float s) const noexcept;
    float reduce (float& held, int& counter, float s, float crush) noexcept;
    float applyLeveller (float s, float envelope, float drive) noexcept;

    // Pure functions of a GRIT-derived amount, which rests for whole blocks while GRIT does: both
    // channels share them.
    LastValueCache<float> driveNormaliser;
    LastValueCache<float> levellerGain;
    LastValueCache<float> stepForCrush;
    LastValueCache<int> holdForCrush;
};
