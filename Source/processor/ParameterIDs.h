#pragma once

// The four macro controls. These IDs are the keys of the saved state and of host automation:
// renaming one breaks every saved project.
namespace ParameterIDs
{
inline constexpr const char* space = "SPACE";
inline constexpr const char* grit = "GRIT";
inline constexpr const char* drift = "DRIFT";
inline constexpr const char* melt = "MELT";
} // namespace ParameterIDs
