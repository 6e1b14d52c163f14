#pragma once

#include "engine/MacroTable.h"

#include <array>
#include <cctype>
#include <string>

// The factory bank: the one place that says which presets ship, what they set and what they are for. The
// VST3 preset files, the LV2 preset bundle, the renderer's --preset and docs/presets.md all come from it.
// Values are in the macros' own units and in the order of the macro table. Names are what a host shows;
// renaming one orphans the copies users have installed, so rename only with a reason.
struct FactoryPreset
{
    const char* name;
    std::array<float, numMacros> values; // indexed by MacroIndex
    const char* description;
};

// A preset's values for the knobs in table order. A knob it leaves out (every knob, for Init) keeps its
// default: a knob added to the table later starts at its default in every preset until the bank says
// otherwise, rather than at 0.
template <typename... Values>
constexpr std::array<float, numMacros> presetValues (Values... given)
{
    static_assert (sizeof...(Values) <= numMacros, "a preset gives at most one value per knob");
    const std::array<float, sizeof...(Values)> list { static_cast<float> (given)... };

    std::array<float, numMacros> values {};
    for (std::size_t i = 0; i < numMacros; ++i)
        values[i] = i < list.size() ? list[i] : macroTable[i].defaultValue;
    return values;
}

//                                           SPACE  GRIT  DRIFT  MELT
inline constexpr std::array<FactoryPreset, 13> factoryPresets { {
    { "Init", presetValues(), "The plug-in as it loads: every knob at its default." },
    { "Barely There", presetValues (12.0f, 5.0f, 0.0f, 14.0f), "A small clean room tucked just under the dry signal." },
    { "Close Room",
      presetValues (30.0f, 12.0f, 6.0f, 30.0f),
      "A short, clean ambience that thickens without smearing." },
    { "Tape Slap",
      presetValues (0.0f, 45.0f, 26.0f, 52.0f),
      "One or two warm, saturated repeats with a slight tape wow." },
    { "Warm Echo Room", presetValues (48.0f, 38.0f, 30.0f, 42.0f), "Saturated echoes sinking into a mid-sized room." },
    { "Seasick Chorus",
      presetValues (20.0f, 10.0f, 92.0f, 38.0f),
      "Deep pitch wobble on a short tail: detuned, queasy doubling." },
    { "Broken Radio",
      presetValues (28.0f, 90.0f, 18.0f, 48.0f),
      "Bit-crushed, band-limited ambience like a failing receiver." },
    { "Wide Clean Hall",
      presetValues (78.0f, 8.0f, 12.0f, 46.0f),
      "A long, mostly clean hall around an untouched dry signal." },
    { "Dark Cavern",
      presetValues (88.0f, 52.0f, 24.0f, 55.0f),
      "A long tail darkened by heavy drive; the highs die first." },
    { "Ghost Behind", presetValues (80.0f, 12.0f, 60.0f, 12.0f), "A faint drifting shadow far behind the dry signal." },
    { "Ducked Swell",
      presetValues (66.0f, 14.0f, 28.0f, 80.0f),
      "The wash ducks under playing and swells up in the gaps." },
    { "Drowned", presetValues (84.0f, 34.0f, 50.0f, 95.0f), "Mostly wet: the dry sinks into a drifting pool." },
    { "Wrecked Wash",
      presetValues (100.0f, 100.0f, 100.0f, 100.0f),
      "Everything at full: a crushed, seasick wash that rings for seconds." },
} };

// The preset's stem in file names and LV2 URIs: lower case, words joined by hyphens.
inline std::string factoryPresetSlug (const FactoryPreset& preset)
{
    std::string slug;
    for (const char* c = preset.name; *c != '\0'; ++c)
    {
        if (std::isalnum (static_cast<unsigned char> (*c)))
            slug += static_cast<char> (std::tolower (static_cast<unsigned char> (*c)));
        else if (! slug.empty() && slug.back() != '-')
            slug += '-';
    }
    while (! slug.empty() && slug.back() == '-')
        slug.pop_back();
    return slug;
}

// The preset whose name matches, ignoring letter case; nullptr when none does.
inline const FactoryPreset* findFactoryPreset (const std::string& name)
{
    const auto sameIgnoringCase = [] (const std::string& a, const char* b)
    {
        std::size_t i = 0;
        for (; i < a.size() && b[i] != '\0'; ++i)
            if (std::tolower (static_cast<unsigned char> (a[i])) != std::tolower (static_cast<unsigned char> (b[i])))
                return false;
        return i == a.size() && b[i] == '\0';
    };

    for (const auto& preset : factoryPresets)
        if (sameIgnoringCase (name, preset.name))
            return &preset;
    return nullptr;
}
