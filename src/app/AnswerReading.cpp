#include "app/AnswerReading.h"

#include "answers/Read.h"

namespace {

// Said after the reading when a sine or cosine is given what looks like degrees.
const char* const kRadiansHint = " — угол в радианах?";

} // namespace

AnswerReading ReadAnswerRow(std::string_view cp1251Answer, const RowNames& names) {
    answers::ReadResult result = answers::Read(cp1251Answer, names.declared, names.earlierRows);
    AnswerReading reading;
    if (!result.problem || (!names.namesDeclared && result.formula)) {
        reading.kind = AnswerReading::Kind::Read;
        reading.line = answers::ReadingText(*result.formula);
        if (answers::AngleLooksLikeDegrees(*result.formula))
            reading.line += kRadiansHint;
        reading.formula = std::move(result.formula);
        return reading;
    }
    const answers::Problem& problem = *result.problem;
    if (problem.code == answers::Problem::Code::Empty)
        return reading;
    reading.kind = answers::IsUnreadable(problem) ? AnswerReading::Kind::Unreadable
                                                  : AnswerReading::Kind::UnknownName;
    reading.line = answers::Describe(problem, answers::TextStyle::Unicode);
    reading.refusal = answers::Describe(problem, answers::TextStyle::Cp1251Words);
    return reading;
}
