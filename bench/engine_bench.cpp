// The expression engine against muparser on the formulas an animation evaluates on
// every frame. Each pair runs side by side; the table at the end gives CPU nanoseconds per
// evaluation and the ratio engine / muparser.
//
//   cmake --build build/default --target engine_bench -j1
//   build/default/bench/engine_bench

#include "engine/Myequation.h"

#include "platform/Convert.h"

#include <benchmark/benchmark.h>
#include <muParser.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

struct Case {
    const char* name;
    const char* formula;  // engine notation
    const char* muparser; // muparser notation
};

const std::vector<Case> kCases = {
    {"cosine", "100+50*cos(2*t)", "100+50*cos(2*t)"},
    {"root", "sqrt(t*t+3*t+1)/(1+t)", "sqrt(t*t+3*t+1)/(1+t)"},
    {"squares", "x#2@+y#2@", "x^2+y^2"},
    {"trig", "sin(t)*cos(t)-tan(t/3)", "sin(t)*cos(t)-tan(t/3)"},
    {"up", "up(t-1)*g", "up(t-1)*g"},
};

void EngineEvaluate(benchmark::State& state, const Case& c) {
    EngineStatus.Epsilon = 1e-9;
    TMyPacketEquation packet;
    packet.SetVariable("t", "1.25");
    packet.SetVariable("x", "3");
    packet.SetVariable("y", "4");
    packet.SetFormula(c.formula);
    long double value = 0;
    for (auto _ : state) {
        value = packet.Evaluate();
        benchmark::DoNotOptimize(value);
    }
    if (!EngineStatus.ErrorText.empty())
        state.SkipWithError("the engine reported an error");
    state.SetLabel(platform::FloatToStr(value));
}

double Up(double x) {
    return UpFunction(x);
}

void MuparserEvaluate(benchmark::State& state, const Case& c) {
    double t = 1.25;
    double x = 3;
    double y = 4;
    mu::Parser parser;
    parser.DefineVar("t", &t);
    parser.DefineVar("x", &x);
    parser.DefineVar("y", &y);
    parser.DefineConst("g", 9.81);
    parser.DefineFun("up", Up);
    parser.SetExpr(c.muparser);
    double value = 0;
    for (auto _ : state) {
        value = parser.Eval();
        benchmark::DoNotOptimize(value);
    }
    state.SetLabel(platform::FloatToStr(value));
}

// Prints the usual console output and keeps the time of every run for the ratio table.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration && !run.error_occurred)
                nanoseconds[run.benchmark_name()] = run.GetAdjustedCPUTime();
    }

    void PrintRatios() const {
        std::printf("\n%-10s %14s %14s %8s\n", "formula", "engine ns", "muparser ns", "ratio");
        for (const Case& c : kCases) {
            const auto engine = nanoseconds.find(std::string("engine/") + c.name);
            const auto muparser = nanoseconds.find(std::string("muparser/") + c.name);
            if (engine == nanoseconds.end() || muparser == nanoseconds.end())
                continue;
            std::printf("%-10s %14.1f %14.1f %8.2f\n", c.name, engine->second, muparser->second,
                        engine->second / muparser->second);
        }
    }

private:
    std::map<std::string, double> nanoseconds;
};

} // namespace

int main(int argc, char** argv) {
    for (const Case& c : kCases) {
        benchmark::RegisterBenchmark((std::string("engine/") + c.name).c_str(), EngineEvaluate, c);
        benchmark::RegisterBenchmark((std::string("muparser/") + c.name).c_str(), MuparserEvaluate,
                                     c);
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios();
    benchmark::Shutdown();
    return 0;
}
