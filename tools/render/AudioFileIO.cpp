#include "AudioFileIO.h"

#include "CommandLine.h"
#include "NumberText.h"
#include "ToolError.h"

#include <juce_audio_formats/juce_audio_formats.h>

namespace AudioFileIO
{
namespace
{
constexpr int floatBits = 32;
constexpr int integerBits = 24;

[[noreturn]] void reject (const juce::String& problem) { throw ToolError (ExitStatus::unreadableFile, problem); }

std::unique_ptr<juce::AudioFormatReader> openReader (const juce::File& file)
{
    const auto path = file.getFullPathName();

    if (file.isDirectory())
        reject ("the input is a directory, not an audio file: " + path);
    if (! file.existsAsFile())
        reject ("input not found: " + path);
    if (! file.hasReadAccess() || ! juce::FileInputStream (file).openedOk())
        reject ("cannot read the input: " + path);
    if (file.hasFileExtension ("flac;ogg;oga"))
        reject ("FLAC and Ogg Vorbis are not built into this tool; convert to WAV first: " + path);

    juce::AudioFormatManager formats;
    formats.registerBasicFormats();
    std::unique_ptr<juce::AudioFormatReader> reader (formats.createReaderFor (file));

    if (reader == nullptr)
        reject ("not a WAV or AIFF file the tool can read: " + path);

    return reader;
}
} // namespace

InputAudio read (const juce::File& file)
{
    const auto reader = openReader (file);
    const auto path = file.getFullPathName();
    const auto numChannels = (int) reader->numChannels;

    if (numChannels < 1 || numChannels > 2)
        reject ("the input has " + juce::String (numChannels) +
                " channels; only mono and stereo are supported: " + path);
    if (reader->sampleRate < CommandLine::minimumSampleRate || reader->sampleRate > CommandLine::maximumSampleRate)
        reject ("unsupported sample rate " + NumberText::format (reader->sampleRate) + " Hz (" +
                NumberText::format (CommandLine::minimumSampleRate) + " to " +
                NumberText::format (CommandLine::maximumSampleRate) + "): " + path);
    if (reader->lengthInSamples < 1)
        reject ("the input holds no audio: " + path);
    if (reader->lengthInSamples > std::numeric_limits<int>::max() / 2)
        reject ("the input is too long to render in one piece: " + path);

    InputAudio audio;
    audio.sampleRate = reader->sampleRate;
    audio.samples.setSize (numChannels, (int) reader->lengthInSamples);

    if (! reader->read (&audio.samples, 0, audio.samples.getNumSamples(), 0, true, true))
        reject ("cannot read the samples of " + path);

    audio.description = reader->getFormatName() + ", " + juce::String (reader->bitsPerSample) + "-bit" +
                        (reader->usesFloatingPointData ? " float, " : ", ") + NumberText::format (reader->sampleRate) +
                        " Hz, " + describeChannels (numChannels);
    return audio;
}

void writeWav (const StagedFile& destination,
               const juce::AudioBuffer<float>& samples,
               double sampleRate,
               bool floatSamples)
{
    auto stream = destination.openStream();
    juce::WavAudioFormat wav;
    std::unique_ptr<juce::AudioFormatWriter> writer (wav.createWriterFor (stream.get(),
                                                                          sampleRate,
                                                                          (unsigned int) samples.getNumChannels(),
                                                                          floatSamples ? floatBits : integerBits,
                                                                          {},
                                                                          0));
    if (writer == nullptr)
        throw ToolError (ExitStatus::notWritten, "cannot encode WAV for " + destination.target().getFullPathName());

    stream.release(); // the writer owns it now

    if (! writer->writeFromAudioSampleBuffer (samples, 0, samples.getNumSamples()))
        throw ToolError (ExitStatus::notWritten, "cannot write " + destination.target().getFullPathName());
}

juce::String describeChannels (int numChannels) { return numChannels == 1 ? "mono" : "stereo"; }
} // namespace AudioFileIO
