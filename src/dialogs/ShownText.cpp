#include "dialogs/ShownText.h"

std::string ShownText(std::string_view text) {
    using namespace shown_text;
    std::string shown;
    std::size_t lines = 0;
    std::size_t at = 0;
    while (lines < kMaxLines) {
        std::size_t end = text.find_first_of("\r\n", at);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string_view line = text.substr(at, end - at);
        shown += line.substr(0, kMaxLineBytes);
        if (line.size() > kMaxLineBytes)
            shown += "...";
        ++lines;
        if (end == text.size())
            return shown;
        at = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
        shown += '\n';
    }
    return shown + "...";
}
