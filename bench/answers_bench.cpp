// The answer reader and the judge, beside the expression engine on the same formulas.
//
// "Read200": reading a 200-character answer and writing its reading, what the client
// does on every keystroke (aim: 50 us at most).
// "Judge/TASK/k": judging a shipped task's k-th reference answer against itself, at 12
// trial points over its declared names (aim: 1 ms at most).
// "WrongWithHints/TASK/k": judging an answer 1.37 times the reference, which no typical
// mistake fits, so that every hint is tried at the trial points (aim: 1 ms at most).
// "JudgeVariant/TASK/k": the same on a variant, its values in the reference, as the server
// judges a right answer.
// "EngineJudge/TASK/k": the same pair by the expression engine's own evaluation: at 12
// points the names are set and reference and answer are each set and evaluated.
// "JudgeDrawing": judging a student's drawing of a beam on a pin and a roller with a load
// and a couple, every reaction with its magnitude, one of them drawn the other way round,
// one load misnamed and one force extra (aim: 1 ms at most).
//
//   cmake --build build/default --target answers_bench -j 2
//   build/default/bench/answers_bench

#include "answers/Judge.h"
#include "answers/Quantity.h"
#include "drawing/DrawingJudge.h"
#include "engine/Engine.h"
#include "platform/Convert.h"
#include "platform/Cp1251.h"

#include "RunBenchmarks.h"
#include "course/TaskBank.h"
#include "course/TaskVariant.h"

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

void WrongWithHints(benchmark::State& state, const BankTask* bankTask, std::size_t k) {
    // A variant, its values in the reference; the reference's formula without its unit, so
    // that the answer is read in the reference's unit.
    const TaskVariant variant = VariantOf(*bankTask, "bench", "variant 1");
    const BankTask* task = &variant.task;
    const std::string& reference = task->answers[k];
    const answers::QuantityRead quantity =
        answers::ReadReferenceQuantity(reference, {answers::NamesOf(task->variables), {}});
    const std::string formula =
        reference.substr(0, reference.size() - (quantity.unit ? quantity.unit->text.size() : 0));
    const std::string answer = "1.37*(" + formula + ")";
    answers::JudgeOptions options;
    options.tolerance = task->tolerance;
    for (auto _ : state) {
        const answers::Judgement judgement =
            answers::JudgeAnswer(reference, answer, task->variables, options);
        benchmark::DoNotOptimize(judgement.hint);
        if (judgement.verdict != answers::Verdict::Wrong) {
            state.SkipWithError("the answer is not judged wrong");
            break;
        }
    }
}

// A variant's k-th reference answer, its values in it, judged against itself: a right
// answer as the server judges it.
void JudgeVariant(benchmark::State& state, const BankTask* bankTask, std::size_t k) {
    const TaskVariant variant = VariantOf(*bankTask, "bench", "variant 1");
    const BankTask& task = variant.task;
    for (auto _ : state) {
        const answers::Judgement judgement =
            answers::Judge(task.answers[k], task.answers[k], task.variables, task.tolerance);
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

void JudgeDrawing(benchmark::State& state) {
    const drawing::DrawSection section = drawing::ReadDrawSection(
        "FORCE(50,60,90,R!A,(12*150-8)/200,either);FORCE(250,60,90,R!B,(12*50+8)/200,either);"
        "FORCE(50,60,0,X!A,0,either);FORCE(150,60,270,F,12);MOMENT(200,30,ccw,M,8);");
    const drawing::DrawingRead drawn = drawing::ReadDrawingText("force 52 58 0 X_A 0\n"
                                                                "force 50 60 270 R_A -8.96\n"
                                                                "force 248 61 92 R_B 3.04\n"
                                                                "force 150 60 270 P 12\n"
                                                                "moment 20 20 ccw M 8\n"
                                                                "force 100 60 0 S 1\n");
    const drawing::DrawTolerance tolerance;
    const drawing::MagnitudeRules rules;
    for (auto _ : state) {
        const drawing::DrawingJudgement judgement =
            drawing::JudgeDrawing(section.expected, drawn.objects, tolerance, rules);
        benchmark::DoNotOptimize(judgement.score);
    }
    state.counters["objects"] = static_cast<double>(drawn.objects.size());
}

} // namespace

int main(int argc, char** argv) {
    benchmark::RegisterBenchmark("Read200", Read200);
    benchmark::RegisterBenchmark("JudgeDrawing", JudgeDrawing);
    static const TaskBank bank = LoadTaskBank(VEKTA_BANK_DIR);
    for (const BankTask& task : bank.tasks)
        for (std::size_t k = 0; k < task.answers.size(); ++k) {
            const std::string label = platform::Cp1251ToUtf8(task.name) + "/" + std::to_string(k);
            benchmark::RegisterBenchmark(("Judge/" + label).c_str(), JudgeReference, &task, k);
            benchmark::RegisterBenchmark(("WrongWithHints/" + label).c_str(), WrongWithHints, &task,
                                         k);
            benchmark::RegisterBenchmark(("JudgeVariant/" + label).c_str(), JudgeVariant, &task, k);
            benchmark::RegisterBenchmark(("EngineJudge/" + label).c_str(), EngineJudge, &task, k);
        }
    return RunBenchmarks(argc, argv);
}
