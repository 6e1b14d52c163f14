#include "RenderToolFixture.h"

#include <cmath>

void RenderToolFixture::SetUp()
{
    directory = juce::File::getSpecialLocation (juce::File::tempDirectory)
                    .getNonexistentChildFile ("veldranox-render-test", "", false);
    ASSERT_TRUE (directory.createDirectory());
}

void RenderToolFixture::TearDown() { directory.deleteRecursively(); }

namespace
{
juce::File findOnPath (const juce::String& program)
{
    juce::StringArray directories;
    directories.addTokens (juce::SystemStats::getEnvironmentVariable ("PATH", "/usr/bin:/bin"), ":", "");

    for (const auto& directory : directories)
    {
        const auto candidate = juce::File (directory).getChildFile (program);
        if (directory.isNotEmpty() && candidate.existsAsFile())
            return candidate;
    }

    return {};
}
} // namespace

RenderToolFixture::Run RenderToolFixture::runCommand (const juce::StringArray& command)
{
    juce::ChildProcess process;
    Run run;
    if (! process.start (command, juce::ChildProcess::wantStdOut | juce::ChildProcess::wantStdErr))
        return run;

    run.text = process.readAllProcessOutput();
    if (process.waitForProcessToFinish (120000))
        run.exitStatus = (int) process.getExitCode();
    return run;
}

RenderToolFixture::Run RenderToolFixture::runTool (const juce::StringArray& arguments) const
{
    juce::StringArray command (VELDRANOX_RENDER_TOOL);
    command.addArray (arguments);
    return runCommand (command);
}

RenderToolFixture::Run RenderToolFixture::runProgram (const juce::String& program, const juce::StringArray& arguments)
{
    const auto path = findOnPath (program);
    if (path == juce::File())
    {
        ADD_FAILURE() << program << " is not installed; scripts/install-deps.sh installs it";
        return {};
    }

    juce::StringArray command (path.getFullPathName());
    command.addArray (arguments);
    return runCommand (command);
}

RenderToolFixture::Run RenderToolFixture::runProgram (const std::vector<const char*>& command) const
{
    juce::StringArray arguments;
    for (size_t i = 1; i < command.size(); ++i)
    {
        juce::String argument (command[i]);
        while (argument.containsChar ('{'))
        {
            const auto name =
                argument.fromFirstOccurrenceOf ("{", false, false).upToFirstOccurrenceOf ("}", false, false);
            argument = argument.replace ("{" + name + "}", file (name).getFullPathName());
        }
        arguments.add (argument);
    }
    return runProgram (command.front(), arguments);
}

void RenderToolFixture::writeAudio (const juce::File& destination,
                                    const juce::AudioBuffer<float>& samples,
                                    double sampleRate,
                                    int bitsPerSample)
{
    auto stream = std::make_unique<juce::FileOutputStream> (destination);
    ASSERT_TRUE (stream->openedOk());

    juce::WavAudioFormat wav;
    juce::AiffAudioFormat aiff;
    auto& format = destination.hasFileExtension ("aiff;aif") ? (juce::AudioFormat&) aiff : wav;
    std::unique_ptr<juce::AudioFormatWriter> writer (
        format.createWriterFor (stream.get(), sampleRate, (unsigned) samples.getNumChannels(), bitsPerSample, {}, 0));
    ASSERT_NE (writer, nullptr);
    stream.release();
    ASSERT_TRUE (writer->writeFromAudioSampleBuffer (samples, 0, samples.getNumSamples()));
}

RenderToolFixture::Audio RenderToolFixture::readAudio (const juce::File& source)
{
    Audio audio;
    juce::AudioFormatManager formats;
    formats.registerBasicFormats();
    std::unique_ptr<juce::AudioFormatReader> reader (formats.createReaderFor (source));
    if (reader == nullptr)
        return audio;

    audio.sampleRate = reader->sampleRate;
    audio.samples.setSize ((int) reader->numChannels, (int) reader->lengthInSamples);
    reader->read (&audio.samples, 0, audio.samples.getNumSamples(), 0, true, true);
    return audio;
}

juce::AudioBuffer<float> RenderToolFixture::testSignal (int numChannels, int numSamples)
{
    juce::AudioBuffer<float> signal (numChannels, numSamples);
    juce::Random random (42);

    for (int channel = 0; channel < numChannels; ++channel)
        for (int i = 0; i < numSamples; ++i)
        {
            const auto swell = 0.2f + 0.3f * std::sin ((float) i * 0.0005f + (float) channel);
            signal.setSample (channel, i, swell * (random.nextFloat() * 2.0f - 1.0f));
        }

    return signal;
}
