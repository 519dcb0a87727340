#include "web/TaskPicture.h"

#include "diagram/DrawingContext.h"
#include "eqedit/EditModel.h"
#include "platform/Cp1251.h"
#include "platform/QtCanvas.h"
#include "protocol/ResultItems.h"
#include "tasklayout/AnswerRows.h"
#include "tasklayout/QuestImage.h"
#include "tasklayout/QuestTextLayout.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <algorithm>

namespace {

// The task view's background (the button face of the client's palette).
constexpr platform::Color kPaneColor = platform::Rgb(240, 240, 240);

QImage StatementImage(const std::string& quest, int width) {
    const QuestTextLayout layout = [&] {
        QImage surface(1, 1, QImage::Format_RGB32); // measures only
        platform::QtCanvas measure(&surface);
        return LayoutQuestText(quest, width, measure);
    }();
    QImage image(width, std::max(1, layout.height), QImage::Format_RGB32);
    image.fill(platform::ToQColor(kPaneColor));
    platform::QtCanvas canvas(&image);
    canvas.SetBrushStyle(platform::BrushStyle::Clear);
    DrawQuestText(canvas, layout);
    return image;
}

// The answer fields as a fresh task shows them: a formula field of the editor's default
// size, the name fields at least as wide as the task view's and as wide as their widest
// name needs, each field's reading line under it as high as one line of the pane's font.
constexpr int kFieldHeight = 27;

QImage FieldImage(const std::string& formula, int width) {
    QImage image(std::max(1, width), kFieldHeight, QImage::Format_RGB32);
    {
        platform::QtCanvas canvas(&image);
        eqedit::EditModel model(canvas);
        model.SetSize(width, kFieldHeight);
        model.SetEquation(formula);
        model.Paint(canvas);
    }
    QPainter painter(&image); // the lowered bevel of the field
    painter.fillRect(0, 0, width, 1, QColor(160, 160, 160));
    painter.fillRect(0, 0, 1, kFieldHeight, QColor(160, 160, 160));
    return image;
}

// The name column as the task view makes it: as wide as the widest label needs.
int NameWidth(const std::vector<std::string>& names) {
    QImage surface(1, 1, QImage::Format_RGB32); // measures only
    platform::QtCanvas measure(&surface);
    const eqedit::EditModel model(measure);
    std::vector<int> labelWidths;
    for (const std::string& name : names)
        labelWidths.push_back(model.EqWidth(NameFieldText(name), eqedit::stBaseline) +
                              2 * model.BevelWidth() + model.CaretWidth());
    return NameColumnWidth(labelWidths);
}

// Where the rows go under the picture (`top` its height), and the bottom of the last one.
struct RowsPlace {
    std::vector<RowPlace> rows;
    int nameWidth = 0;
    int bottom = 0;
};

RowsPlace PlaceRows(const std::vector<std::string>& names, int width, int top) {
    if (names.empty())
        return {{}, 0, top};
    QFont paneFont(QString::fromUtf8("MS Sans Serif"));
    paneFont.setPixelSize(11);
    const int readingHeight = QFontMetrics(paneFont).lineSpacing() + 2;
    RowsPlace place;
    place.nameWidth = NameWidth(names);
    place.rows = LayoutAnswerRows(width, top, place.nameWidth,
                                  std::vector<int>(names.size(), kFieldHeight), readingHeight);
    place.bottom = place.rows.back().readingTop + readingHeight;
    return place;
}

void DrawAnswerRows(QPainter& painter, const std::vector<std::string>& names,
                    const RowsPlace& place) {
    for (std::size_t row = 0; row < place.rows.size(); ++row) {
        const RowPlace& at = place.rows[row];
        painter.drawImage(at.nameLeft, at.top,
                          FieldImage(NameFieldText(names[row]), place.nameWidth));
        painter.drawImage(at.answerLeft, at.top, FieldImage(kEmptyAnswerText, at.answerWidth));
    }
}

} // namespace

DiagramImage DrawTaskDiagram(const std::string& cp1251Image) {
    std::string script = cp1251Image;
    const QuestImageHeader header = ReadQuestImageHeader(script);
    DiagramImage diagram{QImage(header.size.width, header.size.height, QImage::Format_RGB32), {}};
    {
        diagram::DrawingContext context;
        diagram::InitContext(context);
        platform::QtCanvas canvas(&diagram.image);
        diagram.problem =
            DrawQuestImage(context, canvas, header.size, script, kPaneColor).Error().message;
    }
    if (!header.error.empty())
        diagram.problem = header.error;
    diagram.problem = platform::Cp1251ToUtf8(diagram.problem);
    return diagram;
}

bool WritePng(const QImage& image, std::string& png) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        return false;
    png = bytes.toStdString();
    return true;
}

TaskPicture DrawTaskPicture(const BankTask& task, int width) {
    TaskPicture picture;
    const QImage statement = StatementImage(task.quest, width);
    const DiagramImage diagram = DrawTaskDiagram(task.image);
    picture.problem = diagram.problem;
    const QImage& diagramImage = diagram.image;
    diagram::DiagramSize size;
    size.width = diagramImage.width();
    size.height = diagramImage.height();
    const QuestImagePlace place = PlaceQuestImage(width, statement.height(), size);
    const RowsPlace rows = PlaceRows(task.answerNames, width, place.pictureHeight);
    QImage whole(width, rows.bottom, QImage::Format_RGB32);
    whole.fill(platform::ToQColor(kPaneColor));
    {
        QPainter painter(&whole);
        painter.drawImage(0, 0, statement);
        painter.drawImage(place.x, place.y, diagramImage);
        DrawAnswerRows(painter, task.answerNames, rows);
    }
    if (!WritePng(whole, picture.png))
        picture.problem = "рисунок не удалось записать в PNG";
    return picture;
}
