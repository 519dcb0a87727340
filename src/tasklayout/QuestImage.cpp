#include "tasklayout/QuestImage.h"

#include "platform/Error.h"

#include <algorithm>

namespace {

int ClampSide(int side, bool& clamped) {
    const int inside = std::clamp(side, 1, kMaxQuestImageSide);
    clamped = clamped || inside != side;
    return inside;
}

} // namespace

QuestImageHeader ReadQuestImageHeader(std::string& script) {
    QuestImageHeader header;
    try {
        header.size = diagram::ReadDiagramHeader(script);
    } catch (const platform::Error& error) {
        header.size = diagram::DiagramSize{};
        header.error = error.what();
    }
    header.size.width = ClampSide(header.size.width, header.sizeClamped);
    header.size.height = ClampSide(header.size.height, header.sizeClamped);
    return header;
}

std::string DrawQuestImage(diagram::DrawingContext& context, platform::Canvas& canvas,
                           diagram::DiagramSize size, std::string_view statements,
                           platform::Color windowColor) {
    try {
        diagram::DrawDiagramDocument(context, canvas, size, statements, windowColor);
    } catch (const platform::Error& error) {
        return error.what();
    }
    return {};
}

QuestImagePlace PlaceQuestImage(int imageWidth, int textHeight, diagram::DiagramSize size) {
    return {imageWidth / 2 - size.width / 2, textHeight, textHeight + size.height};
}
