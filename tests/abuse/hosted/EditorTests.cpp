#include "BackgroundAudio.h"
#include "HostedSession.h"

#include <gtest/gtest.h>

namespace
{
bool haveDisplay() { return juce::SystemStats::getEnvironmentVariable ("DISPLAY", {}).isNotEmpty(); }
} // namespace

// A user opening and closing the window again and again during playback.
TEST (ConcurrentHostedEditor, OpensDrawsAndClosesWhileAudioRuns)
{
    if (! haveDisplay())
        GTEST_SKIP() << "showing a window needs an X display (run under xvfb-run)";

    HostedSession session;
    ASSERT_TRUE (session.isLoaded()) << session.loadError();
    ASSERT_TRUE (session.prepare (48000.0, 256));

    BackgroundAudio audio (session, 256, 31);

    auto* melt = session.parameter ("Melt");
    ASSERT_NE (melt, nullptr);

    for (int round = 0; round < 8; ++round)
    {
        std::unique_ptr<juce::AudioProcessorEditor> editor (session.plugin().createEditorIfNeeded());
        ASSERT_NE (editor, nullptr);
        editor->addToDesktop (0);
        editor->setVisible (true);
        melt->setValueNotifyingHost ((float) round / 8.0f);
        HostedPlugin::pumpMessages (30);

        // The plug-in's view paints into its own child window while the message loop runs.
        editor->repaint();
        HostedPlugin::pumpMessages (30);
        EXPECT_EQ (editor->getWidth(), 480);
        EXPECT_EQ (editor->getHeight(), 404);

        editor->setVisible (false);
        editor.reset();
        HostedPlugin::pumpMessages (10);
    }

    const auto health = audio.finish();
    EXPECT_TRUE (health.healthy()) << health.describe();
}
