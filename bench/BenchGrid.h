#pragma once

#include <array>

// The grid every block-shape benchmark walks.
namespace BenchGrid
{
inline constexpr std::array<double, 3> sampleRates { 44100.0, 48000.0, 96000.0 };
inline constexpr std::array<int, 2> channelCounts { 2, 1 };
inline constexpr std::array<int, 4> blockSizes { 32, 128, 512, 2048 };

// The grid of the cases that time every block: the short blocks and high rates where one late block is a
// dropout, up to the 192 kHz at which the delay ring is largest.
inline constexpr std::array<double, 4> worstBlockRates { 44100.0, 48000.0, 96000.0, 192000.0 };
inline constexpr std::array<int, 4> worstBlockSizes { 32, 64, 128, 512 };

// Signal state settles (lookahead filled, followers and smoothers at rest) before anything is timed.
inline constexpr double warmUpSeconds = 0.5;
} // namespace BenchGrid
