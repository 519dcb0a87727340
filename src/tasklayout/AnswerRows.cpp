#include "tasklayout/AnswerRows.h"

#include <algorithm>

std::vector<std::string> ReadRequestNames(std::string_view request) {
    std::vector<std::string> names;
    for (std::size_t end = request.find(';');
         end != std::string_view::npos && names.size() < kMaxAnswerRows; end = request.find(';')) {
        names.emplace_back(request.substr(0, end));
        request.remove_prefix(end + 1);
    }
    return names;
}

int NameColumnWidth(const std::vector<int>& labelWidths) {
    int width = kMinNameWidth;
    for (int label : labelWidths)
        width = std::max(width, label);
    return width;
}

std::vector<RowPlace> LayoutAnswerRows(int paneWidth, int imageHeight, int nameWidth,
                                       const std::vector<int>& answerHeights, int readingHeight) {
    std::vector<RowPlace> rows;
    int y = imageHeight + kRowsBelowImage;
    for (int height : answerHeights) {
        rows.push_back({y, kRowLeft, nameWidth + kRowLeft, paneWidth - nameWidth - 55, y + height});
        y += height + readingHeight + kRowGap;
    }
    return rows;
}

SendPlace PlaceSendButton(int paneWidth, int lastRowBottom, int buttonWidth, int buttonHeight) {
    const int top = lastRowBottom + 10;
    return {(paneWidth - buttonWidth) / 2, top, top + buttonHeight + 10};
}
