#pragma once

#include <benchmark/benchmark.h>

// Runs the benchmarks registered so far as the command line's options ask, once the caller
// has made whatever application object they need; 1 (with a message) for an option the
// benchmark library does not know, so that a mistyped filter is not a silent empty run.
inline int RunBenchmarks(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
