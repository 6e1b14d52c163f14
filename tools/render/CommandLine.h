#pragma once

#include "RenderOptions.h"

namespace CommandLine
{
// The arguments without the program name. Throws ToolError (bad arguments) naming the first problem.
RenderOptions parse (const juce::StringArray& arguments);

juce::String helpText();

// Limits the tool accepts; --help states them.
constexpr double minimumBpm = 20.0; // the plug-in holds its delay times to this tempo range
constexpr double maximumBpm = 300.0;
constexpr int minimumBlockSize = 1;
constexpr int maximumBlockSize = 16384;
constexpr double maximumTailSeconds = 600.0;
constexpr double minimumSampleRate = 8000.0; // JUCE's VST3 host prepares lower rates as 44100
constexpr double maximumSampleRate = 384000.0;
constexpr int maximumJobs = 64;
} // namespace CommandLine
