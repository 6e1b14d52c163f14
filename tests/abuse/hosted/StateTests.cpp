#include "BackgroundAudio.h"
#include "HostedSession.h"

#include <gtest/gtest.h>

namespace
{
// Normalised values in the macro table's order: Space, Grit, Drift, Melt, and any row after them.
using Setting = std::array<float, numMacros>;

void apply (HostedSession& session, const Setting& setting)
{
    for (int i = 0; i < macroNames().size(); ++i)
        session.parameter (macroNames()[i])->setValueNotifyingHost (setting[(size_t) i]);

    // Host-side changes reach the processor with its next process call.
    juce::Random random (1);
    session.processNoise (1, 64, random);
    HostedPlugin::pumpMessages (20);
}

juce::StringArray shownValues (HostedSession& session)
{
    juce::StringArray shown;
    for (const auto& name : macroNames())
        shown.add (session.parameter (name)->getCurrentValueAsText());
    return shown;
}

class HostedState : public ::testing::TestWithParam<Setting>
{
protected:
    void SetUp() override
    {
        for (auto* s : { &original, &copy })
        {
            ASSERT_TRUE (s->isLoaded()) << s->loadError();
            ASSERT_TRUE (s->prepare (44100.0, 64));
        }
    }

    HostedSession original, copy;
};
} // namespace

TEST_P (HostedState, SaveRestoreSaveIsByteIdentical)
{
    apply (original, GetParam());
    const auto saved = original.saveState();

    copy.restoreState (saved);
    HostedPlugin::pumpMessages (20);

    EXPECT_EQ (shownValues (copy), shownValues (original));
    EXPECT_EQ (copy.saveState(), saved);

    // Restoring an instance's own state onto itself changes nothing either.
    original.restoreState (saved);
    EXPECT_EQ (original.saveState(), saved);
}

// Every control at each end of its range, alone and together, plus an ordinary setting.
INSTANTIATE_TEST_SUITE_P (Extremes,
                          HostedState,
                          ::testing::Values (Setting { 0.0f, 0.0f, 0.0f, 0.0f },
                                             Setting { 1.0f, 1.0f, 1.0f, 1.0f },
                                             Setting { 1.0f, 0.0f, 1.0f, 0.0f },
                                             Setting { 0.0f, 1.0f, 0.0f, 1.0f },
                                             Setting { 0.123f, 0.456f, 0.789f, 0.999f }));

TEST (ConcurrentHostedState, RestoresWhileTheAudioThreadProcesses)
{
    HostedSession session, donor;
    ASSERT_TRUE (session.isLoaded()) << session.loadError();
    ASSERT_TRUE (donor.isLoaded()) << donor.loadError();
    ASSERT_TRUE (donor.prepare (48000.0, 256));

    const Setting last { 0.4f, 0.25f, 0.2f, 0.35f };
    std::vector<juce::MemoryBlock> states;
    for (const auto& setting : { Setting { 0, 0, 0, 0 }, Setting { 1, 1, 1, 1 }, Setting { 1, 0, 1, 0 }, last })
    {
        apply (donor, setting);
        states.push_back (donor.saveState());
    }

    ASSERT_TRUE (session.prepare (48000.0, 256));
    BackgroundAudio audio (session, 256, 21, 300);

    for (size_t restore = 0; ! audio.isDone(); ++restore)
    {
        session.restoreState (states[restore % states.size()]);
        HostedPlugin::pumpMessages (1);
    }

    const auto health = audio.finish();
    EXPECT_TRUE (health.healthy()) << health.describe();

    // The last restore wins once things settle.
    session.restoreState (states.back());
    HostedPlugin::pumpMessages (20);
    juce::StringArray lastValues;
    for (const float normalised : last)
        lastValues.add (juce::String (normalised * 100.0f, 1));
    EXPECT_EQ (shownValues (session), lastValues);
}
