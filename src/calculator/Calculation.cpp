#include "calculator/Calculation.h"

#include "answers/Evaluate.h"
#include "answers/NotationText.h"
#include "answers/Read.h"
#include "engine/Expression.h"
#include "platform/Convert.h"
#include "platform/Cp1251.h"

#include <algorithm>
#include <charconv>
#include <iterator>
#include <vector>

namespace calculator {

namespace {

// A number as the engine reads it: all its digits, no exponent, the system's separator.
std::string PlainNumber(double value) {
    char digits[400];
    const auto [end, ec] =
        std::to_chars(std::begin(digits), std::end(digits), value, std::chars_format::fixed);
    std::string text(digits, ec == std::errc() ? end : digits);
    std::replace(text.begin(), text.end(), '.', platform::DecimalChar());
    return "(" + text + ")";
}

// Rewrites the read formula in place into what the engine reads alike; false when a part
// of it has no value (the engine then says why, from the text as typed).
bool SpellForTheEngine(answers::Formula& formula) {
    std::vector<double> values;
    bool constantsOnly = true; // else the engine names what it does not know
    for (const std::string& name : formula.names) {
        constantsOnly = constantsOnly && answers::IsConstantName(name);
        values.push_back(answers::ConstantValue(name));
    }
    const std::size_t count = formula.nodes.size();
    for (std::size_t index = 0; index < count; ++index) {
        answers::Node& node = formula.nodes[index];
        // A number in exponent form, as the calculator prints its results.
        // An angle in degrees goes in radians.
        if (node.kind == answers::NodeKind::Number &&
            (node.text.find_first_of("eE") != std::string::npos || node.text.back() == '\xB0'))
            node.text = PlainNumber(node.value);
        if (node.kind != answers::NodeKind::Power)
            continue;
        // The engine's superscript holds no second level and no sign: each exponent that
        // is more than a number or a name goes as its value, so a chain is read from the
        // right.
        const std::vector<std::uint32_t> children = node.children; // nodes grow below
        for (std::size_t k = 1; k < children.size(); ++k) {
            const answers::NodeKind kind = formula.nodes[children[k]].kind;
            if (kind == answers::NodeKind::Name || kind == answers::NodeKind::Number)
                continue;
            if (!constantsOnly)
                return false;
            answers::Formula exponent = formula;
            exponent.root = children[k];
            const answers::Value value = answers::Evaluate(exponent, values);
            if (value.error != nullptr)
                return false;
            answers::Node number;
            number.kind = answers::NodeKind::Number;
            number.value = value.value;
            number.text = PlainNumber(value.value);
            formula.nodes.push_back(number);
            formula.nodes[index].children[k] = static_cast<std::uint32_t>(formula.nodes.size() - 1);
        }
    }
    return true;
}

} // namespace

std::string EngineText(std::string_view formula) {
    const answers::ReadResult read = answers::Read(formula, answers::KnownNames{});
    if (!read.formula) // unreadable: the engine says where
        return std::string(formula);
    answers::Formula translated = *read.formula;
    if (!SpellForTheEngine(translated))
        return std::string(formula);
    return answers::NotationText(translated);
}

namespace {

Calculation Failure(const EngineError& error) {
    Calculation failed;
    failed.errorText = error.text;
    failed.missingName = error.missingName;
    return failed;
}

} // namespace

Calculation Calculate(Expression& packet, std::string_view formula) {
    // A bracket error, an empty operand, brackets nested too deep.
    if (const EngineError error = packet.SetFormula(EngineText(formula)); !error.ok())
        return Failure(error);
    // The calculator's results are exact to nine places.
    EngineResult result = packet.Evaluate(kClientEpsilon);
    if (result.error.Unreadable()) { // a malformed number stops the evaluation
        result.error = EngineError{};
        result.error.text = platform::Utf8ToCp1251("Переполнение буфера...");
    }
    if (!result.ok())
        return Failure(result.error);
    Calculation done;
    done.shown = true;
    done.resultText = platform::FloatToStr(result.value);
    return done;
}

std::string WithoutLastCharacter(std::string formula) {
    if (!formula.empty())
        formula.pop_back();
    return formula;
}

} // namespace calculator
