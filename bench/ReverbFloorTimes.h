#pragma once

#include "BenchCase.h"

#include <map>
#include <optional>
#include <tuple>

// The reverb-alone floor of each block shape, as measured earlier in the same run. Ratios to it hold on
// a noisy shared machine where absolute times do not.
class ReverbFloorTimes
{
public:
    static void record (const BenchCase& shape, double nanosecondsPerBlock)
    {
        table()[keyOf (shape)] = nanosecondsPerBlock;
    }

    static std::optional<double> find (const BenchCase& shape)
    {
        const auto found = table().find (keyOf (shape));
        return found == table().end() ? std::nullopt : std::optional<double> (found->second);
    }

private:
    using Key = std::tuple<double, int, int>;

    static Key keyOf (const BenchCase& shape) { return { shape.sampleRate, shape.numChannels, shape.blockSize }; }

    static std::map<Key, double>& table()
    {
        static std::map<Key, double> floors;
        return floors;
    }
};
