#pragma once

#include "engine/MacroTable.h"

// The macros' IDs by name, for code that reaches one macro in particular.
namespace ParameterIDs
{
inline constexpr const char* space = macroTable[macroSpace].id;
inline constexpr const char* grit = macroTable[macroGrit].id;
inline constexpr const char* drift = macroTable[macroDrift].id;
inline constexpr const char* melt = macroTable[macroMelt].id;
} // namespace ParameterIDs
