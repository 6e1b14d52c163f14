#pragma once

#include "RenderOptions.h"

// --preset and --list-presets: the factory bank by name, or any VST3 preset file.
namespace PresetOption
{
// True when --preset's value names a file rather than a factory preset.
bool namesAFile (const juce::String& value);

// The factory preset's values, by name in any letter case. Throws ToolError (bad arguments) listing
// the bank when no preset has that name.
std::array<float, HostMacros::count> factoryValues (const juce::String& name);

// The bank as --list-presets prints it: one preset a line, with its values and what it is for.
juce::String listing();

// The options with every control they leave unset taken from the preset file, applied to the VST3
// plug-in as a host applies one (the file's class ID must be the plug-in's). Throws ToolError when the
// file cannot be read or the plug-in refuses it.
RenderOptions withValuesFromPresetFile (const RenderOptions& options);
} // namespace PresetOption
