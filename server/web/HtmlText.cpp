#include "web/HtmlText.h"

#include "admin/Utf8Sequence.h"

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

} // namespace

std::string HtmlEscaped(std::string_view utf8) {
    std::string html;
    html.reserve(utf8.size() + utf8.size() / 8);
    for (std::size_t i = 0; i < utf8.size();) {
        const std::size_t length = Utf8SequenceLength(utf8, i);
        if (length == 0) {
            html += kReplacement;
            ++i;
            continue;
        }
        const char c = utf8[i];
        const auto byte = static_cast<unsigned char>(c);
        if (length > 1)
            html.append(utf8.substr(i, length));
        else if (c == '&')
            html += "&amp;";
        else if (c == '<')
            html += "&lt;";
        else if (c == '>')
            html += "&gt;";
        else if (c == '"')
            html += "&quot;";
        else if (c == '\'')
            html += "&#39;";
        else if ((byte < 0x20 && c != '\t' && c != '\n') || byte == 0x7F)
            html += kReplacement;
        else
            html += c;
        i += length;
    }
    return html;
}

std::string UrlSegment(std::string_view utf8) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string encoded;
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
            (byte >= '0' && byte <= '9') || c == '-' || c == '_' || c == '~') {
            encoded += c;
        } else {
            encoded += '%';
            encoded += kHex[byte >> 4];
            encoded += kHex[byte & 0xF];
        }
    }
    return encoded;
}
