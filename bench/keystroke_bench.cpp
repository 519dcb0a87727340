// One keystroke in an answer field with the repaint that shows it, beside QLineEdit doing
// the same, for answers of 10, 100, 1,000 and 2,000 characters, the caret at the end or in
// the middle.
//
// Each iteration types one character and takes it back with Backspace, each key followed by
// rendering the widget into an image, so that the answer keeps its length; the "per_key"
// counter is the time of one keystroke with its repaint. Both widgets are 400 x 27 pixels,
// focused, in the answer field's font (the window font at 14 points).
//
//   cmake --build --preset default --target keystroke_bench
//   build/default/bench/keystroke_bench [--benchmark_repetitions=5]

#include "RunBenchmarks.h"
#include "eqedit/FormulaField.h"
#include "platform/VektaApplication.h"

#include <QFocusEvent>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

namespace {

constexpr int kWidth = 400;
constexpr int kHeight = 27;
constexpr int kPixelHeight = 19; // 14 points at 96 pixels per inch

// An answer of `length` characters as students type them: products, powers, indices.
std::string Answer(int length) {
    const std::string piece = "m*g*sin(a)+v#2@/r-F!1@*l/2+";
    std::string text;
    while (static_cast<int>(text.size()) < length)
        text += piece;
    text.resize(static_cast<std::size_t>(length));
    return text;
}

void Press(QWidget& widget, int key, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(&widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(&widget, &release);
}

void Focus(QWidget& widget) {
    QFocusEvent focus(QEvent::FocusIn, Qt::OtherFocusReason);
    QCoreApplication::sendEvent(&widget, &focus);
}

// Types a character, repaints, takes it back and repaints again.
void TypeAndErase(benchmark::State& state, QWidget& widget) {
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    for (auto _ : state) {
        Press(widget, Qt::Key_X, "x");
        widget.render(&image);
        Press(widget, Qt::Key_Backspace, "");
        widget.render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["per_key"] =
        benchmark::Counter(2.0 * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// The caret at the end (range 1: 0) or after the first half of the answer (range 1: 1).
void BM_FormulaField(benchmark::State& state) {
    const auto length = static_cast<int>(state.range(0));
    const bool middle = state.range(1) != 0;
    const std::string answer = Answer(length);
    FormulaField field;
    field.resize(kWidth, kHeight);
    Focus(field);
    // The caret goes to the middle as it stays where it is when the text grows.
    field.SetEquation(middle ? answer.substr(0, answer.size() / 2) : answer);
    int end = eqedit::kKeyEnd;
    field.KeyDown(end, Qt::NoModifier);
    field.SetEquation(answer);
    TypeAndErase(state, field);
}

void BM_QLineEdit(benchmark::State& state) {
    const auto length = static_cast<int>(state.range(0));
    const bool middle = state.range(1) != 0;
    QLineEdit edit(QString::fromLatin1(Answer(length).c_str()));
    QFont font(QString::fromUtf8("MS Sans Serif"));
    font.setPixelSize(kPixelHeight);
    edit.setFont(font);
    edit.setMaxLength(1 << 20);
    edit.resize(kWidth, kHeight);
    Focus(edit);
    edit.setCursorPosition(middle ? length / 2 : length);
    TypeAndErase(state, edit);
}

void Lengths(benchmark::internal::Benchmark* bench) {
    bench->ArgNames({"chars", "middle"});
    for (int middle : {0, 1})
        for (int length : {10, 100, 1000, 2000})
            bench->Args({length, middle});
}

BENCHMARK(BM_FormulaField)->Apply(Lengths);
BENCHMARK(BM_QLineEdit)->Apply(Lengths);

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    platform::VektaApplication app(argc, argv);
    return RunBenchmarks(argc, argv);
}
