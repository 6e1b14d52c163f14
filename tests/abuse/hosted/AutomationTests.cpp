#include "BackgroundAudio.h"
#include "HostedSession.h"

#include <gtest/gtest.h>

namespace
{
// Mostly anywhere in range, sometimes pinned to an end, where the laws have their corners.
float randomNormalisedValue (juce::Random& random)
{
    switch (random.nextInt (4))
    {
    case 0:
        return 0.0f;
    case 1:
        return 1.0f;
    default:
        return random.nextFloat();
    }
}

std::vector<juce::AudioProcessorParameter*> macroParameters (HostedSession& session)
{
    std::vector<juce::AudioProcessorParameter*> found;

    for (const auto& name : macroNames())
        if (auto* p = session.parameter (name))
            found.push_back (p);

    return found;
}
} // namespace

TEST (HostedAutomation, AllFourMovingEvery32SamplesStayHealthy)
{
    HostedSession session;
    ASSERT_TRUE (session.isLoaded()) << session.loadError();

    for (const double rate : { 44100.0, 96000.0 })
    {
        SCOPED_TRACE ("rate " + std::to_string (rate));
        ASSERT_TRUE (session.prepare (rate, 32));
        const auto parameters = macroParameters (session);
        ASSERT_EQ (parameters.size(), (size_t) macroNames().size());

        juce::Random random (static_cast<juce::int64> (rate));
        BlockHealth health;

        for (int block = 0; block < 2000; ++block)
        {
            for (auto* p : parameters)
                p->setValueNotifyingHost (randomNormalisedValue (random));

            health = session.processNoise (1, 32, random);
            ASSERT_TRUE (health.healthy()) << "block " << block << ": " << health.describe();
        }
    }
}

// The message thread moves the controls as fast as it can while the audio thread runs.
TEST (ConcurrentHostedAutomation, MessageThreadWritesWhileAudioThreadProcesses)
{
    HostedSession session;
    ASSERT_TRUE (session.isLoaded()) << session.loadError();
    ASSERT_TRUE (session.prepare (48000.0, 256));
    const auto parameters = macroParameters (session);
    ASSERT_EQ (parameters.size(), (size_t) macroNames().size());

    BackgroundAudio audio (session, 256, 11, 400);
    juce::Random random (12);
    int writes = 0;

    while (! audio.isDone())
    {
        for (auto* p : parameters)
            p->setValueNotifyingHost (randomNormalisedValue (random));

        // Let the host deliver the changes to the controller on this thread, as a DAW would.
        if (++writes % 16 == 0)
            HostedPlugin::pumpMessages (1);
    }

    const auto health = audio.finish();
    EXPECT_TRUE (health.healthy()) << health.describe();

    // After the storm the last values written win: they reach the processor and its saved state.
    for (auto* p : parameters)
        p->setValueNotifyingHost (0.5f);

    juce::Random settle (13);
    session.processNoise (1, 256, settle);
    HostedPlugin::pumpMessages (20);

    HostedSession reopened;
    ASSERT_TRUE (reopened.isLoaded()) << reopened.loadError();
    reopened.restoreState (session.saveState());

    for (const auto& name : macroNames())
        EXPECT_EQ (reopened.parameter (name)->getCurrentValueAsText(), "50.0") << name;
}
