#include "app/AnswerReading.h"

#include "answers/Read.h"

AnswerReading ReadAnswerRow(std::string_view cp1251Answer, const RowNames& names) {
    const answers::ReadResult result =
        answers::Read(cp1251Answer, names.declared, names.earlierRows);
    AnswerReading reading;
    if (!result.problem) {
        reading.kind = AnswerReading::Kind::Read;
        reading.line = answers::ReadingText(*result.formula);
        return reading;
    }
    const answers::Problem& problem = *result.problem;
    if (problem.code == answers::Problem::Code::Empty)
        return reading;
    if (!answers::IsUnreadable(problem)) {
        if (!names.namesDeclared && result.formula) {
            reading.kind = AnswerReading::Kind::Read;
            reading.line = answers::ReadingText(*result.formula);
            return reading;
        }
        reading.kind = AnswerReading::Kind::UnknownName;
        reading.line = answers::Describe(problem, answers::TextStyle::Unicode);
        return reading;
    }
    reading.kind = AnswerReading::Kind::Unreadable;
    reading.line = answers::Describe(problem, answers::TextStyle::Unicode);
    reading.refusal = answers::Describe(problem, answers::TextStyle::Cp1251Words);
    return reading;
}
