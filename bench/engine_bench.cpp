// The expression engine against muparser on the formulas an animation evaluates on
// every frame. Each pair runs side by side; the tables at the end give CPU nanoseconds
// per evaluation and the ratio engine / muparser.
//
// "fixed": the variables keep their values (t = 1.25, x = 3, y = 4), so the engine reuses
// the numbers it has read and the results of its functions; this is what a repeated
// evaluation of an unchanged formula costs.
// "moving": one variable takes a new value before every evaluation; the engine gets it as
// a value text through SetVariable, as the animation does on every frame, and reads it
// and recomputes every function that depends on it.
//
//   cmake --build build/default --target engine_bench -j1
//   build/default/bench/engine_bench [--benchmark_repetitions=5]

#include "engine/Myequation.h"

#include "platform/Convert.h"

#include <benchmark/benchmark.h>
#include <muParser.h>

#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

struct Case {
    const char* name;
    const char* formula;  // engine notation
    const char* muparser; // muparser notation
    const char* moving;   // the variable that moves
};

const std::vector<Case> kCases = {
    {"cosine", "100+50*cos(2*t)", "100+50*cos(2*t)", "t"},
    {"root", "sqrt(t*t+3*t+1)/(1+t)", "sqrt(t*t+3*t+1)/(1+t)", "t"},
    {"squares", "x#2@+y#2@", "x^2+y^2", "x"},
    {"trig", "sin(t)*cos(t)-tan(t/3)", "sin(t)*cos(t)-tan(t/3)", "t"},
    {"up", "up(t-1)*g", "up(t-1)*g", "t"},
};

constexpr std::size_t kSteps = 1024;

// The values of the moving variable: 1.25, 1.2505, ... as numbers and as value texts.
double MovingValue(std::size_t i) {
    return 1.25 + 0.0005 * static_cast<double>(i % kSteps);
}

const std::vector<std::string>& MovingTexts() {
    static const std::vector<std::string> texts = [] {
        std::vector<std::string> all;
        for (std::size_t i = 0; i < kSteps; ++i)
            all.push_back(platform::FloatToStr(MovingValue(i)));
        return all;
    }();
    return texts;
}

void EngineEvaluate(benchmark::State& state, const Case& c, bool moving) {
    EngineStatus.Epsilon = 1e-9;
    TMyPacketEquation packet;
    packet.SetVariable("t", "1.25");
    packet.SetVariable("x", "3");
    packet.SetVariable("y", "4");
    packet.SetFormula(c.formula);
    const std::vector<std::string>& texts = MovingTexts();
    std::size_t step = 0;
    long double value = 0;
    for (auto _ : state) {
        if (moving)
            packet.SetVariable(c.moving, texts[step++ % kSteps]);
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

void MuparserEvaluate(benchmark::State& state, const Case& c, bool moving) {
    double t = 1.25;
    double x = 3;
    double y = 4;
    double& variable = std::string(c.moving) == "x" ? x : t;
    std::size_t step = 0;
    mu::Parser parser;
    parser.DefineVar("t", &t);
    parser.DefineVar("x", &x);
    parser.DefineVar("y", &y);
    parser.DefineConst("g", 9.81);
    parser.DefineFun("up", Up);
    parser.SetExpr(c.muparser);
    double value = 0;
    for (auto _ : state) {
        if (moving)
            variable = MovingValue(step++);
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
        // With --benchmark_repetitions the median stands for the benchmark.
        for (const Run& run : runs) {
            if (run.error_occurred)
                continue;
            if (run.run_type == Run::RT_Iteration && !medians.count(run.run_name.str()))
                nanoseconds[run.run_name.str()] = run.GetAdjustedCPUTime();
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
                nanoseconds[run.run_name.str()] = run.GetAdjustedCPUTime();
                medians.insert(run.run_name.str());
            }
        }
    }

    void PrintRatios(const char* variant) const {
        std::printf("\n%-8s %-10s %12s %12s %8s\n", variant, "formula", "engine ns", "muparser ns",
                    "ratio");
        for (const Case& c : kCases) {
            const std::string suffix = std::string("/") + variant + "/" + c.name;
            const auto engine = nanoseconds.find("engine" + suffix);
            const auto muparser = nanoseconds.find("muparser" + suffix);
            if (engine == nanoseconds.end() || muparser == nanoseconds.end())
                continue;
            std::printf("%-8s %-10s %12.1f %12.1f %8.2f\n", variant, c.name, engine->second,
                        muparser->second, engine->second / muparser->second);
        }
    }

private:
    std::map<std::string, double> nanoseconds;
    std::set<std::string> medians;
};

} // namespace

int main(int argc, char** argv) {
    for (const bool moving : {false, true}) {
        const std::string variant = moving ? "/moving/" : "/fixed/";
        for (const Case& c : kCases) {
            benchmark::RegisterBenchmark(("engine" + variant + c.name).c_str(), EngineEvaluate, c,
                                         moving);
            benchmark::RegisterBenchmark(("muparser" + variant + c.name).c_str(), MuparserEvaluate,
                                         c, moving);
        }
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios("fixed");
    reporter.PrintRatios("moving");
    benchmark::Shutdown();
    return 0;
}
