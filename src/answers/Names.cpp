// Names as keys, the constants, and a name key as the reading writes it.

#include "answers/Read.h"
#include "answers/Tokens.h"

namespace answers {

namespace {

struct Constant {
    const char* key;
    double value;
};

constexpr Constant kConstants[] = {
    {"pi", 3.141592653589793},
    {"Pi", 3.141592653589793},
    {"PI", 3.141592653589793},
    {"~p", 3.141592653589793},
    {"g", 9.81},
};

void AppendLetters(std::string& out, std::string_view letters, TextStyle style) {
    for (std::size_t k = 0; k < letters.size(); ++k) {
        if (letters[k] == '~' && k + 1 < letters.size()) {
            AppendGreek(out, letters[++k], style);
            continue;
        }
        AppendCp1251(out, letters.substr(k, 1), style);
    }
}

} // namespace

bool IsConstantName(std::string_view key) {
    for (const Constant& constant : kConstants)
        if (key == constant.key)
            return true;
    return false;
}

double ConstantValue(std::string_view key) {
    for (const Constant& constant : kConstants)
        if (key == constant.key)
            return constant.value;
    return 0;
}

std::optional<std::string> NameKey(std::string_view cp1251Name) {
    const auto tokens = Tokenize(cp1251Name);
    const auto* list = std::get_if<std::vector<Token>>(&tokens);
    if (list == nullptr)
        return std::nullopt;
    // One word, perhaps followed by the "@" that returns from its subscript.
    if (list->empty() || list->front().kind != Token::Kind::Word ||
        list->at(1).kind != Token::Kind::End)
        return std::nullopt;
    const Token& word = list->front();
    return word.index.empty() ? word.text : word.text + "!" + word.index;
}

std::string NameText(std::string_view key, TextStyle style) {
    std::string out;
    const std::size_t bang = key.find('!');
    AppendLetters(out, key.substr(0, bang), style);
    if (bang != std::string_view::npos) {
        out += '_';
        AppendLetters(out, key.substr(bang + 1), style);
    }
    return out;
}

} // namespace answers
