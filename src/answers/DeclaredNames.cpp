#include "answers/DeclaredNames.h"

#include "answers/Read.h"
#include "platform/Cp1251.h"
#include "platform/Trim.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace answers {

namespace {

std::optional<double> ReadBound(std::string_view text) {
    std::string plain(platform::TrimBlanks(text));
    std::replace(plain.begin(), plain.end(), ',', '.');
    if (!plain.empty() && plain.front() == '+')
        plain.erase(0, 1);
    double value = 0;
    const auto [end, error] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    if (plain.empty() || error != std::errc() || end != plain.data() + plain.size() ||
        !std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace

std::optional<DeclaredName> ReadDeclaredName(std::string_view item, std::string& problem) {
    const std::size_t equals = item.find('=');
    DeclaredName declared;
    declared.name = std::string(platform::TrimBlanks(item.substr(0, equals)));
    if (!NameKey(declared.name)) {
        problem = platform::Utf8ToCp1251("не обозначение: ") + declared.name;
        return std::nullopt;
    }
    if (equals == std::string_view::npos)
        return declared;
    const std::string_view range = item.substr(equals + 1);
    const std::size_t dots = range.find("..");
    const auto low =
        dots == std::string_view::npos ? std::nullopt : ReadBound(range.substr(0, dots));
    const auto high =
        dots == std::string_view::npos ? std::nullopt : ReadBound(range.substr(dots + 2));
    if (!low || !high || !(*low < *high)) {
        problem = platform::Utf8ToCp1251("диапазон не в виде НИЗ..ВЕРХ: ") +
                  std::string(platform::TrimBlanks(range));
        return std::nullopt;
    }
    declared.low = *low;
    declared.high = *high;
    return declared;
}

std::vector<DeclaredName> ReadDeclaredNames(std::string_view section, std::string& problem) {
    std::vector<DeclaredName> names;
    std::size_t start = 0;
    for (std::size_t end; (end = section.find(';', start)) != std::string_view::npos;
         start = end + 1) {
        std::string itemProblem;
        if (auto declared = ReadDeclaredName(section.substr(start, end - start), itemProblem))
            names.push_back(*std::move(declared));
        else if (problem.empty())
            problem = itemProblem;
    }
    return names;
}

std::vector<std::string> NamesOf(const std::vector<DeclaredName>& declared) {
    std::vector<std::string> names;
    for (const DeclaredName& name : declared)
        names.push_back(name.name);
    return names;
}

} // namespace answers
