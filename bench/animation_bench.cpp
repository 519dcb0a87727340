// One frame of an animation against drawing the same shapes straight with QPainter.
//
// BM_AnimationFrame is one timer step of the player: t set, the 20 equations evaluated,
// the 50 object statements rewritten and interpreted, drawn into a 520 x 270 QImage
// through QtCanvas. BM_DirectFrame replays the drawing calls of such a frame (the same
// field, frame and shapes at the positions the frame computed) straight on a QPainter:
// the floor. The BM_Part benchmarks split the frame into its stages.
//
//   cmake --build build/default --target animation_bench
//   build/default/bench/animation_bench [--benchmark_repetitions=5]

#include "animation/AnimationBitmap.h"
#include "animation/AnimationPlayer.h"
#include "animation/StatementRewrite.h"

#include "RunBenchmarks.h"
#include "platform/Convert.h"
#include "platform/QtCanvas.h"
#include "platform/RecordingCanvas.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int kPoints = 10;

// Ten points on circles about (150, 80) turning at their own rates (20 equations), and 50
// statements over them: spokes, rims, links, hinges, bodies, forces, blocks and labels.
std::string BankLikeScript() {
    std::string fun;
    std::string obj;
    for (int i = 1; i <= kPoints; ++i) {
        const std::string n = std::to_string(i);
        const std::string r = std::to_string(20 + 8 * i);
        fun += "x" + n + "=150+" + r + "*cos(t*" + n + "*0.3);";
        fun += "y" + n + "=80-" + r + "*sin(t*" + n + "*0.3)*cos(t/" + n + ");";
        obj += "LINE(150,80,x" + n + ",y" + n + ");CIRCLE(x" + n + ",y" + n + ",5);";
        if (i < kPoints)
            obj += "LINE(x" + n + ",y" + n + ",x" + std::to_string(i + 1) + ",y" +
                   std::to_string(i + 1) + ");";
        if (i <= 5)
            obj += "SHARNIR(x" + n + ",y" + n + ");OBJECT_CIRCLE(x" + n + ",y" + n + ",8);ARROW(x" +
                   n + ",y" + n + ",30,45);";
        if (i <= 4)
            obj += "RECTANGLE(x" + n + ",y" + n + ",20,10);";
        if (i <= 2)
            obj += "TEXT(x" + n + ",y" + n + ",\"A\");";
    }
    return "<VAR>tend=1000000000;</VAR><FUN>" + fun + "</FUN><OBJ>" + obj + "</OBJ>";
}

// A player over a recording canvas, for the stages and for the calls of one frame.
struct RecordingSurface : animation::FrameSurface {
    platform::RecordingCanvas canvas;
    platform::Canvas& Canvas() override { return canvas; }
    void Resize(int, int) override {}
    void Present() override {}
};

void BM_AnimationFrame(benchmark::State& state) {
    animation::AnimationBitmap bitmap;
    animation::AnimationPlayer player(bitmap);
    player.LoadAnimation(BankLikeScript());
    player.StartRun(0);
    std::uint32_t tick = 0;
    for (auto _ : state) {
        tick += 16;
        if (!player.TimerStep(tick))
            state.SkipWithError("the frame failed");
    }
    state.counters["statements"] = static_cast<double>(player.Model().DrawList.size());
    state.counters["equations"] = static_cast<double>(player.Model().Equations.Count);
}

QColor ToColor(platform::Color color) {
    return platform::ToQColor(color);
}

// The frame's drawing calls replayed on a QPainter: one pen and brush per call.
void Replay(QPainter& painter, const std::vector<platform::CanvasCall>& calls) {
    for (const platform::CanvasCall& call : calls) {
        painter.setPen(call.penStyle == platform::kPenClear
                           ? QPen(Qt::NoPen)
                           : QPen(ToColor(call.penColor), std::max(1, call.penWidth)));
        painter.setBrush(call.brushStyle == platform::BrushStyle::Clear
                             ? QBrush(Qt::NoBrush)
                             : QBrush(ToColor(call.brushColor)));
        const QRect box = QRect(QPoint(call.x1, call.y1), QPoint(call.x2 - 1, call.y2 - 1));
        switch (call.kind) {
        case platform::CanvasCall::Kind::Line:
            painter.drawLine(call.x1, call.y1, call.x2, call.y2);
            break;
        case platform::CanvasCall::Kind::Rectangle:
            painter.drawRect(box);
            break;
        case platform::CanvasCall::Kind::Ellipse:
            painter.drawEllipse(box);
            break;
        case platform::CanvasCall::Kind::FillRect:
            painter.fillRect(box, painter.brush());
            break;
        case platform::CanvasCall::Kind::Text:
            painter.setFont(platform::ToQFont(call.font));
            painter.drawText(call.x1, call.y1 + 12, QString::fromLatin1(call.text.c_str()));
            break;
        }
    }
}

void BM_DirectFrame(benchmark::State& state) {
    RecordingSurface surface;
    animation::AnimationPlayer player(surface);
    player.LoadAnimation(BankLikeScript());
    player.StartRun(0);
    player.TimerStep(16);
    const std::vector<platform::CanvasCall> calls = surface.canvas.Calls();
    QImage image(520, 270, QImage::Format_RGB32);
    QPainter painter(&image);
    for (auto _ : state)
        Replay(painter, calls);
    state.counters["calls"] = static_cast<double>(calls.size());
}

// The stages of a frame: the equations; the rewriting of the statements; the interpreter
// on a canvas that only records.
void BM_PartEquations(benchmark::State& state) {
    RecordingSurface surface;
    animation::AnimationPlayer player(surface);
    player.LoadAnimation(BankLikeScript());
    animation::AnimationModel& model = player.Model();
    double t = 0;
    for (auto _ : state) {
        t += 0.032;
        model.Values.SetNumber("t", t);
        animation::EvaluateFunctions(model);
    }
}

void BM_PartRewrite(benchmark::State& state) {
    RecordingSurface surface;
    animation::AnimationPlayer player(surface);
    player.LoadAnimation(BankLikeScript());
    animation::AnimationModel& model = player.Model();
    for (auto _ : state)
        for (const std::string& statement : model.DrawList)
            benchmark::DoNotOptimize(animation::RewriteStatement(statement, model.Values));
}

void BM_PartInterpret(benchmark::State& state) {
    RecordingSurface surface;
    surface.canvas.keepAtMost = 0;
    animation::AnimationPlayer player(surface);
    player.LoadAnimation(BankLikeScript());
    player.StartRun(0);
    animation::AnimationModel& model = player.Model();
    std::vector<std::string> rewritten;
    for (const std::string& statement : model.DrawList)
        rewritten.push_back(animation::RewriteStatement(statement, model.Values).Value());
    diagram::DrawingContext context;
    diagram::InitContext(context);
    diagram::AttachCanvas(context, surface.canvas);
    // Each pass is one picture with the whole work budget of a frame, as the player
    // starts every frame.
    for (auto _ : state) {
        diagram::StartPicture(context);
        for (const std::string& statement : rewritten)
            benchmark::DoNotOptimize(diagram::DrawPrimitive(context, statement));
    }
}

// Scripts a hostile task may carry, each drawn as one frame of a run: what a frame costs
// once the picture's work budget and the clamping of sizes have done their part.
std::string Repeat(const std::string& statement, int count) {
    std::string out;
    out.reserve(statement.size() * static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        out += statement;
    return out;
}

struct HostileScript {
    const char* name;
    std::string script;
};

std::vector<HostileScript> HostileScripts() {
    const std::string run = "<VAR>tend=1000000000;</VAR>";
    const std::string moving = run + "<FUN>x=260+200*sin(t);</FUN>";
    std::string deep = "t";
    for (int i = 0; i < 5000; ++i)
        deep = "(" + deep + "+1)";
    return {
        {"10000_lines", moving + "<OBJ>" + Repeat("LINE(0,0,x,270);", 10000) + "</OBJ>"},
        {"10000_circles", moving + "<OBJ>" + Repeat("CIRCLE(x,135,100);", 10000) + "</OBJ>"},
        {"huge_radii", run + "<FUN>r=10^300;</FUN><OBJ>" +
                           Repeat("CIRCLE(260,135,2000000000);CARROW(0,0,10000,0,360);", 5000) +
                           "</OBJ>"},
        {"radius_1e300",
         run + "<FUN>r=10^300;</FUN><OBJ>" + Repeat("CIRCLE(260,135,r);", 10000) + "</OBJ>"},
        {"nan_inf",
         run + "<FUN>n=sqrt(0-1);i=1/0;</FUN><OBJ>" + Repeat("LINE(0,0,n,i);", 10000) + "</OBJ>"},
        {"wide_pens",
         moving + "<OBJ>" +
             Repeat("ADVLINE(-2000000000,-2000000000,2000000000,x,0,2000000000);", 10000) +
             "</OBJ>"},
        {"long_texts", moving + "<OBJ>" +
                           Repeat("TEXT(10,x,\"" + std::string(2000, 'W') + "\");", 2000) +
                           "</OBJ>"},
        {"unknown_statements", moving + "<OBJ>" + Repeat("NOTHING(x,x,x,x);", 200000) + "</OBJ>"},
        {"1990_circles", moving + "<OBJ>" + Repeat("CIRCLE(x,135,100);", 1990) + "</OBJ>"},
        {"visible_arc", moving + "<OBJ>CARROW(260,135,9000,0,360);" +
                            Repeat("CIRCLE(x,135,250);", 1900) + "</OBJ>"},
        {"1990_wide_pens",
         moving + "<OBJ>" + Repeat("ADVLINE(-5000,-5000,x,5000,0,500);", 1990) + "</OBJ>"},
        {"1990_texts", moving + "<OBJ>" +
                           Repeat("TEXT(10,x,\"" + std::string(120, 'W') + "\");", 1990) +
                           "</OBJ>"},
        {"long_formulas", run + "<FUN>" + Repeat("x=" + Repeat("t*t+", 50000) + "t;", 100) +
                              "</FUN><OBJ>LINE(0,0,x,x);</OBJ>"},
        {"deep_nesting", run + "<FUN>" + Repeat("x=" + deep + ";", 100) + "</FUN><OBJ>" +
                             Repeat("LINE(0,0,x,x);", 100) + "</OBJ>"},
    };
}

void BM_HostileFrame(benchmark::State& state) {
    const HostileScript hostile = HostileScripts().at(static_cast<std::size_t>(state.range(0)));
    animation::AnimationBitmap bitmap;
    animation::AnimationPlayer player(bitmap);
    player.LoadAnimation(hostile.script);
    double t = 0;
    std::string message;
    for (auto _ : state) {
        t += 0.032;
        message = player.StepTo(t).Error().message;
    }
    // How the frame ended: drawn whole, cut at the budget, or stopped by a bad value.
    const char* const end = message.empty()                          ? "drawn"
                            : message == diagram::kPictureTooComplex ? "budget"
                                                                     : "error";
    state.SetLabel(std::string(hostile.name) + " " + end);
    state.counters["script_bytes"] = static_cast<double>(hostile.script.size());
}

BENCHMARK(BM_AnimationFrame);
BENCHMARK(BM_DirectFrame);
BENCHMARK(BM_PartEquations);
BENCHMARK(BM_PartRewrite);
BENCHMARK(BM_PartInterpret);
BENCHMARK(BM_HostileFrame)->DenseRange(0, 13)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);
    return RunBenchmarks(argc, argv);
}
