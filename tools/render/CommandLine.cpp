#include "CommandLine.h"

#include "NumberText.h"
#include "PresetOption.h"
#include "SettingsFile.h"
#include "ToolError.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <optional>

namespace CommandLine
{
namespace
{
[[noreturn]] void reject (const juce::String& problem) { throw ToolError (ExitStatus::badArguments, problem); }

juce::File fileFrom (const juce::String& path) { return juce::File::getCurrentWorkingDirectory().getChildFile (path); }

juce::String formatFrom (const juce::String& text)
{
    const auto format = text.toLowerCase();

    if (format != "vst3" && format != "lv2")
        reject ("--format needs vst3 or lv2, not \"" + text + "\"");

    return format;
}

// The option's value, checked against its range; kind names the expected number in the rejection.
template <typename Number, typename Parsed>
Number checkedValue (const juce::String& option,
                     const juce::String& text,
                     const std::optional<Parsed>& value,
                     const char* kind,
                     Number minimum,
                     Number maximum)
{
    const auto range = NumberText::format (minimum) + " to " + NumberText::format (maximum);

    if (! value.has_value())
        reject (option + " needs a " + kind + " from " + range + ", not \"" + text + "\"");
    if (*value < minimum || *value > maximum)
        reject (option + " " + text + " is out of range (" + range + ")");

    return static_cast<Number> (*value);
}

double numberIn (const juce::String& option, const juce::String& text, double minimum, double maximum)
{
    return checkedValue (option, text, NumberText::parseReal (text), "number", minimum, maximum);
}

int wholeNumberIn (const juce::String& option, const juce::String& text, int minimum, int maximum)
{
    return checkedValue (option, text, NumberText::parseInteger (text), "whole number", minimum, maximum);
}

juce::String bitsText (int bits)
{
    return bits == OutputEncoding::floatBits ? juce::String ("32f") : juce::String (bits);
}

int bitsFrom (const juce::String& text)
{
    for (const auto bits : { 16, 24, OutputEncoding::floatBits })
        if (text.trim() == bitsText (bits))
            return bits;

    reject ("--bits needs 16, 24 or 32f (32-bit float), not \"" + text + "\"");
}

bool sameFile (const juce::File& a, const juce::File& b)
{
    if (a == b)
        return true;

    std::error_code error;
    return a.exists() && b.exists() &&
           std::filesystem::equivalent (a.getFullPathName().toStdString(), b.getFullPathName().toStdString(), error);
}

// Reads "--name value" or "--name=value" forms one argument at a time.
class ArgumentReader
{
public:
    explicit ArgumentReader (const juce::StringArray& args) : arguments (args) {}

    bool atEnd() const { return index >= arguments.size(); }

    juce::String next()
    {
        auto argument = arguments[index++];
        inlineValue.reset();

        if (argument.startsWith ("--") && argument.containsChar ('='))
        {
            inlineValue = argument.fromFirstOccurrenceOf ("=", false, false);
            argument = argument.upToFirstOccurrenceOf ("=", false, false);
        }

        return argument;
    }

    juce::String valueFor (const juce::String& option)
    {
        if (inlineValue.has_value())
            return *inlineValue;
        if (atEnd())
            reject (option + " needs a value");
        return arguments[index++];
    }

    void expectNoValue (const juce::String& option) const
    {
        if (inlineValue.has_value())
            reject (option + " takes no value");
    }

private:
    const juce::StringArray& arguments;
    int index = 0;
    std::optional<juce::String> inlineValue;
};

// What the arguments say before defaults, folders and the settings file are worked in.
struct GivenArguments
{
    juce::StringArray inputs;
    juce::String output;
    juce::File settings;
    juce::String preset;
    std::optional<OutputFormat> extension;
    std::optional<int> bits;
    std::optional<int> quality;
};

// The audio files of a folder given as input, by name.
std::vector<juce::File> audioFilesIn (const juce::File& folder)
{
    auto found = folder.findChildFiles (juce::File::findFiles, false, "*");
    std::vector<juce::File> files;

    for (const auto& file : found)
        if (! file.isHidden() && file.hasFileExtension (AudioFileIO::readableExtensions))
            files.push_back (file);

    std::sort (files.begin(),
               files.end(),
               [] (const juce::File& a, const juce::File& b)
               { return a.getFileName().compareNatural (b.getFileName()) < 0; });

    if (files.empty())
        throw ToolError (ExitStatus::unreadableFile,
                         "no audio files (" + juce::String (AudioFileIO::readableExtensions).replace (";", ", ") +
                             ") in the folder " + folder.getFullPathName());
    return files;
}

OutputFormat formatOfOutput (const juce::File& output)
{
    const auto format = AudioFileIO::outputFormatFor (output.getFileExtension());
    if (! format.has_value())
        reject ("the output must be a .wav, .aiff, .flac or .ogg file: " + output.getFullPathName());
    return *format;
}

OutputEncoding encodingFor (OutputFormat format, const GivenArguments& given)
{
    OutputEncoding encoding;
    encoding.format = format;
    const auto name = AudioFileIO::nameOf (format);

    if (format == OutputFormat::oggVorbis)
    {
        if (given.bits.has_value())
            reject ("--bits does not apply to Ogg Vorbis, which is lossy; --quality 0 to 10 sets its quality");
        encoding.quality = given.quality.value_or (OutputEncoding::defaultQuality);
        return encoding;
    }

    if (given.quality.has_value())
        reject ("--quality applies to Ogg Vorbis output only; " + name + " is lossless");

    encoding.bits = given.bits.value_or (OutputEncoding::defaultBits);
    const auto depths = AudioFileIO::bitDepthsOf (format);
    if (! depths.contains (encoding.bits))
    {
        juce::StringArray choices;
        for (const auto bits : depths)
            choices.add (bitsText (bits));
        reject (name + " holds " + choices.joinIntoString (" or ") + " bits, not --bits " + bitsText (encoding.bits));
    }

    return encoding;
}

void checkNoClashes (const RenderOptions& options)
{
    std::map<juce::String, juce::File> outputs;

    for (const auto& file : options.files)
    {
        if (options.plot != juce::File() && sameFile (options.plot, file.input))
            reject ("the plot would overwrite the input: " + file.input.getFullPathName());
        if (options.settingsToSave != juce::File() && sameFile (options.settingsToSave, file.input))
            reject ("the saved settings would overwrite the input: " + file.input.getFullPathName());

        const auto [earlier, isNew] = outputs.emplace (file.output.getFullPathName(), file.input);
        if (! isNew)
            reject ("two inputs would write the same output " + file.output.getFullPathName() + ": " +
                    earlier->second.getFullPathName() + " and " + file.input.getFullPathName());
    }

    for (const auto& file : options.files)
        for (const auto& other : options.files)
            if (sameFile (file.output, other.input))
                reject ("the output would overwrite the input: " + other.input.getFullPathName());

    const auto singleOutput = options.batch ? juce::File() : options.output;
    if (options.plot != juce::File() && sameFile (options.plot, singleOutput))
        reject ("the plot and the output are the same file: " + options.plot.getFullPathName());
    if (options.settingsToSave != juce::File())
    {
        if (sameFile (options.settingsToSave, singleOutput) || sameFile (options.settingsToSave, options.plot))
            reject ("the saved settings would overwrite an output: " + options.settingsToSave.getFullPathName());
        for (const auto& file : options.files)
            if (sameFile (options.settingsToSave, file.output))
                reject ("the saved settings would overwrite an output: " + options.settingsToSave.getFullPathName());
    }
}

void fillDemoDefaults (RenderOptions& options, const GivenArguments& given)
{
    options.output = given.output.isNotEmpty() ? fileFrom (given.output) : fileFrom ("veldranox-demo.wav");
    options.encoding = encodingFor (formatOfOutput (options.output), given);

    if (options.plot == juce::File())
        options.plot = options.output.withFileExtension ("png");
    if (! options.bpm.has_value())
        options.bpm = RenderOptions::demoBpm;
}

void fillBatchDefaults (RenderOptions& options, const GivenArguments& given, const std::vector<juce::File>& inputs)
{
    if (options.plot != juce::File())
        reject ("--plot draws one render; give one input file and its output file");

    const auto format = given.extension.value_or (OutputFormat::wav);
    options.encoding = encodingFor (format, given);
    const auto extension = "." + AudioFileIO::extensionOf (format);

    if (given.output.isNotEmpty())
    {
        options.output = fileFrom (given.output);
        if (options.output.existsAsFile())
            reject ("with several inputs or a folder, -o names a folder, not the file " +
                    options.output.getFullPathName());
        if (! options.output.isDirectory())
            throw ToolError (ExitStatus::notWritten, "no such directory: " + options.output.getFullPathName());
    }

    for (const auto& input : inputs)
    {
        const auto output = given.output.isNotEmpty()
                                ? options.output.getChildFile (input.getFileNameWithoutExtension() + extension)
                                : input.getSiblingFile (input.getFileNameWithoutExtension() + "-veldranox" + extension);
        options.files.push_back ({ input, output });
    }
}

void fillSingleDefaults (RenderOptions& options, const GivenArguments& given, const juce::File& input)
{
    const auto extension = "." + AudioFileIO::extensionOf (given.extension.value_or (OutputFormat::wav));
    options.output = given.output.isNotEmpty()
                         ? fileFrom (given.output)
                         : input.getSiblingFile (input.getFileNameWithoutExtension() + "-veldranox" + extension);

    const auto format = formatOfOutput (options.output);
    if (given.extension.has_value() && *given.extension != format)
        reject ("--ext " + AudioFileIO::extensionOf (*given.extension) + " disagrees with the output " +
                options.output.getFullPathName());

    options.encoding = encodingFor (format, given);
    options.files.push_back ({ input, options.output });
}

void fillDefaultsAndCheck (RenderOptions& options, const GivenArguments& given)
{
    if (given.inputs.isEmpty())
    {
        options.onlySaveSettings = options.settingsToSave != juce::File();
        if (! options.onlySaveSettings)
            fillDemoDefaults (options, given);
    }
    else
    {
        if (options.sampleRate.has_value())
            reject ("--rate sets the demo's and --info's rate; an input file renders at its own rate");

        std::vector<juce::File> inputs;
        bool folderGiven = false;
        for (const auto& text : given.inputs)
        {
            const auto input = fileFrom (text);
            folderGiven = folderGiven || input.isDirectory();
            for (const auto& file : input.isDirectory() ? audioFilesIn (input) : std::vector<juce::File> { input })
                inputs.push_back (file);
        }

        const auto outputNamesFolder =
            given.output.endsWithChar ('/') || (given.output.isNotEmpty() && fileFrom (given.output).isDirectory());
        options.batch = given.inputs.size() > 1 || folderGiven || outputNamesFolder;

        if (options.batch)
            fillBatchDefaults (options, given, inputs);
        else
            fillSingleDefaults (options, given, inputs.front());
    }

    if (options.plot != juce::File() && ! options.plot.hasFileExtension ("png"))
        reject ("the plot must be a .png file: " + options.plot.getFullPathName());

    checkNoClashes (options);
}
} // namespace

RenderOptions parse (const juce::StringArray& arguments)
{
    RenderOptions options;
    GivenArguments given;
    ArgumentReader reader (arguments);
    bool floatFlag = false;

    while (! reader.atEnd())
    {
        const auto argument = reader.next();
        const auto macroOption = argument.startsWith ("--") ? HostMacros::find (argument.substring (2)) : std::nullopt;

        if (macroOption.has_value())
            options.macros[(size_t) *macroOption] =
                (float) numberIn (argument, reader.valueFor (argument), HostMacros::minimum, HostMacros::maximum);
        else if (argument == "--bpm")
            options.bpm = numberIn (argument, reader.valueFor (argument), minimumBpm, maximumBpm);
        else if (argument == "--block")
            options.blockSize =
                wholeNumberIn (argument, reader.valueFor (argument), minimumBlockSize, maximumBlockSize);
        else if (argument == "--tail")
            options.tailSeconds = numberIn (argument, reader.valueFor (argument), 0.0, maximumTailSeconds);
        else if (argument == "--rate")
            options.sampleRate = numberIn (argument, reader.valueFor (argument), minimumSampleRate, maximumSampleRate);
        else if (argument == "-o" || argument == "--output")
            given.output = reader.valueFor (argument);
        else if (argument == "--bits")
            given.bits = bitsFrom (reader.valueFor (argument));
        else if (argument == "--quality")
            given.quality = wholeNumberIn (
                argument, reader.valueFor (argument), OutputEncoding::minimumQuality, OutputEncoding::maximumQuality);
        else if (argument == "--ext")
        {
            const auto text = reader.valueFor (argument);
            given.extension = AudioFileIO::outputFormatFor (text);
            if (! given.extension.has_value())
                reject ("--ext needs wav, aiff, flac or ogg, not \"" + text + "\"");
        }
        else if (argument == "--jobs")
            options.jobs = wholeNumberIn (argument, reader.valueFor (argument), 1, maximumJobs);
        else if (argument == "--plot")
            options.plot = fileFrom (reader.valueFor (argument));
        else if (argument == "--automation")
            options.automation = fileFrom (reader.valueFor (argument));
        else if (argument == "--settings")
            given.settings = fileFrom (reader.valueFor (argument));
        else if (argument == "--save-settings")
            options.settingsToSave = fileFrom (reader.valueFor (argument));
        else if (argument == "--preset")
            given.preset = reader.valueFor (argument);
        else if (argument == "--list-presets")
            options.listPresets = true;
        else if (argument == "--plugin")
            options.plugin = fileFrom (reader.valueFor (argument));
        else if (argument == "--format")
            options.format = formatFrom (reader.valueFor (argument));
        else if (argument == "--float")
            floatFlag = true;
        else if (argument == "--no-compensation")
            options.compensateLatency = false;
        else if (argument == "--info")
            options.showInfo = true;
        else if (argument == "-h" || argument == "--help")
            options.showHelp = true;
        else if (argument.startsWith ("-"))
            reject ("unknown option " + argument + " (see --help)");
        else
            given.inputs.add (argument);

        if (argument == "--float" || argument == "--no-compensation" || argument == "--info" || argument == "--help" ||
            argument == "--list-presets")
            reader.expectNoValue (argument);
    }

    if (options.format.isNotEmpty() && options.plugin != juce::File() &&
        ! options.plugin.hasFileExtension (options.format))
        reject ("--plugin " + options.plugin.getFileName() + " is not a ." + options.format +
                " bundle, as --format says");

    if (options.showHelp || options.listPresets)
        return options;

    if (floatFlag)
    {
        if (given.bits.has_value() && *given.bits != OutputEncoding::floatBits)
            reject ("--float and --bits " + bitsText (*given.bits) + " disagree");
        given.bits = OutputEncoding::floatBits;
    }

    // The command line overrides the settings file, whatever their order.
    if (given.settings != juce::File())
    {
        const auto fromFile = SettingsFile::load (given.settings);
        for (size_t i = 0; i < options.macros.size(); ++i)
            if (! options.macros[i].has_value())
                options.macros[i] = fromFile[i];
    }

    // A preset sets what neither the command line nor the settings file does. A file's values are known
    // only once the plug-in has taken it, so they are filled in after loading.
    if (given.preset.isNotEmpty())
    {
        if (PresetOption::namesAFile (given.preset))
            options.presetFile = fileFrom (given.preset);
        else
        {
            const auto values = PresetOption::factoryValues (given.preset);
            for (size_t i = 0; i < options.macros.size(); ++i)
                if (! options.macros[i].has_value())
                    options.macros[i] = values[i];
        }
    }

    if (options.showInfo)
    {
        if (options.settingsToSave != juce::File())
            reject ("--save-settings saves what a render uses; it does not go with --info");
        return options;
    }

    if (options.settingsToSave != juce::File())
    {
        if (options.settingsToSave.isDirectory())
            throw ToolError (ExitStatus::notWritten,
                             "the settings file is a directory: " + options.settingsToSave.getFullPathName());
        if (! options.settingsToSave.getParentDirectory().isDirectory())
            throw ToolError (ExitStatus::notWritten,
                             "no such directory: " + options.settingsToSave.getParentDirectory().getFullPathName());
    }

    fillDefaultsAndCheck (options, given);
    return options;
}
} // namespace CommandLine
