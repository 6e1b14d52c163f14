#include "BackgroundBlocks.h"
#include "BitIdentical.h"
#include "ChunkedRender.h"
#include "MacroColumns.h"
#include "SignalChecks.h"
#include "StateBlobBuilder.h"
#include "processor/ParameterIDs.h"
#include "processor/VeldranoxAudioProcessor.h"

#include <cmath>
#include <gtest/gtest.h>

namespace
{
using MacroColumns::ids;

juce::AudioBuffer<float> noiseInput (int numChannels, int numSamples, juce::int64 seed)
{
    juce::AudioBuffer<float> input (numChannels, numSamples);
    juce::Random random (seed);
    fillWithNoise (input, random, numSamples);
    return input;
}

juce::MemoryBlock stateWithText (const juce::String& xmlText)
{
    juce::MemoryBlock blob;
    if (const auto xml = juce::parseXML (xmlText))
        juce::AudioProcessor::copyXmlToBinary (*xml, blob);
    return blob;
}

class DirectAbuse : public ::testing::Test
{
protected:
    void prepare (double rate, int maxBlock) { processor.prepareToPlay (rate, maxBlock); }

    juce::AudioBuffer<float> render (const juce::AudioBuffer<float>& input, const std::vector<int>& chunks)
    {
        return renderInChunks (input, chunks, [this] (auto& block) { processor.processBlock (block, midi); });
    }

    void restore (const juce::MemoryBlock& blob)
    {
        processor.setStateInformation (blob.getData(), static_cast<int> (blob.getSize()));
    }

    float value (const char* id) { return processor.parameters.getRawParameterValue (id)->load(); }

    // JUCE's reverb glides its gains from its own defaults after the very first preparation and keeps
    // them through later ones; renders meant to match must start after that glide.
    void settleReverbControls()
    {
        prepare (48000.0, 512);
        auto buffer = noiseInput (2, 2048, 0);
        processor.processBlock (buffer, midi);
    }

    VeldranoxAudioProcessor processor;
    juce::MidiBuffer midi;
};
} // namespace

// A host may hand over more samples than it announced; the block must still come out whole and right.
TEST_F (DirectAbuse, BlocksLongerThanPreparedAreProcessedInFull)
{
    const auto input = noiseInput (2, 16384, 1);
    const std::vector<int> announced (256, 64);
    const std::vector<int> oversized { 65, 4096, 1, 10000, 64, 2158 };

    settleReverbControls();
    prepare (48000.0, 64);
    const auto expected = render (input, announced);
    prepare (48000.0, 64);
    const auto actual = render (input, oversized);

    BlockHealth health;
    health.absorb (actual);
    EXPECT_TRUE (health.healthy()) << health.describe();
    EXPECT_TRUE (bitIdentical (expected, actual));
}

TEST_F (DirectAbuse, UnpreparedChannelsInTheBufferAreLeftAlone)
{
    // A mono preparation fed a wider buffer: only the engine's channel is written.
    juce::AudioProcessor::BusesLayout mono;
    mono.inputBuses.add (juce::AudioChannelSet::mono());
    mono.outputBuses.add (juce::AudioChannelSet::mono());
    ASSERT_TRUE (processor.setBusesLayout (mono));
    prepare (44100.0, 256);

    auto buffer = noiseInput (2, 256, 2);
    const auto untouched = noiseInput (2, 256, 2);
    processor.processBlock (buffer, midi);

    EXPECT_TRUE (bitIdentical (buffer.getReadPointer (1), untouched.getReadPointer (1), 256));
    BlockHealth health;
    health.absorb (buffer, 1, 256);
    EXPECT_TRUE (health.healthy()) << health.describe();
}

struct StoredValueCase
{
    const char* stored;
    float expected; // what SPACE holds afterwards
};

class DirectStoredValue : public DirectAbuse, public ::testing::WithParamInterface<StoredValueCase>
{
};

// A damaged project file must not put a value the engine cannot use into a control.
TEST_P (DirectStoredValue, RestoresToAUsableValueAndAudioStaysFinite)
{
    const auto& c = GetParam();
    processor.parameters.getParameter (ParameterIDs::space)->setValueNotifyingHost (0.8f);

    restore (stateWithText (juce::String ("<PARAMS><PARAM id=\"SPACE\" value=\"") + c.stored +
                            "\"/><PARAM id=\"GRIT\" value=\"60\"/></PARAMS>"));

    EXPECT_FLOAT_EQ (value (ParameterIDs::space), c.expected);
    EXPECT_FLOAT_EQ (value (ParameterIDs::grit), 60.0f);

    for (const auto* id : ids)
    {
        const float normalised = processor.parameters.getParameter (id)->getValue();
        EXPECT_TRUE (normalised >= 0.0f && normalised <= 1.0f) << id << " at " << normalised;
    }

    prepare (44100.0, 512);
    auto buffer = noiseInput (2, 512, 3);
    for (int block = 0; block < 8; ++block)
        processor.processBlock (buffer, midi);

    BlockHealth health;
    health.absorb (buffer);
    EXPECT_TRUE (health.healthy()) << health.describe();

    // The next save carries a number again, and it restores to the same value.
    juce::MemoryBlock saved;
    processor.getStateInformation (saved);
    VeldranoxAudioProcessor other;
    other.setStateInformation (saved.getData(), static_cast<int> (saved.getSize()));
    EXPECT_FLOAT_EQ (other.parameters.getRawParameterValue (ParameterIDs::space)->load(), c.expected);
}

// NaN counts as missing and gives the default; infinities and numbers too large for a float are
// limited to the range like any other number, exponents of any length included; text that is no number
// at all reads as 0, as the framework reads it.
INSTANTIATE_TEST_SUITE_P (DamagedValues,
                          DirectStoredValue,
                          ::testing::Values (StoredValueCase { "nan", 40.0f },
                                             StoredValueCase { "NaN", 40.0f },
                                             StoredValueCase { "-nan", 40.0f },
                                             StoredValueCase { "inf", 100.0f },
                                             StoredValueCase { "-inf", 0.0f },
                                             StoredValueCase { "1e39", 100.0f },
                                             StoredValueCase { "-1e39", 0.0f },
                                             StoredValueCase { "1e30", 100.0f },
                                             StoredValueCase { "abc", 0.0f },
                                             StoredValueCase { "", 0.0f },
                                             StoredValueCase { "-0", 0.0f },
                                             StoredValueCase { "24.3E5555555555555", 100.0f },
                                             StoredValueCase { "24.3e-5555555555555", 0.0f },
                                             StoredValueCase { "-3E+99999999999", 0.0f },
                                             StoredValueCase { "2.5E+0000000000000001", 25.0f },
                                             StoredValueCase { "5e-00000000000001", 0.5f }));

struct RawTextCase
{
    const char* name;
    std::string text;
    float expectedSpace; // 40 is the untouched default: the blob was ignored
};

class DirectRawText : public DirectAbuse, public ::testing::WithParamInterface<RawTextCase>
{
};

// Text that stops inside a UTF-8 sequence once made JUCE's XML reader run past the end of its buffer, and
// an overlong form in a tag name came back different from every save (both found by the state fuzzer):
// text that is not well-formed UTF-8 is ignored, while well-formed non-ASCII text still loads.
TEST_P (DirectRawText, DamagedUtf8IsIgnoredAndWellFormedTextLoads)
{
    restore (StateBlobBuilder::blob (GetParam().text));
    EXPECT_FLOAT_EQ (value (ParameterIDs::space), GetParam().expectedSpace);
}

const std::string spaceAt70 = "<?xml version=\"1.0\" encoding=\"UTF-8\"?> <PARAMS><PARAM id=\"SPACE\" value=\"70\"/>";

INSTANTIATE_TEST_SUITE_P (
    Utf8,
    DirectRawText,
    ::testing::Values (
        RawTextCase {
            "WellFormed",
            spaceAt70 + "<PARAM id=\"NOTE\" value=\"Gr\xc3\xb6\xc3\x9f\x65 \xe2\x82\xac \xf0\x9f\x8e\xb5\"/></PARAMS>",
            70.0f },
        RawTextCase {
            "OverlongFormInATagName", spaceAt70 + "<P\xc1\xad\x41M id=\"GRIT\" value=\"80\"/></PARAMS>", 40.0f },
        RawTextCase { "OverlongThreeByteForm", spaceAt70 + "<!-- \xe0\x80\xaf --></PARAMS>", 40.0f },
        RawTextCase { "Surrogate", spaceAt70 + "<!-- \xed\xa0\x80 --></PARAMS>", 40.0f },
        RawTextCase { "AboveTheLastCodePoint", spaceAt70 + "<!-- \xf4\x90\x80\x80 --></PARAMS>", 40.0f },
        RawTextCase { "ByteThatNeverOccurs", spaceAt70 + "<!-- \xff --></PARAMS>", 40.0f },
        RawTextCase { "CutTwoByteSequence", spaceAt70 + "</PARAMS>\xc3", 40.0f },
        RawTextCase { "CutThreeByteSequence", spaceAt70 + "</PARAMS>\xe2\x82", 40.0f },
        RawTextCase { "CutFourByteSequence", spaceAt70 + "</PARAMS>\xf0\x9f\x8e", 40.0f },
        RawTextCase { "CutBeforeEmbeddedZero", spaceAt70 + std::string ("\xe2\0</PARAMS>", 11), 40.0f },
        RawTextCase { "FuzzerFinding",
                      juce::String ("<?xml version=\"1.0\" encoding=\"UTF-8\"?> <PARAMS><PARAM id=\"SPACE\" value=")
                              .toStdString() +
                          "\x1fnan\"/><PARAM id=\"MELTcg\xc9nonde=\"UTARAM id=\"\x81\xeb\x01",
                      40.0f }),
    [] (const auto& testCase) { return std::string (testCase.param.name); });

TEST (ConcurrentDirect, ControlWritesAndRestoresWhileProcessing)
{
    VeldranoxAudioProcessor processor;
    processor.prepareToPlay (48000.0, 128);

    juce::MemoryBlock minimum, maximum;
    for (const auto& [blob, normalised] : { std::pair { &minimum, 0.0f }, { &maximum, 1.0f } })
    {
        for (const auto* id : ids)
            processor.parameters.getParameter (id)->setValueNotifyingHost (normalised);
        processor.getStateInformation (*blob);
    }

    // The host's audio thread, while this thread plays the host's message thread.
    BackgroundBlocks audio (
        [&processor, buffer = juce::AudioBuffer<float> (2, 128), midi = juce::MidiBuffer()] (
            juce::Random& random) mutable
        {
            fillWithNoise (buffer, random, 128);
            processor.processBlock (buffer, midi);
            BlockHealth health;
            health.absorb (buffer);
            return health;
        },
        41,
        1500);

    juce::Random random (42);
    for (int round = 0; ! audio.isDone(); ++round)
    {
        if (round % 8 == 0)
        {
            const auto& blob = round % 16 == 0 ? minimum : maximum;
            processor.setStateInformation (blob.getData(), static_cast<int> (blob.getSize()));
        }
        else
            processor.parameters.getParameter (ids[(size_t) random.nextInt ((int) ids.size())])
                ->setValueNotifyingHost (random.nextFloat());

        juce::MemoryBlock saved;
        processor.getStateInformation (saved);
    }

    const auto health = audio.finish();
    EXPECT_TRUE (health.healthy()) << health.describe();
}
