#include "HostedPlugin.h"
#include "PresetTestSupport.h"

#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <set>

using PresetTestSupport::allPresets;

namespace
{
constexpr double sampleRate = 48000.0;
constexpr int blockSize = 512;

// Where the header of a preset file keeps the class ID and the chunk list's offset.
constexpr int classIdAt = 8;
constexpr int classIdLength = 32;
constexpr int listOffsetAt = 40;
constexpr int headerBytes = 48;

const juce::File presetFolder { VELDRANOX_VST3_PRESETS_PATH };

juce::File presetFile (const FactoryPreset& preset)
{
    return presetFolder.getChildFile (juce::String (preset.name) + ".vstpreset");
}

juce::MemoryBlock fileBytes (const FactoryPreset& preset)
{
    juce::MemoryBlock bytes;
    if (! presetFile (preset).loadFileAsData (bytes))
        ADD_FAILURE() << "cannot read " << presetFile (preset).getFullPathName();
    return bytes;
}

std::unique_ptr<juce::AudioPluginInstance> loadVst3()
{
    auto loaded = HostedPlugin::load (HostedPlugin::builtBundle (HostedPlugin::Format::vst3), sampleRate, blockSize);
    if (loaded.instance == nullptr)
        ADD_FAILURE() << loaded.error;
    else
        HostedPlugin::prepare (*loaded.instance, sampleRate, blockSize);
    return std::move (loaded.instance);
}

// What a JUCE host does with a preset file the user picks: the SDK's PresetFile::loadPreset through the
// instance's VST3 extension (VST3PluginFormat::setStateFromVSTPresetFile, deprecated, forwards to it).
bool applyFile (juce::AudioPluginInstance& instance, const juce::MemoryBlock& bytes)
{
    struct Visitor : juce::ExtensionsVisitor
    {
        const juce::MemoryBlock& file;
        std::optional<bool> applied;

        explicit Visitor (const juce::MemoryBlock& f) : file (f) {}
        void visitVST3Client (const VST3Client& client) override { applied = client.setPreset (file); }
    } visitor { bytes };

    instance.getExtensions (visitor);
    HostedPlugin::pumpMessages();

    if (! visitor.applied.has_value())
        ADD_FAILURE() << "the hosted instance has no VST3 extension";

    return visitor.applied.value_or (false);
}

// The component's state inside JUCE's VST3 host state, base64 in an XML wrapper: the plug-in's own bytes,
// then private data that JUCE's VST3 wrapper appends.
juce::MemoryBlock pluginBlob (juce::AudioProcessor& instance)
{
    juce::MemoryBlock hostState, blob;
    instance.getStateInformation (hostState);

    if (const auto xml = juce::AudioProcessor::getXmlFromBinary (hostState.getData(), int (hostState.getSize())))
        if (const auto* component = xml->getChildByName ("IComponent"))
            blob.fromBase64Encoding (component->getAllSubText());

    return blob;
}

// The host's controls and the plug-in's saved state both show the preset's values.
void expectValues (juce::AudioProcessor& instance, const FactoryPreset& preset)
{
    for (std::size_t i = 0; i < numMacros; ++i)
    {
        const auto* parameter = HostedPlugin::findParameter (instance, macroTable[i].name);
        ASSERT_NE (parameter, nullptr) << macroTable[i].name;
        const auto normalised = (preset.values[i] - MacroRange::minimum) / (MacroRange::maximum - MacroRange::minimum);
        EXPECT_NEAR (parameter->getValue(), normalised, 1.0e-6) << macroTable[i].name;
    }

    PresetTestSupport::expectStoredValues (pluginBlob (instance), preset);
}

class Vst3FactoryPreset : public ::testing::TestWithParam<std::size_t>
{
};
} // namespace

TEST (Vst3FactoryPresetFiles, AreOneFilePerPresetNamedAfterIt)
{
    std::set<juce::String> expected, found;
    for (const auto& preset : factoryPresets)
        expected.insert (juce::String (preset.name) + ".vstpreset");
    for (const auto& file : presetFolder.findChildFiles (juce::File::findFilesAndDirectories, false))
        found.insert (file.getFileName());

    EXPECT_EQ (found, expected);
}

TEST_P (Vst3FactoryPreset, LoadsThroughJuceHostingAndGivesItsValues)
{
    const auto& preset = factoryPresets[GetParam()];
    const auto& before = PresetTestSupport::contrastingPreset (preset);
    auto instance = loadVst3();
    ASSERT_NE (instance, nullptr);

    ASSERT_TRUE (applyFile (*instance, fileBytes (before))) << before.name;
    expectValues (*instance, before);

    ASSERT_TRUE (applyFile (*instance, fileBytes (preset)));
    expectValues (*instance, preset);
}

TEST_P (Vst3FactoryPreset, HoldsExactlyThePluginsOwnStateAsItsOnlyChunk)
{
    const auto& preset = factoryPresets[GetParam()];
    const auto bytes = fileBytes (preset);
    ASSERT_GT (bytes.getSize(), (size_t) headerBytes);
    const auto* data = static_cast<const char*> (bytes.getData());

    EXPECT_EQ (juce::String (data, 4), "VST3");
    EXPECT_EQ (juce::ByteOrder::littleEndianInt (data + 4), 1);
    EXPECT_TRUE (juce::String (data + classIdAt, classIdLength).containsOnly ("0123456789ABCDEF"));

    // The chunk list closes the file: 'List', one entry, the entry's ID, offset and size.
    const auto listOffset = (size_t) juce::ByteOrder::littleEndianInt64 (data + listOffsetAt);
    ASSERT_EQ (listOffset + 28, bytes.getSize());
    EXPECT_EQ (juce::String (data + listOffset, 4), "List");
    EXPECT_EQ (juce::ByteOrder::littleEndianInt (data + listOffset + 4), 1);
    EXPECT_EQ (juce::String (data + listOffset + 8, 4), "Comp");
    const auto chunkOffset = (size_t) juce::ByteOrder::littleEndianInt64 (data + listOffset + 12);
    const auto chunkSize = (size_t) juce::ByteOrder::littleEndianInt64 (data + listOffset + 20);
    ASSERT_EQ (chunkOffset, (size_t) headerBytes);
    ASSERT_EQ (chunkOffset + chunkSize, listOffset);

    // The chunk is what the hosted plug-in itself saves once the file is applied, byte for byte; its
    // wrapper's private data follows in the component state.
    auto instance = loadVst3();
    ASSERT_NE (instance, nullptr);
    ASSERT_TRUE (applyFile (*instance, bytes));
    const auto saved = pluginBlob (*instance);
    ASSERT_GT (saved.getSize(), chunkSize);
    EXPECT_EQ (juce::MemoryBlock (saved.getData(), chunkSize), juce::MemoryBlock (data + chunkOffset, chunkSize));
}

INSTANTIATE_TEST_SUITE_P (Bank, Vst3FactoryPreset, allPresets, PresetTestSupport::presetCaseName);

namespace
{
// A preset file spoilt in one way, as a download cut short or a disk error leaves it.
struct Damage
{
    const char* name;
    std::function<void (juce::MemoryBlock&)> apply;
    // Whether the host can tell: a chunk list that points at a short stretch of the file hands the plug-in
    // bytes that are no state, which it ignores, but JUCE's setStateInformation has no way to say so.
    bool hostRefuses = true;
};

std::int64_t listOffsetOf (const juce::MemoryBlock& bytes)
{
    return (std::int64_t) juce::ByteOrder::littleEndianInt64 (static_cast<const char*> (bytes.getData()) +
                                                              listOffsetAt);
}

void putInt64 (juce::MemoryBlock& bytes, std::int64_t at, std::int64_t value)
{
    const auto littleEndian = juce::ByteOrder::swapIfBigEndian ((juce::uint64) value);
    bytes.copyFrom (&littleEndian, (int) at, sizeof (littleEndian));
}

void putInt32 (juce::MemoryBlock& bytes, std::int64_t at, std::int32_t value)
{
    const auto littleEndian = juce::ByteOrder::swapIfBigEndian ((juce::uint32) value);
    bytes.copyFrom (&littleEndian, (int) at, sizeof (littleEndian));
}

void putText (juce::MemoryBlock& bytes, std::int64_t at, const char* text)
{
    bytes.copyFrom (text, (int) at, std::strlen (text));
}

void cutTo (juce::MemoryBlock& bytes, std::int64_t size) { bytes.setSize ((size_t) size); }

// Where the list's one entry keeps its chunk's ID, offset and size.
std::int64_t entryAt (const juce::MemoryBlock& bytes) { return listOffsetOf (bytes) + 8; }

const Damage damages[] = {
    { "WrongClassId",
      [] (auto& b)
      {
          auto* last = static_cast<char*> (b.getData()) + classIdAt + classIdLength - 1;
          *last = *last == '0' ? '1' : '0';
      } },
    { "CutInsideHeader", [] (auto& b) { cutTo (b, listOffsetAt + 4); } },
    { "CutAfterHeader", [] (auto& b) { cutTo (b, headerBytes); } },
    { "CutInsideState", [] (auto& b) { cutTo (b, (headerBytes + listOffsetOf (b)) / 2); } },
    { "CutBeforeList", [] (auto& b) { cutTo (b, listOffsetOf (b)); } },
    { "CutInsideListEntry", [] (auto& b) { cutTo (b, entryAt (b) + 10); } },
    { "CutByOneByte", [] (auto& b) { cutTo (b, (std::int64_t) b.getSize() - 1); } },
    { "ListOffsetZero", [] (auto& b) { putInt64 (b, listOffsetAt, 0); } },
    { "ListOffsetPastEnd", [] (auto& b) { putInt64 (b, listOffsetAt, (std::int64_t) b.getSize() + 64); } },
    { "ListOffsetIntoState", [] (auto& b) { putInt64 (b, listOffsetAt, headerBytes + 8); } },
    { "ListIdDamaged", [] (auto& b) { putText (b, listOffsetOf (b), "Lost"); } },
    { "ListWithoutEntries", [] (auto& b) { putInt32 (b, listOffsetOf (b) + 4, 0); } },
    { "StateChunkRenamed", [] (auto& b) { putText (b, entryAt (b), "Cmop"); } },
    { "StateChunkPastEnd", [] (auto& b) { putInt64 (b, entryAt (b) + 4, (std::int64_t) b.getSize() + 64); } },
    { "StateChunkEmpty", [] (auto& b) { putInt64 (b, entryAt (b) + 12, 0); } },
    { "StateChunkCutShort", [] (auto& b) { putInt64 (b, entryAt (b) + 12, 20); }, false },
};

class DamagedVst3Preset : public ::testing::TestWithParam<Damage>
{
};

std::string damageName (const ::testing::TestParamInfo<Damage>& info) { return info.param.name; }
} // namespace

TEST_P (DamagedVst3Preset, IsRefusedAndChangesNothing)
{
    // The plug-in holds one preset; a damaged copy of a preset that differs in every value arrives.
    const auto& held = factoryPresets.back();
    const auto& offered = PresetTestSupport::contrastingPreset (held);
    auto instance = loadVst3();
    ASSERT_NE (instance, nullptr);
    ASSERT_TRUE (applyFile (*instance, fileBytes (held)));
    const auto blobBefore = pluginBlob (*instance);

    auto damaged = fileBytes (offered);
    GetParam().apply (damaged);

    EXPECT_EQ (applyFile (*instance, damaged), ! GetParam().hostRefuses);
    expectValues (*instance, held);
    EXPECT_EQ (pluginBlob (*instance), blobBefore);
}

INSTANTIATE_TEST_SUITE_P (Damages, DamagedVst3Preset, ::testing::ValuesIn (damages), damageName);
