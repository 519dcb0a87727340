#include "answers/TextStyle.h"

#include "platform/Cp1251.h"
#include "platform/SymbolFont.h"

namespace answers {

namespace {

// The key typed after the Greek prefix becomes this Symbol-font character: six lowercase
// keys are moved so that the letter on the key is the one the student gets.
char SymbolCharacter(char key) {
    switch (key) {
    case 'f':
        return 'j';
    case 'j':
        return 'q';
    case 'q':
        return 'x';
    case 'u':
        return 'y';
    case 'x':
        return 'c';
    case 'y':
        return 'u';
    default:
        return key;
    }
}

// The Russian names of the Greek letters of the Symbol font's Latin keys, small letters
// first ("a" alpha ... "z" zeta); the capitals take the same name with a capital.
constexpr const char* kLetterNames[26] = {
    "альфа", "бета",  "хи",      "дельта", "эпсилон", "фи",      "гамма", "эта",  "йота",
    "фи",    "каппа", "лямбда",  "мю",     "ню",      "омикрон", "пи",    "тета", "ро",
    "сигма", "тау",   "ипсилон", "пи",     "омега",   "кси",     "пси",   "дзета"};

constexpr const char* kCapitalNames[26] = {
    "Альфа", "Бета",  "Хи",      "Дельта", "Эпсилон", "Фи",      "Гамма", "Эта",  "Йота",
    "Тета",  "Каппа", "Лямбда",  "Мю",     "Ню",      "Омикрон", "Пи",    "Тета", "Ро",
    "Сигма", "Тау",   "Ипсилон", "Сигма",  "Омега",   "Кси",     "Пси",   "Дзета"};

} // namespace

void AppendCp1251(std::string& out, std::string_view cp1251, TextStyle style) {
    if (style == TextStyle::Unicode)
        out += platform::Cp1251ToUtf8(cp1251);
    else
        out += cp1251;
}

void AppendWords(std::string& out, std::string_view utf8, TextStyle style) {
    if (style == TextStyle::Unicode)
        out += utf8;
    else
        out += platform::Utf8ToCp1251(utf8);
}

void AppendGreek(std::string& out, char key, TextStyle style) {
    const char symbol = SymbolCharacter(key);
    if (style == TextStyle::Unicode) {
        out += platform::SymbolTextToUtf8(std::string_view(&symbol, 1));
        return;
    }
    // The name of the letter the student sees, found from the Symbol character.
    if (symbol >= 'a' && symbol <= 'z')
        AppendWords(out, kLetterNames[symbol - 'a'], style);
    else if (symbol >= 'A' && symbol <= 'Z')
        AppendWords(out, kCapitalNames[symbol - 'A'], style);
    else
        out += symbol;
}

void AppendProductSign(std::string& out, TextStyle style) {
    AppendWords(out, "·", style);
}

} // namespace answers
