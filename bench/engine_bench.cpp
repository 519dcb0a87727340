// The expression engine against muparser on formulas of mechanics, side by side in one
// run. The tables at the end give CPU nanoseconds per evaluation and the ratio
// engine / muparser.
//
// "fixed": the variables keep their values; every evaluation computes the whole formula
// again. Neither side keeps results between evaluations: the engine reads every variable
// and calls every function at every evaluation (it computes in advance only parts made of
// numbers alone, and none of these formulas has one), and muparser runs its bytecode.
// "moving": one variable takes a new number before every evaluation: the engine gets it
// through SetNumber with the slot that remembers where the name is stored, muparser through
// the variable it was given. A function whose argument holds the moving variable gets a new
// argument every time.
//
//   cmake --build build/default --target engine_bench -j2
//   build/default/bench/engine_bench [--benchmark_repetitions=5]
//       [--benchmark_enable_random_interleaving=true]   (interleaves the runs of both sides,
//                                                        for a machine with other load)

#include "engine/Engine.h"

#include "platform/Convert.h"

#include <benchmark/benchmark.h>
#include <muParser.h>

#include <array>
#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace {

struct Case {
    const char* name;
    const char* formula;  // engine notation
    const char* muparser; // muparser notation
    const char* moving;   // the variable that moves
};

const std::vector<Case> kCases = {
    {"speed", "sqrt(g*l)", "sqrt(g*l)", "l"},
    {"normal", "2*m*g*cos(a)", "2*m*g*cos(a)", "a"},
    {"circle", "m*v#2@/r+m*g", "m*v^2/r+m*g", "v"},
    {"wave", "a*sin(w*t+f)", "a*sin(w*t+f)", "t"},
    {"length", "(x#2@+y#2@)#0.5", "(x^2+y^2)^0.5", "x"},
};

// The fixed values of the variables (g is the engine's constant 9.81).
struct Binding {
    const char* name;
    double value;
};
constexpr std::array<Binding, 10> kValues = {{
    {"l", 2},
    {"m", 3},
    {"a", 0.5},
    {"v", 4},
    {"r", 2},
    {"w", 2},
    {"t", 1.25},
    {"f", 0.3},
    {"x", 3},
    {"y", 4},
}};

constexpr std::size_t kSteps = 1024;

// The values of the moving variable: 1.25, 1.2505, ...
double MovingValue(std::size_t i) {
    return 1.25 + 0.0005 * static_cast<double>(i % kSteps);
}

void EngineEvaluate(benchmark::State& state, const Case& c, bool moving) {
    Expression expression;
    for (const Binding& binding : kValues)
        expression.SetNumber(binding.name, binding.value);
    expression.SetFormula(c.formula);
    const std::string_view movingName = c.moving;
    std::size_t step = 0;
    TableSlot slot;
    for (auto _ : state) {
        if (moving)
            expression.SetNumber(movingName, MovingValue(step++), slot);
        const EngineResult result = expression.Evaluate(kClientEpsilon);
        benchmark::DoNotOptimize(result.value);
    }
    const EngineResult last = expression.Evaluate(kClientEpsilon);
    if (!last.ok())
        state.SkipWithError("the engine reported an error");
    state.SetLabel(platform::FloatToStr(last.value));
}

void MuparserEvaluate(benchmark::State& state, const Case& c, bool moving) {
    std::array<double, kValues.size()> values{};
    double* variable = nullptr;
    mu::Parser parser;
    for (std::size_t i = 0; i < kValues.size(); ++i) {
        values[i] = kValues[i].value;
        parser.DefineVar(kValues[i].name, &values[i]);
        if (std::string(kValues[i].name) == c.moving)
            variable = &values[i];
    }
    parser.DefineConst("g", 9.81);
    parser.SetExpr(c.muparser);
    std::size_t step = 0;
    double value = 0;
    for (auto _ : state) {
        if (moving)
            *variable = MovingValue(step++);
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
