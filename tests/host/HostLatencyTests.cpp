#include "HostTestSupport.h"

TEST (HostLatency, ReportsThreeMillisecondsOfLookaheadAndASixSecondTail)
{
    struct Case
    {
        double sampleRate;
        int latency;
    };

    const Case cases[] = { { 44100.0, 132 }, { 48000.0, 144 }, { 88200.0, 265 } };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.sampleRate);
        auto instance = HostTestSupport::loadPrepared (c.sampleRate, 2);
        ASSERT_NE (instance, nullptr);

        EXPECT_EQ (instance->getLatencySamples(), c.latency);
        EXPECT_DOUBLE_EQ (instance->getTailLengthSeconds(), 6.0);
    }
}

TEST (HostLatency, FollowsTheSampleRateWhenTheHostPreparesAgain)
{
    auto instance = HostTestSupport::loadPrepared (44100.0, 2);
    ASSERT_NE (instance, nullptr);

    instance->releaseResources();
    instance->prepareToPlay (96000.0, HostTestSupport::blockSize);
    HostedPlugin::pumpMessages();

    EXPECT_EQ (instance->getLatencySamples(), 288);
}
