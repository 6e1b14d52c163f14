#include "BenchGrid.h"
#include "BenchRegistration.h"
#include "BlockTimeStats.h"
#include "BlockTimer.h"
#include "ProcessorRig.h"
#include "ReverbFloor.h"

#include <algorithm>
#include <array>
#include <benchmark/benchmark.h>
#include <cmath>
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace
{
// A dropout is one block that misses its deadline, so these cases time every block and report the tail,
// and the slowest block after each host event, beside JUCE's reverb alone timed on the same blocks in the
// same loop: a tail the floor shares is the machine's, one it does not share is the plug-in's.

// The host state a case switches back and forth; every switch is an event.
enum class Toggle
{
    none,     // nothing switches
    bypass,   // the host's bypass: processBlockBypassed in place of processBlock
    tempo,    // the transport's tempo jumps
    loudness, // full-scale input stops dead, then starts again
    prepare,  // prepareToPlay again at every switch, as a host does when it restarts its audio
};

// What the windows after a switch are read against: the same windows halfway through each hold of the first
// state (the plug-in processing, the slower tempo, loud input), in the same case and so under the same load,
// where the last switch is long past and the next is far off.
enum EventKind
{
    intoSecond,
    backToFirst,
    mark,
    numEventKinds
};

struct Condition
{
    const char* name;
    MacroSetting setting;
    Toggle toggle;
    // The switch into the second state, then the one back.
    std::array<const char*, 2> switchNames;

    const char* eventName (int kind) const
    {
        return kind == mark ? "mark" : switchNames[static_cast<std::size_t> (kind)];
    }
};

constexpr Condition conditions[] {
    { "steady", MacroSetting::defaults, Toggle::none, { nullptr, nullptr } },
    { "automated", MacroSetting::automated, Toggle::none, { nullptr, nullptr } },
    { "bypass", MacroSetting::defaults, Toggle::bypass, { "engage", "release" } },
    { "tempo", MacroSetting::defaults, Toggle::tempo, { "faster", "slower" } },
    { "silence", MacroSetting::defaults, Toggle::loudness, { "silence", "loud" } },
    { "prepare", MacroSetting::defaults, Toggle::prepare, { "prepared", "preparedAgain" } },
};

// Each state is held this long: far longer than the bypass crossfade and the window below, so that every
// event starts from a settled state, and often enough for a few dozen events of each kind in a full run.
constexpr double holdSeconds = 0.5;

// How long after an event its blocks count as the event's: the bypass crossfade (10 ms), the block in which
// it ends, and a margin for work that an event leaves to the blocks after it.
constexpr double windowSeconds = 0.03;

constexpr double slowBpm = 60.0;
constexpr double fastBpm = 180.0;

double runSecondsFor (RunLength length) { return length == RunLength::full ? 30.0 : 2.0; }

void applyState (ProcessorRig& rig, Toggle toggle, bool second)
{
    switch (toggle)
    {
    case Toggle::none:
        break;
    case Toggle::bypass:
        rig.setHostBypass (second);
        break;
    case Toggle::tempo:
        rig.setHostTempo (second ? fastBpm : slowBpm);
        break;
    case Toggle::loudness:
        rig.setInputPeak (second ? 0.0f : ProcessorRig::fullScalePeak);
        break;
    case Toggle::prepare:
        rig.prepareAgain();
        break;
    }
}

struct Event
{
    std::size_t firstBlock;
    int kind;
};

// The slowest block of each event's window, in microseconds.
std::vector<double>
slowestAfter (const std::vector<Event>& events, int kind, const std::vector<double>& micros, std::size_t windowBlocks)
{
    std::vector<double> slowest;

    for (const auto& event : events)
    {
        if (event.kind != kind)
            continue;

        const auto end = std::min (micros.size(), event.firstBlock + windowBlocks);
        slowest.push_back (*std::max_element (micros.begin() + static_cast<std::ptrdiff_t> (event.firstBlock),
                                              micros.begin() + static_cast<std::ptrdiff_t> (end)));
    }

    return slowest;
}

void worstBlock (benchmark::State& state, BenchCase shape, Condition condition, double runSeconds)
{
    ProcessorRig rig (shape,
                      condition.toggle == Toggle::loudness ? ProcessorRig::fullScalePeak : NoiseSource::typicalPeak);
    ReverbFloor floor (shape);
    juce::AudioBuffer<float> floorBlock (shape.numChannels, shape.blockSize);

    // The plug-in flushes denormals itself; the floor's tails fade through silence too and get the same.
    const juce::ScopedNoDenormals noDenormals;

    const auto timeBlock = [&]
    {
        rig.prepareNextBlock();

        for (int ch = 0; ch < shape.numChannels; ++ch)
            floorBlock.copyFrom (ch, 0, rig.nextBlock(), ch, 0, shape.blockSize);

        const auto floorTime = BlockTimer::timeOne ([&] { floor.process (floorBlock); });
        const auto pluginTime = BlockTimer::timeOne ([&] { rig.processBlock(); });
        return std::make_pair (pluginTime, floorTime);
    };

    applyState (rig, condition.toggle, false);
    const auto warmUpBlocks = static_cast<long> (std::ceil (BenchGrid::warmUpSeconds / shape.blockSeconds()));
    for (long b = 0; b < warmUpBlocks; ++b)
        timeBlock();

    const auto numBlocks = static_cast<std::size_t> (std::ceil (runSeconds / shape.blockSeconds()));
    const auto holdFrames = static_cast<long> (std::lround (holdSeconds * shape.sampleRate));
    const auto windowBlocks = static_cast<std::size_t> (std::ceil (windowSeconds / shape.blockSeconds()));

    std::vector<double> wall, cpu, floorWall;
    std::vector<Event> events;
    wall.reserve (numBlocks);
    cpu.reserve (numBlocks);
    floorWall.reserve (numBlocks);

    for (auto _ : state)
    {
        long switches = 0, marks = 0;

        for (std::size_t b = 0; b < numBlocks; ++b)
        {
            const long frame = static_cast<long> (b) * shape.blockSize;

            if (const long nowSwitches = frame / holdFrames; nowSwitches != switches)
            {
                switches = nowSwitches;
                const bool second = switches % 2 == 1;

                if (condition.toggle != Toggle::none)
                {
                    applyState (rig, condition.toggle, second);
                    events.push_back ({ b, second ? intoSecond : backToFirst });
                }
            }

            // Past the middle of hold (marks - 1), which is of the first state when it is even.
            if (const long nowMarks = (frame + holdFrames / 2) / holdFrames; nowMarks != marks)
            {
                marks = nowMarks;

                if (marks % 2 == 1)
                    events.push_back ({ b, mark });
            }

            const auto [pluginTime, floorTime] = timeBlock();
            wall.push_back (pluginTime.wallMicros);
            cpu.push_back (pluginTime.cpuMicros);
            floorWall.push_back (floorTime.wallMicros);
        }

        state.SetIterationTime (BlockTimeStats (wall).total() * 1.0e-6);
    }

    const double budget = shape.blockSeconds() * 1.0e6;
    const auto report = [&] (const std::string& name, double micros)
    {
        state.counters[name + "_us"] = micros;
        state.counters[name + "_pct"] = 100.0 * micros / budget;
    };

    for (int kind = 0; kind < numEventKinds; ++kind)
    {
        const auto slowest = slowestAfter (events, kind, wall, windowBlocks);

        if (slowest.empty())
            continue;

        const std::string name = condition.eventName (kind);

        const BlockTimeStats plugin (slowest);
        report (name + "_p50", plugin.median());
        report (name + "_max", plugin.maximum());
        state.counters[name + "_cpu_p50_us"] = BlockTimeStats (slowestAfter (events, kind, cpu, windowBlocks)).median();
        state.counters[name + "_floor_p50_us"] =
            BlockTimeStats (slowestAfter (events, kind, floorWall, windowBlocks)).median();
        state.counters[name + "_events"] = static_cast<double> (slowest.size());
    }

    const BlockTimeStats plugin (std::move (wall));
    const BlockTimeStats pluginCpu (std::move (cpu));
    const BlockTimeStats reverb (std::move (floorWall));
    report ("p50", plugin.median());
    report ("p99", plugin.quantile (0.99));
    report ("p999", plugin.quantile (0.999));
    report ("max", plugin.maximum());
    state.counters["cpu_p999_us"] = pluginCpu.quantile (0.999);
    state.counters["cpu_max_us"] = pluginCpu.maximum();
    state.counters["floor_p50_us"] = reverb.median();
    state.counters["floor_p999_us"] = reverb.quantile (0.999);
    state.counters["floor_max_us"] = reverb.maximum();
    state.counters["budget_us"] = budget;
}
} // namespace

void registerWorstBlockBenchmarks (RunLength length)
{
    for (const auto& condition : conditions)
        for (const double rate : BenchGrid::worstBlockRates)
            for (const int channels : BenchGrid::channelCounts)
                for (const int block : BenchGrid::worstBlockSizes)
                {
                    const BenchCase shape { rate, channels, block, condition.setting };
                    const auto name = std::string ("worstBlock/") + condition.name + "/" + shape.shapeName();

                    benchmark::RegisterBenchmark (name.c_str(), worstBlock, shape, condition, runSecondsFor (length))
                        ->Iterations (1)
                        ->UseManualTime()
                        ->Unit (benchmark::kMillisecond);
                }
}
