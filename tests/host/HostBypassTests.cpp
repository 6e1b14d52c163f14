#include "HostTestSupport.h"
#include "TestSignals.h"

#include <cmath>

// The wrapper's bypass switch, set as a host sets it: the plug-in then passes its input delayed by the
// latency the host compensates, so a bypassed track stays in time with every other track.
namespace
{
using HostTestSupport::AudioCase;

// The sample the bypassed plug-in must give at index i of a run whose input is `input`.
float delayedInput (const juce::AudioBuffer<float>& input, int ch, int i, int latency)
{
    return i < latency ? 0.0f : input.getSample (ch, i - latency);
}

::testing::AssertionResult isDelayedInput (
    const juce::AudioBuffer<float>& output, const juce::AudioBuffer<float>& input, int latency, int from, int to)
{
    for (int ch = 0; ch < output.getNumChannels(); ++ch)
        for (int i = from; i < to; ++i)
            if (output.getSample (ch, i) != delayedInput (input, ch, i, latency))
                return ::testing::AssertionFailure()
                       << "channel " << ch << ", sample " << i << ": " << output.getSample (ch, i) << " instead of "
                       << delayedInput (input, ch, i, latency);

    return ::testing::AssertionSuccess();
}

// Through the switch each format's wrapper offers: VST3's "Bypass" parameter, LV2's lv2:enabled port, which
// JUCE's LV2 hosting shows as a "Bypass" parameter too.
void setBypass (juce::AudioProcessor& instance, bool bypassed)
{
    HostTestSupport::parameter (instance, "Bypass").setValueNotifyingHost (bypassed ? 1.0f : 0.0f);
}

// Runs input[from, to) through the instance in place in blocks; the host's parameter changes travel
// with the first of them.
void processRange (juce::AudioProcessor& instance, juce::AudioBuffer<float>& buffer, int from, int to)
{
    juce::AudioBuffer<float> range (buffer.getArrayOfWritePointers(), buffer.getNumChannels(), from, to - from);
    HostedPlugin::processInBlocks (instance, range, HostTestSupport::blockSize);
}

class HostBypass : public ::testing::TestWithParam<AudioCase>
{
};
} // namespace

TEST_P (HostBypass, BypassedOutputIsTheInputDelayedByTheLatencyTheHostReads)
{
    const auto [format, sampleRate, numChannels] = GetParam();
    auto instance = HostTestSupport::loadPrepared (format, sampleRate, numChannels);
    ASSERT_NE (instance, nullptr);
    const int latency = instance->getLatencySamples();
    ASSERT_EQ (latency, (int) std::round (0.003 * sampleRate));

    setBypass (*instance, true);

    // An impulse at frame 1000 and noise after it; not a whole number of blocks.
    auto input = TestSignals::noise (numChannels, 20 * HostTestSupport::blockSize + 77, 0.9f, 3);
    input.clear (0, 1200);

    for (int ch = 0; ch < numChannels; ++ch)
        input.setSample (ch, 1000, 1.0f);

    auto output = input;
    processRange (*instance, output, 0, output.getNumSamples());

    EXPECT_EQ (output.getSample (0, 1000 + latency), 1.0f);
    EXPECT_TRUE (isDelayedInput (output, input, latency, 0, output.getNumSamples()));
}

TEST_P (HostBypass, EngagingAndReleasingKeepTheTrackInTime)
{
    const auto [format, sampleRate, numChannels] = GetParam();
    auto instance = HostTestSupport::loadPrepared (format, sampleRate, numChannels);
    ASSERT_NE (instance, nullptr);
    const int latency = instance->getLatencySamples();
    const auto at = [rate = sampleRate] (double seconds)
    { return (int) (seconds * rate) / HostTestSupport::blockSize * HostTestSupport::blockSize; };

    const auto input = TestSignals::noise (numChannels, at (0.6), 0.9f, 4);
    auto output = input;

    // Processing, bypassed from 0.2 s, processing again from 0.4 s.
    processRange (*instance, output, 0, at (0.2));
    setBypass (*instance, true);
    processRange (*instance, output, at (0.2), at (0.4));
    setBypass (*instance, false);
    processRange (*instance, output, at (0.4), at (0.6));

    // The effect is heard before the switch and after release; once its 10 ms fade-out is over, what is
    // left is the input delayed by the latency, bit for bit.
    EXPECT_FALSE (isDelayedInput (output, input, latency, at (0.1), at (0.2)));
    EXPECT_TRUE (isDelayedInput (output, input, latency, at (0.2) + (int) (0.01 * sampleRate), at (0.4)));
    EXPECT_FALSE (isDelayedInput (output, input, latency, at (0.5), at (0.6)));
}

// At MELT 0 the engine's output is the delayed input itself, so every switch, in either direction,
// must leave it in place: a dropped or repeated sample at a switch would show as a jump.
TEST_P (HostBypass, SwitchingNeitherDropsNorRepeatsASample)
{
    const auto [format, sampleRate, numChannels] = GetParam();
    auto instance = HostTestSupport::loadPrepared (format, sampleRate, numChannels);
    ASSERT_NE (instance, nullptr);
    const int latency = instance->getLatencySamples();

    HostTestSupport::parameter (*instance, "Melt").setValueNotifyingHost (0.0f);
    HostTestSupport::deliverParameterChanges (*instance);
    juce::AudioBuffer<float> settle (numChannels, (int) (0.25 * sampleRate));
    settle.clear();
    processRange (*instance, settle, 0, settle.getNumSamples());

    const auto input = TestSignals::noise (numChannels, 40 * HostTestSupport::blockSize, 0.9f, 5);
    auto output = input;

    // Switches every few blocks, some within a fade and some after it.
    for (int block = 0, bypassed = 0; block < 40; ++block)
    {
        if (block % 3 == 0 || block % 7 == 0)
            setBypass (*instance, (bypassed ^= 1) != 0);

        processRange (*instance, output, block * HostTestSupport::blockSize, (block + 1) * HostTestSupport::blockSize);
    }

    // Along a fade the two equal paths are blended, which may round the last bit.
    for (int ch = 0; ch < numChannels; ++ch)
        for (int i = 0; i < output.getNumSamples(); ++i)
            ASSERT_NEAR (output.getSample (ch, i), delayedInput (input, ch, i, latency), 1.0e-6f)
                << "channel " << ch << ", sample " << i;
}

INSTANTIATE_TEST_SUITE_P (FormatsRatesAndLayouts,
                          HostBypass,
                          ::testing::ValuesIn (HostTestSupport::audioCases()),
                          HostTestSupport::audioCaseName);
