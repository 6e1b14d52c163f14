#include "BenchRegistration.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstring>
#include <juce_events/juce_events.h>

namespace
{
// Takes the bench's own flag out of the arguments, before Google Benchmark reads the rest.
RunLength takeRunLength (int& argc, char** argv)
{
    const auto end =
        std::remove_if (argv + 1, argv + argc, [] (const char* arg) { return std::strcmp (arg, "--short") == 0; });
    const bool brief = end != argv + argc;
    argc = static_cast<int> (end - argv);
    return brief ? RunLength::brief : RunLength::full;
}
} // namespace

int main (int argc, char** argv)
{
    // The parameter tree runs a JUCE timer, which needs the message manager even with no loop running.
    juce::ScopedJuceInitialiser_GUI juce;

    const auto runLength = takeRunLength (argc, argv);
    benchmark::Initialize (&argc, argv);

    if (benchmark::ReportUnrecognizedArguments (argc, argv))
        return 1;

    registerFloorBenchmarks();
    registerProcessBlockBenchmarks();
    registerBlockTimeBenchmarks();
    registerSilenceBenchmarks();
    registerWorstBlockBenchmarks (runLength);
    registerInstanceBenchmarks (runLength);

    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
