#include "protocol/Sections.h"

#include <algorithm>

std::string WriteSection(std::string_view name, std::string_view text) {
    std::string section;
    section.reserve(2 * name.size() + text.size() + 5);
    section += '<';
    section += name;
    section += '>';
    section += text;
    section += "</";
    section += name;
    section += '>';
    return section;
}

SectionCut CutSection(std::size_t open, std::size_t close, std::size_t openLength,
                      std::size_t size) {
    // Positions from 1, as the protocol counts them; e is 0 when the closing tag is absent.
    const auto s = static_cast<long long>(open) + 1;
    const long long e = close == std::string::npos ? 0 : static_cast<long long>(close) + 1;
    const auto tagLength = static_cast<long long>(openLength);
    SectionCut cut;
    cut.textFrom = open + openLength;
    const long long textLength = e - s - tagLength;
    cut.textLength = textLength > 0 ? static_cast<std::size_t>(textLength) : 0;
    // Delete from s up to and including the last byte of the closing tag, position
    // e + length(open); nothing when that lies before s.
    cut.eraseFrom = open;
    const long long eraseLength = e + tagLength - s + 1;
    cut.eraseLength =
        eraseLength > 0 ? std::min(static_cast<std::size_t>(eraseLength), size - open) : 0;
    return cut;
}

std::string ExtractSection(std::string& payload, std::string_view name) {
    const std::string open = "<" + std::string(name) + ">";
    const std::size_t found = payload.find(open);
    if (found == std::string::npos)
        return {};
    const std::size_t close = payload.find("</" + std::string(name) + ">");
    const SectionCut cut = CutSection(found, close, open.size(), payload.size());
    std::string text = payload.substr(cut.textFrom, cut.textLength);
    payload.erase(cut.eraseFrom, cut.eraseLength);
    return text;
}
