#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <numeric>
#include <vector>

// Order statistics of a set of single-block times.
class BlockTimeStats
{
public:
    explicit BlockTimeStats (std::vector<double> times) : sorted (std::move (times))
    {
        std::sort (sorted.begin(), sorted.end());
    }

    // Nearest-rank quantile: the smallest time that at least the fraction q of all blocks do not exceed.
    double quantile (double q) const
    {
        const auto rank = static_cast<std::size_t> (std::ceil (q * static_cast<double> (sorted.size())));
        return sorted[std::clamp<std::size_t> (rank, 1, sorted.size()) - 1];
    }

    double median() const { return quantile (0.5); }
    double maximum() const { return sorted.back(); }
    double total() const { return std::accumulate (sorted.begin(), sorted.end(), 0.0); }

private:
    std::vector<double> sorted;
};
