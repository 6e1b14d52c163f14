#pragma once

#include "engine/MacroTable.h"

#include <array>
#include <juce_core/juce_core.h>
#include <optional>

// The plug-in's four macro controls, as a host sees them: found by name, set in the plug-in's own
// 0 to 100 units.
namespace Macros
{
constexpr int count = numMacros;
constexpr float minimum = MacroRange::minimum;
constexpr float maximum = MacroRange::maximum;

inline const std::array<juce::String, count>& names()
{
    static const std::array<juce::String, count> all {
        macroTable[macroSpace].name, macroTable[macroGrit].name, macroTable[macroDrift].name, macroTable[macroMelt].name
    };
    return all;
}

// The index of the macro whose name matches, ignoring letter case.
inline std::optional<int> find (const juce::String& name)
{
    for (int i = 0; i < count; ++i)
        if (names()[(size_t) i].equalsIgnoreCase (name.trim()))
            return i;

    return std::nullopt;
}

inline bool inRange (double value) { return value >= minimum && value <= maximum; }

inline float toNormalised (float value) { return (value - minimum) / (maximum - minimum); }
inline float fromNormalised (float normalised) { return minimum + normalised * (maximum - minimum); }
} // namespace Macros
