#pragma once

#include <array>
#include <cstddef>

// The macro controls as a host sees them, stated once: one row per knob, and the only place that counts
// them. Plain constants, so that tools and tests can read them without linking the plug-in. The engine
// reads only the rows' order and count (its lanes and targets); the IDs, names and defaults are the
// processor's, the editor's and the tools'. The IDs are the keys of the saved state and of host
// automation: renaming one breaks every saved project.
struct MacroInfo
{
    const char* id;
    const char* name;
    float defaultValue;
    const char* effect; // what the knob does, in a few words, for the renderer's help
};

// The macros' order in the table, the engine's lanes and every list of the macros.
enum MacroIndex : std::size_t
{
    macroSpace = 0,
    macroGrit,
    macroDrift,
    macroMelt,
    numMacros
};

inline constexpr std::array<MacroInfo, numMacros> macroTable { {
    { "SPACE", "Space", 40.0f, "room size, delay feedback, reverb against delay" },
    { "GRIT", "Grit", 25.0f, "drive, tone, bit and rate reduction" },
    { "DRIFT", "Drift", 20.0f, "depth of the delay-time wobble" },
    { "MELT", "Melt", 35.0f, "wet against dry; 0 leaves only the dry signal, exactly" },
} };

// Every macro runs from 0 to 100 on a 0.1 grid, linear; the saved state stores values in these units, and
// the engine takes them divided by 100.
namespace MacroRange
{
inline constexpr float minimum = 0.0f;
inline constexpr float maximum = 100.0f;
inline constexpr float interval = 0.1f;
inline constexpr float toEngine = 0.01f;
} // namespace MacroRange
