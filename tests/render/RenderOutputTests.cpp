#include "RenderToolFixture.h"

#include <cmath>

namespace
{
constexpr double rate = 48000.0;
constexpr int latencyAt48k = 144; // the plug-in's 3 ms lookahead

int samplesIn (double seconds, double sampleRate) { return (int) std::lround (seconds * sampleRate); }

float rmsOf (const juce::AudioBuffer<float>& buffer, int start, int length)
{
    double sum = 0.0;
    for (int channel = 0; channel < buffer.getNumChannels(); ++channel)
        for (int i = start; i < start + length; ++i)
            sum += (double) buffer.getSample (channel, i) * buffer.getSample (channel, i);
    return (float) std::sqrt (sum / (buffer.getNumChannels() * length));
}

// Compares the output with the input delayed by `delay` over the input's length; reports the first
// differing sample, or -1.
int firstMismatch (const juce::AudioBuffer<float>& output, const juce::AudioBuffer<float>& input, int delay, int length)
{
    for (int i = 0; i < length; ++i)
        for (int channel = 0; channel < input.getNumChannels(); ++channel)
        {
            const auto expected = i >= delay ? input.getSample (channel, i - delay) : 0.0f;
            if (output.getSample (channel, i) != expected)
                return i;
        }
    return -1;
}

juce::AudioBuffer<float> burst (int numSamples)
{
    juce::AudioBuffer<float> signal (2, numSamples);
    signal.clear();
    juce::Random random (7);
    for (int channel = 0; channel < 2; ++channel)
        for (int i = 0; i < numSamples / 10; ++i)
            signal.setSample (channel, i, 0.8f * (random.nextFloat() * 2.0f - 1.0f));
    return signal;
}
} // namespace

class RenderOutputTest : public RenderToolFixture
{
protected:
    // Renders the input, written as `inputName`, to out.wav with the given options and reads the result back.
    Audio render (const juce::AudioBuffer<float>& input,
                  double sampleRate,
                  const juce::StringArray& options,
                  const juce::String& inputName = "in.wav",
                  int inputBits = 32)
    {
        writeAudio (file (inputName), input, sampleRate, inputBits);
        juce::StringArray arguments { file (inputName).getFullPathName(), "-o", file ("out.wav").getFullPathName() };
        arguments.addArray (options);

        const auto run = runTool (arguments);
        EXPECT_EQ (run.exitStatus, 0) << run.text;
        return readAudio (file ("out.wav"));
    }
};

TEST_F (RenderOutputTest, DemoRendersAudibleAudioAndItsPlot)
{
    const auto run = runTool ({ "-o", file ("demo.wav").getFullPathName() });
    ASSERT_EQ (run.exitStatus, 0) << run.text;
    EXPECT_TRUE (run.text.contains (file ("demo.wav").getFullPathName())) << run.text;
    EXPECT_TRUE (run.text.contains (file ("demo.png").getFullPathName())) << run.text;

    const auto demo = readAudio (file ("demo.wav"));
    ASSERT_EQ (demo.samples.getNumChannels(), 2);
    EXPECT_EQ (demo.sampleRate, rate);

    // The file ends with the phrase through the plug-in and its tail; the last quarter is mostly tail.
    const auto length = demo.samples.getNumSamples();
    EXPECT_GT (rmsOf (demo.samples, 0, length), 0.01f);
    EXPECT_GT (rmsOf (demo.samples, length / 2, length / 4), 1.0e-4f);
    EXPECT_TRUE (file ("demo.png").existsAsFile());
}

struct DryPathCase
{
    const char* format;
    int channels;
    double sampleRate;
    int blockSize;
    const char* inputName;
    int inputBits;
};

class DryPathTest : public RenderOutputTest, public testing::WithParamInterface<DryPathCase>
{
};

TEST_P (DryPathTest, MeltZeroGivesTheInputBackSampleForSample)
{
    const auto [format, channels, sampleRate, blockSize, inputName, inputBits] = GetParam();
    const auto tail = samplesIn (0.1, sampleRate);

    const auto output =
        render (testSignal (channels, samplesIn (0.3, sampleRate)),
                sampleRate,
                { "--format", format, "--melt", "0", "--float", "--tail", "0.1", "--block", juce::String (blockSize) },
                inputName,
                inputBits);
    const auto input = readAudio (file (inputName)).samples; // as the file holds it

    ASSERT_EQ (output.samples.getNumChannels(), channels);
    EXPECT_EQ (output.sampleRate, sampleRate);
    ASSERT_EQ (output.samples.getNumSamples(), input.getNumSamples() + tail);
    EXPECT_EQ (firstMismatch (output.samples, input, 0, input.getNumSamples()), -1);
    EXPECT_EQ (output.samples.getMagnitude (input.getNumSamples(), tail), 0.0f);
}

// Both formats; LV2 offers stereo only.
INSTANTIATE_TEST_SUITE_P (FormatsAndLayouts,
                          DryPathTest,
                          testing::Values (DryPathCase { "vst3", 1, 44100.0, 100, "in.wav", 32 },
                                           DryPathCase { "vst3", 2, 48000.0, 512, "in.wav", 32 },
                                           DryPathCase { "vst3", 2, 96000.0, 64, "in.aiff", 24 },
                                           DryPathCase { "lv2", 2, 44100.0, 100, "in.wav", 32 },
                                           DryPathCase { "lv2", 2, 96000.0, 64, "in.aiff", 24 }));

class FormatTest : public RenderOutputTest, public testing::WithParamInterface<const char*>
{
};

TEST_P (FormatTest, WithoutCompensationTheOutputKeepsThePluginLatency)
{
    const auto input = testSignal (2, samplesIn (0.2, rate));

    const auto output =
        render (input, rate, { "--format", GetParam(), "--melt", "0", "--float", "--tail", "0", "--no-compensation" });

    ASSERT_EQ (output.samples.getNumSamples(), input.getNumSamples());
    EXPECT_EQ (firstMismatch (output.samples, input, latencyAt48k, input.getNumSamples()), -1);
}

TEST_P (FormatTest, InfoNamesTheFormatAndTheLatency)
{
    const auto run = runTool ({ "--info", "--format", GetParam() });

    ASSERT_EQ (run.exitStatus, 0) << run.text;
    EXPECT_TRUE (run.text.contains ("format       " + juce::String (GetParam()).toUpperCase() + ",")) << run.text;
    EXPECT_TRUE (run.text.contains ("latency      " + juce::String (latencyAt48k) + " samples")) << run.text;
}

INSTANTIATE_TEST_SUITE_P (Formats, FormatTest, testing::Values ("vst3", "lv2"));

TEST_F (RenderOutputTest, TailDefaultsToThePluginsAndHoldsTheReverb)
{
    const auto input = burst (samplesIn (0.1, rate));

    const auto output = render (input, rate, { "--float" });

    const auto pluginTail = samplesIn (6.0, rate);
    ASSERT_EQ (output.samples.getNumSamples(), input.getNumSamples() + pluginTail);
    EXPECT_GT (rmsOf (output.samples, input.getNumSamples() + samplesIn (0.1, rate), samplesIn (1.0, rate)), 1.0e-3f);
}

TEST_F (RenderOutputTest, AutomationTakesEffectAtTheBlockThatHoldsItsTime)
{
    const auto input = testSignal (2, samplesIn (0.5, rate));
    constexpr int blockSize = 512;
    juce::File (file ("moves.txt")).replaceWithText ("# start dry, then swell\n0s Melt 0\n0.25s, melt, 100\n");

    const auto output = render (input,
                                rate,
                                { "--float",
                                  "--tail",
                                  "0",
                                  "--block",
                                  juce::String (blockSize),
                                  "--automation",
                                  file ("moves.txt").getFullPathName() });

    // 0.25 s falls in block 23; the output is shifted back by the latency.
    const auto changeReachesOutput = (samplesIn (0.25, rate) / blockSize) * blockSize - latencyAt48k;
    ASSERT_EQ (output.samples.getNumSamples(), input.getNumSamples());
    EXPECT_EQ (firstMismatch (output.samples, input, 0, input.getNumSamples()), changeReachesOutput);

    auto difference = output.samples;
    for (int channel = 0; channel < 2; ++channel)
        difference.addFrom (channel, 0, input, channel, 0, input.getNumSamples(), -1.0f);
    EXPECT_GT (difference.getMagnitude (changeReachesOutput, input.getNumSamples() - changeReachesOutput), 0.01f);
}

TEST_F (RenderOutputTest, TempoReachesThePluginThroughThePlayHead)
{
    const auto input = burst (samplesIn (0.1, rate));
    const juce::StringArray common { "--float", "--tail", "1.5", "--melt", "80" };

    auto withTempo = [&] (const juce::String& bpm)
    {
        auto options = common;
        if (bpm.isNotEmpty())
            options.addArray ({ "--bpm", bpm });
        return render (input, rate, options).samples;
    };

    const auto noTempo = withTempo ({});
    const auto at120 = withTempo ("120");
    const auto at90 = withTempo ("90");

    // Without a tempo the plug-in assumes 120 BPM.
    EXPECT_EQ (firstMismatch (noTempo, at120, 0, at120.getNumSamples()), -1);
    EXPECT_NE (firstMismatch (at90, at120, 0, at120.getNumSamples()), -1);
}

TEST_F (RenderOutputTest, PlotIsAPngOfTheDocumentedSize)
{
    const auto input = burst (samplesIn (0.2, rate));
    writeAudio (file ("in.wav"), input, rate);

    const auto run = runTool ({ file ("in.wav").getFullPathName(),
                                "-o",
                                file ("out.wav").getFullPathName(),
                                "--plot",
                                file ("picture.png").getFullPathName(),
                                "--tail",
                                "1" });
    ASSERT_EQ (run.exitStatus, 0) << run.text;

    juce::PNGImageFormat png;
    juce::FileInputStream stream (file ("picture.png"));
    ASSERT_TRUE (stream.openedOk());
    ASSERT_TRUE (png.canUnderstand (stream));
    stream.setPosition (0);
    const auto image = png.decodeImage (stream);
    EXPECT_EQ (image.getWidth(), 1600);
    EXPECT_EQ (image.getHeight(), 900);
}
