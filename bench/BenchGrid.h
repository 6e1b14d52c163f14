#pragma once

#include <array>

// The grid every block-shape benchmark walks.
namespace BenchGrid
{
inline constexpr std::array<double, 3> sampleRates { 44100.0, 48000.0, 96000.0 };
inline constexpr std::array<int, 2> channelCounts { 2, 1 };
inline constexpr std::array<int, 4> blockSizes { 32, 128, 512, 2048 };

// Signal state settles (lookahead filled, followers and smoothers at rest) before anything is timed.
inline constexpr double warmUpSeconds = 0.5;
} // namespace BenchGrid
