#include "AudioFileIO.h"

#include "CommandLine.h"
#include "NumberText.h"
#include "ToolError.h"

#include <algorithm>
#include <cmath>
#include <juce_audio_formats/juce_audio_formats.h>
#include <mutex>
#include <vector>

// JUCE 8's later releases describe a new file by AudioFormatWriterOptions and deprecate the
// positional createWriterFor; earlier releases have only the latter.
#if __has_include(<juce_audio_formats/format/juce_AudioFormatWriterOptions.h>)
#define VELDRANOX_HAS_WRITER_OPTIONS 1
#else
#define VELDRANOX_HAS_WRITER_OPTIONS 0
#endif

namespace AudioFileIO
{
namespace
{
[[noreturn]] void reject (const juce::String& problem) { throw ToolError (ExitStatus::unreadableFile, problem); }

const juce::String readableFormats = "WAV, AIFF, FLAC, Ogg Vorbis or MP3";

struct InputFormat
{
    std::unique_ptr<juce::AudioFormat> format;
    juce::String name;
    bool lossy;
    bool recognisedByContent; // has a signature, so it may be tried on a file with another extension
};

std::vector<InputFormat> inputFormats()
{
    std::vector<InputFormat> formats;
    formats.push_back ({ std::make_unique<juce::WavAudioFormat>(), "WAV", false, true });
    formats.push_back ({ std::make_unique<juce::AiffAudioFormat>(), "AIFF", false, true });
    formats.push_back ({ std::make_unique<juce::FlacAudioFormat>(), "FLAC", false, true });
    formats.push_back ({ std::make_unique<juce::OggVorbisAudioFormat>(), "Ogg Vorbis", true, true });
    // An MP3 stream has no header to recognise it by: a decoder hunting for frame sync words finds
    // some in almost any data. Only files named .mp3 are read as MP3.
    formats.push_back ({ std::make_unique<juce::MP3AudioFormat>(), "MP3", true, false });
    return formats;
}

struct OpenedInput
{
    std::unique_ptr<juce::AudioFormatReader> reader;
    juce::String formatName;
    bool lossy = false;
};

// The format the extension names first, then every format that recognises its content.
OpenedInput openReader (const juce::File& file)
{
    const auto path = file.getFullPathName();

    if (file.isDirectory())
        reject ("the input is a directory, not an audio file: " + path);
    if (! file.existsAsFile())
        reject ("input not found: " + path);
    if (! file.hasReadAccess() || ! juce::FileInputStream (file).openedOk())
        reject ("cannot read the input: " + path);

    auto formats = inputFormats();
    std::stable_partition (formats.begin(),
                           formats.end(),
                           [&] (const InputFormat& candidate) { return candidate.format->canHandleFile (file); });

    for (auto& candidate : formats)
    {
        if (! candidate.format->canHandleFile (file) && ! candidate.recognisedByContent)
            continue;

        if (auto* reader = candidate.format->createReaderFor (file.createInputStream().release(), true))
            return { std::unique_ptr<juce::AudioFormatReader> (reader), candidate.name, candidate.lossy };
    }

    reject ("not a " + readableFormats + " file the tool can read: " + path);
}

std::unique_ptr<juce::AudioFormat> formatFor (OutputFormat format)
{
    switch (format)
    {
    case OutputFormat::wav:
        return std::make_unique<juce::WavAudioFormat>();
    case OutputFormat::aiff:
        return std::make_unique<juce::AiffAudioFormat>();
    case OutputFormat::flac:
        return std::make_unique<juce::FlacAudioFormat>();
    case OutputFormat::oggVorbis:
        return std::make_unique<juce::OggVorbisAudioFormat>();
    }

    return nullptr;
}

// Takes the stream when it succeeds.
std::unique_ptr<juce::AudioFormatWriter> createWriter (std::unique_ptr<juce::OutputStream>& stream,
                                                       const OutputEncoding& encoding,
                                                       double sampleRate,
                                                       int numChannels)
{
    const auto format = formatFor (encoding.format);
    const auto bits = encoding.format == OutputFormat::oggVorbis ? OutputEncoding::floatBits : encoding.bits;
    const auto quality = encoding.format == OutputFormat::oggVorbis ? encoding.quality : 0;

    // JUCE's Ogg Vorbis writer draws its stream serial number from the shared juce::Random, which is
    // not thread-safe; files rendered side by side are opened one at a time.
    static std::mutex creation;
    const std::scoped_lock lock (creation);

#if VELDRANOX_HAS_WRITER_OPTIONS
    using SampleFormat = juce::AudioFormatWriterOptions::SampleFormat;
    return format->createWriterFor (
        stream,
        juce::AudioFormatWriterOptions()
            .withSampleRate (sampleRate)
            .withNumChannels (numChannels)
            .withBitsPerSample (bits)
            .withSampleFormat (encoding.floatSamples() ? SampleFormat::floatingPoint : SampleFormat::integral)
            .withQualityOptionIndex (quality));
#else
    std::unique_ptr<juce::AudioFormatWriter> writer (
        format->createWriterFor (stream.get(), sampleRate, (unsigned int) numChannels, bits, {}, quality));
    if (writer != nullptr)
        stream.release(); // the writer owns it now
    return writer;
#endif
}
// JUCE hands integer formats floats scaled by 2^31 - 1 and then drops the low bits, which truncates
// and lowers positive samples by a step at the file's depth: a 24-bit file read and written again
// would come back different. Rounding to the file's own depth here keeps every sample that fits it.
bool writeRoundedToDepth (juce::AudioFormatWriter& writer, const juce::AudioBuffer<float>& samples, int bits)
{
    constexpr int chunkLength = 4096;
    const auto scale = std::ldexp (1.0, bits - 1);
    const auto largest = scale - 1.0;
    const auto justify = (juce::int64) 1 << (32 - bits); // the writer takes samples in the top bits of an int

    const auto numChannels = samples.getNumChannels();
    std::vector<std::vector<int>> chunks ((size_t) numChannels, std::vector<int> (chunkLength));
    std::vector<const int*> channels ((size_t) numChannels + 1, nullptr); // the writer wants a null at the end
    for (size_t channel = 0; channel < chunks.size(); ++channel)
        channels[channel] = chunks[channel].data();

    for (int start = 0; start < samples.getNumSamples(); start += chunkLength)
    {
        const auto length = std::min (chunkLength, samples.getNumSamples() - start);

        for (int channel = 0; channel < numChannels; ++channel)
        {
            const auto* source = samples.getReadPointer (channel, start);
            auto* destination = chunks[(size_t) channel].data();

            for (int i = 0; i < length; ++i)
            {
                const auto level = std::isnan (source[i]) ? 0.0 : std::round ((double) source[i] * scale);
                destination[i] = (int) ((juce::int64) std::clamp (level, -scale, largest) * justify);
            }
        }

        if (! writer.write (channels.data(), length))
            return false;
    }

    return true;
}
} // namespace

std::optional<OutputFormat> outputFormatFor (const juce::String& extension)
{
    const auto bare = extension.trimCharactersAtStart (".").toLowerCase();

    if (bare == "wav" || bare == "wave")
        return OutputFormat::wav;
    if (bare == "aif" || bare == "aiff")
        return OutputFormat::aiff;
    if (bare == "flac")
        return OutputFormat::flac;
    if (bare == "ogg" || bare == "oga")
        return OutputFormat::oggVorbis;

    return std::nullopt;
}

juce::Array<int> bitDepthsOf (OutputFormat format)
{
    switch (format)
    {
    case OutputFormat::wav:
        return { 16, 24, OutputEncoding::floatBits };
    case OutputFormat::aiff:
    case OutputFormat::flac:
        return { 16, 24 };
    case OutputFormat::oggVorbis:
        return {};
    }

    return {};
}

juce::String nameOf (OutputFormat format)
{
    switch (format)
    {
    case OutputFormat::wav:
        return "WAV";
    case OutputFormat::aiff:
        return "AIFF";
    case OutputFormat::flac:
        return "FLAC";
    case OutputFormat::oggVorbis:
        return "Ogg Vorbis";
    }

    return {};
}

juce::String extensionOf (OutputFormat format)
{
    switch (format)
    {
    case OutputFormat::wav:
        return "wav";
    case OutputFormat::aiff:
        return "aiff";
    case OutputFormat::flac:
        return "flac";
    case OutputFormat::oggVorbis:
        return "ogg";
    }

    return {};
}

InputAudio read (const juce::File& file)
{
    const auto opened = openReader (file);
    const auto& reader = *opened.reader;
    const auto path = file.getFullPathName();
    const auto numChannels = (int) reader.numChannels;

    if (numChannels < 1 || numChannels > 2)
        reject ("the input has " + juce::String (numChannels) +
                " channels; only mono and stereo are supported: " + path);
    if (reader.sampleRate < CommandLine::minimumSampleRate || reader.sampleRate > CommandLine::maximumSampleRate)
        reject ("unsupported sample rate " + NumberText::format (reader.sampleRate) + " Hz (" +
                NumberText::format (CommandLine::minimumSampleRate) + " to " +
                NumberText::format (CommandLine::maximumSampleRate) + "): " + path);
    if (reader.lengthInSamples < 1)
        reject ("the input holds no audio: " + path);
    if (reader.lengthInSamples > std::numeric_limits<int>::max() / 2)
        reject ("the input is too long to render in one piece: " + path);

    InputAudio audio;
    audio.sampleRate = reader.sampleRate;
    audio.formatName = opened.formatName;
    audio.lossy = opened.lossy;
    audio.samples.setSize (numChannels, (int) reader.lengthInSamples);

    if (! opened.reader->read (&audio.samples, 0, audio.samples.getNumSamples(), 0, true, true))
        reject ("cannot read the samples of " + path);

    return audio;
}

void checkEncodable (const OutputEncoding& encoding, double sampleRate, int numChannels, const juce::File& target)
{
    juce::MemoryBlock scratch;
    std::unique_ptr<juce::OutputStream> stream = std::make_unique<juce::MemoryOutputStream> (scratch, false);

    if (createWriter (stream, encoding, sampleRate, numChannels) == nullptr)
        throw ToolError (ExitStatus::notWritten,
                         encoding.describe() + " cannot hold " + NumberText::format (sampleRate) + " Hz " +
                             describeChannels (numChannels) + " audio: " + target.getFullPathName());
}

void write (const StagedFile& destination,
            const juce::AudioBuffer<float>& samples,
            double sampleRate,
            const OutputEncoding& encoding)
{
    std::unique_ptr<juce::OutputStream> stream = destination.openStream();
    auto writer = createWriter (stream, encoding, sampleRate, samples.getNumChannels());

    if (writer == nullptr)
        throw ToolError (ExitStatus::notWritten,
                         "cannot encode " + encoding.describe() + " for " + destination.target().getFullPathName());

    const auto written = encoding.floatSamples() || encoding.format == OutputFormat::oggVorbis
                             ? writer->writeFromAudioSampleBuffer (samples, 0, samples.getNumSamples())
                             : writeRoundedToDepth (*writer, samples, encoding.bits);
    if (! written)
        throw ToolError (ExitStatus::notWritten, "cannot write " + destination.target().getFullPathName());
}

juce::String describeChannels (int numChannels) { return numChannels == 1 ? "mono" : "stereo"; }
} // namespace AudioFileIO

juce::String OutputEncoding::describe() const
{
    if (format == OutputFormat::oggVorbis)
        return "Ogg Vorbis q" + juce::String (quality) + ", lossy";

    return AudioFileIO::nameOf (format) + " " + juce::String (bits) + "-bit" + (floatSamples() ? " float" : "");
}
