#include "AutomationFile.h"

#include "Macros.h"
#include "NumberText.h"
#include "ToolError.h"

namespace AutomationFile
{
namespace
{
// A problem with one line; parse() adds the file and line number.
struct LineProblem
{
    juce::String text;
};

[[noreturn]] void reject (const juce::String& problem) { throw LineProblem { problem }; }

juce::StringArray fieldsOf (const juce::String& line)
{
    const auto content = line.upToFirstOccurrenceOf ("#", false, false);
    juce::StringArray fields;
    fields.addTokens (content, " \t,;", "");
    fields.removeEmptyStrings();
    return fields;
}

AutomationEvent parseLine (const juce::StringArray& fields)
{
    AutomationEvent event;
    const bool byBlock = fields[0].equalsIgnoreCase ("block");
    const int next = byBlock ? 2 : 1;

    if (fields.size() != next + 2)
        reject ("expected WHEN PARAMETER VALUE, for example \"2.5s Melt 80\" or \"block 40 Space 100\"");

    if (byBlock)
    {
        const auto block = NumberText::parseInteger (fields[1]);
        if (! block.has_value() || *block < 0)
            reject ("\"" + fields[1] + "\" is not a block number (0 or more)");
        event.block = *block;
    }
    else
    {
        auto when = fields[0];
        if (when.endsWithIgnoreCase ("s"))
            when = when.dropLastCharacters (1);
        const auto seconds = NumberText::parseReal (when);
        if (! seconds.has_value() || *seconds < 0.0)
            reject ("\"" + fields[0] + "\" is not a time in seconds (0 or more)");
        event.seconds = *seconds;
    }

    const auto macro = HostMacros::find (fields[next]);
    if (! macro.has_value())
        reject ("unknown parameter \"" + fields[next] + "\" (expected " + HostMacros::listed ("or") + ")");
    event.macro = *macro;

    const auto value = NumberText::parseReal (fields[next + 1]);
    if (! value.has_value() || ! HostMacros::inRange (*value))
        reject ("value \"" + fields[next + 1] + "\" is not a number from 0 to 100");
    event.value = (float) *value;

    return event;
}
} // namespace

std::vector<AutomationEvent> parse (const juce::String& text, const juce::String& sourceName)
{
    std::vector<AutomationEvent> events;
    juce::StringArray lines;
    lines.addLines (text);

    for (int i = 0; i < lines.size(); ++i)
    {
        const auto fields = fieldsOf (lines[i]);
        if (fields.isEmpty())
            continue;

        try
        {
            events.push_back (parseLine (fields));
        }
        catch (const LineProblem& problem)
        {
            throw ToolError (ExitStatus::badArguments,
                             "automation file " + sourceName + " line " + juce::String (i + 1) + ": " + problem.text);
        }
    }

    return events;
}

std::vector<AutomationEvent> load (const juce::File& file)
{
    if (! file.existsAsFile())
        throw ToolError (ExitStatus::unreadableFile, "automation file not found: " + file.getFullPathName());

    juce::FileInputStream stream (file);
    if (! stream.openedOk())
        throw ToolError (ExitStatus::unreadableFile, "cannot read automation file " + file.getFullPathName());

    return parse (stream.readEntireStreamAsString(), file.getFileName());
}
} // namespace AutomationFile
