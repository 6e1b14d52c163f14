#pragma once

#include "engine/MacroTable.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>

// Host automation that moves all four macros in every block. Each follows its own slow triangle over
// the whole range, so the engine visits every region of every control, and alternates by half a percent
// from one block to the next, so that even the shortest blocks bring a value that the 0.1 grid does not
// round back to the previous one: the smoothers never come to rest.
class MacroSweep
{
public:
    static constexpr std::size_t numMacros = ::numMacros;
    using Values = std::array<float, numMacros>; // normalised, in the order SPACE, GRIT, DRIFT, MELT

    explicit MacroSweep (double secondsPerBlock) : blockSeconds (secondsPerBlock) {}

    Values next() noexcept
    {
        const double alternation = (blockIndex % 2 == 0) ? alternationDepth : -alternationDepth;
        Values values {};

        for (std::size_t k = 0; k < numMacros; ++k)
        {
            const double cycles = elapsedSeconds / periodSeconds[k];
            const double triangle = 1.0 - std::abs (2.0 * (cycles - std::floor (cycles)) - 1.0);
            values[k] = static_cast<float> (std::clamp (triangle + alternation, 0.0, 1.0));
        }

        elapsedSeconds += blockSeconds;
        ++blockIndex;
        return values;
    }

private:
    // Unrelated periods, so the four controls keep meeting in new combinations.
    static constexpr std::array<double, numMacros> periodSeconds { 2.0, 2.6, 3.4, 4.2 };
    static constexpr double alternationDepth = 0.005;

    double blockSeconds;
    double elapsedSeconds = 0.0;
    long blockIndex = 0;
};
