#include "ExpectedReports.h"
#include "HostedSession.h"

#include <array>
#include <gtest/gtest.h>

namespace
{
constexpr std::array<double, 10> sampleRates { 22050.0, 24000.0, 32000.0, 44100.0,  48000.0,
                                               64000.0, 88200.0, 96000.0, 176400.0, 192000.0 };
constexpr std::array<int, 8> blockSizes { 1, 32, 64, 128, 256, 512, 1024, 4096 };

// Enough audio per case for the feedback delay and the reverb to build up, without making the
// one-sample blocks dominate the run time.
int blocksFor (int blockSize) { return juce::jmax (16, 6144 / blockSize); }

// The hottest corner: longest feedback and room, full wet gain, no saturation to tame the blend.
void setHottestCorner (HostedSession& session)
{
    for (const auto& [name, value] :
         { std::pair { "Space", 1.0f }, { "Grit", 0.0f }, { "Drift", 1.0f }, { "Melt", 1.0f } })
        session.parameter (name)->setValueNotifyingHost (value);
}

std::string rateName (const ::testing::TestParamInfo<double>& rate)
{
    return std::to_string (static_cast<int> (rate.param));
}

class HostedSweep : public ::testing::TestWithParam<double>
{
};
} // namespace

TEST_P (HostedSweep, EveryBlockSizeGivesHealthyOutputAndRightReports)
{
    const double rate = GetParam();
    HostedSession session;
    ASSERT_TRUE (session.isLoaded()) << session.loadError();

    for (const bool hottest : { false, true })
    {
        if (hottest)
            setHottestCorner (session);

        juce::Random random (static_cast<juce::int64> (rate));

        for (const int blockSize : blockSizes)
        {
            SCOPED_TRACE ("rate " + std::to_string (rate) + ", block " + std::to_string (blockSize) +
                          (hottest ? ", hottest corner" : ", defaults"));
            ASSERT_TRUE (session.prepare (rate, blockSize));

            EXPECT_EQ (session.plugin().getLatencySamples(), expectedLatencySamples (rate));
            EXPECT_EQ (session.plugin().getTailLengthSeconds(), expectedTailSeconds);

            const auto health = session.processNoise (blocksFor (blockSize), blockSize, random);
            EXPECT_TRUE (health.healthy()) << health.describe();
        }
    }
}

INSTANTIATE_TEST_SUITE_P (SampleRates, HostedSweep, ::testing::ValuesIn (sampleRates), rateName);
