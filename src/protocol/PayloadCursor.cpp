#include "protocol/PayloadCursor.h"

#include "protocol/Sections.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr std::size_t npos = std::string::npos;
}

PayloadCursor::PayloadCursor(std::string payload) : text_(std::move(payload)) {}

std::size_t PayloadCursor::Search(const std::string& text, std::size_t from, std::size_t to) const {
    if (from >= to || to - from < text.size())
        return npos;
    const std::string_view window = std::string_view(text_).substr(from, to - from);
    const std::size_t found = window.find(text);
    return found == npos ? npos : from + found;
}

std::size_t PayloadCursor::Find(const std::string& text) {
    for (const Needle& needle : needles_)
        if (needle.text == text)
            return needle.at;
    needles_.push_back({text, Search(text, begin_, text_.size())});
    return needles_.back().at;
}

std::optional<std::string> PayloadCursor::TakeThroughBracket() {
    const void* found = std::memchr(text_.data() + begin_, '>', text_.size() - begin_);
    if (found == nullptr)
        return std::nullopt;
    const auto close = static_cast<std::size_t>(static_cast<const char*>(found) - text_.data());
    std::string taken = text_.substr(begin_, close + 1 - begin_);
    Advance(close + 1);
    return taken;
}

void PayloadCursor::Advance(std::size_t newBegin) {
    begin_ = newBegin;
    // An occurrence that the cursor has passed is gone; the next one lies beyond it.
    for (Needle& needle : needles_)
        if (needle.at != npos && needle.at < begin_)
            needle.at = Search(needle.text, begin_, text_.size());
}

std::string PayloadCursor::ExtractSection(std::string_view name) {
    const std::string open = "<" + std::string(name) + ">";
    const std::string close = "</" + std::string(name) + ">";
    const std::size_t found = Find(open);
    if (found == npos)
        return {};
    const std::size_t closeFound = Find(close);
    // The same cut as ExtractSection's, on the rest.
    const SectionCut cut =
        CutSection(found - begin_, closeFound == npos ? npos : closeFound - begin_, open.size(),
                   text_.size() - begin_);
    std::string text = text_.substr(begin_ + cut.textFrom, cut.textLength);
    if (cut.eraseLength > 0)
        Erase(begin_ + cut.eraseFrom, cut.eraseLength);
    return text;
}

void PayloadCursor::Erase(std::size_t pos, std::size_t count) {
    const std::size_t before = pos - begin_;
    const std::size_t after = text_.size() - pos - count;
    const bool prefixMoved = before < after;
    if (prefixMoved) {
        std::memmove(text_.data() + begin_ + count, text_.data() + begin_, before);
        begin_ += count;
    } else {
        text_.erase(pos, count);
    }
    for (Needle& needle : needles_)
        Reposition(needle, pos, count, prefixMoved);
}

// Keeps a needle's first occurrence true after the bytes [pos, pos + count) were cut
// out: an occurrence before the cut keeps its place (moved with the prefix), one inside
// it is searched for again beyond the cut, and the two sides meeting at the cut may form
// a new, earlier occurrence.
void PayloadCursor::Reposition(Needle& needle, std::size_t pos, std::size_t count,
                               bool prefixMoved) {
    const std::size_t length = needle.text.size();
    std::size_t& at = needle.at;
    if (at != npos && at + length <= pos) {
        if (prefixMoved)
            at += count;
        return;
    }
    const std::size_t junction = prefixMoved ? pos + count : pos;
    const std::size_t joinFrom = std::max(begin_, junction >= length ? junction - length + 1 : 0);
    if (at != npos && at < pos + count) {
        at = Search(needle.text, joinFrom, text_.size());
        return;
    }
    if (at != npos && !prefixMoved)
        at -= count;
    const std::size_t joined =
        Search(needle.text, joinFrom, std::min(text_.size(), junction + length - 1));
    if (joined != npos && (at == npos || joined < at))
        at = joined;
}
