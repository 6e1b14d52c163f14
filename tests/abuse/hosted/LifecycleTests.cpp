#include "ChunkedRender.h"
#include "ExpectedReports.h"
#include "HostedSession.h"

#include <gtest/gtest.h>

namespace
{
constexpr int maxBlock = 512;

juce::AudioBuffer<float> noiseInput (int numChannels, int numSamples, juce::int64 seed)
{
    juce::AudioBuffer<float> input (numChannels, numSamples);
    juce::Random random (seed);
    fillWithNoise (input, random, numSamples);
    return input;
}

class HostedLifecycle : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE (session.isLoaded()) << session.loadError();

        // JUCE's reverb glides its gains from its own defaults after the very first preparation and
        // keeps them through later ones; renders meant to match must start after that glide.
        ASSERT_TRUE (session.prepare (48000.0, maxBlock));
        juce::Random random (0);
        session.processNoise (4, maxBlock, random);
    }

    // A fresh preparation resets every bit of signal state, so each render starts from the same place.
    juce::AudioBuffer<float> renderFresh (const juce::AudioBuffer<float>& input, const std::vector<int>& chunks)
    {
        EXPECT_TRUE (session.prepare (48000.0, maxBlock));
        return renderInChunks (input, chunks, [this] (auto& block) { session.process (block); });
    }

    HostedSession session;
};
} // namespace

TEST_F (HostedLifecycle, ZeroSampleBlocksChangeNothing)
{
    const auto input = noiseInput (2, 4 * maxBlock, 1);
    const auto plain = renderFresh (input, { maxBlock, maxBlock, maxBlock, maxBlock });
    const auto withEmpty = renderFresh (input, { 0, maxBlock, 0, 0, maxBlock, maxBlock, 0, maxBlock, 0 });

    EXPECT_TRUE (bitIdentical (plain, withEmpty));
}

TEST_F (HostedLifecycle, VariableBlockSizesGiveTheSameAudioAsFixedOnes)
{
    // With the controls holding still nothing in the engine depends on where a block ends.
    juce::Random random (2);
    const auto input = noiseInput (2, 24 * maxBlock, 3);
    const auto fixed = renderFresh (input, std::vector<int> (24, maxBlock));
    const auto variable = renderFresh (input, randomChunks (random, input.getNumSamples(), 1, maxBlock));

    BlockHealth health;
    health.absorb (variable);
    EXPECT_TRUE (health.healthy()) << health.describe();
    EXPECT_TRUE (bitIdentical (fixed, variable));
}

TEST_F (HostedLifecycle, RepreparationResetsAllSignalState)
{
    const auto input = noiseInput (2, 8 * maxBlock, 4);
    const std::vector<int> chunks (8, maxBlock);
    const auto first = renderFresh (input, chunks);

    // Leave reverb tail, delay memory and envelopes behind at other rates, with a release between.
    juce::Random random (5);
    for (const double rate : { 96000.0, 22050.0, 192000.0 })
    {
        ASSERT_TRUE (session.prepare (rate, 256));
        session.processNoise (8, 256, random);
        session.plugin().releaseResources();
    }

    EXPECT_TRUE (bitIdentical (first, renderFresh (input, chunks)));
}

TEST_F (HostedLifecycle, ReportsStayRightThroughRepeatedPreparation)
{
    juce::Random random (6);

    for (const double rate : { 44100.0, 48000.0, 44100.0, 88200.0, 22050.0, 192000.0, 96000.0, 176400.0, 44100.0 })
    {
        SCOPED_TRACE ("rate " + std::to_string (rate));

        for (int repeat = 0; repeat < 2; ++repeat)
        {
            ASSERT_TRUE (session.prepare (rate, 128 << repeat));
            EXPECT_EQ (session.plugin().getLatencySamples(), expectedLatencySamples (rate));
            EXPECT_EQ (session.plugin().getTailLengthSeconds(), expectedTailSeconds);
            EXPECT_TRUE (session.processNoise (4, 128 << repeat, random).healthy());
        }
    }
}

TEST_F (HostedLifecycle, MonoAndStereoLayoutsAlternateBetweenPreparations)
{
    juce::Random random (7);
    const auto mono = juce::AudioChannelSet::mono();
    const auto stereo = juce::AudioChannelSet::stereo();

    for (const auto& layout : { mono, stereo, mono, mono, stereo, mono, stereo })
    {
        SCOPED_TRACE (layout.getDescription().toStdString());
        ASSERT_TRUE (session.prepare (44100.0, 256, layout));
        EXPECT_EQ (session.numChannels(), layout.size());
        EXPECT_EQ (session.plugin().getLatencySamples(), expectedLatencySamples (44100.0));

        const auto health = session.processNoise (32, 256, random);
        EXPECT_TRUE (health.healthy()) << health.describe();
    }
}

TEST_F (HostedLifecycle, RefusedLayoutsLeaveThePreparedOneWorking)
{
    juce::Random random (8);
    ASSERT_TRUE (session.prepare (48000.0, 256));
    session.plugin().releaseResources();

    for (const auto& [in, out] : { std::pair { juce::AudioChannelSet::stereo(), juce::AudioChannelSet::mono() },
                                   { juce::AudioChannelSet::mono(), juce::AudioChannelSet::stereo() },
                                   { juce::AudioChannelSet::create5point1(), juce::AudioChannelSet::create5point1() } })
    {
        juce::AudioProcessor::BusesLayout layout;
        layout.inputBuses.add (in);
        layout.outputBuses.add (out);
        EXPECT_FALSE (session.plugin().setBusesLayout (layout)) << layout.getMainOutputChannelSet().getDescription();
    }

    session.plugin().prepareToPlay (48000.0, 256);
    EXPECT_EQ (session.numChannels(), 2);
    EXPECT_TRUE (session.processNoise (16, 256, random).healthy());
}
