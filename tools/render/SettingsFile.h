#pragma once

#include "Macros.h"

#include <array>
#include <juce_core/juce_core.h>
#include <optional>

// A small text file of the controls, one per line: "Space 70". Names and ranges are those of the
// command-line options; "#" starts a comment; a control left out keeps the plug-in's default.
namespace SettingsFile
{
using Values = std::array<std::optional<float>, HostMacros::count>;

// Throws ToolError (bad arguments) naming the line and its problem.
Values parse (const juce::String& text, const juce::String& sourceName);

// Throws ToolError: unreadable file when missing or unreadable, bad arguments when malformed.
Values load (const juce::File& file);

// The text save() writes: every control, with the value the plug-in resolves it to.
juce::String format (const std::array<float, HostMacros::count>& values);

// Writes the file completely or not at all. Throws ToolError (not written).
void save (const juce::File& file, const std::array<float, HostMacros::count>& values);
} // namespace SettingsFile
