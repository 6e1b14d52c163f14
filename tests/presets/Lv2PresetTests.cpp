#include "HostedPlugin.h"
#include "Lv2PresetProbe.h"
#include "PresetTestSupport.h"

#include <gtest/gtest.h>
#include <map>
#include <set>

using PresetTestSupport::allPresets;

namespace
{
const juce::File presetBundle { VELDRANOX_LV2_PRESET_BUNDLE_PATH };

juce::String pluginFolder()
{
    return HostedPlugin::builtBundle (HostedPlugin::Format::lv2).getParentDirectory().getFullPathName();
}

juce::String presetFolder() { return presetBundle.getParentDirectory().getFullPathName(); }

juce::String presetUri (const FactoryPreset& preset)
{
    return juce::String (VELDRANOX_LV2_URI) + ":preset:" + factoryPresetSlug (preset);
}

// The labels lv2info lists under "Presets:" for the plug-in, a blank label included.
juce::StringArray lv2infoPresetLabels (const juce::StringArray& folders)
{
    juce::StringArray labels;
    juce::ChildProcess lv2info;
    const juce::StringArray command {
        "env", "LV2_PATH=" + folders.joinIntoString (":"), VELDRANOX_LV2INFO_PATH, VELDRANOX_LV2_URI
    };

    if (! lv2info.start (command))
    {
        ADD_FAILURE() << "cannot run " << command.joinIntoString (" ");
        return labels;
    }

    const auto output = juce::StringArray::fromLines (lv2info.readAllProcessOutput());
    EXPECT_EQ (lv2info.getExitCode(), 0u) << output.joinIntoString ("\n");

    // Each label on an indented line of its own after the heading, the list ended by an empty line.
    const juce::String heading { "\tPresets:" };
    auto line = 0;
    while (line < output.size() && ! output[line].startsWith (heading))
        ++line;

    if (line < output.size() && output[line].substring (heading.length()).trim().isNotEmpty())
        labels.add (output[line].substring (heading.length()).trim());

    for (++line; line < output.size() && output[line].isNotEmpty(); ++line)
        labels.add (output[line].trim());

    return labels;
}

std::set<juce::String> bankNames()
{
    std::set<juce::String> names;
    for (const auto& preset : factoryPresets)
        names.insert (preset.name);
    return names;
}
} // namespace

TEST (Lv2FactoryPresets, Lv2infoListsEveryPresetByItsLabelAndNoBlankOne)
{
    const auto labels = lv2infoPresetLabels ({ pluginFolder(), presetFolder() });
    EXPECT_EQ (std::set<juce::String> (labels.begin(), labels.end()), bankNames());
    EXPECT_EQ ((std::size_t) labels.size(), factoryPresets.size()) << labels.joinIntoString (" | ");
}

TEST (Lv2FactoryPresets, PluginBundleAloneDeclaresNoPreset)
{
    // JUCE declares a preset with an empty label for the plug-in's unnamed program; the build removes it.
    Lv2PresetProbe probe ({ pluginFolder() }, VELDRANOX_LV2_URI);
    ASSERT_EQ (probe.error(), juce::String());
    EXPECT_TRUE (probe.presets().empty());
    EXPECT_TRUE (lv2infoPresetLabels ({ pluginFolder() }).isEmpty());
}

TEST (Lv2FactoryPresets, LilvRelatesExactlyTheBankToThePlugin)
{
    Lv2PresetProbe probe ({ pluginFolder(), presetFolder() }, VELDRANOX_LV2_URI);
    ASSERT_EQ (probe.error(), juce::String());

    std::map<juce::String, juce::String> found, expected;
    for (const auto& preset : probe.presets())
        found[preset.uri] = preset.label;
    for (const auto& preset : factoryPresets)
        expected[presetUri (preset)] = preset.name;

    EXPECT_EQ (found, expected);
}

namespace
{
class Lv2FactoryPreset : public ::testing::TestWithParam<std::size_t>
{
};
} // namespace

TEST_P (Lv2FactoryPreset, AppliedThroughLilvsStateApiGivesItsValues)
{
    const auto& preset = factoryPresets[GetParam()];
    const auto& before = PresetTestSupport::contrastingPreset (preset);
    Lv2PresetProbe probe ({ pluginFolder(), presetFolder() }, VELDRANOX_LV2_URI);
    ASSERT_EQ (probe.error(), juce::String());

    ASSERT_TRUE (probe.apply (presetUri (before))) << before.name;
    PresetTestSupport::expectStoredValues (probe.savedBlob(), before);

    ASSERT_TRUE (probe.apply (presetUri (preset)));
    PresetTestSupport::expectStoredValues (probe.savedBlob(), preset);
}

TEST_P (Lv2FactoryPreset, IsInJuceLv2HostingsPresetListAndGivesItsValues)
{
    // JUCE's LV2 host offers the presets it finds for a plug-in as its programs; this suite's home holds
    // the preset bundle where hosts look for a user's.
    const auto& preset = factoryPresets[GetParam()];
    const auto& before = PresetTestSupport::contrastingPreset (preset);
    auto loaded = HostedPlugin::load (HostedPlugin::builtBundle (HostedPlugin::Format::lv2), 48000.0, 512);
    ASSERT_NE (loaded.instance, nullptr) << loaded.error;
    auto& instance = *loaded.instance;
    HostedPlugin::prepare (instance, 48000.0, 512);

    std::map<juce::String, int> programs;
    for (int i = 0; i < instance.getNumPrograms(); ++i)
        programs[instance.getProgramName (i)] = i;
    ASSERT_EQ (programs.size(), factoryPresets.size());
    ASSERT_EQ (programs.count (preset.name), 1u);

    for (const auto* applied : { &before, &preset })
    {
        SCOPED_TRACE (applied->name);
        instance.setCurrentProgram (programs.at (applied->name));
        // The plug-in tells an LV2 host its restored values as it runs.
        juce::AudioBuffer<float> silence (2, 512);
        silence.clear();
        juce::MidiBuffer midi;
        instance.processBlock (silence, midi);
        HostedPlugin::pumpMessages();

        for (std::size_t i = 0; i < numMacros; ++i)
        {
            const auto* parameter = HostedPlugin::findParameter (instance, macroTable[i].name);
            ASSERT_NE (parameter, nullptr) << macroTable[i].name;
            const auto normalised =
                (applied->values[i] - MacroRange::minimum) / (MacroRange::maximum - MacroRange::minimum);
            EXPECT_NEAR (parameter->getValue(), normalised, 1.0e-6) << macroTable[i].name;
        }
    }
}

INSTANTIATE_TEST_SUITE_P (Bank, Lv2FactoryPreset, allPresets, PresetTestSupport::presetCaseName);
