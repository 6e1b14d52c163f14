#include "BenchRegistration.h"
#include "BlockTimeStats.h"
#include "BlockTimer.h"
#include "ProcessorRig.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cmath>
#include <vector>

namespace
{
// Full-scale noise, then a minute of digital silence. Delay, reverb and filter states decay through the
// denormal range during that minute; if they were not flushed to zero, blocks would grow slower as the
// tails fade. The yardstick is the first window of silence, while the tails are still well inside the
// normal range. (Loud input is no yardstick: it costs more than silence, through the ducking and
// levelling paths, and would hide a denormal slowdown; nor is a processor that never saw a signal, whose
// exact zeros take short cuts in the maths library that a fading tail does not.)
constexpr double loudSeconds = 2.0;
constexpr double referenceSeconds = 1.0; // the last second of loud input is the reference
constexpr double silenceSeconds = 60.0;
constexpr double windowSeconds = 5.0;

// Unflushed tails make the late windows of silence about half as slow again as the first one on this
// machine (found by running without the flush); a window past this ratio means some state is no longer
// flushed.
constexpr double slowdownLimit = 1.25;

long blocksIn (double seconds, const BenchCase& benchCase)
{
    return static_cast<long> (std::ceil (seconds / benchCase.blockSeconds()));
}

// Median of each window of consecutive blocks, so that a block held up by another process does not pass
// for a slowdown.
std::vector<double> windowMedians (const std::vector<double>& micros, std::size_t blocksPerWindow)
{
    std::vector<double> medians;

    for (std::size_t first = 0; first < micros.size(); first += blocksPerWindow)
    {
        const auto* begin = micros.data() + first;
        const auto* end = micros.data() + std::min (micros.size(), first + blocksPerWindow);
        medians.push_back (BlockTimeStats (std::vector<double> (begin, end)).median());
    }

    return medians;
}

void silenceAfterLoud (benchmark::State& state, BenchCase benchCase)
{
    double loudMedian = 0.0;
    std::vector<double> silentMedians;

    for (auto _ : state)
    {
        ProcessorRig rig (benchCase, ProcessorRig::fullScalePeak);
        rig.runFor (loudSeconds - referenceSeconds);
        loudMedian = BlockTimeStats (BlockTimer::wallTimesOf (rig, blocksIn (referenceSeconds, benchCase))).median();

        rig.setInputPeak (0.0f);
        const auto silent = BlockTimer::wallTimesOf (rig, blocksIn (silenceSeconds, benchCase));
        silentMedians = windowMedians (silent, static_cast<std::size_t> (blocksIn (windowSeconds, benchCase)));

        state.SetIterationTime (BlockTimeStats (silent).total() * 1.0e-6);
    }

    const double first = silentMedians.front();
    const double worst = *std::max_element (silentMedians.begin(), silentMedians.end());
    const double rise = worst / first;

    state.counters["loud_p50_us"] = loudMedian;
    state.counters["silent_first_p50_us"] = first;
    state.counters["silent_last_p50_us"] = silentMedians.back();
    state.counters["silent_worst_p50_us"] = worst;
    state.counters["x_rise"] = rise;
    state.SetLabel (rise <= slowdownLimit ? "no rise in silence" : "COST RISES IN SILENCE: denormals?");
}
} // namespace

void registerSilenceBenchmarks()
{
    for (const auto setting : { MacroSetting::defaults, MacroSetting::allZero })
    {
        const BenchCase benchCase { 48000.0, 2, 128, setting };
        const auto name = "silenceAfterLoud/" + benchCase.shapeName() + "/" + benchCase.settingName();

        benchmark::RegisterBenchmark (name.c_str(), silenceAfterLoud, benchCase)
            ->Iterations (1)
            ->UseManualTime()
            ->Unit (benchmark::kMillisecond);
    }
}
