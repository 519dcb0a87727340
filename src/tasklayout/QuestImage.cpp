#include "tasklayout/QuestImage.h"

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
    const platform::Result<diagram::DiagramSize> size = diagram::ReadDiagramHeader(script);
    if (size)
        header.size = *size;
    else
        header.error = size.Error().message;
    header.size.width = ClampSide(header.size.width, header.sizeClamped);
    header.size.height = ClampSide(header.size.height, header.sizeClamped);
    return header;
}

platform::Status DrawQuestImage(diagram::DrawingContext& context, platform::Canvas& canvas,
                                diagram::DiagramSize size, std::string_view statements,
                                platform::Color windowColor) {
    return diagram::DrawDiagramDocument(context, canvas, size, statements, windowColor);
}

QuestImagePlace PlaceQuestImage(int imageWidth, int textHeight, diagram::DiagramSize size) {
    return {imageWidth / 2 - size.width / 2, textHeight, textHeight + size.height};
}
