#include "RenderToolFixture.h"
#include "engine/MacroTable.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace
{
juce::MemoryBlock contentsOf (const juce::File& file)
{
    juce::MemoryBlock data;
    file.loadFileAsData (data);
    return data;
}

// Every file below the directory, hidden ones included, by path relative to it.
juce::StringArray filesIn (const juce::File& directory)
{
    juce::StringArray names;
    for (const auto& entry : juce::RangedDirectoryIterator (directory, true, "*", juce::File::findFiles))
        names.add (entry.getFile().getRelativePathFrom (directory));
    names.sort (false);
    return names;
}
} // namespace

class BatchTest : public RenderToolFixture
{
protected:
    // Inputs that differ in every way a render depends on: rate, channels, length, format.
    void writeMixedInputs()
    {
        writeAudio (file ("in/a.wav"), testSignal (2, 12000), 48000.0, 24);
        writeAudio (file ("in/b.aiff"), testSignal (1, 9000), 44100.0, 16);
        writeAudio (file ("in/c.wav"), testSignal (2, 20000), 96000.0, 32);
        writeAudio (file ("flac-source.wav"), testSignal (2, 15000), 44100.0, 16);
        const auto encoded = runProgram ("flac",
                                         { "--silent",
                                           "-f",
                                           file ("flac-source.wav").getFullPathName(),
                                           "-o",
                                           file ("in/d.flac").getFullPathName() });
        ASSERT_EQ (encoded.exitStatus, 0) << encoded.text;
    }

    const juce::StringArray wetOptions { "--melt", "80",     "--space", "70",     "--grit",
                                         "60",     "--bits", "32f",     "--tail", "0.3" };

    void SetUp() override
    {
        RenderToolFixture::SetUp();
        ASSERT_TRUE (file ("in").createDirectory());
        ASSERT_TRUE (file ("out").createDirectory());
    }
};

TEST_F (BatchTest, BadFileIsReportedAndSkippedAndTheOthersAreRendered)
{
    writeMixedInputs();
    file ("in/broken.wav").replaceWithText ("RIFF, and then nothing a WAV reader wants");
    writeAudio (file ("in/quad.wav"), testSignal (4, 4800), 48000.0);

    const auto run = runTool ({ file ("in").getFullPathName(),
                                "-o",
                                file ("out").getFullPathName() + "/",
                                "--ext",
                                "flac",
                                "--tail",
                                "0.1" });

    EXPECT_EQ (run.exitStatus, 6) << run.text;
    EXPECT_EQ (filesIn (file ("out")), juce::StringArray ({ "a.flac", "b.flac", "c.flac", "d.flac" })) << run.text;
    for (const auto* name : { "a.flac", "b.flac", "c.flac", "d.flac" })
    {
        const auto verified =
            runProgram ("flac", { "--silent", "-t", file ("out").getChildFile (name).getFullPathName() });
        EXPECT_EQ (verified.exitStatus, 0) << name << ": " << verified.text;
    }

    // One table row per input, in name order, with the failures named and explained.
    juce::StringArray lines;
    lines.addLines (run.text);
    const auto rowOf = [&] (const juce::String& name)
    {
        for (int i = 0; i < lines.size(); ++i)
            if (lines[i].startsWith (name + " "))
                return i;
        return -1;
    };
    EXPECT_LT (rowOf ("a.wav"), rowOf ("b.aiff"));
    EXPECT_LT (rowOf ("b.aiff"), rowOf ("broken.wav"));
    EXPECT_LT (rowOf ("broken.wav"), rowOf ("c.wav"));
    ASSERT_GE (rowOf ("broken.wav"), 0) << run.text;
    ASSERT_GE (rowOf ("quad.wav"), 0) << run.text;
    EXPECT_TRUE (lines[rowOf ("broken.wav")].contains ("failed: not a WAV, AIFF, FLAC")) << run.text;
    EXPECT_TRUE (lines[rowOf ("quad.wav")].contains ("failed: the input has 4 channels")) << run.text;
    EXPECT_TRUE (lines[rowOf ("d.flac")].contains ("written d.flac")) << run.text;
    EXPECT_TRUE (run.text.contains ("4 of 6 files written, 2 failed")) << run.text;
}

TEST_F (BatchTest, AllFilesRenderedGiveSuccess)
{
    writeMixedInputs();
    const auto run = runTool ({ file ("in/a.wav").getFullPathName(),
                                file ("in/d.flac").getFullPathName(),
                                "-o",
                                file ("out").getFullPathName(),
                                "--tail",
                                "0" });

    EXPECT_EQ (run.exitStatus, 0) << run.text;
    EXPECT_EQ (filesIn (file ("out")), juce::StringArray ({ "a.wav", "d.wav" }));
    EXPECT_EQ (readAudio (file ("out/d.wav")).samples.getNumSamples(), 15000);
}

TEST_F (BatchTest, WithoutAnOutputFolderEachOutputGoesBesideItsInput)
{
    writeMixedInputs();
    const auto run = runTool (
        { file ("in/a.wav").getFullPathName(), file ("in/b.aiff").getFullPathName(), "--ext", "aiff", "--tail", "0" });

    EXPECT_EQ (run.exitStatus, 0) << run.text;
    EXPECT_TRUE (file ("in/a-veldranox.aiff").existsAsFile());
    EXPECT_TRUE (file ("in/b-veldranox.aiff").existsAsFile());
}

// Each file renders through its own plug-in instance, so how many run at once cannot change a bit.
TEST_F (BatchTest, JobsRenderBitIdenticalToOneFileAtATime)
{
    writeMixedInputs();
    ASSERT_TRUE (file ("serial").createDirectory());
    ASSERT_TRUE (file ("single").createDirectory());

    auto parallel =
        juce::StringArray { file ("in").getFullPathName(), "-o", file ("out").getFullPathName(), "--jobs", "4" };
    parallel.addArray (wetOptions);
    auto serial =
        juce::StringArray { file ("in").getFullPathName(), "-o", file ("serial").getFullPathName(), "--jobs", "1" };
    serial.addArray (wetOptions);
    const auto parallelRun = runTool (parallel);
    const auto serialRun = runTool (serial);
    ASSERT_EQ (parallelRun.exitStatus, 0) << parallelRun.text;
    ASSERT_EQ (serialRun.exitStatus, 0) << serialRun.text;

    const std::pair<const char*, const char*> inputsAndOutputs[] = {
        { "a.wav", "a.wav" }, { "b.aiff", "b.wav" }, { "c.wav", "c.wav" }, { "d.flac", "d.wav" }
    };
    ASSERT_EQ (filesIn (file ("out")), juce::StringArray ({ "a.wav", "b.wav", "c.wav", "d.wav" }));

    for (const auto& [input, output] : inputsAndOutputs)
    {
        auto single = juce::StringArray { file ("in").getChildFile (input).getFullPathName(),
                                          "-o",
                                          file ("single").getChildFile (output).getFullPathName() };
        single.addArray (wetOptions);
        const auto singleRun = runTool (single);
        ASSERT_EQ (singleRun.exitStatus, 0) << singleRun.text;

        const auto rendered = contentsOf (file ("out").getChildFile (output));
        EXPECT_GT (rendered.getSize(), 1000u);
        EXPECT_TRUE (rendered == contentsOf (file ("serial").getChildFile (output)))
            << output << ": --jobs 4 and --jobs 1 differ";
        EXPECT_TRUE (rendered == contentsOf (file ("single").getChildFile (output)))
            << output << ": the batch and a single render differ";
    }

    // The effect was on: the outputs are not the inputs.
    const auto a = readAudio (file ("out/a.wav")).samples;
    const auto dry = readAudio (file ("in/a.wav")).samples;
    auto difference = 0.0f;
    for (int i = 0; i < dry.getNumSamples(); ++i)
        difference = std::max (difference, std::abs (a.getSample (0, i) - dry.getSample (0, i)));
    EXPECT_GT (difference, 0.01f);
}

TEST_F (BatchTest, FolderInputTakesItsAudioFilesOnly)
{
    writeAudio (file ("in/one.wav"), testSignal (1, 4800), 48000.0);
    writeAudio (file ("in/two.aif"), testSignal (1, 4800), 48000.0, 24);
    writeAudio (file ("in/.hidden.wav"), testSignal (1, 4800), 48000.0);
    file ("in/notes.txt").replaceWithText ("not audio");
    ASSERT_TRUE (file ("in/sub").createDirectory());
    writeAudio (file ("in/sub/deeper.wav"), testSignal (1, 4800), 48000.0);

    const auto run = runTool ({ file ("in").getFullPathName(), "-o", file ("out").getFullPathName(), "--tail", "0" });

    EXPECT_EQ (run.exitStatus, 0) << run.text;
    EXPECT_EQ (filesIn (file ("out")), juce::StringArray ({ "one.wav", "two.wav" }));
}

class SettingsFileTest : public RenderToolFixture
{
protected:
    void SetUp() override
    {
        RenderToolFixture::SetUp();
        writeAudio (file ("in.wav"), testSignal (2, 9600), 48000.0);
    }

    juce::MemoryBlock renderWith (const juce::StringArray& options, const juce::String& outputName)
    {
        juce::StringArray arguments { file ("in.wav").getFullPathName(),
                                      "-o",
                                      file (outputName).getFullPathName(),
                                      "--bits",
                                      "32f",
                                      "--tail",
                                      "0.2" };
        arguments.addArray (options);
        const auto run = runTool (arguments);
        EXPECT_EQ (run.exitStatus, 0) << run.text;
        return contentsOf (file (outputName));
    }
};

TEST_F (SettingsFileTest, FileSetsTheControlsAndTheCommandLineOverridesIt)
{
    file ("moody.txt").replaceWithText ("# a dark room\nSpace 70\n\n  grit\t35   # any letter case\nMelt 0\n");

    const auto fromFile = renderWith ({ "--settings", file ("moody.txt").getFullPathName() }, "file.wav");
    const auto spelledOut = renderWith ({ "--space", "70", "--grit", "35", "--melt", "0" }, "options.wav");
    EXPECT_TRUE (fromFile == spelledOut);

    // Given before or after the file, an option wins.
    const auto overridden =
        renderWith ({ "--melt", "60", "--settings", file ("moody.txt").getFullPathName() }, "override.wav");
    const auto overriddenLater =
        renderWith ({ "--settings", file ("moody.txt").getFullPathName(), "--melt=60" }, "later.wav");
    const auto expected = renderWith ({ "--space", "70", "--grit", "35", "--melt", "60" }, "expected.wav");
    EXPECT_TRUE (overridden == expected);
    EXPECT_TRUE (overriddenLater == expected);
    EXPECT_FALSE (overridden == fromFile);
}

TEST_F (SettingsFileTest, SavedSettingsAreTheValuesInEffectAndRenderTheSame)
{
    file ("base.txt").replaceWithText ("Space 70\nMelt 45.5\n");

    const auto saveOnly = runTool ({ "--settings",
                                     file ("base.txt").getFullPathName(),
                                     "--melt",
                                     "80",
                                     "--save-settings",
                                     file ("saved.txt").getFullPathName() });
    ASSERT_EQ (saveOnly.exitStatus, 0) << saveOnly.text;
    EXPECT_FALSE (file ("veldranox-demo.wav").exists()) << "saving settings alone renders no demo";

    // Every control is written; the unset ones hold the plug-in's defaults.
    juce::StringArray all, lines;
    all.addLines (file ("saved.txt").loadFileAsString());
    for (const auto& line : all)
        if (line.isNotEmpty() && ! line.startsWith ("#"))
            lines.add (line);
    ASSERT_EQ (lines.size(), (int) numMacros) << file ("saved.txt").loadFileAsString();
    EXPECT_EQ (lines[0], "Space 70");
    EXPECT_TRUE (lines[1].startsWith ("Grit "));
    EXPECT_TRUE (lines[2].startsWith ("Drift "));
    EXPECT_EQ (lines[3], "Melt 80");

    const auto fromSaved = renderWith ({ "--settings", file ("saved.txt").getFullPathName() }, "saved.wav");
    const auto direct =
        renderWith ({ "--settings", file ("base.txt").getFullPathName(), "--melt", "80" }, "direct.wav");
    EXPECT_TRUE (fromSaved == direct);

    // Saved along with a render, the file holds the same.
    const auto withRender = runTool ({ file ("in.wav").getFullPathName(),
                                       "-o",
                                       file ("again.wav").getFullPathName(),
                                       "--settings",
                                       file ("base.txt").getFullPathName(),
                                       "--melt",
                                       "80",
                                       "--save-settings",
                                       file ("again.txt").getFullPathName() });
    ASSERT_EQ (withRender.exitStatus, 0) << withRender.text;
    EXPECT_EQ (file ("again.txt").loadFileAsString(), file ("saved.txt").loadFileAsString());
}
