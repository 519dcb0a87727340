#include "answers/Judge.h"

#include "answers/Evaluate.h"
#include "answers/Quantity.h"
#include "answers/SignificantFigures.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <map>
#include <numbers>

namespace answers {

namespace {

// Points drawn at most before a reference is taken as having no usable value.
constexpr int kMaxDraws = 400;

// A small generator whose sequence is the same on every platform and library.
class TrialPoints {
public:
    explicit TrialPoints(std::uint64_t seed) : state_(seed) {}

    double Between(double low, double high) {
        const double unit = static_cast<double>(Next() >> 11) * 0x1.0p-53;
        return low + unit * (high - low);
    }

private:
    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    std::uint64_t state_;
};

void Mix(std::uint64_t& hash, std::string_view bytes) {
    for (unsigned char c : bytes)
        hash = (hash ^ c) * 0x100000001B3ull;
    hash = (hash ^ 0xFF) * 0x100000001B3ull;
}

std::uint64_t Seed(std::string_view reference, const std::map<std::string, DeclaredName>& names) {
    std::uint64_t hash = 0xCBF29CE484222325ull;
    Mix(hash, reference);
    for (const auto& [key, declared] : names) {
        Mix(hash, key);
        Mix(hash, std::to_string(declared.low) + ".." + std::to_string(declared.high));
    }
    return hash;
}

// The values of a formula's names at one point: a declared name its drawn value, a
// constant its own.
std::vector<double> ValuesOf(const Formula& formula, const std::map<std::string, double>& point) {
    std::vector<double> values;
    values.reserve(formula.names.size());
    for (const std::string& key : formula.names) {
        const auto found = point.find(key);
        values.push_back(found != point.end() ? found->second : ConstantValue(key));
    }
    return values;
}

// A point drawn from the declared ranges where the reference has a value.
struct TrialPoint {
    std::map<std::string, double> values;
    Value expected;
};

class Trials {
public:
    // `answerScale`: what one of the answer's units is in the reference's.
    Trials(const Formula& reference, const Formula& answer,
           const std::map<std::string, DeclaredName>& names, std::uint64_t seed,
           const Deadline& deadline, double answerScale = 1)
        : reference_(reference), answer_(answer), names_(names), points_(seed), deadline_(deadline),
          answerScale_(answerScale) {}

    // Fills in the verdict, or the reference's problem.
    void Run(const Tolerance& tolerance, Judgement& judgement) {
        const int wanted = names_.empty() ? 1 : MinTrials;
        std::vector<TrialPoint>& trials = trials_;
        trials.reserve(static_cast<std::size_t>(wanted));
        for (int draw = 0; draw < kMaxDraws && static_cast<int>(trials.size()) < wanted; ++draw) {
            TrialPoint point{Draw(), {}};
            point.expected = Evaluate(reference_, ValuesOf(reference_, point.values), deadline_);
            if (point.expected.error == kOutOfTime || deadline_.Passed())
                return GiveUp(judgement);
            if (point.expected.error == nullptr)
                trials.push_back(std::move(point));
        }
        if (trials.empty()) {
            judgement.referenceProblem = "эталонный ответ не вычисляется";
            return;
        }
        if (static_cast<int>(trials.size()) < wanted) {
            judgement.referenceProblem = kTooFewPoints;
            return;
        }
        Compare(trials, tolerance, judgement);
    }

    // The typical mistake a wrong answer looks like: the reference changed in one of the
    // ways students go wrong agrees with the answer at every trial point.
    Hint FindHint(const Tolerance& tolerance) const {
        std::vector<double> given;
        for (const TrialPoint& point : trials_) {
            if (deadline_.Passed())
                return {};
            const Value value = Evaluate(answer_, ValuesOf(answer_, point.values), deadline_);
            if (value.error != nullptr)
                return {};
            given.push_back(value.value * answerScale_);
        }
        const auto fits = [&](auto changed) {
            for (std::size_t k = 0; k < trials_.size(); ++k) {
                const double expected = changed(trials_[k].expected.value);
                if (!std::isfinite(expected) || expected == 0 ||
                    !WithinTolerance(given[k], expected, tolerance.percent))
                    return false;
            }
            return true;
        };
        if (std::all_of(trials_.begin(), trials_.end(), [](const TrialPoint& point) {
                return IsRoundingZero(point.expected.value, point.expected.scale);
            }))
            return {};
        using Code = Hint::Code;
        if (fits([](double e) { return -e; }))
            return {Code::Sign, 0};
        for (int power : {1, -1, 2, -2, 3, -3, 6, -6})
            if (fits([power](double e) { return e * std::pow(10.0, power); }))
                return {Code::Power10, power};
        if (fits([](double e) { return 2 * e; }))
            return {Code::Factor2, 0};
        if (fits([](double e) { return e / 2; }))
            return {Code::FactorHalf, 0};
        if (fits([](double e) { return 1 / e; }))
            return {Code::Reciprocal, 0};
        constexpr double kDegreesPerRadian = 180 / std::numbers::pi;
        if (ChangedReferenceFits(given, tolerance, Change::SwapSinCos))
            return {Code::SinCos, 0};
        if (fits([](double e) { return e * kDegreesPerRadian; }) ||
            ChangedReferenceFits(given, tolerance, Change::AnglesAsDegrees))
            return {Code::Degrees, 0};
        if (fits([](double e) { return e / kDegreesPerRadian; }) ||
            ChangedReferenceFits(given, tolerance, Change::AnglesAsRadians))
            return {Code::Radians, 0};
        return {};
    }

private:
    enum class Change { SwapSinCos, AnglesAsDegrees, AnglesAsRadians };

    static bool IsTrigonometric(const Node& node) {
        if (node.kind != NodeKind::Call || node.children.empty())
            return false;
        const auto function = static_cast<Function>(node.index);
        return function == Function::Sin || function == Function::Cos ||
               function == Function::Tan || function == Function::Cotan;
    }

    // The reference with its sines and cosines swapped, or the argument of every
    // trigonometric function taken in other units; whether it agrees with the answer at
    // every trial point. False at once for a reference with no such function.
    bool ChangedReferenceFits(const std::vector<double>& given, const Tolerance& tolerance,
                              Change change) const {
        Formula changed = reference_;
        bool any = false;
        const std::size_t count = changed.nodes.size();
        for (std::size_t k = 0; k < count; ++k) {
            if (!IsTrigonometric(changed.nodes[k]))
                continue;
            const auto function = static_cast<Function>(changed.nodes[k].index);
            if (change == Change::SwapSinCos) {
                if (function != Function::Sin && function != Function::Cos)
                    continue;
                changed.nodes[k].index = static_cast<std::uint32_t>(
                    function == Function::Sin ? Function::Cos : Function::Sin);
                any = true;
                continue;
            }
            Node factor;
            factor.kind = NodeKind::Number;
            factor.value =
                change == Change::AnglesAsDegrees ? 180 / std::numbers::pi : std::numbers::pi / 180;
            changed.nodes.push_back(factor);
            Node product;
            product.kind = NodeKind::Product;
            product.children = {changed.nodes[k].children[0],
                                static_cast<std::uint32_t>(changed.nodes.size() - 1)};
            product.ops = "*";
            changed.nodes.push_back(product);
            changed.nodes[k].children[0] = static_cast<std::uint32_t>(changed.nodes.size() - 1);
            any = true;
        }
        if (!any)
            return false;
        for (std::size_t k = 0; k < trials_.size(); ++k) {
            const Value expected =
                Evaluate(changed, ValuesOf(changed, trials_[k].values), deadline_);
            if (expected.error != nullptr || expected.value == 0 ||
                !WithinTolerance(given[k], expected.value, tolerance.percent))
                return false;
        }
        return true;
    }

    // The answer at every trial point: wrong where it disagrees or, at some points only,
    // has no value; not accepted when it has a value at none.
    void Compare(const std::vector<TrialPoint>& trials, const Tolerance& tolerance,
                 Judgement& judgement) {
        std::size_t withoutValue = 0;
        for (const TrialPoint& point : trials) {
            const Value given = Evaluate(answer_, ValuesOf(answer_, point.values), deadline_);
            if (given.error == kOutOfTime)
                return GiveUp(judgement);
            if (given.error != nullptr) {
                if (judgement.valueError == nullptr)
                    judgement.valueError = given.error;
                ++withoutValue;
                continue;
            }
            if (!Agrees(given.value * answerScale_, point.expected, tolerance)) {
                judgement.verdict = Verdict::Wrong;
                judgement.valueError = nullptr;
                return;
            }
        }
        judgement.verdict = withoutValue == trials.size() ? Verdict::NotAccepted
                            : withoutValue > 0            ? Verdict::Wrong
                                                          : Verdict::Right;
    }

    static bool Agrees(double given, const Value& expected, const Tolerance& tolerance) {
        if (IsRoundingZero(expected.value, expected.scale))
            return std::fabs(given) <= tolerance.zero;
        return WithinTolerance(given, expected.value, tolerance.percent);
    }

    void GiveUp(Judgement& judgement) const {
        judgement.verdict = Verdict::NotAccepted;
        judgement.valueError = nullptr;
        judgement.outOfTime = true;
    }

    std::map<std::string, double> Draw() {
        std::map<std::string, double> point;
        for (const auto& [key, declared] : names_)
            point[key] = points_.Between(declared.low, declared.high);
        return point;
    }

    const Formula& reference_;
    const Formula& answer_;
    const std::map<std::string, DeclaredName>& names_;
    TrialPoints points_;
    const Deadline& deadline_;
    double answerScale_ = 1;
    std::vector<TrialPoint> trials_;
};

// A number above 0 and at most `most`, with a decimal comma or point and spaces around it.
std::optional<double> ReadPositive(std::string_view text, double most) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    std::string number(text);
    std::replace(number.begin(), number.end(), ',', '.');
    double value = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (number.empty() || error != std::errc() || end != number.data() + number.size() ||
        !(value > 0) || value > most)
        return std::nullopt;
    return value;
}

} // namespace

std::optional<double> ReadTolerancePercent(std::string_view text) {
    return ReadPositive(text, 100);
}

std::optional<double> ReadZeroTolerance(std::string_view text) {
    return ReadPositive(text, 1e6);
}

std::optional<Tolerance> ReadTolerance(std::string_view text) {
    const std::size_t semicolon = text.find(';');
    const std::optional<double> percent = ReadTolerancePercent(text.substr(0, semicolon));
    if (!percent)
        return std::nullopt;
    Tolerance tolerance;
    tolerance.percent = *percent;
    if (semicolon == std::string_view::npos)
        return tolerance;
    const std::optional<double> zero = ReadZeroTolerance(text.substr(semicolon + 1));
    if (!zero)
        return std::nullopt;
    tolerance.zero = *zero;
    return tolerance;
}

bool WithinTolerance(double value, double reference, double tolerancePercent) {
    constexpr double kBinarySlack = 1e-9;
    return std::fabs(value - reference) <=
           std::fabs(reference) * (tolerancePercent / 100.0 + kBinarySlack);
}

Judgement Judge(std::string_view reference, std::string_view answer,
                const std::vector<DeclaredName>& names, const Tolerance& tolerance,
                const Deadline& deadline) {
    JudgeOptions options;
    options.tolerance = tolerance;
    options.deadline = deadline;
    options.hints = false;
    return JudgeAnswer(reference, answer, names, options);
}

Judgement JudgeAnswer(std::string_view reference, std::string_view answer,
                      const std::vector<DeclaredName>& names, const JudgeOptions& options) {
    const Tolerance& tolerance = options.tolerance;
    const Deadline& deadline = options.deadline;
    Judgement judgement;
    const KnownNames known{NamesOf(names), {}};
    QuantityRead expected = ReadReferenceQuantity(reference, known);
    if (!expected.read.Accepted()) {
        judgement.referenceProblem =
            "эталонный ответ не читается: " + Describe(*expected.read.problem, TextStyle::Unicode);
        return judgement;
    }
    double answerScale = 1;
    if (expected.unit) {
        // Names of earlier rows are never units, though the answer may not use them.
        QuantityRead given = ReadAnswerQuantity(answer, known, options.earlierRows);
        judgement.answer = std::move(given.read);
        judgement.referenceUnit = expected.unit->text;
        if (!given.unitProblem.empty()) {
            judgement.quantityProblem = given.unitProblem;
            return judgement;
        }
        if (!judgement.answer.Accepted())
            return judgement;
        if (given.unit) {
            judgement.answerUnit = given.unit->text;
            if (!(given.unit->dimension == expected.unit->dimension)) {
                judgement.verdict = Verdict::Wrong;
                judgement.hint = {Hint::Code::Dimension, 0};
                judgement.quantityProblem = DimensionMismatchText(*given.unit, *expected.unit);
                return judgement;
            }
            answerScale = given.unit->factor / expected.unit->factor;
        } else if (options.unitsRequired) {
            judgement.quantityProblem = "укажите единицу";
            return judgement;
        } else {
            judgement.answerUnit = expected.unit->text;
            judgement.unitFromReference = true;
        }
    } else {
        judgement.answer = Read(answer, known);
        if (!judgement.answer.Accepted())
            return judgement;
    }
    if (options.significantFigures > 0) {
        const std::optional<int> figures = AnswerFigures(*judgement.answer.formula);
        if (figures && *figures < options.significantFigures) {
            judgement.quantityProblem = "мало значащих цифр: " + std::to_string(*figures) +
                                        ", нужно не меньше " +
                                        std::to_string(options.significantFigures);
            return judgement;
        }
    }
    if (deadline.Passed()) {
        judgement.outOfTime = true;
        return judgement;
    }
    // The names by their keys, so that "v_C" and "v!C" are one name.
    std::map<std::string, DeclaredName> keyed;
    for (const DeclaredName& name : names)
        if (std::optional<std::string> key = NameKey(name.name))
            keyed.emplace(*key, name);
    Trials trials(*expected.read.formula, *judgement.answer.formula, keyed, Seed(reference, keyed),
                  deadline, answerScale);
    trials.Run(tolerance, judgement);
    if (options.hints && judgement.verdict == Verdict::Wrong && judgement.valueError == nullptr &&
        !judgement.outOfTime)
        judgement.hint = trials.FindHint(tolerance);
    return judgement;
}

const char* VerdictWord(Verdict verdict) {
    switch (verdict) {
    case Verdict::Right:
        return "верно";
    case Verdict::Wrong:
        return "неверно";
    default:
        return "не принято";
    }
}

std::string Reason(const Judgement& judgement, TextStyle style) {
    std::string out;
    if (judgement.answer.problem)
        return Describe(*judgement.answer.problem, style);
    if (!judgement.referenceProblem.empty())
        AppendWords(out, judgement.referenceProblem, style);
    if (judgement.valueError != nullptr)
        AppendWords(out, judgement.valueError, style);
    if (!judgement.quantityProblem.empty()) {
        if (!out.empty())
            out += "; ";
        AppendWords(out, judgement.quantityProblem, style);
    }
    if (judgement.hint.code != Hint::Code::None && judgement.hint.code != Hint::Code::Dimension) {
        if (!out.empty())
            out += "; ";
        out += HintMessage(judgement.hint, style);
    }
    return out;
}

} // namespace answers
