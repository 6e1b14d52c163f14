#pragma once

#include "StagedFile.h"

#include <juce_audio_basics/juce_audio_basics.h>
#include <optional>

struct InputAudio
{
    juce::AudioBuffer<float> samples;
    double sampleRate = 0.0;
    juce::String formatName; // "WAV", "FLAC", "MP3", ...
    bool lossy = false;      // decoded from a lossy format

    // For example "MP3, lossy"; lossless inputs are named by their format alone.
    juce::String describeFormat() const { return lossy ? formatName + ", lossy" : formatName; }
};

// The file formats the tool writes, chosen by the output file's extension.
enum class OutputFormat
{
    wav,
    aiff,
    flac,
    oggVorbis
};

// How an output file is encoded. Integer formats clip above full scale; 32 bits means float samples.
struct OutputEncoding
{
    static constexpr int floatBits = 32;
    static constexpr int defaultBits = 24;
    static constexpr int minimumQuality = 0;
    static constexpr int maximumQuality = 10;
    static constexpr int defaultQuality = 6;

    OutputFormat format = OutputFormat::wav;
    int bits = defaultBits;        // WAV: 16, 24, 32 (float); AIFF and FLAC: 16, 24; unused for Ogg Vorbis
    int quality = defaultQuality;  // Ogg Vorbis only: 0 to 10, as oggenc's -q
    juce::String describe() const; // for example "FLAC 24-bit", "Ogg Vorbis q6, lossy"
    bool lossy() const { return format == OutputFormat::oggVorbis; }
    bool floatSamples() const { return format != OutputFormat::oggVorbis && bits == floatBits; }
};

namespace AudioFileIO
{
// The audio files a folder given as input contributes, and the extensions that mark them.
constexpr const char* readableExtensions = "wav;wave;aif;aiff;aifc;flac;ogg;oga;mp3";

// The output format an extension (with or without its dot, any letter case) selects.
std::optional<OutputFormat> outputFormatFor (const juce::String& extension);

// The bit depths a format can hold, for --bits; empty where the format has no choice.
juce::Array<int> bitDepthsOf (OutputFormat format);

juce::String nameOf (OutputFormat format);
juce::String extensionOf (OutputFormat format); // without the dot

// Reads a whole WAV, AIFF, FLAC, Ogg Vorbis or MP3 file, mono or stereo. Throws ToolError (unreadable
// file) naming the problem.
InputAudio read (const juce::File& file);

// Throws ToolError (not written) when the encoding cannot hold audio of this rate and channel count,
// so that a render that could never be written is refused before it starts.
void checkEncodable (const OutputEncoding& encoding, double sampleRate, int numChannels, const juce::File& target);

// Encodes the samples into the staged file. Throws ToolError (not written).
void write (const StagedFile& destination,
            const juce::AudioBuffer<float>& samples,
            double sampleRate,
            const OutputEncoding& encoding);

juce::String describeChannels (int numChannels);
} // namespace AudioFileIO
