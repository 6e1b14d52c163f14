#include "engine/CharacterState.h"

#include "engine/GainLaws.h"

#include <algorithm>
#include <cmath>

namespace
{
constexpr float twoPi = 6.2831855f;
constexpr float dcTrackerOmega = 62.831856f; // 2π × 10 Hz
constexpr float levelAttackSeconds = 0.01f;
constexpr float levelReleaseSeconds = 0.2f;

constexpr float driveRange = 0.55f; // GRIT at which the drive amount is full
constexpr float crushStart = 0.45f; // GRIT above which the crush amount rises
constexpr float amountOn = 0.0001f; // an amount at or below this switches its stage off

constexpr float maxCutoffRatio = 0.45f;
constexpr float levellerThresholdDb = -24.0f;
constexpr float levellerMaxReductionDb = 6.0f;

float limit01 (float x) noexcept { return x < 0.0f ? 0.0f : (x > 1.0f ? 1.0f : x); }
} // namespace

float CharacterState::driveAmount (float grit) noexcept { return limit01 (grit / driveRange); }

float CharacterState::crushAmount (float grit) noexcept { return limit01 ((grit - crushStart) / driveRange); }

float CharacterState::toneCutoff (float grit, float sampleRateHz) noexcept
{
    const float a = limit01 (grit);
    const float d = driveAmount (a);
    const float c = crushAmount (a);
    const float fc = (std::pow (0.16f, d) * 20000.0f) * (c * 1.4f + 1.0f);
    return std::min (fc, maxCutoffRatio * sampleRateHz);
}

float CharacterState::saturate (float x, float amount) noexcept
{
    const float drive = amount * 8.0f + 1.0f;
    const float u = x * drive;
    const float w = ((amount * 0.18f) * u) * u + u;
    return std::tanh (w) / std::tanh (drive);
}

float CharacterState::crushBits (float crush) noexcept { return 16.0f - crush * 10.0f; }

float CharacterState::quantise (float x, float crush) noexcept
{
    const float step = 2.0f / std::pow (2.0f, crushBits (crush));
    return std::round (x / step) * step;
}

int CharacterState::holdLength (float crush) noexcept { return 1 + static_cast<int> (23.0f * std::pow (crush, 1.5f)); }

void CharacterState::prepare (double newSampleRate)
{
    sampleRate = newSampleRate;

    const auto fs = static_cast<float> (newSampleRate);
    levelAttack = std::exp (-1.0f / (fs * levelAttackSeconds));
    levelRelease = std::exp (-1.0f / (fs * levelReleaseSeconds));
    dcCoefficient = 1.0f - std::exp (-dcTrackerOmega / fs);

    updateTone (0.0f);

    toneState = {};
    dcState = {};
    levelEnvelope = {};
    heldSample = {};
    holdCounter = {};
}

void CharacterState::updateTone (float grit)
{
    const auto fs = static_cast<float> (sampleRate);
    toneCoefficient = 1.0f - std::exp ((toneCutoff (grit, fs) * -twoPi) / fs);
}

float CharacterState::level (int k, float s, float drive) noexcept
{
    auto& envelope = levelEnvelope[(size_t) k];
    const float magnitude = std::abs (s);
    const float e = magnitude > envelope ? levelAttack : levelRelease;
    envelope = (1.0f - e) * magnitude + e * envelope;

    const float over = gainToDecibels (envelope) - levellerThresholdDb;

    if (over <= 0.0f)
        return s;

    const float reductionDb = std::min (levellerMaxReductionDb, over * 0.5f) * drive;
    return s * std::pow (10.0f, -reductionDb * 0.05f);
}

float CharacterState::reduce (int k, float s, float crush) noexcept
{
    const float q = quantise (s, crush);
    const int hold = holdLength (crush);

    auto& counter = holdCounter[(size_t) k];

    if (counter <= 0)
    {
        heldSample[(size_t) k] = q;
        counter = hold;
    }

    --counter;
    return heldSample[(size_t) k];
}

float CharacterState::processSample (int k, float blend, float grit) noexcept
{
    const float g = limit01 (grit);
    const float drive = driveAmount (g);
    const float crush = crushAmount (g);

    const float sat = saturate (blend, drive);

    auto& dc = dcState[(size_t) k];
    dc = dc + (sat - dc) * dcCoefficient;

    // Crossfade from the clean blend to the saturated signal with its DC taken out.
    const float v = ((sat - dc) - blend) * drive + blend;

    auto& tone = toneState[(size_t) k];
    tone = tone + (v - tone) * toneCoefficient;
    float s = tone;

    if (drive > amountOn)
        s = level (k, s, drive);

    if (crush > amountOn)
        s = reduce (k, s, crush);

    return ((1.0f - drive * 0.16f) - crush * 0.1f) * s;
}
