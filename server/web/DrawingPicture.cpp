#include "web/DrawingPicture.h"

#include "answers/Read.h"
#include "drawing/SolutionImage.h"
#include "judging/TaskJudging.h"
#include "protocol/ResultItems.h"
#include "web/TaskPicture.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <numbers>

namespace {

const QColor kRight(0, 150, 0);
const QColor kWrong(210, 0, 0);
constexpr int kMomentRadius = 18;
constexpr int kHead = 8;

struct Shape {
    drawing::ObjectKind kind = drawing::ObjectKind::Force;
    drawing::Point at;
    double angle = 0;
    bool ccw = true;
    std::string name; // a notation key
};

void DrawForce(QPainter& painter, const Shape& shape) {
    const double radians = shape.angle * std::numbers::pi / 180;
    const QPointF from(shape.at.x, shape.at.y);
    const QPointF along(std::cos(radians), -std::sin(radians));
    const QPointF tip = from + along * drawing::kSolutionArrow;
    const QPointF across(-along.y(), along.x());
    painter.drawLine(from, tip);
    painter.drawLine(tip, tip - along * kHead + across * (kHead / 2.0));
    painter.drawLine(tip, tip - along * kHead - across * (kHead / 2.0));
    painter.drawText(tip + QPointF(4, -4), QString::fromStdString(answers::NameText(shape.name)));
}

void DrawMoment(QPainter& painter, const Shape& shape) {
    const QRectF circle(shape.at.x - kMomentRadius, shape.at.y - kMomentRadius, 2 * kMomentRadius,
                        2 * kMomentRadius);
    // From 30° round to 300°, the head at the end the moment turns to.
    const double end = shape.ccw ? 300 : 30;
    painter.drawArc(circle, 30 * 16, (shape.ccw ? 270 : -270) * 16);
    const double radians = end * std::numbers::pi / 180;
    const QPointF tip(shape.at.x + kMomentRadius * std::cos(radians),
                      shape.at.y - kMomentRadius * std::sin(radians));
    const double turn = radians + (shape.ccw ? 1 : -1) * std::numbers::pi / 2;
    const QPointF along(std::cos(turn), -std::sin(turn));
    const QPointF across(-along.y(), along.x());
    painter.drawLine(tip, tip - along * kHead + across * (kHead / 2.0));
    painter.drawLine(tip, tip - along * kHead - across * (kHead / 2.0));
    painter.drawText(QPointF(shape.at.x + kMomentRadius + 2, shape.at.y - kMomentRadius),
                     QString::fromStdString(answers::NameText(shape.name)));
}

void Draw(QPainter& painter, const Shape& shape, const QColor& color, bool dashed) {
    painter.setPen(QPen(color, 2, dashed ? Qt::DashLine : Qt::SolidLine));
    if (shape.kind == drawing::ObjectKind::Force)
        DrawForce(painter, shape);
    else
        DrawMoment(painter, shape);
}

Shape ShapeOf(const drawing::DrawnObject& drawn) {
    return {drawn.kind, drawn.at, drawn.angle, drawn.ccw, drawn.name};
}

// The findings over the diagram: each drawn object in the colour of what the judge said
// of it, each missing one where it belongs.
void DrawFindings(QPainter& painter, const drawing::DrawingJudgement& judgement,
                  const std::vector<drawing::DrawnObject>& drawn) {
    painter.setRenderHint(QPainter::Antialiasing);
    for (const drawing::FindingLine& line : judgement.findings) {
        if (line.drawn >= 0 && static_cast<std::size_t>(line.drawn) < drawn.size()) {
            const bool right = line.finding == drawing::Finding::Found;
            Draw(painter, ShapeOf(drawn[static_cast<std::size_t>(line.drawn)]),
                 right ? kRight : kWrong, false);
        } else if (line.finding == drawing::Finding::Missing) {
            Draw(painter, {line.kind, line.at, line.angle, line.ccw, line.expectedName}, kWrong,
                 true);
        }
    }
}

} // namespace

DrawingPicture DrawSubmittedDrawing(const BankTask& task, const std::string& payload) {
    DrawingPicture picture;
    const std::vector<std::string> entries =
        ReadDrawingEntries(payload, task.answerNames).value_or(std::vector<std::string>{});
    const drawing::DrawingRead drawn = drawing::ReadDrawnEntries(entries);
    if (!drawn.problem.empty()) {
        picture.problem = "рисунок не прочитан: " + drawn.problem;
        return picture;
    }
    const TaskDrawingJudgement judged = JudgeTaskDrawing(task, drawn.objects);
    if (!judged.problem.empty()) {
        picture.problem = judged.problem;
        return picture;
    }
    DiagramImage diagram = DrawTaskDiagram(task.image);
    {
        QPainter painter(&diagram.image);
        DrawFindings(painter, judged.judgement, drawn.objects);
    }
    if (!WritePng(diagram.image, picture.png))
        picture.problem = "рисунок не удалось записать в PNG";
    return picture;
}
