// A task of the shipped bank from its QUEST message to the painted task pane: the sections
// read, the statement laid out and drawn, the diagram drawn, the answer rows set up, the
// caption set, the pane arranged and revealed and rendered into an image, as the client
// does when the task arrives. One benchmark per bank task (the range is its index), the
// pane at the main window's default size. BM_TaskToPaintedPane shows a task seen before
// (its texts measured and shaped once); BM_NewTaskToPaintedPane makes the font cache forget
// every text first, as for a statement never shown; BM_FirstTaskToPaintedPane empties the
// font cache altogether, so that the fonts themselves are made again, as for the first task
// of a run. BM_StatementLayout is the statement's wrapping alone, measured through the
// client's canvas. BM_DrawingDragRepaint is one step of dragging a force's direction on the
// first task's diagram made a drawing surface (six objects on it already): the mouse move
// and the repaint of the picture's area, the diagram under it included, at a pixel ratio of
// 1 or 2 (the range).
//
//   cmake --build --preset default --target taskview_bench
//   build/default/bench/taskview_bench [--benchmark_repetitions=5]

#include "RunBenchmarks.h"
#include "app/DrawingSurface.h"
#include "app/MainWindow.h"
#include "app/TaskView.h"
#include "course/TaskBank.h"
#include "course/TaskVariant.h"
#include "platform/Cp1251.h"
#include "platform/FontCache.h"
#include "platform/QtCanvas.h"
#include "platform/VektaApplication.h"
#include "protocol/QuestSections.h"
#include "tasklayout/QuestTextLayout.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct BankQuest {
    std::string name;    // CP1251
    std::string caption; // CP1251
    std::string message; // the QUEST frame's payload as the server sends it
};

const std::vector<BankQuest>& BankQuests() {
    static const std::vector<BankQuest> quests = [] {
        std::vector<BankQuest> all;
        for (const BankTask& task : LoadTaskBank(VEKTA_BANK_DIR).tasks) {
            const BankTask shown = VariantOf(task, "bench", "Guest").task;
            all.push_back({shown.name, shown.caption,
                           BuildQuestMessage({shown.name, shown.quest, shown.image, shown.request,
                                              shown.animate, shown.variablesSection})});
        }
        return all;
    }();
    return quests;
}

// What the font cache has forgotten before each showing.
enum class Forgotten { Nothing, Texts, Fonts };

// The task shown again and again.
void ShowTaskRepeatedly(benchmark::State& state, Forgotten forgotten) {
    const BankQuest& quest = BankQuests().at(static_cast<std::size_t>(state.range(0)));
    state.SetLabel(platform::Cp1251ToUtf8(quest.name));
    TaskView view;
    view.resize(MainWindow::kDefaultTaskPaneSize);
    view.PrepareStatementImage();
    view.HideGreeting();
    view.show();
    QImage pane(view.size(), QImage::Format_RGB32);
    for (auto _ : state) {
        if (forgotten == Forgotten::Texts)
            platform::FontCache::Shared().ForgetTexts();
        else if (forgotten == Forgotten::Fonts)
            platform::FontCache::Shared().Clear();
        const QuestSections task = ReadQuestSections(quest.message);
        benchmark::DoNotOptimize(view.ShowTask(task, quest.caption));
        view.Arrange(); // as the main window's pane arrangement does on revealing it
        view.Reveal();
        view.render(&pane);
        benchmark::DoNotOptimize(pane.constBits());
    }
}

void BM_TaskToPaintedPane(benchmark::State& state) {
    ShowTaskRepeatedly(state, Forgotten::Nothing);
}

void BM_NewTaskToPaintedPane(benchmark::State& state) {
    ShowTaskRepeatedly(state, Forgotten::Texts);
}

void BM_FirstTaskToPaintedPane(benchmark::State& state) {
    ShowTaskRepeatedly(state, Forgotten::Fonts);
}

void BM_StatementLayout(benchmark::State& state) {
    const BankQuest& quest = BankQuests().at(static_cast<std::size_t>(state.range(0)));
    const QuestSections task = ReadQuestSections(quest.message);
    for (auto _ : state) {
        QImage surface(1, 1, QImage::Format_RGB32);
        platform::QtCanvas measure(&surface);
        const QuestTextLayout layout = LayoutQuestText(task.quest, 443, measure);
        benchmark::DoNotOptimize(layout.height);
    }
}

void BM_DrawingDragRepaint(benchmark::State& state) {
    const qreal ratio = static_cast<qreal>(state.range(0));
    QuestSections task = ReadQuestSections(BankQuests().front().message);
    task.drawing = true;
    TaskView view;
    view.resize(MainWindow::kDefaultTaskPaneSize);
    view.PrepareStatementImage();
    view.HideGreeting();
    view.show();
    view.ShowTask(task);
    view.Arrange();
    view.SetDrawingDraft({"force 40 70 90\nY!A\n", "force 40 70 0\nX!A\n", "force 150 70 270\nF\n",
                          "force 260 70 90\nR!B\n", "moment 100 40 ccw\nM\n",
                          "force 200 30 45\nN\n"});
    DrawingSurface* surface = view.Drawing();
    surface->SetTool(DrawingSurface::Tool::Force);
    const QPointF tail(surface->width() / 2.0, surface->height() / 2.0);
    const auto send = [&](QEvent::Type type, QPointF at, Qt::MouseButtons buttons) {
        QMouseEvent event(type, at, surface->mapToGlobal(at), Qt::LeftButton, buttons,
                          Qt::NoModifier);
        QApplication::sendEvent(surface, &event);
    };
    send(QEvent::MouseButtonPress, tail, Qt::LeftButton);
    QImage area(surface->size() * ratio, QImage::Format_ARGB32_Premultiplied);
    area.setDevicePixelRatio(ratio);
    int step = 0;
    for (auto _ : state) {
        const double turn = 0.1 * (step++ % 63);
        send(QEvent::MouseMove, tail + QPointF(50 * std::cos(turn), 50 * std::sin(turn)),
             Qt::LeftButton);
        view.widget()->render(&area, QPoint(), QRegion(surface->geometry()));
        benchmark::DoNotOptimize(area.constBits());
    }
    send(QEvent::MouseButtonRelease, tail, Qt::NoButton);
}

void BankTasks(benchmark::internal::Benchmark* bench) {
    bench->ArgName("task");
    for (std::size_t i = 0; i < BankQuests().size(); ++i)
        bench->Arg(static_cast<int>(i));
}

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    platform::VektaApplication app(argc, argv);
    BENCHMARK(BM_TaskToPaintedPane)->Apply(BankTasks)->Unit(benchmark::kMicrosecond);
    BENCHMARK(BM_NewTaskToPaintedPane)->Apply(BankTasks)->Unit(benchmark::kMicrosecond);
    BENCHMARK(BM_FirstTaskToPaintedPane)->Apply(BankTasks)->Unit(benchmark::kMicrosecond);
    BENCHMARK(BM_StatementLayout)->Apply(BankTasks)->Unit(benchmark::kMicrosecond);
    BENCHMARK(BM_DrawingDragRepaint)
        ->ArgName("ratio")
        ->Arg(1)
        ->Arg(2)
        ->Unit(benchmark::kMicrosecond);
    return RunBenchmarks(argc, argv);
}
