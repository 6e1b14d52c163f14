#include "BenchRegistration.h"

#include <benchmark/benchmark.h>
#include <juce_events/juce_events.h>

int main (int argc, char** argv)
{
    // The parameter tree runs a JUCE timer, which needs the message manager even with no loop running.
    juce::ScopedJuceInitialiser_GUI juce;

    benchmark::Initialize (&argc, argv);

    if (benchmark::ReportUnrecognizedArguments (argc, argv))
        return 1;

    registerFloorBenchmarks();
    registerProcessBlockBenchmarks();
    registerEngineBenchmarks();
    registerBlockTimeBenchmarks();
    registerSilenceBenchmarks();

    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
