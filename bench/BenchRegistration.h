#pragma once

#include "RunLength.h"

// Registration order is run order: the floors come first, since every processBlock case reads the
// reverb floor of its block shape from the same run.
void registerFloorBenchmarks();
void registerProcessBlockBenchmarks();
void registerEngineBenchmarks();
void registerBlockTimeBenchmarks();
void registerSilenceBenchmarks();
void registerWorstBlockBenchmarks (RunLength length);
// One instance on one thread comes first: the other counts are read against it.
void registerInstanceBenchmarks (RunLength length);
