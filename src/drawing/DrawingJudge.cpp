#include "drawing/DrawingJudge.h"

#include "answers/Read.h"
#include "diagram/StatementParams.h"
#include "platform/Cp1251.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <optional>
#include <tuple>

namespace drawing {

namespace {

constexpr double kLabelReach = 20;

// The angle between two directions, 0..180 degrees.
double AngleBetween(double a, double b) {
    const double turn = std::fmod(std::fabs(a - b), 360.0);
    return std::min(turn, 360.0 - turn);
}

double Distance(Point a, Point b) {
    return std::hypot(a.x - b.x, a.y - b.y);
}

bool AtPoint(const ExpectedObject& e, const DrawnObject& d, const DrawTolerance& tolerance) {
    if (e.kind != d.kind)
        return false;
    return !e.placed || (std::fabs(e.at.x - d.at.x) <= tolerance.position &&
                         std::fabs(e.at.y - d.at.y) <= tolerance.position);
}

// How a drawn object's direction stands to the expected one's.
enum class Along { Same, Opposite, Wrong };

Along DirectionOf(const ExpectedObject& e, const DrawnObject& d, const DrawTolerance& tolerance) {
    if (e.sense == Sense::Any)
        return Along::Same;
    bool same = false;
    bool opposite = false;
    if (e.kind == ObjectKind::Moment) {
        same = e.ccw == d.ccw;
        opposite = !same;
    } else {
        same = AngleBetween(e.angle, d.angle) <= tolerance.angle;
        opposite = AngleBetween(e.angle + 180, d.angle) <= tolerance.angle;
    }
    if (same)
        return Along::Same;
    return opposite && e.sense == Sense::Either ? Along::Opposite : Along::Wrong;
}

bool MagnitudeAgrees(const ExpectedObject& e, const DrawnObject& d, Along along,
                     const MagnitudeRules& rules) {
    if (e.magnitude.empty())
        return true;
    if (d.magnitude.empty())
        return false;
    const std::string reference = along == Along::Opposite ? "-(" + e.magnitude + ")" : e.magnitude;
    return answers::Judge(reference, d.magnitude, rules.names, rules.tolerance).verdict ==
           answers::Verdict::Right;
}

// A drawn object measured against an expected one at its point.
struct Fit {
    Along along = Along::Wrong;
    bool name = false;
    bool magnitude = false;

    bool Whole() const { return along != Along::Wrong && name && magnitude; }
    Finding Fault() const {
        if (along == Along::Wrong)
            return Finding::Direction;
        return name ? Finding::Magnitude : Finding::Name;
    }
};

Fit FitOf(const ExpectedObject& e, const DrawnObject& d, const DrawTolerance& tolerance,
          const MagnitudeRules& rules) {
    Fit fit;
    fit.along = DirectionOf(e, d, tolerance);
    fit.name = e.name == d.name;
    fit.magnitude = fit.along != Along::Wrong && MagnitudeAgrees(e, d, fit.along, rules);
    return fit;
}

// The expected objects of the statements, a pin taken as its one reaction where drawn so.
std::vector<ExpectedObject> Resolved(const std::vector<Expectation>& expected,
                                     const std::vector<DrawnObject>& drawn,
                                     const DrawTolerance& tolerance) {
    std::vector<ExpectedObject> objects;
    for (const Expectation& expectation : expected) {
        const bool single = expectation.instead &&
                            std::any_of(drawn.begin(), drawn.end(), [&](const DrawnObject& d) {
                                return d.name == expectation.instead->name &&
                                       AtPoint(*expectation.instead, d, tolerance);
                            });
        if (single)
            objects.push_back(*expectation.instead);
        else
            objects.insert(objects.end(), expectation.objects.begin(), expectation.objects.end());
    }
    return objects;
}

// `index`: of the drawn object in `drawn`, or none for a missing object.
FindingLine LineOf(Finding finding, const ExpectedObject& e, const std::vector<DrawnObject>& drawn,
                   std::optional<std::size_t> index) {
    FindingLine line;
    line.finding = finding;
    line.kind = e.kind;
    line.reaction = e.reaction;
    line.placed = e.placed;
    line.at = e.at;
    line.angle = e.angle;
    line.ccw = e.ccw;
    line.expectedName = e.name;
    if (index) {
        line.drawnName = drawn[*index].name;
        line.drawn = static_cast<int>(*index);
    }
    return line;
}

std::string Shown(const std::string& key) {
    return answers::NameText(key);
}

std::string Unquoted(std::string_view text) {
    std::string label(text);
    if (!label.empty() && (label.front() == '"' || label.front() == '\''))
        label.erase(0, 1);
    std::size_t closing = label.find('"');
    if (closing == std::string::npos)
        closing = label.find('\'');
    if (closing != std::string::npos)
        label.erase(closing, 1);
    return label;
}

} // namespace

DrawingJudgement JudgeDrawing(const std::vector<Expectation>& expected,
                              const std::vector<DrawnObject>& drawn, const DrawTolerance& tolerance,
                              const MagnitudeRules& rules) {
    DrawingJudgement judgement;
    const std::vector<ExpectedObject> objects = Resolved(expected, drawn, tolerance);
    judgement.expected = static_cast<int>(objects.size());
    std::vector<bool> used(drawn.size(), false);
    std::vector<std::optional<FindingLine>> lines(objects.size());
    for (std::size_t i = 0; i < objects.size(); ++i)
        for (std::size_t j = 0; j < drawn.size() && !lines[i]; ++j)
            if (!used[j] && AtPoint(objects[i], drawn[j], tolerance) &&
                FitOf(objects[i], drawn[j], tolerance, rules).Whole()) {
                used[j] = true;
                lines[i] = LineOf(Finding::Found, objects[i], drawn, j);
                ++judgement.matched;
            }
    for (std::size_t i = 0; i < objects.size(); ++i) {
        if (lines[i])
            continue;
        const ExpectedObject& e = objects[i];
        std::optional<std::size_t> nearest;
        std::tuple<int, double> best{std::numeric_limits<int>::max(), 0.0};
        Fit bestFit;
        for (std::size_t j = 0; j < drawn.size(); ++j) {
            if (used[j] || !AtPoint(e, drawn[j], tolerance))
                continue;
            const Fit fit = FitOf(e, drawn[j], tolerance, rules);
            const std::tuple<int, double> rank{(fit.along == Along::Wrong ? 2 : 0) +
                                                   (fit.name ? 0 : 1),
                                               Distance(e.at, drawn[j].at)};
            if (!nearest || rank < best) {
                nearest = j;
                best = rank;
                bestFit = fit;
            }
        }
        if (nearest) {
            used[*nearest] = true;
            lines[i] = LineOf(bestFit.Fault(), e, drawn, nearest);
        } else {
            lines[i] = LineOf(Finding::Missing, e, drawn, std::nullopt);
        }
    }
    for (std::optional<FindingLine>& line : lines)
        judgement.findings.push_back(std::move(*line));
    for (std::size_t j = 0; j < drawn.size(); ++j) {
        if (used[j])
            continue;
        FindingLine line;
        line.finding = Finding::Extra;
        line.kind = drawn[j].kind;
        line.at = drawn[j].at;
        line.drawnName = drawn[j].name;
        line.drawn = static_cast<int>(j);
        judgement.findings.push_back(std::move(line));
        ++judgement.extra;
    }
    if (judgement.expected > 0)
        judgement.score = std::max(0, judgement.matched - judgement.extra) /
                          static_cast<double>(judgement.expected);
    if (drawn.empty())
        judgement.verdict = answers::Verdict::NotAccepted;
    else if (judgement.matched == judgement.expected && judgement.extra == 0)
        judgement.verdict = answers::Verdict::Right;
    else
        judgement.verdict = answers::Verdict::Wrong;
    return judgement;
}

std::vector<Label> ImageLabels(std::string_view image) {
    std::vector<Label> labels;
    for (std::size_t start = 0; start < image.size();) {
        std::size_t end = image.find(';', start);
        if (end == std::string_view::npos)
            end = image.size();
        const std::string_view statement = image.substr(start, end - start);
        start = end + 1;
        if (!statement.starts_with("TEXT("))
            continue;
        diagram::StatementParams params(statement.substr(5, statement.size() - 6));
        Label label;
        label.at.x = params.NextInt();
        label.at.y = params.NextInt();
        // A label the diagram cannot draw names no point.
        if (!params.Ok())
            continue;
        label.text = Unquoted(params.Rest());
        labels.push_back(std::move(label));
    }
    return labels;
}

std::string PointName(Point at, const std::vector<Label>& labels) {
    const Label* nearest = nullptr;
    for (const Label& label : labels)
        if (Distance(at, label.at) <= kLabelReach &&
            (!nearest || Distance(at, label.at) < Distance(at, nearest->at)))
            nearest = &label;
    if (nearest && !nearest->text.empty())
        return platform::Cp1251ToUtf8(nearest->text);
    char text[64];
    std::snprintf(text, sizeof text, "(%g, %g)", at.x, at.y);
    return text;
}

std::string FindingMessage(const FindingLine& line, const std::vector<Label>& labels) {
    const std::string where = " в точке " + PointName(line.at, labels);
    const bool force = line.kind == ObjectKind::Force;
    const std::string expected = Shown(line.expectedName);
    switch (line.finding) {
    case Finding::Found:
        return expected + (line.placed ? where : "") + ": верно";
    case Finding::Missing:
        if (line.reaction)
            return "нет реакции" + where;
        return (force ? "нет силы " : "нет момента ") + expected + (line.placed ? where : "");
    case Finding::Direction:
        return "неверное направление: " + expected + (line.placed ? where : "");
    case Finding::Name:
        return "неверное имя: " + Shown(line.drawnName) + (line.placed ? where : "") + " (нужно " +
               expected + ")";
    case Finding::Magnitude:
        return "неверная величина: " + expected + (line.placed ? where : "");
    case Finding::Extra:
        return (force ? "лишняя сила" : "лишний момент") + where;
    }
    return {};
}

std::string FindingToolLine(const FindingLine& line) {
    const std::string expected = Shown(line.expectedName);
    switch (line.finding) {
    case Finding::Found:
        return "верно: " + expected;
    case Finding::Missing:
        return "нет: " + expected;
    case Finding::Direction:
        return "направление: " + expected;
    case Finding::Name:
        return "имя: " + Shown(line.drawnName) + " (нужно " + expected + ")";
    case Finding::Magnitude:
        return "величина: " + expected;
    case Finding::Extra:
        return "лишняя: " + Shown(line.drawnName);
    }
    return {};
}

std::string ToolReport(const DrawingJudgement& judgement) {
    std::string report;
    for (const FindingLine& line : judgement.findings)
        report += FindingToolLine(line) + '\n';
    return report + "score " + std::to_string(std::max(0, judgement.matched - judgement.extra)) +
           " of " + std::to_string(judgement.expected) + '\n';
}

} // namespace drawing
