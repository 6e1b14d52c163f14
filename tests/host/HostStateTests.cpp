#include "HostTestSupport.h"

namespace
{
// JUCE's VST3 host keeps each side's VST3 state as base64 text in an XML wrapper of its own.
constexpr auto hostStateTag = "VST3PluginState";
constexpr auto componentStateTag = "IComponent";

juce::MemoryBlock saveHostState (juce::AudioProcessor& instance)
{
    juce::MemoryBlock state;
    instance.getStateInformation (state);
    return state;
}

// The bytes the plug-in's component wrote, as a host stores them in its project.
juce::MemoryBlock componentState (juce::AudioProcessor& instance)
{
    const auto hostState = saveHostState (instance);
    const auto xml = juce::AudioProcessor::getXmlFromBinary (hostState.getData(), int (hostState.getSize()));

    juce::MemoryBlock component;

    if (xml != nullptr)
        if (auto* child = xml->getChildByName (componentStateTag))
            component.fromBase64Encoding (child->getAllSubText());

    return component;
}

// Hands the component exactly these bytes, as a host restoring a project would.
void restoreComponentState (juce::AudioProcessor& instance, const juce::MemoryBlock& component)
{
    juce::XmlElement wrapper (hostStateTag);
    wrapper.createNewChildElement (componentStateTag)->addTextElement (component.toBase64Encoding());

    juce::MemoryBlock hostState;
    juce::AudioProcessor::copyXmlToBinary (wrapper, hostState);
    instance.setStateInformation (hostState.getData(), int (hostState.getSize()));
}

// The plug-in's blob: magic "VC2!", little-endian byte count, the text and a terminating zero.
juce::MemoryBlock blobWithHeader (juce::uint32 magic, juce::int32 count, const juce::String& text)
{
    juce::MemoryOutputStream out;
    out.writeInt (juce::int32 (magic));
    out.writeInt (count);
    out << text;
    out.writeByte (0);
    return out.getMemoryBlock();
}

constexpr juce::uint32 blobMagic = 0x21324356;

// A state that sets SPACE to 90 under the given root tag.
juce::String stateXml (const juce::String& rootTag)
{
    return R"(<?xml version="1.0" encoding="UTF-8"?><)" + rootTag + R"(><PARAM id="SPACE" value="90.0"/></)" + rootTag +
           ">";
}

juce::MemoryBlock xmlBlob (const juce::String& text)
{
    return blobWithHeader (blobMagic, int (text.getNumBytesAsUTF8()), text);
}

struct ChangedValue
{
    const char* name;
    float normalised;
    const char* text;
};

constexpr ChangedValue changedValues[] = {
    { "Space", 0.734f, "73.4" }, { "Grit", 0.0f, "0.0" }, { "Drift", 1.0f, "100.0" }, { "Melt", 0.5f, "50.0" }
};

std::unique_ptr<juce::AudioPluginInstance> instanceWithChangedValues()
{
    auto instance = HostTestSupport::loadPrepared (44100.0, 2);

    if (instance != nullptr)
    {
        for (const auto& change : changedValues)
            HostTestSupport::parameter (*instance, change.name).setValueNotifyingHost (change.normalised);

        HostTestSupport::deliverParameterChanges (*instance);
    }

    return instance;
}

void expectChangedValues (juce::AudioProcessor& instance)
{
    for (const auto& change : changedValues)
        EXPECT_EQ (HostTestSupport::displayedText (instance, change.name), change.text) << change.name;
}
} // namespace

TEST (HostState, ComponentStateIsTheParameterTreeAsXml)
{
    auto instance = HostTestSupport::loadInstance();
    ASSERT_NE (instance, nullptr);

    const auto component = componentState (*instance);
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

TEST (HostState, FreshInstanceRestoresChangedValuesExactly)
{
    auto source = instanceWithChangedValues();
    ASSERT_NE (source, nullptr);
    expectChangedValues (*source);
    const auto saved = saveHostState (*source);

    auto restored = HostTestSupport::loadInstance();
    ASSERT_NE (restored, nullptr);
    restored->setStateInformation (saved.getData(), int (saved.getSize()));

    expectChangedValues (*restored);
    EXPECT_EQ (componentState (*restored), componentState (*source));
}

TEST (HostState, ComponentBlobRoutedThroughTheHostReachesThePlugin)
{
    // Guards the damaged-blob cases below: the same route does restore a readable blob.
    auto instance = instanceWithChangedValues();
    ASSERT_NE (instance, nullptr);

    restoreComponentState (*instance, xmlBlob (stateXml ("PARAMS")));

    EXPECT_EQ (HostTestSupport::displayedText (*instance, "Space"), "90.0");
    EXPECT_EQ (HostTestSupport::displayedText (*instance, "Melt"), "50.0");
}

TEST (HostState, ForeignOrDamagedBlobsChangeNothing)
{
    auto instance = instanceWithChangedValues();
    ASSERT_NE (instance, nullptr);
    const auto good = componentState (*instance);
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
        { "zero count", blobWithHeader (blobMagic, 0, stateXml ("PARAMS")) },
        { "negative count", blobWithHeader (blobMagic, -5, stateXml ("PARAMS")) },
        { "text that is not XML", xmlBlob ("SPACE=90") },
        { "another plug-in's XML", xmlBlob (stateXml ("OTHERSTATE")) },
        { "cut in half", truncated },
    };

    for (const auto& [description, blob] : cases)
    {
        SCOPED_TRACE (description);
        restoreComponentState (*instance, blob);
        expectChangedValues (*instance);
        EXPECT_EQ (componentState (*instance), good);
    }

    SCOPED_TRACE ("random bytes in place of the host's own wrapper");
    instance->setStateInformation (randomBytes.getData(), int (randomBytes.getSize()));
    expectChangedValues (*instance);
}
