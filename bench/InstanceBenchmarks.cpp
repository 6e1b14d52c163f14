#include "BenchGrid.h"
#include "BenchRegistration.h"
#include "BlockTimeStats.h"
#include "BlockTimer.h"
#include "ProcessorRig.h"

#include <atomic>
#include <benchmark/benchmark.h>
#include <cmath>
#include <fstream>
#include <malloc.h>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace
{
// A session holds many instances; each has its own delay ring and reverb, and a host works through all of
// them in every audio cycle. These cases measure what one more instance costs per block, and in memory,
// once many of them compete for the caches.
const BenchCase sessionShape { 48000.0, 2, 128, MacroSetting::defaults };

double runSecondsFor (RunLength length) { return length == RunLength::full ? 10.0 : 1.0; }

double residentBytes()
{
    std::ifstream statm ("/proc/self/statm");
    long totalPages = 0, residentPages = 0;
    statm >> totalPages >> residentPages;
    return static_cast<double> (residentPages) * static_cast<double> (sysconf (_SC_PAGESIZE));
}

// The cost per instance of one instance alone on one thread, from earlier in this run.
std::optional<double>& oneInstanceMicros()
{
    static std::optional<double> micros;
    return micros;
}

using Rigs = std::vector<std::unique_ptr<ProcessorRig>>;

void processRange (Rigs& rigs, std::size_t begin, std::size_t end)
{
    for (auto i = begin; i < end; ++i)
        rigs[i]->processBlock();
}

// The second thread of a two-thread host: it processes its share of the instances when the cycle starts,
// and the cycle is over when both threads are done.
class SecondThread
{
public:
    SecondThread (Rigs& r, std::size_t firstInstance) : rigs (r), begin (firstInstance), worker ([this] { run(); }) {}

    ~SecondThread()
    {
        stop = true;
        start.signal();
        worker.join();
    }

    void startCycle() { start.signal(); }
    void waitForCycle() { done.wait(); }

private:
    void run()
    {
        for (;;)
        {
            start.wait();

            if (stop)
                return;

            processRange (rigs, begin, rigs.size());
            done.signal();
        }
    }

    Rigs& rigs;
    std::size_t begin;
    juce::WaitableEvent start, done;
    std::atomic<bool> stop { false };
    std::thread worker; // last, so that it starts with everything above in place
};

void manyInstances (benchmark::State& state, int numInstances, int numThreads, double runSeconds)
{
    const auto count = static_cast<std::size_t> (numInstances);

    // What the process allocates once, with its first processor (JUCE's shared timer thread and
    // singletons, the noise table), is no instance's; memory an earlier case freed would be reused without
    // showing in the resident set, so it is handed back first.
    {
        const ProcessorRig firstOfTheProcess (sessionShape);
    }
    malloc_trim (0);
    const double residentBefore = residentBytes();

    Rigs rigs;
    for (std::size_t i = 0; i < count; ++i)
        rigs.push_back (std::make_unique<ProcessorRig> (sessionShape));

    const double residentPrepared = residentBytes();

    // The first thread takes the larger half.
    const std::size_t firstHalf = numThreads == 1 ? count : (count + 1) / 2;
    std::optional<SecondThread> secondThread;
    if (numThreads == 2)
        secondThread.emplace (rigs, firstHalf);

    const auto cycle = [&]
    {
        for (auto& rig : rigs)
            rig->prepareNextBlock();

        return BlockTimer::timeOne (
            [&]
            {
                if (secondThread)
                    secondThread->startCycle();

                processRange (rigs, 0, firstHalf);

                if (secondThread)
                    secondThread->waitForCycle();
            });
    };

    const auto cyclesIn = [&] (double seconds)
    { return static_cast<std::size_t> (std::ceil (seconds / sessionShape.blockSeconds())); };

    for (std::size_t c = 0; c < cyclesIn (BenchGrid::warmUpSeconds); ++c)
        cycle();

    std::vector<double> wall, cpu;
    wall.reserve (cyclesIn (runSeconds));
    cpu.reserve (cyclesIn (runSeconds));

    for (auto _ : state)
    {
        for (std::size_t c = 0; c < cyclesIn (runSeconds); ++c)
        {
            const auto time = cycle();
            wall.push_back (time.wallMicros);
            cpu.push_back (time.cpuMicros);
        }

        state.SetIterationTime (BlockTimeStats (wall).total() * 1.0e-6);
    }

    const double residentRunning = residentBytes();
    const BlockTimeStats cycles (std::move (wall));
    const double perInstance = cycles.median() / numInstances;

    if (numInstances == 1 && numThreads == 1)
        oneInstanceMicros() = perInstance;

    state.counters["us_per_instance_p50"] = perInstance;
    state.counters["us_per_instance_p99"] = cycles.quantile (0.99) / numInstances;
    // Only the first thread's own share, so per instance only where it does all the work.
    if (numThreads == 1)
        state.counters["cpu_us_per_instance_p50"] = BlockTimeStats (std::move (cpu)).median() / numInstances;
    if (const auto& one = oneInstanceMicros())
        state.counters["x_one_instance"] = perInstance / *one;
    state.counters["cycle_p50_us"] = cycles.median();
    state.counters["cycle_p99_us"] = cycles.quantile (0.99);
    state.counters["cycle_max_us"] = cycles.maximum();
    state.counters["budget_us"] = sessionShape.blockSeconds() * 1.0e6;
    state.counters["MB_per_instance_prepared"] = (residentPrepared - residentBefore) / numInstances * 1.0e-6;
    state.counters["MB_per_instance_running"] = (residentRunning - residentBefore) / numInstances * 1.0e-6;
}
} // namespace

void registerInstanceBenchmarks (RunLength length)
{
    const std::vector<int> counts =
        length == RunLength::full ? std::vector<int> { 1, 8, 64, 256 } : std::vector<int> { 1, 8 };

    for (const int threads : { 1, 2 })
        for (const int count : counts)
        {
            const auto name = "instances/" + sessionShape.shapeName() +
                              (threads == 1 ? "/oneThread/" : "/twoThreads/") + std::to_string (count);

            benchmark::RegisterBenchmark (name.c_str(), manyInstances, count, threads, runSecondsFor (length))
                ->Iterations (1)
                ->UseManualTime()
                ->Unit (benchmark::kMillisecond);
        }
}
