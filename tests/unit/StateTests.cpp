#include "BitIdentical.h"
#include "MacroColumns.h"
#include "StateBlobBuilder.h"
#include "TestSignals.h"
#include "processor/ParameterIDs.h"
#include "processor/VeldranoxAudioProcessor.h"

#include <array>
#include <cstring>
#include <gtest/gtest.h>
#include <random>

namespace
{
// The values below are spelled out in the table's order: they check the saved state as it is laid out.
using Values = std::array<float, numMacros>;
using MacroColumns::defaults;
using MacroColumns::ids;

Values valuesOf (VeldranoxAudioProcessor& processor)
{
    Values values {};
    for (size_t i = 0; i < ids.size(); ++i)
        values[i] = processor.parameters.getRawParameterValue (ids[i])->load();
    return values;
}

void setValues (VeldranoxAudioProcessor& processor, const Values& values)
{
    for (size_t i = 0; i < ids.size(); ++i)
    {
        auto* parameter = processor.parameters.getParameter (ids[i]);
        parameter->setValueNotifyingHost (parameter->convertTo0to1 (values[i]));
    }
}

juce::MemoryBlock save (VeldranoxAudioProcessor& processor)
{
    juce::MemoryBlock block;
    processor.getStateInformation (block);
    return block;
}

void restore (VeldranoxAudioProcessor& processor, const juce::MemoryBlock& block)
{
    processor.setStateInformation (block.getData(), static_cast<int> (block.getSize()));
}

juce::String paramsXml (const juce::String& root, const juce::String& children)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><" + root + ">" + children + "</" + root + ">";
}

juce::String child (const char* id, const juce::String& value)
{
    return juce::String ("<PARAM id=\"") + id + "\" value=\"" + value + "\"/>";
}

const Values changed { 73.4f, 0.0f, 100.0f, 61.2f };
} // namespace

TEST (State, BlobIsTheParameterTreeAsXmlBehindMagicAndLength)
{
    VeldranoxAudioProcessor processor;
    const auto blob = save (processor);
    const auto* bytes = static_cast<const char*> (blob.getData());

    ASSERT_GT (blob.getSize(), 9u);
    EXPECT_EQ (juce::ByteOrder::littleEndianInt (bytes), StateBlobBuilder::magic);

    const auto count = static_cast<size_t> (juce::ByteOrder::littleEndianInt (bytes + 4));
    ASSERT_EQ (blob.getSize(), 8 + count + 1) << "text, then one terminating zero, nothing after";
    EXPECT_EQ (bytes[8 + count], 0);

    const auto text = juce::String::fromUTF8 (bytes + 8, static_cast<int> (count));
    EXPECT_TRUE (text.startsWith ("<?xml")) << text;
    EXPECT_FALSE (text.containsChar ('\n')) << "a single line";

    const auto xml = juce::parseXML (text);
    ASSERT_NE (xml, nullptr);
    EXPECT_EQ (xml->getTagName(), "PARAMS");

    std::map<juce::String, juce::String> stored;
    for (auto* element : xml->getChildWithTagNameIterator ("PARAM"))
        stored[element->getStringAttribute ("id")] = element->getStringAttribute ("value");

    EXPECT_EQ (stored,
               (std::map<juce::String, juce::String> {
                   { "SPACE", "40.0" }, { "GRIT", "25.0" }, { "DRIFT", "20.0" }, { "MELT", "35.0" } }));
}

TEST (State, RoundTripsIntoAnotherInstanceExactly)
{
    for (const auto& values : { defaults, changed, Values { 0.0f, 100.0f, 0.1f, 99.9f } })
    {
        VeldranoxAudioProcessor source, target;
        setValues (target, { 1.0f, 2.0f, 3.0f, 4.0f });
        setValues (source, values);

        restore (target, save (source));
        EXPECT_EQ (valuesOf (target), values);
    }
}

TEST (State, SavingChangesNothing)
{
    VeldranoxAudioProcessor processor;
    setValues (processor, changed);

    const auto first = save (processor);
    EXPECT_EQ (valuesOf (processor), changed);
    EXPECT_EQ (save (processor), first);
}

TEST (State, RestoredValuesAreBroughtIntoRange)
{
    struct Case
    {
        const char* name;
        juce::String children;
        Values expected;
    };
    const Values before { 11.0f, 12.0f, 13.0f, 14.0f };
    const Case cases[] = {
        { "value above the range", child ("SPACE", "150"), { 100.0f, 12.0f, 13.0f, 14.0f } },
        { "value below the range", child ("DRIFT", "-3"), { 11.0f, 12.0f, 0.0f, 14.0f } },
        { "value between grid points", child ("GRIT", "2.57"), { 11.0f, 2.6f, 13.0f, 14.0f } },
        { "child without a value takes the default", "<PARAM id=\"GRIT\"/>", { 11.0f, 25.0f, 13.0f, 14.0f } },
        { "missing MELT child keeps MELT",
          child ("SPACE", "1") + child ("GRIT", "2") + child ("DRIFT", "3"),
          { 1.0f, 2.0f, 3.0f, 14.0f } },
        { "unknown ids are ignored", child ("WOBBLE", "77") + child ("MELT", "5"), { 11.0f, 12.0f, 13.0f, 5.0f } },
    };

    for (const auto& c : cases)
    {
        VeldranoxAudioProcessor processor;
        setValues (processor, before);
        restore (processor, StateBlobBuilder::blob (paramsXml ("PARAMS", c.children)));

        const auto values = valuesOf (processor);
        for (size_t i = 0; i < ids.size(); ++i)
            EXPECT_FLOAT_EQ (values[i], c.expected[i]) << c.name << ", " << ids[i];
    }
}

TEST (State, RootTagIsMatchedIgnoringCase)
{
    VeldranoxAudioProcessor processor;
    restore (processor, StateBlobBuilder::blob (paramsXml ("params", child ("MELT", "80"))));
    EXPECT_FLOAT_EQ (valuesOf (processor)[3], 80.0f);
}

TEST (State, ForeignIdsSurviveTheNextSave)
{
    VeldranoxAudioProcessor processor;
    restore (processor, StateBlobBuilder::blob (paramsXml ("PARAMS", child ("WOBBLE", "77"))));

    const auto blob = save (processor);
    const auto xml = juce::AudioProcessor::getXmlFromBinary (blob.getData(), static_cast<int> (blob.getSize()));
    ASSERT_NE (xml, nullptr);
    EXPECT_NE (xml->getChildByAttribute ("id", "WOBBLE"), nullptr) << xml->toString();
}

TEST (State, RestoreNotifiesTheHostOfChangedValues)
{
    struct Listener final : juce::AudioProcessorListener
    {
        std::vector<int> changed;
        void audioProcessorParameterChanged (juce::AudioProcessor*, int index, float) override
        {
            changed.push_back (index);
        }
        void audioProcessorChanged (juce::AudioProcessor*, const ChangeDetails&) override {}
    };

    VeldranoxAudioProcessor processor;
    Listener listener;
    processor.addListener (&listener);
    restore (processor, StateBlobBuilder::blob (paramsXml ("PARAMS", child ("GRIT", "90") + child ("SPACE", "40"))));
    processor.removeListener (&listener);

    EXPECT_EQ (listener.changed, std::vector<int> { 1 }) << "GRIT changed; SPACE already held 40";
}

TEST (State, UnreadableBlobsAreIgnored)
{
    const auto goodText = paramsXml ("PARAMS", child ("SPACE", "99") + child ("MELT", "1"));
    const auto good = StateBlobBuilder::blob (goodText);

    auto wrongMagic = good;
    static_cast<char*> (wrongMagic.getData())[0] ^= 0x20;

    std::mt19937 random (1234);
    juce::MemoryBlock noise (512);
    for (size_t i = 0; i < noise.getSize(); ++i)
        noise[i] = static_cast<char> (random());

    const auto anotherPlugin = StateBlobBuilder::blob (paramsXml ("PLUGINSTATE", child ("SPACE", "99")));
    const auto truncated = juce::MemoryBlock (good.getData(), good.getSize() / 2);

    struct Case
    {
        const char* name;
        juce::MemoryBlock blob;
    };
    const Case cases[] = {
        { "empty", {} },
        { "eight bytes", juce::MemoryBlock (good.getData(), 8) },
        { "wrong magic", wrongMagic },
        { "zero count", StateBlobBuilder::blob (goodText, StateBlobBuilder::magic, 0) },
        { "negative count", StateBlobBuilder::blob (goodText, StateBlobBuilder::magic, -5) },
        { "not xml", StateBlobBuilder::blob ("SPACE=99 MELT=1") },
        { "truncated xml", truncated },
        { "another plug-in's root", anotherPlugin },
        { "random bytes", noise },
        { "plain xml without the header", juce::MemoryBlock (goodText.toRawUTF8(), goodText.getNumBytesAsUTF8()) },
        // JUCE's XML reader loops for ever on an instruction followed by text inside an element.
        { "instruction inside the tree",
          StateBlobBuilder::blob ("<?xml version=\"1.0\"?><PARAMS><?xml version=\"1.0\"?>yyyy <PARAM id=\"SPACE\" "
                                  "value=\"99\"/></PARAMS>") },
    };

    for (const auto& c : cases)
    {
        VeldranoxAudioProcessor processor;
        setValues (processor, changed);
        const auto before = save (processor);

        restore (processor, c.blob);

        EXPECT_EQ (valuesOf (processor), changed) << c.name;
        EXPECT_EQ (save (processor), before) << c.name;
    }

    VeldranoxAudioProcessor processor;
    processor.setStateInformation (nullptr, 0);
    EXPECT_EQ (valuesOf (processor), defaults) << "null data";
}

TEST (State, CountBeyondTheDataIsReadToItsEnd)
{
    VeldranoxAudioProcessor processor;

    auto blob = StateBlobBuilder::blob (paramsXml ("PARAMS", child ("DRIFT", "66")));
    const auto size = static_cast<int> (blob.getSize());
    blob.copyFrom (&size, 4, 4); // claims more bytes than follow (little-endian host)

    restore (processor, blob);
    EXPECT_FLOAT_EQ (valuesOf (processor)[2], 66.0f);
}

// An LV2 host prepares the plug-in as it instantiates it and restores the session after that: the audio
// then starts at the restored values, exactly as when the state comes before preparation. A restore once
// audio has run glides like any other change.
TEST (State, RestoreBetweenPreparationAndTheFirstBlockIsWhereTheAudioStarts)
{
    constexpr double sampleRate = 48000.0;
    constexpr int blockSize = 512, numBlocks = 8;
    const auto noise = TestSignals::noise (2, blockSize * numBlocks, 0.5f, 3);

    VeldranoxAudioProcessor source;
    setValues (source, { 90.0f, 5.0f, 70.0f, 0.0f });
    const auto state = save (source);

    // The output for the noise, in blocks, after the state and preparation in the given order.
    const auto output = [&] (bool restoreBeforePreparing, bool runFirst)
    {
        VeldranoxAudioProcessor processor;
        juce::MidiBuffer midi;
        auto buffer = noise;

        if (restoreBeforePreparing)
            restore (processor, state);
        processor.prepareToPlay (sampleRate, blockSize);
        if (runFirst)
        {
            juce::AudioBuffer<float> silence (2, blockSize);
            silence.clear();
            processor.processBlock (silence, midi);
        }
        if (! restoreBeforePreparing)
            restore (processor, state);

        for (int b = 0; b < numBlocks; ++b)
        {
            juce::AudioBuffer<float> block (buffer.getArrayOfWritePointers(), 2, b * blockSize, blockSize);
            processor.processBlock (block, midi);
        }
        return buffer;
    };

    EXPECT_TRUE (bitIdentical (output (false, false), output (true, false)));

    // Once audio has run, a restore glides: the output differs from one that started at the values.
    EXPECT_FALSE (bitIdentical (output (false, true), output (true, true)));
}

// A state saved by the Linux build, byte for byte. Every platform's build must save exactly these bytes for
// these values and restore these values from them, so that a session moves between a Linux and a Windows host
// unchanged in either direction.
TEST (State, SavedBytesAreTheSameOnEveryPlatform)
{
    const auto recorded = StateBlobBuilder::blob (
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?> <PARAMS><PARAM id=\"DRIFT\" value=\"100.0\"/>"
        "<PARAM id=\"GRIT\" value=\"0.0\"/><PARAM id=\"MELT\" value=\"61.20000076293945\"/>"
        "<PARAM id=\"SPACE\" value=\"73.40000152587891\"/></PARAMS>");
    const auto asText = [] (const juce::MemoryBlock& block)
    { return std::string (static_cast<const char*> (block.getData()), block.getSize()); };

    VeldranoxAudioProcessor source;
    setValues (source, changed);
    EXPECT_EQ (asText (save (source)), asText (recorded));

    VeldranoxAudioProcessor target;
    restore (target, recorded);
    EXPECT_EQ (valuesOf (target), changed);
}
