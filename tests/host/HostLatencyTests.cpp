#include "HostTestSupport.h"

using HostTestSupport::Format;

namespace
{
class HostLatency : public ::testing::TestWithParam<Format>
{
};

// LV2 has no way to state a tail: JUCE's LV2 host reports none.
double reportedTailSeconds (Format format) { return format == Format::lv2 ? 0.0 : HostTestSupport::tailSeconds; }
} // namespace

TEST_P (HostLatency, ReportsThreeMillisecondsOfLookaheadAndTheTailTheFormatCarries)
{
    struct Case
    {
        double sampleRate;
        int latency;
    };

    const Case cases[] = { { 44100.0, 132 }, { 48000.0, 144 }, { 88200.0, 265 }, { 96000.0, 288 } };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.sampleRate);
        auto instance = HostTestSupport::loadPrepared (GetParam(), c.sampleRate, 2);
        ASSERT_NE (instance, nullptr);

        EXPECT_EQ (instance->getLatencySamples(), c.latency);
        EXPECT_DOUBLE_EQ (instance->getTailLengthSeconds(), reportedTailSeconds (GetParam()));
    }
}

TEST_P (HostLatency, FollowsTheSampleRateWhenTheHostPreparesAgain)
{
    auto instance = HostTestSupport::loadPrepared (GetParam(), 44100.0, 2);
    ASSERT_NE (instance, nullptr);

    instance->releaseResources();
    HostedPlugin::prepare (*instance, 96000.0, HostTestSupport::blockSize);

    EXPECT_EQ (instance->getLatencySamples(), 288);
}

INSTANTIATE_TEST_SUITE_P (Formats, HostLatency, HostTestSupport::allFormats, HostTestSupport::formatCaseName);
