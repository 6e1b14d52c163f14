#include "HostTestSupport.h"
#include "TestSignals.h"

#include <cmath>
#include <ostream>
#include <string>
#include <vector>

namespace
{
using HostTestSupport::AudioCase;
using HostTestSupport::Format;

int samplesFor (double seconds, double sampleRate) { return int (std::ceil (seconds * sampleRate)); }

// Longer than any parameter glide of the plug-in, so that a changed value has fully arrived.
constexpr double settleSeconds = 0.25;

void processSilence (juce::AudioProcessor& instance, int numChannels, int numSamples)
{
    juce::AudioBuffer<float> silence (numChannels, numSamples);
    silence.clear();
    HostedPlugin::processInBlocks (instance, silence, HostTestSupport::blockSize);
}

float rms (const juce::AudioBuffer<float>& buffer, int start, int length)
{
    double sum = 0.0;

    for (int ch = 0; ch < buffer.getNumChannels(); ++ch)
        sum += juce::square (double (buffer.getRMSLevel (ch, start, length)));

    return float (std::sqrt (sum / buffer.getNumChannels()));
}

class HostAudio : public ::testing::TestWithParam<AudioCase>
{
};

// After the setting has settled over silence, noise comes out as itself delayed by the reported latency,
// bit for bit (the samples before it are the silence that preceded it).
void expectInputDelayedByTheLatencyAfterSetting (const AudioCase& audioCase, const char* parameterName, float value)
{
    const auto [format, sampleRate, numChannels] = audioCase;
    auto instance = HostTestSupport::loadPrepared (format, sampleRate, numChannels);
    ASSERT_NE (instance, nullptr);
    const auto latency = instance->getLatencySamples();
    ASSERT_GT (latency, 0);

    HostTestSupport::parameter (*instance, parameterName).setValueNotifyingHost (value);
    processSilence (*instance, numChannels, samplesFor (settleSeconds, sampleRate));

    // Not a whole number of blocks, so the last block is a short one.
    const auto input = TestSignals::noise (numChannels, 20 * HostTestSupport::blockSize + 77, 0.9f, 42);
    auto output = input;
    HostedPlugin::processInBlocks (*instance, output, HostTestSupport::blockSize);

    for (int ch = 0; ch < numChannels; ++ch)
    {
        for (int i = 0; i < output.getNumSamples(); ++i)
        {
            const auto expected = i < latency ? 0.0f : input.getSample (ch, i - latency);

            if (output.getSample (ch, i) != expected)
            {
                ADD_FAILURE() << "channel " << ch << ", sample " << i << ": " << output.getSample (ch, i)
                              << " instead of " << expected;
                return;
            }
        }
    }
}
} // namespace

TEST_P (HostAudio, MeltAtZeroPassesTheInputDelayedByTheLatencyBitForBit)
{
    expectInputDelayedByTheLatencyAfterSetting (GetParam(), "Melt", 0.0f);
}

TEST_P (HostAudio, DefaultSettingsRingOutAndDecayAfterAnImpulse)
{
    const auto [format, sampleRate, numChannels] = GetParam();
    auto instance = HostTestSupport::loadPrepared (format, sampleRate, numChannels);
    ASSERT_NE (instance, nullptr);
    const auto latency = instance->getLatencySamples();

    juce::AudioBuffer<float> output (numChannels, samplesFor (HostTestSupport::tailSeconds, sampleRate));
    output.clear();

    for (int ch = 0; ch < numChannels; ++ch)
        output.setSample (ch, 0, 1.0f);

    HostedPlugin::processInBlocks (*instance, output, HostTestSupport::blockSize);

    for (int ch = 0; ch < numChannels; ++ch)
        for (int i = 0; i < output.getNumSamples(); ++i)
            ASSERT_TRUE (std::isfinite (output.getSample (ch, i))) << "channel " << ch << ", sample " << i;

    const auto window = samplesFor (0.25, sampleRate);
    const auto early = rms (output, latency + 1, window);
    const auto late = rms (output, output.getNumSamples() - window, window);

    // The dry impulse comes through at full level; what follows it is the wet path alone.
    EXPECT_GT (output.getMagnitude (0, output.getNumSamples()), 0.5f);
    EXPECT_GT (early, 1.0e-4f);
    EXPECT_LT (late, early * 1.0e-3f) << "less than 60 dB of decay over the tail";
}

INSTANTIATE_TEST_SUITE_P (FormatsRatesAndLayouts,
                          HostAudio,
                          ::testing::ValuesIn (HostTestSupport::audioCases()),
                          HostTestSupport::audioCaseName);
