#include "answers/Judge.h"

#include "answers/Evaluate.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <map>

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
    Trials(const Formula& reference, const Formula& answer,
           const std::map<std::string, DeclaredName>& names, std::uint64_t seed,
           const Deadline& deadline)
        : reference_(reference), answer_(answer), names_(names), points_(seed),
          deadline_(deadline) {}

    // Fills in the verdict, or the reference's problem.
    void Run(const Tolerance& tolerance, Judgement& judgement) {
        const int wanted = names_.empty() ? 1 : MinTrials;
        std::vector<TrialPoint> trials;
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

private:
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
            if (!Agrees(given.value, point.expected, tolerance)) {
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
    const std::vector<std::string> declared = NamesOf(names);
    const ReadResult expected = Read(reference, declared);
    if (!expected.Accepted()) {
        judgement.referenceProblem =
            "эталонный ответ не читается: " + Describe(*expected.problem, TextStyle::Unicode);
        return judgement;
    }
    judgement.answer = Read(answer, declared);
    if (!judgement.answer.Accepted())
        return judgement;
    if (deadline.Passed()) {
        judgement.outOfTime = true;
        return judgement;
    }
    // The names by their keys, so that "v_C" and "v!C" are one name.
    std::map<std::string, DeclaredName> keyed;
    for (const DeclaredName& name : names)
        if (std::optional<std::string> key = NameKey(name.name))
            keyed.emplace(*key, name);
    Trials(*expected.formula, *judgement.answer.formula, keyed, Seed(reference, keyed), deadline)
        .Run(tolerance, judgement);
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
