#include "answers/TypicalMistakes.h"

#include <array>
#include <utility>

namespace answers {

namespace {

using Code = Hint::Code;

// The codes with no power, as written.
constexpr std::array<std::pair<Code, const char*>, 8> kPlainCodes = {{
    {Code::Sign, "sign"},
    {Code::Factor2, "factor 2"},
    {Code::FactorHalf, "factor 1/2"},
    {Code::Reciprocal, "reciprocal"},
    {Code::SinCos, "sincos"},
    {Code::Degrees, "degrees"},
    {Code::Radians, "radians"},
    {Code::Dimension, "dimension"},
}};

constexpr std::array<int, 8> kPowers = {1, -1, 2, -2, 3, -3, 6, -6};

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

std::string TimesTen(int power) {
    std::string number = "1";
    for (int k = 0; k < (power < 0 ? -power : power); ++k)
        number += '0';
    return number;
}

} // namespace

std::string HintCode(const Hint& hint) {
    if (hint.code == Code::Power10)
        return "power10 " + std::to_string(hint.power);
    for (const auto& [code, text] : kPlainCodes)
        if (code == hint.code)
            return text;
    return {};
}

std::optional<Hint> ReadHintCode(std::string_view text) {
    text = Trimmed(text);
    for (const auto& [code, written] : kPlainCodes)
        if (text == written)
            return Hint{code, 0};
    for (int power : kPowers)
        if (text == HintCode(Hint{Code::Power10, power}))
            return Hint{Code::Power10, power};
    return std::nullopt;
}

std::string HintMessage(const Hint& hint, TextStyle style) {
    std::string out;
    switch (hint.code) {
    case Code::None:
        break;
    case Code::Sign:
        AppendWords(out, "похоже, ошибка в знаке", style);
        break;
    case Code::Power10:
        AppendWords(out,
                    "в " + TimesTen(hint.power) + (hint.power > 0 ? " раз больше" : " раз меньше") +
                        ": проверьте единицы",
                    style);
        break;
    case Code::Factor2:
        AppendWords(out, "вдвое больше: не потерян ли множитель 1/2?", style);
        break;
    case Code::FactorHalf:
        AppendWords(out, "вдвое меньше: не потерян ли множитель 2?", style);
        break;
    case Code::Reciprocal:
        AppendWords(out, "похоже, перевёрнута дробь", style);
        break;
    case Code::SinCos:
        AppendWords(out, "похоже, перепутаны sin и cos", style);
        break;
    case Code::Degrees:
        AppendWords(out, "похоже, угол в градусах взят как радианы", style);
        break;
    case Code::Radians:
        AppendWords(out, "похоже, угол в радианах взят как градусы", style);
        break;
    case Code::Dimension:
        AppendWords(out, "не та величина: проверьте единицы", style);
        break;
    }
    return out;
}

} // namespace answers
