#include "answers/Judge.h"

#include "answers/Evaluate.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <map>

namespace answers {

namespace {

constexpr double kNearZero = 1e-9;
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

class Trials {
public:
    Trials(const Formula& reference, const Formula& answer,
           const std::map<std::string, DeclaredName>& names, std::uint64_t seed,
           const Deadline& deadline)
        : reference_(reference), answer_(answer), names_(names), points_(seed),
          deadline_(deadline) {}

    // Fills in the verdict, or the reference's problem.
    void Run(double tolerancePercent, Judgement& judgement) {
        const bool varying = !names_.empty();
        // A reference over no declared name has one value: if that is zero, it is zero
        // everywhere without drawing on.
        bool referenceVaries = false;
        for (const std::string& key : reference_.names)
            referenceVaries = referenceVaries || names_.count(key) > 0;
        int trials = 0;
        std::vector<std::map<std::string, double>> zeroPoints;
        for (int draw = 0; draw < kMaxDraws && trials < (varying ? MinTrials : 1) &&
                           (referenceVaries || zeroPoints.size() < MinTrials);
             ++draw) {
            const std::map<std::string, double> point = Draw();
            const Value expected = Evaluate(reference_, ValuesOf(reference_, point), deadline_);
            if (expected.error == kOutOfTime || deadline_.Passed())
                return GiveUp(judgement);
            if (expected.error != nullptr)
                continue;
            if (std::fabs(expected.value) < kNearZero && varying) {
                if (zeroPoints.size() < MinTrials)
                    zeroPoints.push_back(point);
                continue;
            }
            if (!Agrees(point, expected.value, tolerancePercent, judgement))
                return;
            ++trials;
        }
        if (trials > 0) {
            judgement.verdict = Verdict::Right;
            return;
        }
        if (zeroPoints.empty()) {
            judgement.referenceProblem = "эталонный ответ не вычисляется";
            return;
        }
        // A reference that is zero wherever it has a value.
        for (const auto& point : zeroPoints)
            if (!Agrees(point, 0, tolerancePercent, judgement))
                return;
        judgement.verdict = Verdict::Right;
    }

private:
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

    bool Agrees(const std::map<std::string, double>& point, double expected,
                double tolerancePercent, Judgement& judgement) {
        const Value given = Evaluate(answer_, ValuesOf(answer_, point), deadline_);
        judgement.verdict = Verdict::Wrong;
        if (given.error == kOutOfTime) {
            GiveUp(judgement);
            return false;
        }
        if (given.error != nullptr) {
            judgement.valueError = given.error;
            return false;
        }
        return expected == 0 ? std::fabs(given.value) < kNearZero
                             : WithinTolerance(given.value, expected, tolerancePercent);
    }

    const Formula& reference_;
    const Formula& answer_;
    const std::map<std::string, DeclaredName>& names_;
    TrialPoints points_;
    const Deadline& deadline_;
};

} // namespace

std::optional<double> ReadTolerancePercent(std::string_view text) {
    std::string number(text);
    std::replace(number.begin(), number.end(), ',', '.');
    double value = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (error != std::errc() || end != number.data() + number.size() || !(value > 0) || value > 100)
        return std::nullopt;
    return value;
}

bool WithinTolerance(double value, double reference, double tolerancePercent) {
    return std::fabs(value - reference) <= std::fabs(reference) * tolerancePercent / 100.0;
}

Judgement Judge(std::string_view reference, std::string_view answer,
                const std::vector<DeclaredName>& names, double tolerancePercent,
                const Deadline& deadline) {
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
        .Run(tolerancePercent, judgement);
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
    if (judgement.valueError != nullptr)
        AppendWords(out, judgement.valueError, style);
    return out;
}

} // namespace answers
