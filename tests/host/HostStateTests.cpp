#include "HostTestSupport.h"
#include "StateBlobBuilder.h"

#include <map>
#include <utility>

using HostTestSupport::Format;

namespace
{
// Each of JUCE's hosts keeps the plug-in's own state bytes inside a wrapper of its own: the VST3 host as
// the component's base64 text in XML, the LV2 host as the base64 text of the plug-in's state property in
// lilv's Turtle state.
constexpr auto vst3HostStateTag = "VST3PluginState";
constexpr auto vst3ComponentStateTag = "IComponent";
const juce::String lv2StateProperty = juce::String ("<") + VELDRANOX_LV2_URI + ":StateString>";

juce::MemoryBlock saveHostState (juce::AudioProcessor& instance)
{
    juce::MemoryBlock state;
    instance.getStateInformation (state);
    return state;
}

juce::String asText (const juce::MemoryBlock& block)
{
    return juce::String::fromUTF8 (static_cast<const char*> (block.getData()), int (block.getSize()));
}

// Where the base64 text of the plug-in's bytes lies in an LV2 host state: the literal after the property.
juce::Range<int> lv2BlobText (const juce::String& hostState)
{
    const auto property = hostState.indexOf (lv2StateProperty);

    if (property < 0)
        return {};

    const auto start = hostState.indexOfChar (property, '"') + 1;
    return { start, hostState.indexOfChar (start, '"') };
}

// The bytes the plug-in wrote, as a host stores them in its project.
juce::MemoryBlock pluginBlob (Format format, juce::AudioProcessor& instance)
{
    const auto hostState = saveHostState (instance);
    juce::MemoryBlock blob;

    if (format == Format::lv2)
    {
        const auto text = asText (hostState);
        blob.fromBase64Encoding (text.substring (lv2BlobText (text).getStart(), lv2BlobText (text).getEnd()));
        return blob;
    }

    const auto xml = juce::AudioProcessor::getXmlFromBinary (hostState.getData(), int (hostState.getSize()));

    if (xml != nullptr)
        if (auto* child = xml->getChildByName (vst3ComponentStateTag))
            blob.fromBase64Encoding (child->getAllSubText());

    return blob;
}

// Hands the plug-in exactly these bytes, as a host restoring a project would.
void restorePluginBlob (Format format, juce::AudioProcessor& instance, const juce::MemoryBlock& blob)
{
    juce::MemoryBlock hostState;

    if (format == Format::lv2)
    {
        // The instance's own saved state, with the plug-in's bytes replaced.
        const auto saved = asText (saveHostState (instance));
        const auto text = saved.replaceSection (
            lv2BlobText (saved).getStart(), lv2BlobText (saved).getLength(), blob.toBase64Encoding());
        hostState.append (text.toRawUTF8(), text.getNumBytesAsUTF8());
    }
    else
    {
        juce::XmlElement wrapper (vst3HostStateTag);
        wrapper.createNewChildElement (vst3ComponentStateTag)->addTextElement (blob.toBase64Encoding());
        juce::AudioProcessor::copyXmlToBinary (wrapper, hostState);
    }

    instance.setStateInformation (hostState.getData(), int (hostState.getSize()));
}

// A state that sets SPACE to 90 under the given root tag.
juce::String stateXml (const juce::String& rootTag)
{
    return R"(<?xml version="1.0" encoding="UTF-8"?><)" + rootTag + R"(><PARAM id="SPACE" value="90.0"/></)" + rootTag +
           ">";
}

juce::MemoryBlock xmlBlob (const juce::String& text) { return StateBlobBuilder::blob (text); }

struct ChangedValue
{
    const char* name;
    float normalised;
    const char* text;
};

constexpr ChangedValue changedValues[] = {
    { "Space", 0.734f, "73.4" }, { "Grit", 0.0f, "0.0" }, { "Drift", 1.0f, "100.0" }, { "Melt", 0.5f, "50.0" }
};

std::unique_ptr<juce::AudioPluginInstance> instanceWithChangedValues (Format format)
{
    auto instance = HostTestSupport::loadPrepared (format, 44100.0, 2);

    if (instance != nullptr)
    {
        for (const auto& change : changedValues)
            HostTestSupport::parameter (*instance, change.name).setValueNotifyingHost (change.normalised);

        HostTestSupport::deliverParameterChanges (*instance);
    }

    return instance;
}

// The values as the plug-in holds them, read from its own state.
std::map<juce::String, double> storedValues (const juce::MemoryBlock& blob)
{
    std::map<juce::String, double> values;

    if (const auto xml = juce::AudioProcessor::getXmlFromBinary (blob.getData(), int (blob.getSize())))
        for (const auto* child : xml->getChildIterator())
            values[child->getStringAttribute ("id")] = child->getDoubleAttribute ("value");

    return values;
}

// The plug-in holds the changed values, and the host's controls show them.
void expectChangedValues (Format format, juce::AudioProcessor& instance)
{
    const auto stored = storedValues (pluginBlob (format, instance));

    for (const auto& change : changedValues)
    {
        SCOPED_TRACE (change.name);
        EXPECT_FLOAT_EQ (HostTestSupport::parameter (instance, change.name).getValue(), change.normalised);
        const auto found = stored.find (juce::String (change.name).toUpperCase());
        ASSERT_NE (found, stored.end());
        EXPECT_EQ (juce::String (found->second, 1), change.text);
    }
}

class HostState : public ::testing::TestWithParam<Format>
{
};
} // namespace

TEST_P (HostState, PluginStateIsTheParameterTreeAsXml)
{
    auto instance = HostTestSupport::loadInstance (GetParam());
    ASSERT_NE (instance, nullptr);

    const auto component = pluginBlob (GetParam(), *instance);
    const auto xml = juce::AudioProcessor::getXmlFromBinary (component.getData(), int (component.getSize()));
    ASSERT_NE (xml, nullptr);
    EXPECT_EQ (xml->getTagName(), "PARAMS");

    const std::pair<const char*, double> expected[] = {
        { "SPACE", 40.0 }, { "GRIT", 25.0 }, { "DRIFT", 20.0 }, { "MELT", 35.0 }
    };

    for (const auto& [id, value] : expected)
    {
        const auto* child = xml->getChildByAttribute ("id", id);
        ASSERT_NE (child, nullptr) << id;
        EXPECT_EQ (child->getDoubleAttribute ("value"), value) << id;
    }
}

TEST_P (HostState, FreshInstanceRestoresChangedValuesExactly)
{
    const auto format = GetParam();
    auto source = instanceWithChangedValues (format);
    ASSERT_NE (source, nullptr);
    expectChangedValues (format, *source);
    const auto saved = saveHostState (*source);

    // As a host opens a project: a new instance, its state, then preparation. An LV2 plug-in tells the
    // host its values as it runs.
    auto restored = HostTestSupport::loadInstance (format);
    ASSERT_NE (restored, nullptr);
    restored->setStateInformation (saved.getData(), int (saved.getSize()));
    HostedPlugin::prepare (*restored, 44100.0, HostTestSupport::blockSize);

    expectChangedValues (format, *restored);
    EXPECT_EQ (pluginBlob (format, *restored), pluginBlob (format, *source));
}

TEST_P (HostState, PluginBlobRoutedThroughTheHostReachesThePlugin)
{
    // Guards the damaged-blob cases below: the same route does restore a readable blob.
    const auto format = GetParam();
    auto instance = instanceWithChangedValues (format);
    ASSERT_NE (instance, nullptr);

    restorePluginBlob (format, *instance, xmlBlob (stateXml ("PARAMS")));
    HostTestSupport::deliverParameterChanges (*instance);

    const auto stored = storedValues (pluginBlob (format, *instance));
    EXPECT_EQ (stored.at ("SPACE"), 90.0);
    EXPECT_EQ (stored.at ("MELT"), 50.0);
    EXPECT_FLOAT_EQ (HostTestSupport::parameter (*instance, "Space").getValue(), 0.9f);
}

TEST_P (HostState, ForeignOrDamagedBlobsChangeNothing)
{
    const auto format = GetParam();
    auto instance = instanceWithChangedValues (format);
    ASSERT_NE (instance, nullptr);
    const auto good = pluginBlob (format, *instance);
    ASSERT_GT (good.getSize(), 16u);

    auto truncated = good;
    truncated.setSize (good.getSize() / 2);

    auto wrongMagic = good;
    static_cast<char*> (wrongMagic.getData())[0] ^= 0x20;

    juce::MemoryBlock randomBytes (256);
    juce::Random random (1234);

    for (size_t i = 0; i < randomBytes.getSize(); ++i)
        randomBytes[i] = char (random.nextInt (256));

    const std::pair<const char*, juce::MemoryBlock> cases[] = {
        { "random bytes", randomBytes },
        { "magic and count only", juce::MemoryBlock (good.getData(), 8) },
        { "wrong magic", wrongMagic },
        { "zero count", StateBlobBuilder::blob (stateXml ("PARAMS"), StateBlobBuilder::magic, 0) },
        { "negative count", StateBlobBuilder::blob (stateXml ("PARAMS"), StateBlobBuilder::magic, -5) },
        { "text that is not XML", xmlBlob ("SPACE=90") },
        { "another plug-in's XML", xmlBlob (stateXml ("OTHERSTATE")) },
        { "cut in half", truncated },
    };

    for (const auto& [description, blob] : cases)
    {
        SCOPED_TRACE (description);
        restorePluginBlob (format, *instance, blob);
        HostTestSupport::deliverParameterChanges (*instance);
        expectChangedValues (format, *instance);
        EXPECT_EQ (pluginBlob (format, *instance), good);
    }

    SCOPED_TRACE ("random bytes in place of the host's own wrapper");
    instance->setStateInformation (randomBytes.getData(), int (randomBytes.getSize()));
    HostTestSupport::deliverParameterChanges (*instance);
    expectChangedValues (format, *instance);
}

INSTANTIATE_TEST_SUITE_P (Formats, HostState, HostTestSupport::allFormats, HostTestSupport::formatCaseName);

// A project moved between hosts of the two formats keeps its sound: the plug-in's bytes saved by one
// format's host restore the same four values through the other's.
TEST (HostStateAcrossFormats, BytesSavedThroughOneFormatRestoreTheSameValuesInTheOther)
{
    for (const auto& [from, to] : { std::pair { Format::vst3, Format::lv2 }, std::pair { Format::lv2, Format::vst3 } })
    {
        SCOPED_TRACE (HostTestSupport::formatLabel (from) + " to " + HostTestSupport::formatLabel (to));
        auto source = instanceWithChangedValues (from);
        ASSERT_NE (source, nullptr);

        auto target = HostTestSupport::loadPrepared (to, 44100.0, 2);
        ASSERT_NE (target, nullptr);
        restorePluginBlob (to, *target, pluginBlob (from, *source));
        HostTestSupport::deliverParameterChanges (*target);

        expectChangedValues (to, *target);
    }
}
