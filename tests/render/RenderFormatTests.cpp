#include "RenderToolFixture.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

// Every file format the tool reads or writes, checked against Debian's own encoders and decoders
// rather than against JUCE alone: inputs are made by flac, oggenc, lame and sox, outputs are
// verified and decoded by flac, ogginfo, oggdec and sox.
namespace
{
constexpr double rate = 44100.0;
constexpr float lsb16 = 1.0f / 32768.0f;

// Musical rather than noisy, so that lossy codecs keep it close: two partials per channel with a swell.
juce::AudioBuffer<float> chord (int numChannels, int numSamples)
{
    juce::AudioBuffer<float> signal (numChannels, numSamples);
    for (int channel = 0; channel < numChannels; ++channel)
        for (int i = 0; i < numSamples; ++i)
        {
            const auto t = (double) i / rate;
            const auto swell = 0.5 - 0.2 * std::cos (2.0 * juce::MathConstants<double>::pi * 2.0 * t);
            const auto value =
                swell * (0.6 * std::sin (2.0 * juce::MathConstants<double>::pi * (330.0 + 110.0 * channel) * t) +
                         0.3 * std::sin (2.0 * juce::MathConstants<double>::pi * 1250.0 * t));
            signal.setSample (channel, i, (float) value);
        }
    return signal;
}

struct Comparison
{
    int offset = 0;             // where the reference starts in the output
    float largestError = 0.0f;  // over the reference's length
    double signalToError = 0.0; // dB
};

// Lines the reference up against the output (lossy decoders disagree on the leading delay) and
// measures how far apart they are.
Comparison
compare (const juce::AudioBuffer<float>& output, const juce::AudioBuffer<float>& reference, int maximumOffset)
{
    const auto length = std::min (reference.getNumSamples(), output.getNumSamples() - maximumOffset);
    Comparison best;
    double bestError = std::numeric_limits<double>::max();

    for (int offset = 0; offset <= maximumOffset; ++offset)
    {
        double error = 0.0, energy = 0.0;
        float largest = 0.0f;
        for (int channel = 0; channel < reference.getNumChannels(); ++channel)
            for (int i = 0; i < length; ++i)
            {
                const auto difference = output.getSample (channel, i + offset) - reference.getSample (channel, i);
                error += (double) difference * difference;
                energy += (double) reference.getSample (channel, i) * reference.getSample (channel, i);
                largest = std::max (largest, std::abs (difference));
            }

        if (error < bestError)
        {
            bestError = error;
            best = { offset, largest, error > 0.0 ? 10.0 * std::log10 (energy / error) : 1000.0 };
        }
    }

    return best;
}

} // namespace

struct InputFormatCase
{
    const char* name;
    const char* inputName;
    int sourceBits;                  // of the WAV the encoder is given
    std::vector<const char*> encode; // {source.wav} to the input
    std::vector<const char*> decode; // for lossy inputs, an independent decoder: the input to {reference.wav}
    int maximumOffset;               // the leading delay a decoder may keep or strip
    float largestError;
    bool lossy;
};

const InputFormatCase inputFormats[] = {
    { "WavFromSox", "in.wav", 16, { "sox", "{source.wav}", "-b", "16", "{in.wav}" }, {}, 0, 0.0f, false },
    { "AiffFromSox", "in.aiff", 24, { "sox", "{source.wav}", "-b", "24", "{in.aiff}" }, {}, 0, 0.0f, false },
    { "Flac16", "in.flac", 16, { "flac", "--silent", "-f", "{source.wav}", "-o", "{in.flac}" }, {}, 0, 0.0f, false },
    { "Flac24",
      "in.flac",
      24,
      { "flac", "--silent", "-8", "-f", "{source.wav}", "-o", "{in.flac}" },
      {},
      0,
      0.0f,
      false },
    { "OggVorbis",
      "in.ogg",
      16,
      { "oggenc", "--quiet", "-q", "5", "{source.wav}", "-o", "{in.ogg}" },
      { "oggdec", "--quiet", "-b", "16", "{in.ogg}", "-o", "{reference.wav}" },
      0,
      1.5f * lsb16, // the reference decoder's 16-bit rounding
      true },
    { "Mp3FromLame",
      "in.mp3",
      16,
      { "lame", "--silent", "-b", "192", "{source.wav}", "{in.mp3}" },
      { "lame", "--silent", "--decode", "{in.mp3}", "{reference.wav}" },
      2400, // lame's decoder drops the encoder's delay; JUCE's keeps it
      0.01f,
      true },
};

class InputFormatTest : public RenderToolFixture, public testing::WithParamInterface<InputFormatCase>
{
};

TEST_P (InputFormatTest, ReadsWhatTheIndependentEncoderWrote)
{
    const auto& format = GetParam();
    const auto source = chord (2, (int) rate / 2);
    writeAudio (file ("source.wav"), source, rate, format.sourceBits);

    const auto encoded = runProgram (format.encode);
    ASSERT_EQ (encoded.exitStatus, 0) << encoded.text;

    // Without the effect the tool's output is its reading of the input, sample for sample.
    const auto run = runTool ({ file (format.inputName).getFullPathName(),
                                "-o",
                                file ("out.wav").getFullPathName(),
                                "--melt",
                                "0",
                                "--bits",
                                "32f",
                                "--tail",
                                "0" });
    ASSERT_EQ (run.exitStatus, 0) << run.text;
    EXPECT_EQ (run.text.contains ("lossy"), format.lossy) << run.text;
    const auto output = readAudio (file ("out.wav"));
    ASSERT_EQ (output.samples.getNumChannels(), 2);
    EXPECT_EQ (output.sampleRate, rate);

    auto reference = readAudio (file ("source.wav"));
    if (! format.decode.empty())
    {
        const auto decoded = runProgram (format.decode);
        ASSERT_EQ (decoded.exitStatus, 0) << decoded.text;
        reference = readAudio (file ("reference.wav"));
        ASSERT_EQ (reference.samples.getNumChannels(), 2);
    }

    if (format.maximumOffset == 0)
    {
        ASSERT_EQ (output.samples.getNumSamples(), reference.samples.getNumSamples());
    }

    const auto comparison = compare (output.samples, reference.samples, format.maximumOffset);
    EXPECT_LE (comparison.largestError, format.largestError) << "at offset " << comparison.offset;
    if (format.lossy)
    {
        EXPECT_GT (comparison.signalToError, 40.0) << "at offset " << comparison.offset;
    }
}

INSTANTIATE_TEST_SUITE_P (Encoders,
                          InputFormatTest,
                          testing::ValuesIn (inputFormats),
                          [] (const testing::TestParamInfo<InputFormatCase>& testCase)
                          { return std::string (testCase.param.name); });

struct OutputFormatCase
{
    const char* name;
    const char* outputName;
    std::vector<const char*> options;
    std::vector<const char*> verify; // an independent check of the file, when one exists
    std::vector<const char*> decode; // an independent decoder: {out...} to {decoded.wav}
    float largestError;              // against the 24-bit input: half a step when rounded to 16 bits
    double minimumSignalToError;     // dB, for the lossy format
    const char* summary;             // how the summary line names the encoding
};

const OutputFormatCase outputFormats[] = {
    { "Wav16",
      "out.wav",
      { "--bits", "16" },
      {},
      { "sox", "{out.wav}", "-e", "floating-point", "-b", "32", "{decoded.wav}" },
      lsb16 / 2,
      0.0,
      "WAV 16-bit" },
    { "Wav24",
      "out.wav",
      {},
      {},
      { "sox", "{out.wav}", "-e", "floating-point", "-b", "32", "{decoded.wav}" },
      0.0f,
      0.0,
      "WAV 24-bit" },
    { "Wav32Float",
      "out.wav",
      { "--bits", "32f" },
      {},
      { "sox", "{out.wav}", "-e", "floating-point", "-b", "32", "{decoded.wav}" },
      0.0f,
      0.0,
      "WAV 32-bit float" },
    { "Aiff16",
      "out.aiff",
      { "--bits", "16" },
      {},
      { "sox", "{out.aiff}", "-e", "floating-point", "-b", "32", "{decoded.wav}" },
      lsb16 / 2,
      0.0,
      "AIFF 16-bit" },
    { "Aiff24",
      "out.aiff",
      {},
      {},
      { "sox", "{out.aiff}", "-e", "floating-point", "-b", "32", "{decoded.wav}" },
      0.0f,
      0.0,
      "AIFF 24-bit" },
    { "Flac16",
      "out.flac",
      { "--bits", "16" },
      { "flac", "--silent", "-t", "{out.flac}" },
      { "flac", "--silent", "-d", "-f", "{out.flac}", "-o", "{decoded.wav}" },
      lsb16 / 2,
      0.0,
      "FLAC 16-bit" },
    { "Flac24",
      "out.flac",
      {},
      { "flac", "--silent", "-t", "{out.flac}" },
      { "flac", "--silent", "-d", "-f", "{out.flac}", "-o", "{decoded.wav}" },
      0.0f,
      0.0,
      "FLAC 24-bit" },
    { "OggVorbis",
      "out.ogg",
      { "--quality", "8" },
      { "ogginfo", "{out.ogg}" },
      { "oggdec", "--quiet", "{out.ogg}", "-o", "{decoded.wav}" },
      0.05f,
      30.0,
      "Ogg Vorbis q8, lossy" },
};

class OutputFormatTest : public RenderToolFixture, public testing::WithParamInterface<OutputFormatCase>
{
};

TEST_P (OutputFormatTest, IndependentDecoderReadsTheInputBack)
{
    const auto& format = GetParam();
    const auto tail = (int) rate / 20;
    writeAudio (file ("in.wav"), chord (2, (int) rate / 2), rate, 24);
    const auto input = readAudio (file ("in.wav")).samples;

    juce::StringArray arguments { file ("in.wav").getFullPathName(),
                                  "-o",
                                  file (format.outputName).getFullPathName(),
                                  "--melt",
                                  "0",
                                  "--tail",
                                  "0.05" };
    for (const auto* option : format.options)
        arguments.add (option);
    const auto run = runTool (arguments);
    ASSERT_EQ (run.exitStatus, 0) << run.text;
    EXPECT_TRUE (run.text.contains (format.summary)) << run.text;

    if (! format.verify.empty())
    {
        const auto verified = runProgram (format.verify);
        EXPECT_EQ (verified.exitStatus, 0) << verified.text;
    }

    const auto decoded = runProgram (format.decode);
    ASSERT_EQ (decoded.exitStatus, 0) << decoded.text;
    const auto output = readAudio (file ("decoded.wav"));
    ASSERT_EQ (output.samples.getNumChannels(), 2);
    EXPECT_EQ (output.sampleRate, rate);
    ASSERT_EQ (output.samples.getNumSamples(), input.getNumSamples() + tail);

    const auto comparison = compare (output.samples, input, 0);
    EXPECT_LE (comparison.largestError, format.largestError);
    if (format.minimumSignalToError > 0.0)
        EXPECT_GT (comparison.signalToError, format.minimumSignalToError);
    else
        EXPECT_LE (output.samples.getMagnitude (input.getNumSamples(), tail), format.largestError)
            << "the tail is not silent";
}

INSTANTIATE_TEST_SUITE_P (Decoders,
                          OutputFormatTest,
                          testing::ValuesIn (outputFormats),
                          [] (const testing::TestParamInfo<OutputFormatCase>& testCase)
                          { return std::string (testCase.param.name); });
