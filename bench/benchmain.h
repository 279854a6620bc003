// The end of every benchmark program's main(): runs the benchmarks named on the command line.
// The caller creates Qt's application object first, as each program needs its own kind.
#ifndef BENCHMAIN_H
#define BENCHMAIN_H

#include <benchmark/benchmark.h>

inline int runBenchmarks(int &argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

#endif
