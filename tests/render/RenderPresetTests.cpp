#include "RenderToolFixture.h"
#include "presets/FactoryPresets.h"

#include <array>
#include <map>

namespace
{
const juce::File presetFolder { VELDRANOX_VST3_PRESETS_PATH };

juce::File presetFile (const FactoryPreset& preset)
{
    return presetFolder.getChildFile (juce::String (preset.name) + ".vstpreset");
}

// The name as a user might type it: every other letter's case flipped.
juce::String scrambledCase (const char* name)
{
    juce::String text;
    int letter = 0;
    for (auto c = juce::CharPointer_UTF8 (name); ! c.isEmpty(); ++c)
    {
        const auto flip = juce::CharacterFunctions::isLetter (*c) && (letter++ % 2 == 0);
        const auto upper = juce::CharacterFunctions::isUpperCase (*c);
        text += juce::String::charToString (
            flip ? (upper ? juce::CharacterFunctions::toLowerCase (*c) : juce::CharacterFunctions::toUpperCase (*c))
                 : *c);
    }
    return text;
}

// The four values of a settings file the tool saved, by macro index.
std::map<size_t, float> savedValues (const juce::File& settings)
{
    std::map<size_t, float> values;
    for (const auto& line : juce::StringArray::fromLines (settings.loadFileAsString()))
    {
        const auto tokens = juce::StringArray::fromTokens (line, false);
        for (size_t i = 0; i < numMacros && tokens.size() == 2; ++i)
            if (tokens[0] == macroTable[i].name)
                values[i] = tokens[1].getFloatValue();
    }
    return values;
}

enum class Reference
{
    byName,
    byFile
};

struct PresetCase
{
    std::size_t preset;
    Reference reference;
};

std::vector<PresetCase> presetCases()
{
    std::vector<PresetCase> cases;
    for (std::size_t i = 0; i < factoryPresets.size(); ++i)
        for (const auto reference : { Reference::byName, Reference::byFile })
            cases.push_back ({ i, reference });
    return cases;
}

std::string presetCaseName (const ::testing::TestParamInfo<PresetCase>& info)
{
    auto name = factoryPresetSlug (factoryPresets[info.param.preset]);
    for (auto& c : name)
        if (c == '-')
            c = '_';
    return name + (info.param.reference == Reference::byName ? "_ByName" : "_ByFile");
}

class RenderPresetTest : public RenderToolFixture, public ::testing::WithParamInterface<PresetCase>
{
protected:
    juce::String presetArgument() const
    {
        const auto& preset = factoryPresets[GetParam().preset];
        return GetParam().reference == Reference::byName ? scrambledCase (preset.name)
                                                         : presetFile (preset).getFullPathName();
    }
};
} // namespace

TEST_P (RenderPresetTest, SetsThePresetsFourValues)
{
    const auto& preset = factoryPresets[GetParam().preset];
    const auto run = runTool ({ "--preset", presetArgument(), "--save-settings", file ("s.txt").getFullPathName() });
    ASSERT_EQ (run.exitStatus, 0) << run.text;

    const auto saved = savedValues (file ("s.txt"));
    ASSERT_EQ (saved.size(), numMacros) << file ("s.txt").loadFileAsString();
    for (std::size_t i = 0; i < numMacros; ++i)
        EXPECT_NEAR (saved.at (i), preset.values[i], 1.0e-4) << macroTable[i].name;
}

TEST_P (RenderPresetTest, RendersAsTheSameValuesGivenOneByOne)
{
    const auto& preset = factoryPresets[GetParam().preset];
    writeAudio (file ("in.wav"), testSignal (2, 9600), 48000.0);
    const juce::StringArray common { file ("in.wav").getFullPathName(), "--tail", "0.5", "-o" };

    auto viaPreset = common;
    viaPreset.addArray ({ file ("preset.wav").getFullPathName(), "--preset", presetArgument() });
    auto viaValues = common;
    viaValues.add (file ("values.wav").getFullPathName());
    for (std::size_t i = 0; i < numMacros; ++i)
        viaValues.addArray (
            { "--" + juce::String (macroTable[i].name).toLowerCase(), juce::String (preset.values[i]) });

    const auto first = runTool (viaPreset);
    ASSERT_EQ (first.exitStatus, 0) << first.text;
    const auto second = runTool (viaValues);
    ASSERT_EQ (second.exitStatus, 0) << second.text;

    juce::MemoryBlock a, b;
    ASSERT_TRUE (file ("preset.wav").loadFileAsData (a));
    ASSERT_TRUE (file ("values.wav").loadFileAsData (b));
    EXPECT_EQ (a, b);
}

INSTANTIATE_TEST_SUITE_P (Bank, RenderPresetTest, ::testing::ValuesIn (presetCases()), presetCaseName);

class RenderPresetOptionTest : public RenderToolFixture
{
};

TEST_F (RenderPresetOptionTest, ControlOptionsAndSettingsFileWinOverThePreset)
{
    const auto& preset = factoryPresets.back();
    file ("grit.txt").replaceWithText (juce::String (macroTable[macroGrit].name) + " 9\n");

    for (const auto& reference : { juce::String (preset.name), presetFile (preset).getFullPathName() })
    {
        SCOPED_TRACE (reference);
        const auto run = runTool ({ "--preset",
                                    reference,
                                    "--settings",
                                    file ("grit.txt").getFullPathName(),
                                    "--" + juce::String (macroTable[macroSpace].name).toLowerCase(),
                                    "3",
                                    "--save-settings",
                                    file ("s.txt").getFullPathName() });
        ASSERT_EQ (run.exitStatus, 0) << run.text;

        const auto saved = savedValues (file ("s.txt"));
        ASSERT_EQ (saved.size(), numMacros);
        EXPECT_NEAR (saved.at (macroSpace), 3.0f, 1.0e-4);
        EXPECT_NEAR (saved.at (macroGrit), 9.0f, 1.0e-4);
        EXPECT_NEAR (saved.at (macroDrift), preset.values[macroDrift], 1.0e-4);
        EXPECT_NEAR (saved.at (macroMelt), preset.values[macroMelt], 1.0e-4);
    }
}

TEST_F (RenderPresetOptionTest, ListPresetsShowsEveryPresetWithItsDescription)
{
    const auto run = runTool ({ "--list-presets" });
    ASSERT_EQ (run.exitStatus, 0) << run.text;
    for (const auto& preset : factoryPresets)
    {
        EXPECT_TRUE (run.text.contains (preset.name)) << preset.name;
        EXPECT_TRUE (run.text.contains (preset.description)) << preset.name;
    }
}

namespace
{
struct BadPresetCase
{
    const char* name;
    std::function<juce::StringArray (const juce::File& directory)> arguments;
    int exitStatus;
    const char* message;
    bool listsTheBank = false; // an unknown name is answered with the bank, so that the user can pick one
};

// A copy of a factory preset file with one byte of its class ID changed.
juce::File foreignPreset (const juce::File& directory)
{
    juce::MemoryBlock bytes;
    presetFile (factoryPresets.front()).loadFileAsData (bytes);
    auto* last = static_cast<char*> (bytes.getData()) + 8 + 31;
    *last = *last == '0' ? '1' : '0';
    const auto copy = directory.getChildFile ("foreign.vstpreset");
    copy.replaceWithData (bytes.getData(), bytes.getSize());
    return copy;
}

const BadPresetCase badPresets[] = {
    { "UnknownName",
      [] (const juce::File&) {
          return juce::StringArray { "--preset", "No Such Room" };
      },
      2,
      "no factory preset is named \"No Such Room\"",
      true },
    { "MissingFile",
      [] (const juce::File& d) {
          return juce::StringArray { "--preset", d.getChildFile ("gone.vstpreset").getFullPathName() };
      },
      3,
      "preset file not found" },
    { "ForeignClassId",
      [] (const juce::File& d) {
          return juce::StringArray { "--preset", foreignPreset (d).getFullPathName() };
      },
      3,
      "not a VELDRANOX preset file, or a damaged one" },
    { "FileForTheLv2",
      [] (const juce::File&) {
          return juce::StringArray {
              "--format", "lv2", "--preset", presetFile (factoryPresets.front()).getFullPathName()
          };
      },
      2,
      "applies to the VST3 plug-in" },
};

class RenderBadPresetTest : public RenderToolFixture, public ::testing::WithParamInterface<BadPresetCase>
{
};

std::string badPresetName (const ::testing::TestParamInfo<BadPresetCase>& info) { return info.param.name; }
} // namespace

TEST_P (RenderBadPresetTest, ExitsWithItsStatusAndWritesNothing)
{
    auto arguments = GetParam().arguments (directory);
    arguments.addArray ({ "-o", file ("out.wav").getFullPathName() });
    const auto run = runTool (arguments);

    EXPECT_EQ (run.exitStatus, GetParam().exitStatus) << run.text;
    EXPECT_TRUE (run.text.contains (GetParam().message)) << run.text;
    EXPECT_FALSE (file ("out.wav").exists());

    for (const auto& preset : factoryPresets)
        EXPECT_EQ (run.text.contains (preset.name), GetParam().listsTheBank) << preset.name;
}

INSTANTIATE_TEST_SUITE_P (Cases, RenderBadPresetTest, ::testing::ValuesIn (badPresets), badPresetName);
