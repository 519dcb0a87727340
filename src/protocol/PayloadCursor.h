#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A payload read from its front, with sections cut out of the rest exactly as
// ExtractSection does, at a cost that does not grow with the payload's length: the
// bytes read are skipped by an offset instead of being erased, a cut moves whichever
// side of it is shorter, and the first occurrence of every tag searched for is
// remembered and searched again only where the rest has changed.
class PayloadCursor {
public:
    explicit PayloadCursor(std::string payload);

    bool Empty() const { return begin_ == text_.size(); }
    std::string_view Rest() const { return std::string_view(text_).substr(begin_); }

    // Reads the rest up to and including its first ">"; nothing when it has none.
    std::optional<std::string> TakeThroughBracket();

    // ExtractSection on the rest: the text of the first <NAME>...</NAME>, which is cut out.
    std::string ExtractSection(std::string_view name);

private:
    struct Needle {
        std::string text;
        std::size_t at; // its first occurrence at or after begin_, or npos
    };

    std::size_t Find(const std::string& text);
    std::size_t Search(const std::string& text, std::size_t from, std::size_t to) const;
    void Advance(std::size_t newBegin);
    void Erase(std::size_t pos, std::size_t count);
    void Reposition(Needle& needle, std::size_t pos, std::size_t count, bool prefixMoved);

    std::string text_;
    std::size_t begin_ = 0; // the rest starts here
    std::vector<Needle> needles_;
};
