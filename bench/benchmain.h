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

// The link's floor for a firmware transfer: one packet per 1 ms frame of a full-speed link.
constexpr double FloorPerPacketMs = 1.0;

// Records a transfer's packets, its floor and the mean run's ratio to it; returns the floor in ms.
inline double setFloorCounters(benchmark::State &state, double seconds, int packets)
{
    const double runMs = seconds * 1000 / double(state.iterations());
    const double floorMs = packets * FloorPerPacketMs;
    state.counters["packets"] = packets;
    state.counters["floor_ms"] = floorMs;
    state.counters["ratio_to_floor"] = runMs / floorMs;
    return floorMs;
}

#endif
