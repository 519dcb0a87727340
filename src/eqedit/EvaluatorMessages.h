#pragma once

#include "platform/Result.h"

#include <cstddef>
#include <string>

// The messages of the formula editor's evaluator, as CP1251 text. Positions are
// 1-based, as the user counts characters of a formula.
namespace eqedit::messages {

std::string SuperscriptUnbound(std::size_t position);
std::string SubscriptUnbound(std::size_t position);
std::string MisplacedBracket(std::size_t position);
std::string NotANumber(const std::string& operand);

const std::string& PowerFault();
const std::string& PowerInfinite(); // the positive-infinity power of a bracket
const std::string& ProductFault();
const std::string& QuotientFault();
const std::string& SumFault();
const std::string& DifferenceFault();

std::string ArcsineDomain(const std::string& argument);
std::string ArccosineDomain(const std::string& argument);
const std::string& CotangentByZero();
const std::string& TangentByZero();
std::string NaturalLogDomain(const std::string& argument);
std::string DecimalLogDomain(const std::string& argument);
std::string SquareRootDomain(const std::string& argument);
const std::string& SecantByZero();
const std::string& CosecantByZero();
const std::string& SinhOverflow();
const std::string& CoshOverflow();
const std::string& HyperbolicCotangentByZero();
std::string UnknownFunction(const std::string& name);

std::string MissingOpeningBracket(const std::string& text);
std::string MissingClosingBracket(const std::string& text);

const std::string& EmptyFormula();
const std::string& ExponentMoreOpening();
const std::string& ExponentMoreClosing();
std::string ComparisonFailed(const std::string& message);

} // namespace eqedit::messages

namespace eqedit {

// A failure of the evaluator: one of these messages. It has no code and no position of its
// own; the message says where, as the user counts.
inline platform::Failure Failed(const std::string& message) {
    return platform::Failure{message};
}

} // namespace eqedit
