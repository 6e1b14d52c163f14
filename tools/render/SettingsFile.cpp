#include "SettingsFile.h"

#include "NumberText.h"
#include "StagedFile.h"
#include "ToolError.h"

namespace SettingsFile
{
namespace
{
// The plug-in's controls move in steps of a tenth.
constexpr int decimals = 1;

struct LineProblem
{
    juce::String text;
};

[[noreturn]] void reject (const juce::String& problem) { throw LineProblem { problem }; }

juce::StringArray fieldsOf (const juce::String& line)
{
    juce::StringArray fields;
    fields.addTokens (line.upToFirstOccurrenceOf ("#", false, false), " \t", "");
    fields.removeEmptyStrings();
    return fields;
}
} // namespace

Values parse (const juce::String& text, const juce::String& sourceName)
{
    Values values;
    std::array<int, HostMacros::count> lineOf {};
    juce::StringArray lines;
    lines.addLines (text);

    for (int i = 0; i < lines.size(); ++i)
    {
        const auto lineNumber = i + 1;
        const auto fields = fieldsOf (lines[i]);
        if (fields.isEmpty())
            continue;

        try
        {
            if (fields.size() != 2)
                reject ("expected NAME VALUE, for example \"Space 70\"");

            const auto macro = HostMacros::find (fields[0]);
            if (! macro.has_value())
                reject ("unknown parameter \"" + fields[0] + "\" (expected " + HostMacros::listed ("or") + ")");

            const auto value = NumberText::parseReal (fields[1]);
            if (! value.has_value() || ! HostMacros::inRange (*value))
                reject ("value \"" + fields[1] + "\" is not a number from 0 to 100");

            const auto index = (size_t) *macro;
            if (values[index].has_value())
                reject (HostMacros::names()[index] + " is already set on line " + juce::String (lineOf[index]));

            values[index] = (float) *value;
            lineOf[index] = lineNumber;
        }
        catch (const LineProblem& problem)
        {
            throw ToolError (ExitStatus::badArguments,
                             "settings file " + sourceName + " line " + juce::String (lineNumber) + ": " +
                                 problem.text);
        }
    }

    return values;
}

Values load (const juce::File& file)
{
    if (file.isDirectory())
        throw ToolError (ExitStatus::unreadableFile, "the settings file is a directory: " + file.getFullPathName());
    if (! file.existsAsFile())
        throw ToolError (ExitStatus::unreadableFile, "settings file not found: " + file.getFullPathName());

    juce::FileInputStream stream (file);
    if (! stream.openedOk())
        throw ToolError (ExitStatus::unreadableFile, "cannot read settings file " + file.getFullPathName());

    return parse (stream.readEntireStreamAsString(), file.getFileName());
}

juce::String format (const std::array<float, HostMacros::count>& values)
{
    juce::String text = "# VELDRANOX settings: " + HostMacros::listed ("and") + ", 0 to 100\n";
    for (int i = 0; i < HostMacros::count; ++i)
        text << HostMacros::names()[(size_t) i] << " " << NumberText::format (values[(size_t) i], decimals) << "\n";
    return text;
}

void save (const juce::File& file, const std::array<float, HostMacros::count>& values)
{
    const StagedFile staged (file);
    {
        auto stream = staged.openStream();
        const auto written = stream->writeText (format (values), false, false, "\n");
        stream->flush();
        if (! written || stream->getStatus().failed())
            throw ToolError (ExitStatus::notWritten, "cannot write " + file.getFullPathName());
    }
    staged.commit();
}
} // namespace SettingsFile
