#pragma once

#include "engine/MacroTable.h"

#include <array>
#include <juce_core/juce_core.h>
#include <optional>

// The plug-in's macro controls, as a host sees them: found by name, set in the plug-in's own 0 to 100
// units.
namespace HostMacros
{
constexpr int count = numMacros;
constexpr float minimum = MacroRange::minimum;
constexpr float maximum = MacroRange::maximum;

inline const std::array<juce::String, count>& names()
{
    static const auto all = []
    {
        std::array<juce::String, count> n;
        for (size_t i = 0; i < n.size(); ++i)
            n[i] = macroTable[i].name;
        return n;
    }();
    return all;
}

// The names as a list in words: "Space, Grit, Drift or Melt" for the conjunction "or".
inline juce::String listed (const juce::String& conjunction)
{
    juce::String text;
    for (int i = 0; i < count; ++i)
        text << (i == 0 ? "" : (i == count - 1 ? " " + conjunction + " " : ", ")) << names()[(size_t) i];
    return text;
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
} // namespace HostMacros
