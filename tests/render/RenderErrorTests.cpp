#include "RenderToolFixture.h"

#include <map>
#include <vector>

namespace
{
struct BadInputCase
{
    const char* name;
    std::vector<const char*> arguments; // "{dir}" stands for the test's directory
    int exitStatus;
    const char* message;
};

const BadInputCase badInputs[] = {
    { "MissingInput", { "{dir}/missing.wav", "-o", "{dir}/out.wav" }, 3, "input not found: " },
    { "InputNotAudio",
      { "{dir}/text.wav", "-o", "{dir}/out.wav" },
      3,
      "not a WAV, AIFF, FLAC, Ogg Vorbis or MP3 file" },
    { "FolderWithoutAudio", { "{dir}/empty.vst3", "-o", "{dir}/out.wav" }, 3, "no audio files (wav, " },
    { "ThreeChannels", { "{dir}/three.wav", "-o", "{dir}/out.wav" }, 3, "3 channels; only mono and stereo" },
    { "FlacDamaged", { "{dir}/song.flac", "-o", "{dir}/out.wav" }, 3, "not a WAV, AIFF, FLAC, Ogg Vorbis or MP3 file" },
    { "OggDamaged", { "{dir}/song.ogg", "-o", "{dir}/out.wav" }, 3, "not a WAV, AIFF, FLAC, Ogg Vorbis or MP3 file" },
    { "Mp3NotAudio", { "{dir}/text.mp3", "-o", "{dir}/out.wav" }, 3, "not a WAV, AIFF, FLAC, Ogg Vorbis or MP3 file" },
    { "OutputIsTheInput", { "{dir}/in.wav", "-o", "{dir}/in.wav" }, 2, "the output would overwrite the input" },
    { "OutputFormatUnknown",
      { "{dir}/in.wav", "-o", "{dir}/out.mp3" },
      2,
      "the output must be a .wav, .aiff, .flac or .ogg file" },
    { "FlacHoldsNoFloat",
      { "{dir}/in.wav", "-o", "{dir}/out.flac", "--bits", "32f" },
      2,
      "FLAC holds 16 or 24 bits, not --bits 32f" },
    { "AiffHoldsNoFloat", { "{dir}/in.wav", "-o", "{dir}/out.aiff", "--float" }, 2, "AIFF holds 16 or 24 bits" },
    { "BitsUnknown", { "{dir}/in.wav", "-o", "{dir}/out.wav", "--bits", "20" }, 2, "--bits needs 16, 24 or 32f" },
    { "FloatAndBitsDisagree",
      { "{dir}/in.wav", "-o", "{dir}/out.wav", "--float", "--bits", "16" },
      2,
      "--float and --bits 16 disagree" },
    { "BitsForOgg",
      { "{dir}/in.wav", "-o", "{dir}/out.ogg", "--bits", "16" },
      2,
      "--bits does not apply to Ogg Vorbis" },
    { "QualityForWav",
      { "{dir}/in.wav", "-o", "{dir}/out.wav", "--quality", "5" },
      2,
      "--quality applies to Ogg Vorbis output only" },
    { "QualityAboveRange",
      { "{dir}/in.wav", "-o", "{dir}/out.ogg", "--quality", "11" },
      2,
      "--quality 11 is out of range (0 to 10)" },
    { "ExtensionUnknown", { "{dir}/in.wav", "--ext", "mp3" }, 2, "--ext needs wav, aiff, flac or ogg" },
    { "ExtensionDisagreesWithOutput",
      { "{dir}/in.wav", "-o", "{dir}/out.wav", "--ext", "flac" },
      2,
      "--ext flac disagrees with the output" },
    { "NoJobs", { "{dir}/in.wav", "{dir}/in.aiff", "-o", "{dir}/", "--jobs", "0" }, 2, "--jobs 0 is out of range" },
    { "BatchIntoAFile",
      { "{dir}/in.wav", "{dir}/three.wav", "-o", "{dir}/out.wav" },
      2,
      "-o names a folder, not the file" },
    { "BatchIntoAMissingFolder",
      { "{dir}/in.wav", "{dir}/three.wav", "-o", "{dir}/nowhere/" },
      5,
      "no such directory" },
    { "BatchOutputsCollide",
      { "{dir}/in.wav", "{dir}/in.aiff", "-o", "{dir}/empty.vst3/" },
      2,
      "two inputs would write the same output" },
    { "BatchOverwritesAnInput",
      { "{dir}/in.aiff", "{dir}/three.wav", "-o", "{dir}", "--ext", "aiff" },
      2,
      "the output would overwrite the input" },
    { "BatchWithPlot",
      { "{dir}/in.wav", "{dir}/three.wav", "-o", "{dir}/empty.vst3/", "--plot", "{dir}/p.png" },
      2,
      "--plot draws one render" },
    { "SettingsFileMissing",
      { "{dir}/in.wav", "-o", "{dir}/out.wav", "--settings", "{dir}/none.txt" },
      3,
      "settings file not found" },
    { "SettingsUnknownParameter",
      { "{dir}/in.wav", "-o", "{dir}/out.wav", "--settings", "{dir}/settings-unknown.txt" },
      2,
      "settings file settings-unknown.txt line 3: unknown parameter \"Wetness\"" },
    { "SettingsValueOutOfRange",
      { "{dir}/in.wav", "-o", "{dir}/out.wav", "--settings", "{dir}/settings-loud.txt" },
      2,
      "settings file settings-loud.txt line 1: value \"150\" is not a number from 0 to 100" },
    { "SettingsLineMalformed",
      { "{dir}/in.wav", "-o", "{dir}/out.wav", "--settings", "{dir}/automation-like.txt" },
      2,
      "settings file automation-like.txt line 1: expected NAME VALUE" },
    { "SettingsTwice",
      { "{dir}/in.wav", "-o", "{dir}/out.wav", "--settings", "{dir}/twice.txt" },
      2,
      "settings file twice.txt line 4: Melt is already set on line 2" },
    { "SettingsNotText",
      { "{dir}/in.wav", "-o", "{dir}/out.wav", "--settings", "{dir}/in.wav" },
      2,
      "settings file in.wav line 1" },
    { "SaveSettingsWithInfo",
      { "--info", "--save-settings", "{dir}/saved.txt" },
      2,
      "--save-settings saves what a render uses" },
    { "SaveSettingsIntoAMissingFolder",
      { "{dir}/in.wav", "-o", "{dir}/out.wav", "--save-settings", "{dir}/no/such/saved.txt" },
      5,
      "no such directory" },
    { "SaveSettingsOverTheOutput",
      { "{dir}/in.wav", "-o", "{dir}/out.wav", "--save-settings", "{dir}/out.wav" },
      2,
      "the saved settings would overwrite an output" },
    { "MeltAboveRange",
      { "{dir}/in.wav", "-o", "{dir}/out.wav", "--melt", "100.5" },
      2,
      "--melt 100.5 is out of range (0 to 100)" },
    { "SpaceNotANumber",
      { "{dir}/in.wav", "-o", "{dir}/out.wav", "--space", "12dB" },
      2,
      "--space needs a number from 0 to 100, not \"12dB\"" },
    { "TempoBelowRange",
      { "{dir}/in.wav", "-o", "{dir}/out.wav", "--bpm", "10" },
      2,
      "--bpm 10 is out of range (20 to 300)" },
    { "BlockOfZero",
      { "{dir}/in.wav", "-o", "{dir}/out.wav", "--block", "0" },
      2,
      "--block 0 is out of range (1 to 16384)" },
    { "NegativeTail",
      { "{dir}/in.wav", "-o", "{dir}/out.wav", "--tail=-1" },
      2,
      "--tail -1 is out of range (0 to 600)" },
    { "MissingValue", { "{dir}/in.wav", "-o", "{dir}/out.wav", "--grit" }, 2, "--grit needs a value" },
    { "UnknownOption", { "{dir}/in.wav", "-o", "{dir}/out.wav", "--wetness", "3" }, 2, "unknown option --wetness" },
    { "AutomationFileMissing",
      { "{dir}/in.wav", "-o", "{dir}/out.wav", "--automation", "{dir}/none.txt" },
      3,
      "automation file not found" },
    { "AutomationUnknownParameter",
      { "{dir}/in.wav", "-o", "{dir}/out.wav", "--automation", "{dir}/unknown.txt" },
      2,
      "unknown.txt line 3: unknown parameter \"Wetness\"" },
    { "AutomationMalformedLine",
      { "{dir}/in.wav", "-o", "{dir}/out.wav", "--automation", "{dir}/malformed.txt" },
      2,
      "malformed.txt line 1: expected WHEN PARAMETER VALUE" },
    { "AutomationBadTime",
      { "{dir}/in.wav", "-o", "{dir}/out.wav", "--automation", "{dir}/badtime.txt" },
      2,
      "badtime.txt line 1: \"soon\" is not a time in seconds" },
    { "AutomationValueOutOfRange",
      { "{dir}/in.wav", "-o", "{dir}/out.wav", "--automation", "{dir}/loud.txt" },
      2,
      "loud.txt line 1: value \"150\" is not a number from 0 to 100" },
    { "BundleMissing",
      { "{dir}/in.wav", "-o", "{dir}/out.wav", "--plugin", "{dir}/none.vst3" },
      4,
      "no plug-in bundle at" },
    { "BundleNotAPlugin",
      { "{dir}/in.wav", "-o", "{dir}/out.wav", "--plugin", "{dir}/empty.vst3" },
      4,
      "not a loadable VST3 plug-in" },
    { "OutputDirectoryMissing", { "{dir}/in.wav", "-o", "{dir}/no/such/out.wav" }, 5, "no such directory" },
};

// Every file and directory below, with its contents; hidden temporary files count too.
std::map<juce::String, juce::MemoryBlock> snapshot (const juce::File& directory)
{
    std::map<juce::String, juce::MemoryBlock> contents;
    for (const auto& entry : juce::RangedDirectoryIterator (directory, true, "*", juce::File::findFilesAndDirectories))
    {
        juce::MemoryBlock data;
        if (entry.getFile().existsAsFile())
            entry.getFile().loadFileAsData (data);
        contents[entry.getFile().getRelativePathFrom (directory)] = data;
    }
    return contents;
}
} // namespace

class BadInputTest : public RenderToolFixture, public testing::WithParamInterface<BadInputCase>
{
protected:
    void SetUp() override
    {
        RenderToolFixture::SetUp();

        writeAudio (file ("in.wav"), testSignal (1, 4800), 48000.0);
        writeAudio (file ("in.aiff"), testSignal (1, 4800), 48000.0, 24);
        writeAudio (file ("three.wav"), testSignal (3, 4800), 48000.0);
        file ("out.wav").replaceWithText ("an earlier render that must survive");
        file ("text.wav").replaceWithText ("not audio at all");
        file ("song.flac").replaceWithText ("fLaC and then nothing");
        file ("song.ogg").replaceWithText ("OggS and then nothing");
        file ("text.mp3").replaceWithText (juce::String::repeatedString ("no frames here, only text\n", 400));
        file ("empty.vst3").createDirectory();
        file ("unknown.txt").replaceWithText ("# moves\n0s Melt 10\n1.5 Wetness 3\n");
        file ("settings-unknown.txt").replaceWithText ("# mine\nSpace 70\nWetness 3\n");
        file ("settings-loud.txt").replaceWithText ("Grit 150\n");
        file ("twice.txt").replaceWithText ("Space 70\nMelt 10\n\nmelt 20\n");
        file ("automation-like.txt").replaceWithText ("2.5s Melt 80\n");
        file ("malformed.txt").replaceWithText ("0s Melt\n");
        file ("badtime.txt").replaceWithText ("soon Melt 10\n");
        file ("loud.txt").replaceWithText ("block 3 Grit 150\n");
    }
};

TEST_P (BadInputTest, NamesTheProblemExitsWithItsStatusAndWritesNothing)
{
    const auto& badInput = GetParam();
    juce::StringArray arguments;
    for (const auto* argument : badInput.arguments)
        arguments.add (juce::String (argument).replace ("{dir}", directory.getFullPathName()));

    const auto before = snapshot (directory);
    const auto run = runTool (arguments);

    EXPECT_EQ (run.exitStatus, badInput.exitStatus) << run.text;
    EXPECT_TRUE (run.text.contains (badInput.message)) << run.text;
    EXPECT_TRUE (run.text.startsWith ("veldranox-render: ")) << run.text;
    EXPECT_EQ (run.text.trimEnd().indexOfChar ('\n'), -1) << "more than one line:\n" << run.text;
    EXPECT_TRUE (snapshot (directory) == before) << "the directory changed";
}

INSTANTIATE_TEST_SUITE_P (Cases,
                          BadInputTest,
                          testing::ValuesIn (badInputs),
                          [] (const testing::TestParamInfo<BadInputCase>& testCase)
                          { return std::string (testCase.param.name); });
