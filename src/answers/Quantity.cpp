#include "answers/Quantity.h"

#include "answers/Evaluate.h"
#include "answers/Tokens.h"

#include <algorithm>

namespace answers {

namespace {

constexpr unsigned char kDegreeSign = 0xB0;
constexpr unsigned char kMiddleDot = 0xB7;

std::string_view TrimmedRight(std::string_view text) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

// The keys of every name a formula may use here.
std::vector<std::string> NameKeys(const KnownNames& names,
                                  const std::vector<std::string>& more = {}) {
    std::vector<std::string> keys;
    for (const auto* list : {&names.declared, &names.earlierRows, &more})
        for (const std::string& name : *list)
            if (std::optional<std::string> key = NameKey(name))
                keys.push_back(*std::move(key));
    return keys;
}

bool IsAName(std::string_view symbol, const std::vector<std::string>& keys) {
    const std::optional<std::string> key = NameKey(symbol);
    return key && (IsConstantName(*key) || std::find(keys.begin(), keys.end(), *key) != keys.end());
}

// Whether a byte belongs to a name, so that a unit cannot start right after it.
bool IsNamePart(unsigned char c) {
    return IsNameLetter(c) || c == '_' || c == '!' || c == '~' || c == kDegreeSign;
}

bool StartsUnit(unsigned char c) {
    return IsNameLetter(c) || c == kDegreeSign;
}

// The text split before a unit at its end: the first split (the longest unit) whose unit is
// in the table and whose rest reads; failing that, a split at a word that is no unit after
// a number, a bracket or a space, whose rest reads without a problem. `lastSpaceOnly`: only a
// unit after the text's last space.
std::optional<QuantityRead> Split(std::string_view text, const KnownNames& names,
                                  const std::vector<std::string>& keys, bool lastSpaceOnly) {
    std::optional<QuantityRead> unknownUnit;
    std::size_t from = 1;
    if (lastSpaceOnly) {
        const std::size_t space = text.rfind(' ');
        if (space == std::string_view::npos)
            return std::nullopt;
        from = space + 1;
    }
    for (std::size_t at = from; at < text.size(); ++at) {
        const auto before = static_cast<unsigned char>(text[at - 1]);
        if (!StartsUnit(static_cast<unsigned char>(text[at])) || IsNamePart(before))
            continue;
        std::optional<UnitRead> unit = ReadUnit(text.substr(at));
        if (!unit || std::any_of(unit->symbols.begin(), unit->symbols.end(),
                                 [&](const std::string& s) { return IsAName(s, keys); }))
            continue;
        std::string_view rest = TrimmedRight(text.substr(0, at));
        if (unit->unit) {
            if (!rest.empty() &&
                (rest.back() == '*' || static_cast<unsigned char>(rest.back()) == kMiddleDot))
                rest = TrimmedRight(rest.substr(0, rest.size() - 1));
            if (rest.empty())
                continue;
            ReadResult read = Read(rest, names);
            if (!read.formula)
                continue;
            return QuantityRead{std::move(read), std::move(unit->unit), {}};
        }
        if (unknownUnit || lastSpaceOnly || rest.empty())
            continue;
        const char last = rest.back();
        if (!(last >= '0' && last <= '9') && last != ')' && before != ' ')
            continue;
        ReadResult read = Read(rest, names);
        if (read.Accepted())
            unknownUnit = QuantityRead{std::move(read), std::nullopt, UnknownUnitText(*unit)};
    }
    return unknownUnit;
}

} // namespace

QuantityRead ReadAnswerQuantity(std::string_view cp1251Text, const KnownNames& names,
                                const std::vector<std::string>& notUnits) {
    const std::string_view text = TrimmedRight(cp1251Text);
    std::optional<QuantityRead> split = Split(text, names, NameKeys(names, notUnits), false);
    if (split && split->unit)
        return *std::move(split);
    QuantityRead whole{Read(cp1251Text, names), std::nullopt, {}};
    if (whole.read.Accepted() || !split)
        return whole;
    return *std::move(split);
}

QuantityRead ReadReferenceQuantity(std::string_view cp1251Text, const KnownNames& names) {
    const std::string_view text = TrimmedRight(cp1251Text);
    const std::vector<std::string> keys = NameKeys(names);
    if (std::optional<QuantityRead> spaced = Split(text, names, keys, true);
        spaced && spaced->read.Accepted())
        return *std::move(spaced);
    QuantityRead whole{Read(cp1251Text, names), std::nullopt, {}};
    if (whole.read.Accepted())
        return whole;
    if (std::optional<QuantityRead> split = Split(text, names, keys, false);
        split && split->unit && split->read.Accepted())
        return *std::move(split);
    return whole;
}

std::string QuantityReadingText(const QuantityRead& quantity, const Unit* rowUnit,
                                TextStyle style) {
    if (!quantity.read.formula)
        return {};
    const Formula& formula = *quantity.read.formula;
    std::string out = ReadingText(formula, style);
    const Unit* unit = quantity.unit ? &*quantity.unit : rowUnit;
    if (unit == nullptr)
        return out;
    if (static_cast<unsigned char>(unit->text.front()) != kDegreeSign)
        out += ' ';
    AppendCp1251(out, unit->text, style);
    if (unit->factor == 1 && unit->text == unit->siText)
        return out;
    // The SI value of a number (constants such as pi allowed).
    std::vector<double> values;
    for (const std::string& key : formula.names) {
        if (!IsConstantName(key))
            return out;
        values.push_back(ConstantValue(key));
    }
    const Value value = Evaluate(formula, values);
    if (value.error != nullptr)
        return out;
    out += " = " + ShortNumber(value.value * unit->factor) + " ";
    AppendCp1251(out, unit->siText, style);
    return out;
}

} // namespace answers
