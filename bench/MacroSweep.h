#pragma once

#include "engine/MacroTable.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>

// Host automation that moves every macro in every block. Each follows its own slow triangle over
// the whole range, so the engine visits every region of every control, and alternates by half a percent
// from one block to the next, so that even the shortest blocks bring a value that the 0.1 grid does not
// round back to the previous one: the smoothers never come to rest.
class MacroSweep
{
public:
    static constexpr std::size_t numMacros = ::numMacros;
    using Values = std::array<float, numMacros>; // normalised, in the macro table's order

    explicit MacroSweep (double secondsPerBlock) : blockSeconds (secondsPerBlock) {}

    Values next() noexcept
    {
        const double alternation = (blockIndex % 2 == 0) ? alternationDepth : -alternationDepth;
        Values values {};

        for (std::size_t k = 0; k < numMacros; ++k)
        {
            const double cycles = elapsedSeconds / periodSeconds (k);
            const double triangle = 1.0 - std::abs (2.0 * (cycles - std::floor (cycles)) - 1.0);
            values[k] = static_cast<float> (std::clamp (triangle + alternation, 0.0, 1.0));
        }

        elapsedSeconds += blockSeconds;
        ++blockIndex;
        return values;
    }

private:
    // Unrelated periods, so the controls keep meeting in new combinations. A knob added to the table after
    // these continues the series instead of getting no period at all.
    static constexpr double periodSeconds (std::size_t k)
    {
        constexpr double periods[] = { 2.0, 2.6, 3.4, 4.2 };
        constexpr std::size_t given = std::size (periods);
        return k < given ? periods[k] : periods[given - 1] + 0.7 * static_cast<double> (k + 1 - given);
    }
    static constexpr double alternationDepth = 0.005;

    double blockSeconds;
    double elapsedSeconds = 0.0;
    long blockIndex = 0;
};
