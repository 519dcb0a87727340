#include "app/AnswerReading.h"

#include "answers/Quantity.h"
#include "answers/Read.h"
#include "platform/Cp1251.h"

namespace {

// Said after the reading when a sine or cosine is given what looks like degrees.
const char* const kRadiansHint = " — угол в радианах?";

} // namespace

namespace {

// An answer in a row with a unit.
AnswerReading ReadQuantityRow(std::string_view cp1251Answer, const RowNames& names) {
    const std::optional<answers::UnitRead> rowUnit = answers::ReadUnit(names.unit);
    answers::QuantityRead quantity =
        answers::ReadAnswerQuantity(cp1251Answer, {names.declared, names.earlierRows});
    AnswerReading reading;
    if (!quantity.unitProblem.empty()) {
        reading.kind = AnswerReading::Kind::UnknownName;
        reading.line = quantity.unitProblem;
        reading.refusal = platform::Utf8ToCp1251(quantity.unitProblem);
        return reading;
    }
    if (!quantity.read.problem || (!names.namesDeclared && quantity.read.formula)) {
        reading.kind = AnswerReading::Kind::Read;
        reading.line = answers::QuantityReadingText(
            quantity, rowUnit && rowUnit->unit ? &*rowUnit->unit : nullptr);
        reading.formula = std::move(quantity.read.formula);
        if (quantity.unit)
            reading.unit = quantity.unit->text;
        return reading;
    }
    const answers::Problem& problem = *quantity.read.problem;
    if (problem.code == answers::Problem::Code::Empty)
        return reading;
    reading.kind = answers::IsUnreadable(problem) ? AnswerReading::Kind::Unreadable
                                                  : AnswerReading::Kind::UnknownName;
    reading.line = answers::Describe(problem, answers::TextStyle::Unicode);
    reading.refusal = answers::Describe(problem, answers::TextStyle::Cp1251Words);
    return reading;
}

} // namespace

AnswerReading ReadAnswerRow(std::string_view cp1251Answer, const RowNames& names) {
    if (!names.unit.empty())
        return ReadQuantityRow(cp1251Answer, names);
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
