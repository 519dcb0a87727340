#include "answers/Units.h"

#include "platform/Cp1251.h"

#include <array>
#include <charconv>
#include <cmath>
#include <numbers>
#include <vector>

namespace answers {

namespace {

constexpr Dimension kLength{1, 0, 0, 0};
constexpr Dimension kMass{0, 1, 0, 0};
constexpr Dimension kTime{0, 0, 1, 0};
constexpr Dimension kAngle{0, 0, 0, 1};
constexpr Dimension kForce{1, 1, -2, 0};
constexpr Dimension kPressure{-1, 1, -2, 0};
constexpr Dimension kEnergy{2, 1, -2, 0};
constexpr Dimension kPower{2, 1, -3, 0};
constexpr Dimension kFrequency{0, 0, -1, 0};
constexpr Dimension kTurnRate{0, 0, -1, 1};

struct Symbol {
    const char* utf8;
    double factor;
    Dimension dimension;
    const char* siUtf8; // the SI unit it is a multiple of
};

constexpr double kDegree = std::numbers::pi / 180;
constexpr double kTurn = 2 * std::numbers::pi;

// The course's units, Cyrillic and Latin.
constexpr std::array<Symbol, 50> kSymbols = {{
    {"м", 1, kLength, "м"},
    {"см", 1e-2, kLength, "м"},
    {"мм", 1e-3, kLength, "м"},
    {"км", 1e3, kLength, "м"},
    {"с", 1, kTime, "с"},
    {"мин", 60, kTime, "с"},
    {"ч", 3600, kTime, "с"},
    {"кг", 1, kMass, "кг"},
    {"г", 1e-3, kMass, "кг"},
    {"т", 1e3, kMass, "кг"},
    {"Н", 1, kForce, "Н"},
    {"кН", 1e3, kForce, "Н"},
    {"МН", 1e6, kForce, "Н"},
    {"Па", 1, kPressure, "Па"},
    {"кПа", 1e3, kPressure, "Па"},
    {"МПа", 1e6, kPressure, "Па"},
    {"ГПа", 1e9, kPressure, "Па"},
    {"Дж", 1, kEnergy, "Дж"},
    {"кДж", 1e3, kEnergy, "Дж"},
    {"Вт", 1, kPower, "Вт"},
    {"кВт", 1e3, kPower, "Вт"},
    {"рад", 1, kAngle, "рад"},
    {"°", kDegree, kAngle, "рад"},
    {"об", kTurn, kAngle, "рад"},
    {"Гц", 1, kFrequency, "Гц"},
    {"m", 1, kLength, "m"},
    {"cm", 1e-2, kLength, "m"},
    {"mm", 1e-3, kLength, "m"},
    {"km", 1e3, kLength, "m"},
    {"s", 1, kTime, "s"},
    {"min", 60, kTime, "s"},
    {"h", 3600, kTime, "s"},
    {"kg", 1, kMass, "kg"},
    {"t", 1e3, kMass, "kg"},
    {"N", 1, kForce, "N"},
    {"kN", 1e3, kForce, "N"},
    {"MN", 1e6, kForce, "N"},
    {"Pa", 1, kPressure, "Pa"},
    {"kPa", 1e3, kPressure, "Pa"},
    {"MPa", 1e6, kPressure, "Pa"},
    {"GPa", 1e9, kPressure, "Pa"},
    {"J", 1, kEnergy, "J"},
    {"kJ", 1e3, kEnergy, "J"},
    {"W", 1, kPower, "W"},
    {"kW", 1e3, kPower, "W"},
    {"rad", 1, kAngle, "rad"},
    {"deg", kDegree, kAngle, "rad"},
    {"rpm", kTurn / 60, kTurnRate, "rad/s"},
    {"Hz", 1, kFrequency, "Hz"},
    {"rev", kTurn, kAngle, "rad"},
}};

// The table in CP1251, made once.
struct Cp1251Symbol {
    std::string text;
    std::string si;
    const Symbol* symbol;
};

const std::vector<Cp1251Symbol>& Table() {
    static const std::vector<Cp1251Symbol> table = [] {
        std::vector<Cp1251Symbol> made;
        for (const Symbol& symbol : kSymbols)
            made.push_back({platform::Utf8ToCp1251(symbol.utf8),
                            platform::Utf8ToCp1251(symbol.siUtf8), &symbol});
        return made;
    }();
    return table;
}

const Cp1251Symbol* Find(std::string_view text) {
    for (const Cp1251Symbol& entry : Table())
        if (entry.text == text)
            return &entry;
    return nullptr;
}

constexpr unsigned char kDegreeSign = 0xB0;
constexpr unsigned char kMiddleDot = 0xB7;

bool IsSymbolByte(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c >= 0xC0 || c == 0xA8 ||
           c == 0xB8 || c == kDegreeSign;
}

// Latin letters and the Cyrillic ones drawn the same, in CP1251.
constexpr std::array<std::pair<char, unsigned char>, 20> kLookAlikes = {{
    {'A', 0xC0}, {'B', 0xC2}, {'C', 0xD1}, {'E', 0xC5}, {'H', 0xCD}, {'K', 0xCA}, {'M', 0xCC},
    {'O', 0xCE}, {'P', 0xD0}, {'T', 0xD2}, {'X', 0xD5}, {'a', 0xE0}, {'c', 0xF1}, {'e', 0xE5},
    {'k', 0xEA}, {'m', 0xEC}, {'o', 0xEE}, {'p', 0xF0}, {'x', 0xF5}, {'y', 0xF3},
}};

std::string AllIn(std::string_view text, bool cyrillic) {
    std::string out(text);
    for (char& c : out)
        for (const auto& [latin, russian] : kLookAlikes) {
            if (cyrillic && c == latin)
                c = static_cast<char>(russian);
            else if (!cyrillic && static_cast<unsigned char>(c) == russian)
                c = latin;
        }
    return out;
}

Dimension Scaled(const Dimension& d, int power) {
    return {d.length * power, d.mass * power, d.time * power, d.angle * power};
}

Dimension Plus(const Dimension& a, const Dimension& b) {
    return {a.length + b.length, a.mass + b.mass, a.time + b.time, a.angle + b.angle};
}

struct Kind {
    Dimension dimension;
    const char* name;
    const char* wanted; // "нужна", "нужен", "нужно"
};

constexpr std::array<Kind, 18> kKinds = {{
    {kLength, "длина", "нужна"},
    {kMass, "масса", "нужна"},
    {kTime, "время", "нужно"},
    {kAngle, "угол", "нужен"},
    {kForce, "сила", "нужна"},
    {kPressure, "давление", "нужно"},
    {kEnergy, "работа или момент", "нужен"},
    {kPower, "мощность", "нужна"},
    {kFrequency, "частота", "нужна"},
    {kTurnRate, "угловая скорость", "нужна"},
    {{0, 0, -2, 1}, "угловое ускорение", "нужно"},
    {{1, 0, -1, 0}, "скорость", "нужна"},
    {{1, 0, -2, 0}, "ускорение", "нужно"},
    {{0, 1, -2, 0}, "погонная нагрузка", "нужна"},
    {{2, 0, 0, 0}, "площадь", "нужна"},
    {{3, 0, 0, 0}, "объём", "нужен"},
    {{1, 1, -1, 0}, "импульс", "нужен"},
    {{0, 0, 0, 0}, "безразмерное число", "нужно"},
}};

const Kind* KindOf(const Dimension& dimension) {
    for (const Kind& kind : kKinds)
        if (kind.dimension == dimension)
            return &kind;
    return nullptr;
}

// The ways one symbol is joined to the next.
bool IsJoin(unsigned char c) {
    return c == '*' || c == '/' || c == kMiddleDot;
}

} // namespace

std::optional<UnitRead> ReadUnit(std::string_view text) {
    UnitRead read;
    Unit unit;
    unit.text = std::string(text);
    std::size_t at = 0;
    char join = '*';
    auto skipSpaces = [&] {
        while (at < text.size() && text[at] == ' ')
            ++at;
    };
    skipSpaces();
    if (at == text.size())
        return std::nullopt;
    while (at < text.size()) {
        const std::size_t start = at;
        while (at < text.size() && IsSymbolByte(static_cast<unsigned char>(text[at])))
            ++at;
        if (at == start)
            return std::nullopt;
        const std::string_view symbol = text.substr(start, at - start);
        int power = 1;
        std::string powerText;
        if (at < text.size() && text[at] == '^') {
            ++at;
            const std::size_t digits = at;
            if (at < text.size() && text[at] == '-')
                ++at;
            while (at < text.size() && text[at] >= '0' && text[at] <= '9')
                ++at;
            powerText = std::string(text.substr(digits - 1, at - digits + 1));
            const auto [end, error] =
                std::from_chars(text.data() + digits, text.data() + at, power);
            if (error != std::errc() || end != text.data() + at || power == 0 || power > 9 ||
                power < -9)
                return std::nullopt;
        }
        read.symbols.emplace_back(symbol);
        if (const Cp1251Symbol* found = Find(symbol)) {
            const int signedPower = join == '/' ? -power : power;
            unit.factor *= std::pow(found->symbol->factor, signedPower);
            unit.dimension = Plus(unit.dimension, Scaled(found->symbol->dimension, signedPower));
            if (!unit.siText.empty())
                unit.siText += join == '/' ? "/" : "\xB7";
            unit.siText += found->si + powerText;
        } else if (read.unknown.empty()) {
            read.unknown = std::string(symbol);
            for (bool cyrillic : {true, false})
                if (read.meant.empty() && Find(AllIn(symbol, cyrillic)))
                    read.meant = AllIn(symbol, cyrillic);
        }
        skipSpaces();
        if (at == text.size())
            break;
        if (!IsJoin(static_cast<unsigned char>(text[at])))
            return std::nullopt;
        join = text[at] == '/' ? '/' : '*';
        ++at;
        skipSpaces();
        if (at == text.size())
            return std::nullopt;
    }
    if (read.unknown.empty())
        read.unit = std::move(unit);
    return read;
}

std::string UnknownUnitText(const UnitRead& read) {
    if (!read.meant.empty()) {
        // The first letter that differs is the one in the wrong alphabet.
        std::size_t k = 0;
        while (k < read.meant.size() && read.meant[k] == read.unknown[k])
            ++k;
        return platform::Cp1251ToUtf8(read.meant.substr(k, 1)) + " — русская или латинская?";
    }
    return platform::Cp1251ToUtf8(read.unknown) + ": нет такой единицы";
}

std::string DimensionMismatchText(const Unit& given, const Unit& wanted) {
    const Kind* givenKind = KindOf(given.dimension);
    const Kind* wantedKind = KindOf(wanted.dimension);
    const std::string givenText = platform::Cp1251ToUtf8(given.text);
    std::string text =
        givenText + (givenKind != nullptr ? std::string(" — ") + givenKind->name + ", а "
                                          : std::string(" не подходит: "));
    if (wantedKind != nullptr)
        return text + wantedKind->wanted + " " + wantedKind->name;
    return text + "нужны единицы вида " + platform::Cp1251ToUtf8(wanted.siText);
}

std::string ShortNumber(double value) {
    char buffer[32];
    const auto [end, error] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 6);
    if (error != std::errc())
        return "?";
    std::string text(buffer, end);
    std::string out;
    for (std::size_t k = 0; k < text.size(); ++k) {
        const char c = text[k];
        if (c == '.') {
            out += ',';
        } else if (c == 'e') {
            out += 'E';
            std::size_t digits = k + 1;
            if (text[digits] == '-')
                out += '-';
            if (text[digits] == '-' || text[digits] == '+')
                ++digits;
            while (digits + 1 < text.size() && text[digits] == '0')
                ++digits;
            out += text.substr(digits);
            break;
        } else {
            out += c;
        }
    }
    return out;
}

} // namespace answers
