// The answer reader and the judge, beside the expression engine on the same formulas.
//
// "Read200": reading a 200-character answer and writing its reading, what the client
// does on every keystroke (aim: 50 us at most).
// "Judge/TASK/k": judging a shipped task's k-th reference answer against itself, at 12
// trial points over its declared names (aim: 1 ms at most).
// "EngineJudge/TASK/k": the same pair by the expression engine's own evaluation: at 12
// points the names are set and reference and answer are each set and evaluated.
//
//   cmake --build build/default --target answers_bench -j 2
//   build/default/bench/answers_bench

#include "answers/Judge.h"
#include "engine/Engine.h"
#include "platform/Convert.h"
#include "platform/Cp1251.h"

#include "RunBenchmarks.h"
#include "TaskBank.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

const std::vector<std::string> kNames = {"v!C", "R", "x", "~w", "m", "l"};

// An answer of 200 characters that uses the notation, natural typing and functions.
std::string LongAnswer() {
    const std::string piece = "2v!C*sqrt(x#2@+1)/(R+~w)-0,5m(l+1)^2+";
    std::string text;
    while (text.size() + piece.size() < 199)
        text += piece;
    text += std::string(200 - text.size(), '1');
    return text;
}

void Read200(benchmark::State& state) {
    const std::string text = LongAnswer();
    for (auto _ : state) {
        const answers::ReadResult read = answers::Read(text, kNames);
        std::string reading = answers::ReadingText(*read.formula);
        benchmark::DoNotOptimize(reading);
    }
    state.counters["chars"] = static_cast<double>(text.size());
}

void JudgeReference(benchmark::State& state, const BankTask* task, std::size_t k) {
    for (auto _ : state) {
        const answers::Judgement judgement =
            answers::Judge(task->answers[k], task->answers[k], task->variables, task->tolerance);
        benchmark::DoNotOptimize(judgement.verdict);
    }
}

void EngineJudge(benchmark::State& state, const BankTask* task, std::size_t k) {
    const int trials = task->variables.empty() ? 1 : answers::MinTrials;
    for (auto _ : state) {
        for (int trial = 0; trial < trials; ++trial) {
            Expression packet;
            for (const answers::DeclaredName& name : task->variables)
                packet.SetNumber(name.name, 1.25 + trial);
            for (int side = 0; side < 2; ++side) {
                packet.SetFormula(task->answers[k]);
                benchmark::DoNotOptimize(packet.Evaluate(kClientEpsilon).value);
            }
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    benchmark::RegisterBenchmark("Read200", Read200);
    static const TaskBank bank = LoadTaskBank(VEKTA_BANK_DIR);
    for (const BankTask& task : bank.tasks)
        for (std::size_t k = 0; k < task.answers.size(); ++k) {
            const std::string label = platform::Cp1251ToUtf8(task.name) + "/" + std::to_string(k);
            benchmark::RegisterBenchmark(("Judge/" + label).c_str(), JudgeReference, &task, k);
            benchmark::RegisterBenchmark(("EngineJudge/" + label).c_str(), EngineJudge, &task, k);
        }
    return RunBenchmarks(argc, argv);
}
