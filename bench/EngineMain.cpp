#include "BenchRegistration.h"

#include <benchmark/benchmark.h>

// The engine's own benchmarks, with the engine library alone: the floors first, since every engine case
// reads the reverb floor of its block shape from the same run.
int main (int argc, char** argv)
{
    benchmark::Initialize (&argc, argv);

    if (benchmark::ReportUnrecognizedArguments (argc, argv))
        return 1;

    registerFloorBenchmarks();
    registerEngineBenchmarks();

    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
