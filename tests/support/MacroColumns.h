#pragma once

#include "engine/MacroTable.h"

#include <array>
#include <cstddef>

// Columns of the macro table, in its order, for tests that walk every macro by index: the same rows the
// processor, the editor and the renderer are built from, so a new row is walked without a test change.
// ParameterTests.cpp keeps its own literal table, the independent check of these rows.
namespace MacroColumns
{
inline constexpr std::array<const char*, numMacros> ids = []
{
    std::array<const char*, numMacros> column {};
    for (std::size_t k = 0; k < numMacros; ++k)
        column[k] = macroTable[k].id;
    return column;
}();

inline constexpr std::array<float, numMacros> defaults = []
{
    std::array<float, numMacros> column {};
    for (std::size_t k = 0; k < numMacros; ++k)
        column[k] = macroTable[k].defaultValue;
    return column;
}();
} // namespace MacroColumns
