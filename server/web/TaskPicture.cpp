#include "web/TaskPicture.h"

#include "diagram/DrawingContext.h"
#include "platform/Cp1251.h"
#include "platform/QtCanvas.h"
#include "tasklayout/QuestImage.h"
#include "tasklayout/QuestTextLayout.h"

#include <QBuffer>
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

} // namespace

TaskPicture DrawTaskPicture(const BankTask& task, int width) {
    TaskPicture picture;
    const QImage statement = StatementImage(task.quest, width);
    std::string script = task.image;
    const QuestImageHeader header = ReadQuestImageHeader(script);
    QImage diagramImage(header.size.width, header.size.height, QImage::Format_RGB32);
    {
        diagram::DrawingContext context;
        diagram::InitContext(context);
        platform::QtCanvas canvas(&diagramImage);
        picture.problem = DrawQuestImage(context, canvas, header.size, script, kPaneColor);
    }
    if (!header.error.empty())
        picture.problem = header.error;
    picture.problem = platform::Cp1251ToUtf8(picture.problem);

    const QuestImagePlace place = PlaceQuestImage(width, statement.height(), header.size);
    QImage whole(width, place.pictureHeight, QImage::Format_RGB32);
    whole.fill(platform::ToQColor(kPaneColor));
    {
        QPainter painter(&whole);
        painter.drawImage(0, 0, statement);
        painter.drawImage(place.x, place.y, diagramImage);
    }
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!whole.save(&buffer, "PNG")) {
        picture.problem = "рисунок не удалось записать в PNG";
        return picture;
    }
    picture.png = png.toStdString();
    return picture;
}
