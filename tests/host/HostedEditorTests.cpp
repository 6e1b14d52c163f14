#include "HostTestSupport.h"
#include "TestSignals.h"

#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>

namespace
{
constexpr int editorWidth = 480;
constexpr int editorHeight = 404;
constexpr int timesOpened = 5;
constexpr std::chrono::milliseconds blockPause { 5 };

// Streams noise through the instance on its own thread, as a host's audio callback does, until stopped.
class AudioThread
{
public:
    explicit AudioThread (juce::AudioProcessor& processorToRun) : instance (processorToRun), worker ([this] { run(); })
    {
    }

    ~AudioThread() { stop(); }

    void stop()
    {
        running = false;

        if (worker.joinable())
            worker.join();
    }

    int blocksProcessed() const { return blocks.load(); }
    bool outputStayedFinite() const { return finite.load(); }

private:
    void run()
    {
        constexpr int blockSize = HostTestSupport::blockSize, blocksOfInput = 16;
        const auto input =
            TestSignals::noise (instance.getTotalNumOutputChannels(), blocksOfInput * blockSize, 0.25f, 7);
        juce::AudioBuffer<float> buffer (input.getNumChannels(), blockSize);
        juce::MidiBuffer midi;

        for (int block = 0; running; ++block)
        {
            for (int ch = 0; ch < buffer.getNumChannels(); ++ch)
                buffer.copyFrom (ch, 0, input, ch, (block % blocksOfInput) * blockSize, blockSize);

            instance.processBlock (buffer, midi);

            for (int ch = 0; ch < buffer.getNumChannels(); ++ch)
                for (int i = 0; i < buffer.getNumSamples(); ++i)
                    if (! std::isfinite (buffer.getSample (ch, i)))
                        finite = false;

            ++blocks;
            std::this_thread::sleep_for (blockPause); // roughly real time: the message thread needs the core too
        }
    }

    juce::AudioProcessor& instance;
    std::atomic<bool> running { true };
    std::atomic<bool> finite { true };
    std::atomic<int> blocks { 0 };
    std::thread worker;
};

// A top-level native window holding the host's editor, as a DAW shows a plug-in.
class PluginWindow : public juce::DocumentWindow
{
public:
    explicit PluginWindow (juce::AudioProcessorEditor& editor)
        : juce::DocumentWindow ("VELDRANOX", juce::Colours::black, juce::DocumentWindow::closeButton)
    {
        setContentNonOwned (&editor, true);
        setVisible (true);
    }

    ~PluginWindow() override { clearContentComponent(); }
};
} // namespace

class HostedEditor : public ::testing::TestWithParam<HostTestSupport::Format>
{
};

TEST_P (HostedEditor, OpensAsARealWindowAtItsSizeAndClosesRepeatedlyWhileAudioRuns)
{
    if (juce::SystemStats::getEnvironmentVariable ("DISPLAY", {}).isEmpty())
        GTEST_SKIP() << "needs an X display; the host suite runs under xvfb-run";

    auto instance = HostTestSupport::loadPrepared (GetParam(), 48000.0, 2);
    ASSERT_NE (instance, nullptr);
    ASSERT_TRUE (instance->hasEditor());

    auto& melt = HostTestSupport::parameter (*instance, "Melt");
    AudioThread audio (*instance);

    for (int i = 0; i < timesOpened; ++i)
    {
        SCOPED_TRACE ("opening " + std::to_string (i + 1));

        std::unique_ptr<juce::AudioProcessorEditor> editor (instance->createEditorIfNeeded());
        ASSERT_NE (editor, nullptr);
        EXPECT_EQ (instance->getActiveEditor(), editor.get());

        {
            PluginWindow window (*editor);
            HostedPlugin::pumpMessages (100);

            EXPECT_NE (window.getPeer(), nullptr);
            EXPECT_TRUE (editor->isShowing());
            EXPECT_EQ (editor->getWidth(), editorWidth);
            EXPECT_EQ (editor->getHeight(), editorHeight);

            // JUCE adds the component that embeds the plug-in's own window only once it has a native
            // window to hand to the plug-in's view.
            EXPECT_EQ (editor->getNumChildComponents(), 1) << "the plug-in's view was not attached";

            // Automation while the window is open.
            const float newValue = (float) (i + 1) / (float) (timesOpened + 1);
            melt.setValueNotifyingHost (newValue);
            HostedPlugin::pumpMessages (20);
            EXPECT_FLOAT_EQ (melt.getValue(), newValue);
        }

        editor.reset();
        HostedPlugin::pumpMessages (20);
        EXPECT_EQ (instance->getActiveEditor(), nullptr);
    }

    audio.stop();
    EXPECT_GT (audio.blocksProcessed(), 0);
    EXPECT_TRUE (audio.outputStayedFinite());
}

INSTANTIATE_TEST_SUITE_P (Formats, HostedEditor, HostTestSupport::allFormats, HostTestSupport::formatCaseName);
