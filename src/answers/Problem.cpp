#include "answers/Problem.h"

#include "answers/Read.h"

namespace answers {

namespace {

const char* What(Problem::Code code) {
    using Code = Problem::Code;
    switch (code) {
    case Code::Empty:
        return "нет ответа";
    case Code::TooLong:
        return "ответ слишком длинный";
    case Code::TooDeep:
        return "слишком много вложенных скобок";
    case Code::MissingClose:
        return "не хватает закрывающей скобки";
    case Code::MissingOpen:
        return "лишняя закрывающая скобка";
    case Code::EmptyBrackets:
        return "пустые скобки";
    case Code::MissingOperand:
        return "не хватает числа или обозначения";
    case Code::MissingOperator:
        return "не хватает знака действия";
    case Code::BadNumber:
        return "число записано неверно";
    case Code::BadCharacter:
        return "недопустимый знак";
    case Code::BadGreek:
        return "после ~ нужна латинская буква";
    case Code::IndexWithoutName:
        return "индекс без обозначения";
    case Code::FunctionBracket:
        return "после имени функции нужна скобка";
    case Code::UnknownName:
        return "нет такого обозначения";
    }
    return "";
}

// The suggestion "m*g" with each name as the reading writes it.
std::string SuggestionText(const std::string& keys, TextStyle style) {
    std::string out;
    std::size_t start = 0;
    for (std::size_t star; (star = keys.find('*', start)) != std::string::npos; start = star + 1)
        out += NameText(keys.substr(start, star - start), style) + "*";
    return out + NameText(keys.substr(start), style);
}

} // namespace

bool IsUnreadable(const Problem& problem) {
    return problem.code != Problem::Code::UnknownName;
}

std::string Describe(const Problem& problem, TextStyle style) {
    std::string out;
    if (problem.code == Problem::Code::UnknownName) {
        out = NameText(problem.subject, style) + ": ";
        AppendWords(out, What(problem.code), style);
        if (!problem.suggestion.empty()) {
            AppendWords(out, "; возможно, ", style);
            out += SuggestionText(problem.suggestion, style) + "?";
        }
        return out;
    }
    AppendWords(out, What(problem.code), style);
    if (problem.code == Problem::Code::FunctionBracket)
        AppendCp1251(out, ": " + problem.subject, style);
    if (problem.code != Problem::Code::Empty && problem.code != Problem::Code::TooLong)
        AppendWords(out, " (знак " + std::to_string(problem.position + 1) + ")", style);
    return out;
}

} // namespace answers
