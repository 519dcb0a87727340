#include "drawing/DrawnAnswer.h"

#include "answers/Read.h"
#include "platform/Cp1251.h"
#include "platform/Trim.h"

#include <charconv>
#include <cmath>
#include <utility>

namespace drawing {

namespace {

constexpr std::string_view kBlanks = " \t\r\n";

std::vector<std::string_view> Split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    for (std::size_t start = 0;;) {
        const std::size_t end = text.find(separator, start);
        parts.push_back(platform::TrimWhitespace(text.substr(start, end - start)));
        if (end == std::string_view::npos)
            return parts;
        start = end + 1;
    }
}

std::vector<std::string_view> Fields(std::string_view line) {
    std::vector<std::string_view> fields;
    for (std::size_t at = line.find_first_not_of(kBlanks); at != std::string_view::npos;) {
        const std::size_t end = line.find_first_of(kBlanks, at);
        fields.push_back(line.substr(at, end - at));
        at = line.find_first_not_of(kBlanks, end);
    }
    return fields;
}

// A number with a decimal point (or, where `comma` allows it, a decimal comma).
std::optional<double> Number(std::string_view text, bool comma = false) {
    std::string copy(text);
    if (comma)
        for (char& c : copy)
            if (c == ',')
                c = '.';
    double value = 0;
    const char* end = copy.data() + copy.size();
    const auto [stop, error] = std::from_chars(copy.data(), end, value);
    if (copy.empty() || error != std::errc() || stop != end || !std::isfinite(value))
        return std::nullopt;
    return value;
}

// Why a statement cannot be read (UTF-8), thrown up to the statement's reader.
struct Unreadable {
    std::string reason;
};

double NumberParameter(std::string_view text, const char* what) {
    const std::optional<double> value = Number(text);
    if (!value)
        throw Unreadable{std::string(what) + " is not a number: " + platform::Cp1251ToUtf8(text)};
    return *value;
}

std::string NameParameter(std::string_view text) {
    const std::optional<std::string> key = answers::NameKey(text);
    if (!key)
        throw Unreadable{"not a name: " + platform::Cp1251ToUtf8(text)};
    return *key;
}

Point PointParameters(const std::vector<std::string_view>& p) {
    return {NumberParameter(p[0], "x"), NumberParameter(p[1], "y")};
}

void ExpectCount(const std::vector<std::string_view>& p, std::size_t low, std::size_t high) {
    if (p.size() < low || p.size() > high)
        throw Unreadable{low == high ? std::to_string(low) + " parameters expected"
                                     : std::to_string(low) + " to " + std::to_string(high) +
                                           " parameters expected"};
}

ExpectedObject Force(Point at, double angle, Sense sense, std::string name, bool reaction) {
    ExpectedObject force;
    force.at = at;
    force.angle = angle;
    force.sense = sense;
    force.reaction = reaction;
    force.name = std::move(name);
    return force;
}

bool Ccw(std::string_view text) {
    if (text == "ccw" || text == "cw")
        return text == "ccw";
    throw Unreadable{"the sense is ccw or cw: " + platform::Cp1251ToUtf8(text)};
}

Expectation ReadStatement(std::string_view keyword, const std::vector<std::string_view>& p) {
    Expectation expectation;
    if (keyword == "FORCE") {
        ExpectCount(p, 4, 6);
        const bool either = p.back() == "either";
        if (p.size() == 6 && !either)
            throw Unreadable{"the last parameter is either: " + platform::Cp1251ToUtf8(p[5])};
        ExpectedObject force =
            Force(PointParameters(p), NumberParameter(p[2], "the angle"),
                  either ? Sense::Either : Sense::Fixed, NameParameter(p[3]), false);
        if (p.size() - (either ? 1 : 0) == 5)
            force.magnitude = std::string(p[4]);
        expectation.objects.push_back(std::move(force));
    } else if (keyword == "MOMENT") {
        ExpectCount(p, 4, 5);
        ExpectedObject moment;
        moment.kind = ObjectKind::Moment;
        moment.at = PointParameters(p);
        moment.ccw = Ccw(p[2]);
        moment.placed = false;
        moment.name = NameParameter(p[3]);
        if (p.size() == 5)
            moment.magnitude = std::string(p[4]);
        expectation.objects.push_back(std::move(moment));
    } else if (keyword == "PIN" || keyword == "CLAMP") {
        ExpectCount(p, 3, 3);
        const Point at = PointParameters(p);
        const std::string letter(p[2]);
        expectation.objects.push_back(
            Force(at, 0, Sense::Either, NameParameter("X!" + letter), true));
        expectation.objects.push_back(
            Force(at, 90, Sense::Either, NameParameter("Y!" + letter), true));
        if (keyword == "PIN") {
            expectation.instead = Force(at, 0, Sense::Any, NameParameter("R!" + letter), true);
        } else {
            ExpectedObject moment = Force(at, 0, Sense::Either, NameParameter("M!" + letter), true);
            moment.kind = ObjectKind::Moment;
            expectation.objects.push_back(std::move(moment));
        }
    } else if (keyword == "ROLLER") {
        ExpectCount(p, 4, 4);
        expectation.objects.push_back(Force(PointParameters(p), NumberParameter(p[2], "the normal"),
                                            Sense::Either, NameParameter(p[3]), true));
    } else {
        throw Unreadable{"unknown keyword"};
    }
    for (const ExpectedObject& object : expectation.objects)
        if (!object.magnitude.empty() &&
            !answers::Read(object.magnitude, answers::KnownNames{}).formula)
            throw Unreadable{"the magnitude cannot be read"};
    return expectation;
}

} // namespace

DrawSection ReadDrawSection(std::string_view cp1251) {
    DrawSection section;
    for (std::string_view statement : Split(cp1251, ';')) {
        if (statement.empty())
            continue;
        const std::size_t open = statement.find('(');
        try {
            if (open == std::string_view::npos || statement.back() != ')')
                throw Unreadable{"not KEYWORD(parameters)"};
            const std::string_view inside = statement.substr(open + 1, statement.size() - open - 2);
            section.expected.push_back(
                ReadStatement(statement.substr(0, open), Split(inside, ',')));
        } catch (const Unreadable& error) {
            section.problems.push_back("DRAW: statement not understood: " +
                                       platform::Cp1251ToUtf8(statement) + ": " + error.reason);
        }
    }
    return section;
}

std::optional<DrawTolerance> ReadDrawTolerance(std::string_view text) {
    DrawTolerance tolerance;
    if (platform::TrimWhitespace(text).empty())
        return tolerance;
    const std::vector<std::string_view> parts = Split(text, ';');
    if (parts.size() > 2)
        return std::nullopt;
    const std::optional<double> position = Number(parts[0], true);
    if (!position || *position <= 0)
        return std::nullopt;
    tolerance.position = *position;
    if (parts.size() == 2) {
        const std::optional<double> angle = Number(parts[1], true);
        if (!angle || *angle <= 0 || *angle >= 90)
            return std::nullopt;
        tolerance.angle = *angle;
    }
    return tolerance;
}

namespace {

// One object of a drawing, as a line of the tools' file or an entry of the wire.
DrawnObject ReadDrawnObject(std::string_view line) {
    const std::vector<std::string_view> f = Fields(line);
    if (f.size() < 5 || f.size() > 6 || (f[0] != "force" && f[0] != "moment"))
        throw Unreadable{"expected force X Y ANGLE NAME [MAGNITUDE] or moment X Y "
                         "ccw|cw NAME [MAGNITUDE]"};
    DrawnObject object;
    object.kind = f[0] == "force" ? ObjectKind::Force : ObjectKind::Moment;
    object.at = {NumberParameter(f[1], "X"), NumberParameter(f[2], "Y")};
    if (object.kind == ObjectKind::Force)
        object.angle = NumberParameter(f[3], "ANGLE");
    else
        object.ccw = Ccw(f[3]);
    object.name = NameParameter(f[4]);
    if (f.size() == 6)
        object.magnitude = std::string(f[5]);
    return object;
}

std::string NumberText(double value) {
    char buffer[32];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return error == std::errc() ? std::string(buffer, end) : std::string("0");
}

} // namespace

DrawingRead ReadDrawingText(std::string_view cp1251) {
    DrawingRead read;
    int lineNumber = 0;
    for (std::string_view line : Split(cp1251, '\n')) {
        ++lineNumber;
        if (line.empty() || line.front() == '#')
            continue;
        try {
            read.objects.push_back(ReadDrawnObject(line));
        } catch (const Unreadable& error) {
            read.problem = "line " + std::to_string(lineNumber) + ": " + error.reason + ": " +
                           platform::Cp1251ToUtf8(line);
            return read;
        }
    }
    return read;
}

DrawingRead ReadDrawnEntries(const std::vector<std::string>& entries) {
    DrawingRead read;
    for (std::size_t k = 0; k < entries.size(); ++k) {
        try {
            read.objects.push_back(ReadDrawnObject(entries[k]));
        } catch (const Unreadable& error) {
            read.problem = "entry " + std::to_string(k + 1) + ": " + error.reason + ": " +
                           platform::Cp1251ToUtf8(entries[k].substr(0, 200));
            read.objects.clear();
            return read;
        }
    }
    return read;
}

std::string WriteDrawnEntry(const DrawnObject& object) {
    std::string entry = object.kind == ObjectKind::Force ? "force " : "moment ";
    entry += NumberText(object.at.x) + " " + NumberText(object.at.y) + " ";
    if (object.kind == ObjectKind::Force)
        entry += NumberText(object.angle);
    else
        entry += object.ccw ? "ccw" : "cw";
    entry += " " + object.name;
    if (!object.magnitude.empty())
        entry += " " + object.magnitude;
    return entry;
}

std::string WriteDrawSection(const std::vector<Expectation>& expected) {
    std::string section;
    for (const Expectation& expectation : expected)
        for (const ExpectedObject& object : expectation.objects) {
            const bool force = object.kind == ObjectKind::Force;
            section += std::string(force ? "FORCE(" : "MOMENT(") + NumberText(object.at.x) + "," +
                       NumberText(object.at.y) + "," +
                       (force        ? NumberText(object.angle)
                        : object.ccw ? "ccw"
                                     : "cw") +
                       "," + object.name;
            if (!object.magnitude.empty())
                section += "," + object.magnitude;
            if (force && object.sense != Sense::Fixed)
                section += ",either";
            section += ");";
        }
    return section;
}

} // namespace drawing
