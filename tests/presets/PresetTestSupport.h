#pragma once

#include "presets/FactoryPresets.h"

#include <gtest/gtest.h>
#include <juce_audio_processors/juce_audio_processors.h>
#include <map>
#include <string>

// What the preset suites share: the bank as a table of cases, and the macros' values read back from the
// state bytes the plug-in saves.
namespace PresetTestSupport
{
// Every factory preset is one case, by its index in the table.
inline const auto allPresets = ::testing::Range<std::size_t> (0, factoryPresets.size());

inline std::string presetCaseName (const ::testing::TestParamInfo<std::size_t>& info)
{
    auto name = factoryPresetSlug (factoryPresets[info.param]);
    for (auto& c : name)
        if (c == '-')
            c = '_';
    return name;
}

// A preset other than this one whose values all differ from it, so that applying this one after it
// shows in every value.
inline const FactoryPreset& contrastingPreset (const FactoryPreset& preset)
{
    for (const auto& other : factoryPresets)
    {
        bool allDiffer = true;
        for (std::size_t i = 0; i < numMacros; ++i)
            allDiffer = allDiffer && other.values[i] != preset.values[i];
        if (allDiffer)
            return other;
    }
    throw std::logic_error (std::string ("no preset differs from ") + preset.name + " in every value");
}

// The values the plug-in holds, by macro ID, read from its saved state; empty if the bytes are no state.
inline std::map<std::string, double> storedValues (const juce::MemoryBlock& blob)
{
    std::map<std::string, double> values;

    if (const auto xml = juce::AudioProcessor::getXmlFromBinary (blob.getData(), int (blob.getSize())))
        for (const auto* child : xml->getChildIterator())
            values[child->getStringAttribute ("id").toStdString()] = child->getDoubleAttribute ("value");

    return values;
}

// The saved state holds exactly the preset's values, one per macro.
inline void expectStoredValues (const juce::MemoryBlock& blob, const FactoryPreset& preset)
{
    const auto stored = storedValues (blob);
    ASSERT_EQ (stored.size(), numMacros) << "the saved state holds " << stored.size() << " values";

    for (std::size_t i = 0; i < numMacros; ++i)
    {
        const auto found = stored.find (macroTable[i].id);
        ASSERT_NE (found, stored.end()) << macroTable[i].id;
        EXPECT_NEAR (found->second, preset.values[i], 1.0e-4) << macroTable[i].name;
    }
}
} // namespace PresetTestSupport
