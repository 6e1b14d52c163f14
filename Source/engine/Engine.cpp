#include "engine/Engine.h"

#include "engine/LastValueCache.h"
#include "engine/MacroLaws.h"

#include <cmath>

namespace
{
constexpr float lookaheadSeconds = 0.003f;
constexpr float duckAttackSeconds = 0.002f;
constexpr float duckReleaseSeconds = 0.14f;

constexpr float reverbSendFromDelay = 0.75f;
constexpr float reverbSendFromDry = 0.6f;

// Sized for both channels, then set to the layout's count: a block in a wider layout regrows the
// buffer within the memory already there instead of allocating on the audio thread.
void reserveForAllChannels (juce::AudioBuffer<float>& buffer, int numChannels, int numSamples)
{
    constexpr bool keepContent = false, clearExtraSpace = false, avoidReallocating = true;
    buffer.setSize (maxChannels, numSamples);
    buffer.setSize (numChannels, numSamples, keepContent, clearExtraSpace, avoidReallocating);
}

// A NaN or infinity from an upstream plug-in would otherwise lodge in the delay ring, the reverb and
// the filters for good; such a sample is heard as silence instead.
void replaceNonFiniteWithSilence (float* samples, int numSamples) noexcept
{
    for (int i = 0; i < numSamples; ++i)
        if (! std::isfinite (samples[i]))
            samples[i] = 0.0f;
}
} // namespace

void Engine::prepare (const juce::dsp::ProcessSpec& layout)
{
    const double newSampleRate = layout.sampleRate;
    const auto maxBlock = static_cast<int> (layout.maximumBlockSize);
    const auto rate = static_cast<float> (newSampleRate);
    sampleRate = newSampleRate;

    const juce::dsp::ProcessSpec spec { newSampleRate,
                                        static_cast<juce::uint32> (juce::jmax (1, maxBlock)),
                                        static_cast<juce::uint32> (maxChannels) };

    modulatedDelay.prepare (spec);
    character.prepare (spec);

    duckFollower.setTimes (duckAttackSeconds, duckReleaseSeconds);
    duckFollower.prepare (spec);

    reverb.prepare (spec);

    lowCut.prepare (spec);
    lowCut.setType (juce::dsp::StateVariableTPTFilterType::highpass);
    lowCut.setCutoffFrequency (lowCutFrequency);

    lookaheadSamples = static_cast<int> (std::round (rate * lookaheadSeconds));
    lookahead.setMaximumDelayInSamples (juce::jmax (1, lookaheadSamples + 1));
    lookahead.prepare (spec);
    lookahead.setDelay (static_cast<float> (lookaheadSamples));

    reset();

    for (auto& macro : macros)
        macro.prepare (spec);

    const int channels = juce::jlimit (1, maxChannels, static_cast<int> (layout.numChannels));

    for (auto* audio : { &dryBuffer, &delayBuffer, &reverbBuffer })
        reserveForAllChannels (*audio, channels, maxBlock);
    controlBuffer.setSize (numLanes, maxBlock);
    duckGainBuffer.setSize (1, maxBlock);
}

void Engine::reset() noexcept
{
    lookahead.reset();
    clearTails();
}

void Engine::clearTails() noexcept
{
    modulatedDelay.reset();
    character.reset();
    reverb.reset();
    duckFollower.reset();
    lowCut.reset();
    duckerEnvelope = 0.0f;
}

void Engine::jumpTo (const MacroTargets& targets) noexcept
{
    for (size_t k = 0; k < macros.size(); ++k)
        macros[k].jumpTo (targets[k]);
}

void Engine::glideTo (const MacroTargets& targets) noexcept
{
    for (size_t k = 0; k < macros.size(); ++k)
        macros[k].glideTo (targets[k]);
}

void Engine::process (float* const* channels, int numChannels, int numSamples, const MacroTargets& targets, double bpm)
{
    setWorkBufferSizes (numChannels, numSamples);
    glideTo (targets);
    renderControlLanes (numSamples);

    // Settings that hold for a whole block follow the controls where the block leaves them.
    const int last = numSamples - 1;
    character.updateTone (controlBuffer.getSample (macroGrit, last));
    reverb.setParameters (SpaceLaws::reverbSettings (controlBuffer.getSample (macroSpace, last)));
    const auto delayTimes = delayTimesFor (bpm);

    for (int ch = 0; ch < numChannels; ++ch)
        cleanAndDelayByLookahead (ch, channels[ch], dryBuffer.getWritePointer (ch), numSamples);

    followInputLevelAndDuck (channels, numChannels, numSamples);
    runModulatedDelay (numChannels, numSamples, delayTimes);
    runReverb (numChannels, numSamples);

    // The input has been used up, so the host's channels carry the wet signal from the blend to the mix.
    blendDelayAndReverb (channels, numChannels, numSamples);
    character.process (channels, numChannels, numSamples, controlBuffer.getReadPointer (macroGrit));
    lowCutAndMix (channels, numChannels, numSamples);
}

void Engine::processDryPathOnly (float* const* channels, int numChannels, int numSamples) noexcept
{
    for (int ch = 0; ch < numChannels; ++ch)
        cleanAndDelayByLookahead (ch, channels[ch], channels[ch], numSamples);
}

void Engine::setWorkBufferSizes (int numChannels, int numSamples) noexcept
{
    // Shrinking or regrowing within the memory obtained in prepare reuses it.
    constexpr bool keepContent = false, clearExtraSpace = false, avoidReallocating = true;
    for (auto* work : { &dryBuffer, &delayBuffer, &reverbBuffer })
        work->setSize (numChannels, numSamples, keepContent, clearExtraSpace, avoidReallocating);
    controlBuffer.setSize (numLanes, numSamples, keepContent, clearExtraSpace, avoidReallocating);
    duckGainBuffer.setSize (1, numSamples, keepContent, clearExtraSpace, avoidReallocating);
}

void Engine::renderControlLanes (int numSamples)
{
    for (size_t k = 0; k < numMacros; ++k)
        macros[k].render (controlBuffer.getWritePointer ((int) k), numSamples);

    const auto* melt = controlBuffer.getReadPointer (macroMelt);
    auto* dryGain = controlBuffer.getWritePointer (laneDryGain);
    auto* wetGain = controlBuffer.getWritePointer (laneWetGain);
    LastValueCache<float> wet, dry;

    for (int i = 0; i < numSamples; ++i)
    {
        wetGain[i] = wet.get (melt[i], MeltLaws::wetGain);
        dryGain[i] = dry.get (melt[i], MeltLaws::dryGain);
    }
}

std::array<float, 2> Engine::delayTimesFor (double bpm) const noexcept
{
    // A tempo that is no number at all counts as none: the clamp would pass NaN on to the delay times
    // and pin infinities to an end of the range.
    const double tempo = juce::jlimit (minBpm, maxBpm, std::isfinite (bpm) ? bpm : defaultBpm);
    const auto beatSamples = static_cast<float> (60.0 / tempo * sampleRate);
    return { beatSamples * 0.5f, beatSamples * 0.75f };
}

void Engine::cleanAndDelayByLookahead (int channel, float* input, float* dry, int numSamples) noexcept
{
    replaceNonFiniteWithSilence (input, numSamples);

    // Pushed first, then popped at the set delay: dry[i] is the input lookaheadSamples samples earlier.
    // Each input sample is read before dry[i] is written, so dry may be the input itself.
    for (int i = 0; i < numSamples; ++i)
    {
        lookahead.pushSample (channel, input[i]);
        dry[i] = lookahead.popSample (channel);
    }
}

void Engine::followInputLevelAndDuck (const float* const* input, int numChannels, int numSamples)
{
    const auto* melt = controlBuffer.getReadPointer (macroMelt);
    auto* duckGain = duckGainBuffer.getWritePointer (0);
    // x / 1 and x / 2 round the same real numbers as x × 1 and x × 0.5: the same floats, without a division.
    const float inverseChannelCount = numChannels == 1 ? 1.0f : 0.5f;
    const float* x[2] = { input[0], input[secondChannelIndex (numChannels)] };

    // The level is taken before the lookahead, so the ducking leads the dry path it rides on. The follower
    // runs in locals, which the stores into duckGain cannot alias.
    float envelope = duckerEnvelope;
    const auto follower = duckFollower;

    for (int i = 0; i < numSamples; ++i)
    {
        float sum = 0.0f;

        for (int ch = 0; ch < numChannels; ++ch)
            sum = sum + x[ch][i];

        envelope = follower.next (envelope, std::abs (sum * inverseChannelCount));
        duckGain[i] = envelope;
    }

    duckerEnvelope = envelope;

    // The follower above is a chain from sample to sample; the gain law is not, so it runs on its own.
    // A reduction pinned at its ceiling repeats its exponent while MELT rests.
    LastValueCache<float> power;
    const auto tenToThe = [&power] (float exponent)
    { return power.get (exponent, [] (float e) { return std::pow (10.0f, e); }); };

    for (int i = 0; i < numSamples; ++i)
        duckGain[i] = MeltLaws::duckingGain (duckGain[i], melt[i], tenToThe);
}

void Engine::runModulatedDelay (int numChannels, int numSamples, const std::array<float, 2>& delayTimes)
{
    const auto* space = controlBuffer.getReadPointer (macroSpace);
    const auto* drift = controlBuffer.getReadPointer (macroDrift);
    const int second = secondChannelIndex (numChannels);
    const float* dry[2] = { dryBuffer.getReadPointer (0), dryBuffer.getReadPointer (second) };
    float* delayed[2] = { delayBuffer.getWritePointer (0), delayBuffer.getWritePointer (second) };

    constexpr int chunk = 256;
    std::array<float, chunk> feedback;

    for (int start = 0; start < numSamples; start += chunk)
    {
        const int length = juce::jmin (chunk, numSamples - start);

        for (int i = 0; i < length; ++i)
            feedback[(size_t) i] = SpaceLaws::delayFeedback (space[start + i]);

        const float* in[2] = { dry[0] + start, dry[1] + start };
        float* out[2] = { delayed[0] + start, delayed[1] + start };
        modulatedDelay.process (out, in, numChannels, length, delayTimes, feedback.data(), drift + start);
    }
}

void Engine::runReverb (int numChannels, int numSamples)
{
    for (int ch = 0; ch < numChannels; ++ch)
    {
        reverbBuffer.clear (ch, 0, numSamples);
        reverbBuffer.addFrom (ch, 0, delayBuffer, ch, 0, numSamples, reverbSendFromDelay);
        reverbBuffer.addFrom (ch, 0, dryBuffer, ch, 0, numSamples, reverbSendFromDry);
    }

    reverb.process (reverbBuffer.getArrayOfWritePointers(), numChannels, numSamples);
}

void Engine::blendDelayAndReverb (float* const* wet, int numChannels, int numSamples) noexcept
{
    const auto* space = controlBuffer.getReadPointer (macroSpace);

    for (int ch = 0; ch < numChannels; ++ch)
    {
        const auto* wetReverb = reverbBuffer.getReadPointer (ch);
        const auto* wetDelay = delayBuffer.getReadPointer (ch);

        for (int i = 0; i < numSamples; ++i)
        {
            const float reverbShare = SpaceLaws::reverbShare (space[i]);
            wet[ch][i] = reverbShare * wetReverb[i] + (1.0f - reverbShare) * wetDelay[i];
        }
    }
}

void Engine::lowCutAndMix (float* const* output, int numChannels, int numSamples) noexcept
{
    const auto* wetGain = controlBuffer.getReadPointer (laneWetGain);
    const auto* dryGain = controlBuffer.getReadPointer (laneDryGain);
    const auto* duckGain = duckGainBuffer.getReadPointer (0);

    // Sample by sample across the channels: each channel's filter is a chain from sample to sample, and
    // the chains of two channels can run side by side.
    const int second = secondChannelIndex (numChannels);
    const float* dry[2] = { dryBuffer.getReadPointer (0), dryBuffer.getReadPointer (second) };
    float* out[2] = { output[0], output[second] };

    for (int i = 0; i < numSamples; ++i)
        for (int ch = 0; ch < numChannels; ++ch)
        {
            const float y = lowCut.processSample (ch, out[ch][i]);
            out[ch][i] = (y * duckGain[i]) * wetGain[i] + dryGain[i] * dry[ch][i];
        }
}
