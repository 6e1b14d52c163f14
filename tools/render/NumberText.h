#pragma once

#include <juce_core/juce_core.h>
#include <optional>

// Strict number parsing for the command line and automation files: the whole text must be a finite
// number, so "12abc" or "" is refused rather than read as 12 or 0.
namespace NumberText
{
std::optional<double> parseReal (const juce::String& text);
std::optional<juce::int64> parseInteger (const juce::String& text);

// "100" for a whole number, "2.5" otherwise.
juce::String format (double value);

// Rounded to the given decimals, without trailing zeros: "40", "2.5".
juce::String format (double value, int decimals);
} // namespace NumberText
