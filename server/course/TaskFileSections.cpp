#include "course/TaskFileSections.h"

#include <algorithm>
#include <array>
#include <map>
#include <optional>

namespace {

constexpr std::array<std::string_view, 17> kSections = {
    "CAPTION", "QUEST",     "IMAGE",   "REQUEST",  "ANIMATE",    "VARIABLES",
    "ANSWER",  "TOLERANCE", "TESTS",   "ATTEMPTS", "PARAMETERS", "DRAW",
    "DRAWTOL", "UNITS",     "SIGFIGS", "FEEDBACK", "CARRY"};

bool IsSection(std::string_view name) {
    return std::find(kSections.begin(), kSections.end(), name) != kSections.end();
}

// "<NAME>" or "</NAME>" at `at`: a name of at least one character without blanks or angle
// brackets. Text such as "x < y" or "->" is not a tag.
struct Tag {
    std::size_t at = 0;
    std::size_t end = 0; // just after the ">"
    std::string_view name;
    bool closing = false;
};

std::optional<Tag> TagAt(std::string_view text, std::size_t at) {
    if (at >= text.size() || text[at] != '<')
        return std::nullopt;
    Tag tag{at, at + 1, {}, false};
    if (tag.end < text.size() && text[tag.end] == '/') {
        tag.closing = true;
        ++tag.end;
    }
    const std::size_t nameFrom = tag.end;
    const std::size_t nameEnd = text.find_first_of("<> \t\r\n", nameFrom);
    if (nameEnd == std::string_view::npos || nameEnd == nameFrom || text[nameEnd] != '>')
        return std::nullopt;
    tag.name = text.substr(nameFrom, nameEnd - nameFrom);
    tag.end = nameEnd + 1;
    return tag;
}

std::string Written(const Tag& tag) {
    return (tag.closing ? "</" : "<") + std::string(tag.name) + ">";
}

// The next tag of a section from `from` on, or nullopt.
std::optional<Tag> NextSectionTag(std::string_view text, std::size_t from) {
    for (std::size_t at = text.find('<', from); at != std::string_view::npos;
         at = text.find('<', at + 1))
        if (const std::optional<Tag> tag = TagAt(text, at); tag && IsSection(tag->name))
            return tag;
    return std::nullopt;
}

// How many single-letter edits (a letter put in, left out, changed, or two neighbours
// swapped) make one name from the other, stopping past 2.
int Edits(std::string_view a, std::string_view b) {
    const std::size_t n = a.size(), m = b.size();
    if (n > m + 2 || m > n + 2)
        return 3;
    std::vector<std::vector<int>> d(n + 1, std::vector<int>(m + 1));
    for (std::size_t i = 0; i <= n; ++i)
        d[i][0] = static_cast<int>(i);
    for (std::size_t j = 0; j <= m; ++j)
        d[0][j] = static_cast<int>(j);
    for (std::size_t i = 1; i <= n; ++i)
        for (std::size_t j = 1; j <= m; ++j) {
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1,
                                d[i - 1][j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1)});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
        }
    return d[n][m];
}

// The section a tag that is no section's was most likely meant to be, or empty.
std::string_view MeantSection(std::string_view name) {
    std::string upper(name);
    for (char& c : upper)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    std::string_view meant;
    int fewest = 3;
    for (std::string_view section : kSections)
        if (const int edits = Edits(upper, section); edits < fewest) {
            fewest = edits;
            meant = section;
        }
    return meant;
}

class LineNumbers {
public:
    explicit LineNumbers(std::string_view text) : text_(text) {}
    // The line (from 1) of a position; positions are asked for in increasing order mostly,
    // so the count goes on from the last one asked.
    int At(std::size_t at) {
        if (at < from_) {
            from_ = 0;
            line_ = 1;
        }
        line_ +=
            static_cast<int>(std::count(text_.begin() + static_cast<std::ptrdiff_t>(from_),
                                        text_.begin() + static_cast<std::ptrdiff_t>(at), '\n'));
        from_ = at;
        return line_;
    }

private:
    std::string_view text_;
    std::size_t from_ = 0;
    int line_ = 1;
};

} // namespace

std::vector<std::string> SectionLayoutProblems(std::string_view text) {
    std::vector<std::string> problems;
    LineNumbers lines(text);
    std::map<std::string_view, int> opened; // section -> the line it was first opened on
    auto tell = [&](std::size_t at, const std::string& what) {
        problems.push_back("line " + std::to_string(lines.At(at)) + ": " + what);
    };
    for (std::size_t at = text.find('<'); at != std::string_view::npos; at = text.find('<', at)) {
        const std::optional<Tag> tag = TagAt(text, at);
        if (!tag) {
            ++at;
            continue;
        }
        at = tag->end;
        if (!IsSection(tag->name)) {
            const std::string_view meant = MeantSection(tag->name);
            if (!meant.empty())
                tell(tag->at, "unknown tag " + Written(*tag) + " (" + (tag->closing ? "</" : "<") +
                                  std::string(meant) + ">?)");
            else
                tell(tag->at, "text between sections looks like a tag: " + Written(*tag));
            continue;
        }
        if (tag->closing) {
            tell(tag->at, Written(*tag) + " without its <" + std::string(tag->name) + ">");
            continue;
        }
        const int line = lines.At(tag->at);
        if (const auto first = opened.find(tag->name); first != opened.end())
            tell(tag->at, Written(*tag) + " given twice (first on line " +
                              std::to_string(first->second) + "); the second is not read");
        else
            opened.emplace(tag->name, line);
        // The section runs to its own closing tag; another section's tag before it means the
        // closing tag is missing or misspelt, and the text after the opening tag is looked at
        // as if it stood between sections.
        const std::optional<Tag> next = NextSectionTag(text, tag->end);
        if (next && next->closing && next->name == tag->name) {
            at = next->end;
            continue;
        }
        std::string what = Written(*tag) + " is not closed";
        if (next) {
            const std::size_t closeAt = text.find("</" + std::string(tag->name) + ">", next->at);
            what += " before " + Written(*next) + " on line " + std::to_string(lines.At(next->at));
            if (closeAt == std::string_view::npos)
                what += "; there is no </" + std::string(tag->name) + ">";
        }
        problems.push_back("line " + std::to_string(line) + ": " + what);
    }
    return problems;
}
