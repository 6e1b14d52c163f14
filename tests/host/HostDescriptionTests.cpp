#include "HostTestSupport.h"

#include <array>
#include <cstdint>
#include <utility>

namespace
{
constexpr std::uint32_t fourCharCode (const char (&code)[5])
{
    return (std::uint32_t (std::uint8_t (code[0])) << 24) | (std::uint32_t (std::uint8_t (code[1])) << 16) |
           (std::uint32_t (std::uint8_t (code[2])) << 8) | std::uint32_t (std::uint8_t (code[3]));
}

// The audio component's class ID as four words; the last two are the manufacturer and plug-in codes.
constexpr std::array<std::uint32_t, 4> componentClassWords {
    0xABCDEF01u, 0x9182FAEBu, fourCharCode ("Yrvn"), fourCharCode ("Vdnx")
};

// The class ID's sixteen bytes as this platform's VST3 SDK stores them: each word most significant byte
// first, except on Windows, where the first eight bytes are a COM GUID's (a 32-bit and two 16-bit fields,
// each least significant byte first).
std::array<std::uint8_t, 16> classIdBytes()
{
    std::array<std::uint8_t, 16> bytes {};

    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = std::uint8_t (componentClassWords[i / 4] >> (8 * (3 - i % 4)));

#if defined(_WIN32)
    std::swap (bytes[0], bytes[3]);
    std::swap (bytes[1], bytes[2]);
    std::swap (bytes[4], bytes[5]);
    std::swap (bytes[6], bytes[7]);
#endif

    return bytes;
}

// JUCE keys a host's saved plug-in lists on a 31-based hash: over the class ID's four words for the
// unique ID, and over its sixteen stored bytes (as signed chars) for the older uid.
int hashOfWords()
{
    std::uint32_t hash = 0;

    for (auto word : componentClassWords)
        hash = hash * 31 + word;

    return int (hash);
}

int hashOfBytes()
{
    std::uint32_t hash = 0;

    for (auto byte : classIdBytes())
        hash = hash * 31 + std::uint32_t (std::int32_t (std::int8_t (byte)));

    return int (hash);
}
} // namespace

class HostDescription : public ::testing::TestWithParam<HostTestSupport::Format>
{
};

TEST_P (HostDescription, ListsAStereoEffectByYrven)
{
    const auto format = GetParam();
    const auto loaded = HostedPlugin::load (HostedPlugin::builtBundle (format), 44100.0, HostTestSupport::blockSize);
    ASSERT_NE (loaded.instance, nullptr) << loaded.error;
    const auto& description = loaded.description;

    EXPECT_EQ (description.name, "VELDRANOX");
    EXPECT_EQ (description.manufacturerName, "Yrven");
    EXPECT_FALSE (description.isInstrument);
    EXPECT_EQ (description.pluginFormatName, HostedPlugin::formatName (format));

    const auto live = loaded.instance->getPluginDescription();
    EXPECT_EQ (live.numInputChannels, 2);
    EXPECT_EQ (live.numOutputChannels, 2);
}

TEST_P (HostDescription, InstanceHasNoMidiInOrOut)
{
    auto instance = HostTestSupport::loadInstance (GetParam());
    ASSERT_NE (instance, nullptr);

    EXPECT_EQ (instance->getName(), "VELDRANOX");
    EXPECT_FALSE (instance->acceptsMidi());
    EXPECT_FALSE (instance->producesMidi());
    EXPECT_FALSE (instance->isMidiEffect());
}

INSTANTIATE_TEST_SUITE_P (Formats, HostDescription, HostTestSupport::allFormats, HostTestSupport::formatCaseName);

TEST (HostDescriptionVst3, ListsAnFxPluginWithItsVersionAndClassIdHashes)
{
    const auto loaded = HostedPlugin::load (
        HostedPlugin::builtBundle (HostedPlugin::Format::vst3), 44100.0, HostTestSupport::blockSize);
    ASSERT_NE (loaded.instance, nullptr) << loaded.error;
    const auto& description = loaded.description;

    EXPECT_EQ (description.version, "1.0.0");
    EXPECT_TRUE (description.category.contains ("Fx")) << description.category;
#if JUCE_MAJOR_VERSION >= 8
    // JUCE 8 lists a VST3 plug-in from the moduleinfo.json in its bundle, which names no buses: the listing
    // has no channel counts until an instance exists.
    EXPECT_EQ (description.numInputChannels, 0);
    EXPECT_EQ (description.numOutputChannels, 0);
#else
    EXPECT_EQ (description.numInputChannels, 2);
    EXPECT_EQ (description.numOutputChannels, 2);
#endif
    EXPECT_EQ (description.uniqueId, hashOfWords());
    EXPECT_EQ (description.deprecatedUid, hashOfBytes());
}

// Sessions name an LV2 plug-in by its URI alone.
TEST (HostDescriptionLv2, IsKnownByItsUriWithTwoAudioPortsEachWay)
{
    const auto loaded =
        HostedPlugin::load (HostedPlugin::builtBundle (HostedPlugin::Format::lv2), 44100.0, HostTestSupport::blockSize);
    ASSERT_NE (loaded.instance, nullptr) << loaded.error;
    const auto& description = loaded.description;

    EXPECT_EQ (description.fileOrIdentifier, VELDRANOX_LV2_URI);
    EXPECT_EQ (description.numInputChannels, 2);
    EXPECT_EQ (description.numOutputChannels, 2);
}
