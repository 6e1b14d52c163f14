#pragma once

#include "AutomationEvent.h"

#include <vector>

// Reads automation files: one change per line, "WHEN PARAMETER VALUE", where WHEN is seconds
// ("2.5" or "2.5s") or "block N"; fields are separated by spaces, tabs or commas; "#" starts a comment.
namespace AutomationFile
{
// Throws ToolError naming the source and line of the first problem.
std::vector<AutomationEvent> parse (const juce::String& text, const juce::String& sourceName);

// Throws ToolError when the file cannot be read or does not parse.
std::vector<AutomationEvent> load (const juce::File& file);
} // namespace AutomationFile
