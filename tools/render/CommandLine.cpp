#include "CommandLine.h"

#include "NumberText.h"
#include "ToolError.h"

#include <filesystem>
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

void fillDefaultsAndCheck (RenderOptions& options)
{
    if (options.output == juce::File())
        options.output =
            options.isDemo()
                ? fileFrom ("veldranox-demo.wav")
                : options.input.getSiblingFile (options.input.getFileNameWithoutExtension() + "-veldranox.wav");

    if (options.isDemo())
    {
        if (options.plot == juce::File())
            options.plot = options.output.withFileExtension ("png");
        if (! options.bpm.has_value())
            options.bpm = RenderOptions::demoBpm;
    }
    else if (options.sampleRate.has_value())
    {
        reject ("--rate sets the demo's and --info's rate; an input file renders at its own rate");
    }

    if (! options.output.hasFileExtension ("wav"))
        reject ("the output must be a .wav file: " + options.output.getFullPathName());
    if (options.plot != juce::File() && ! options.plot.hasFileExtension ("png"))
        reject ("the plot must be a .png file: " + options.plot.getFullPathName());

    if (! options.isDemo() && sameFile (options.input, options.output))
        reject ("the output would overwrite the input: " + options.input.getFullPathName());
    if (options.plot != juce::File() && sameFile (options.plot, options.output))
        reject ("the plot and the output are the same file: " + options.plot.getFullPathName());
    if (options.plot != juce::File() && ! options.isDemo() && sameFile (options.plot, options.input))
        reject ("the plot would overwrite the input: " + options.input.getFullPathName());
}
} // namespace

RenderOptions parse (const juce::StringArray& arguments)
{
    RenderOptions options;
    ArgumentReader reader (arguments);

    while (! reader.atEnd())
    {
        const auto argument = reader.next();
        const auto macroOption = argument.startsWith ("--") ? Macros::find (argument.substring (2)) : std::nullopt;

        if (macroOption.has_value())
            options.macros[(size_t) *macroOption] =
                (float) numberIn (argument, reader.valueFor (argument), Macros::minimum, Macros::maximum);
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
            options.output = fileFrom (reader.valueFor (argument));
        else if (argument == "--plot")
            options.plot = fileFrom (reader.valueFor (argument));
        else if (argument == "--automation")
            options.automation = fileFrom (reader.valueFor (argument));
        else if (argument == "--plugin")
            options.plugin = fileFrom (reader.valueFor (argument));
        else if (argument == "--format")
            options.format = formatFrom (reader.valueFor (argument));
        else if (argument == "--float")
            options.floatOutput = true;
        else if (argument == "--no-compensation")
            options.compensateLatency = false;
        else if (argument == "--info")
            options.showInfo = true;
        else if (argument == "-h" || argument == "--help")
            options.showHelp = true;
        else if (argument.startsWith ("-"))
            reject ("unknown option " + argument + " (see --help)");
        else if (options.input == juce::File())
            options.input = fileFrom (argument);
        else
            reject ("unexpected argument \"" + argument + "\": give one input file, and the output with -o");

        if (argument == "--float" || argument == "--no-compensation" || argument == "--info" || argument == "--help")
            reader.expectNoValue (argument);
    }

    if (options.format.isNotEmpty() && options.plugin != juce::File() &&
        ! options.plugin.hasFileExtension (options.format))
        reject ("--plugin " + options.plugin.getFileName() + " is not a ." + options.format +
                " bundle, as --format says");

    if (! options.showHelp && ! options.showInfo)
        fillDefaultsAndCheck (options);

    return options;
}
} // namespace CommandLine
