#include "drawing/DrawingBoard.h"

#include "answers/Read.h"
#include "diagram/StatementParams.h"
#include "platform/Cp1251.h"
#include "platform/Trim.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <numbers>

namespace drawing {

namespace {

// How near, in pixels, a press must come to an arrow or an arc to take it.
constexpr double kHitReach = 6;

// The statements that give snap points, how many points (pairs of coordinates at the
// front of their parameters) each gives, and whether they are all its parameters (else
// more follow, as a radius or a text).
struct PointsOf {
    std::string_view keyword;
    int points;
    bool whole;
};

constexpr PointsOf kPointStatements[] = {
    {"LINE", 2, true},           {"ADVLINE", 2, false},
    {"ARROW", 1, false},         {"ARROWBL", 1, false},
    {"CARROW", 1, false},        {"CIRCLE", 1, false},
    {"OBJECT_CIRCLE", 1, false}, {"OBJECT_DOUBLE_CIRCLE", 1, false},
    {"RECTANGLE", 1, false},     {"GROUND", 1, false},
    {"VTULKA", 1, false},        {"SHARNIR", 1, true},
    {"TEXT", 1, false},          {"GREKTEXT", 1, false},
};

double Distance(Point a, Point b) {
    return std::hypot(a.x - b.x, a.y - b.y);
}

bool Same(Point a, Point b) {
    return a.x == b.x && a.y == b.y;
}

// The distance from a point to the segment from a to b.
double DistanceToSegment(Point p, Point a, Point b) {
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double length2 = dx * dx + dy * dy;
    const double t =
        length2 == 0 ? 0 : std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / length2, 0.0, 1.0);
    return Distance(p, {a.x + t * dx, a.y + t * dy});
}

Point HeadOf(const DrawnObject& force) {
    const double radians = force.angle * std::numbers::pi / 180;
    return {force.at.x + kArrowLength * std::cos(radians),
            force.at.y - kArrowLength * std::sin(radians)};
}

// The words for a direction a multiple of 45 degrees; empty for any other.
std::string DirectionWords(double angle) {
    static const char* const kWords[] = {"вправо", "вправо и вверх", "вверх", "влево и вверх",
                                         "влево",  "влево и вниз",   "вниз",  "вправо и вниз"};
    const double eighth = NormalAngle(angle) / 45;
    const double whole = std::round(eighth);
    if (std::fabs(eighth - whole) > 1e-6)
        return {};
    return kWords[static_cast<int>(whole) % 8];
}

std::string NumberText(double value) {
    char buffer[32];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return error == std::errc() ? std::string(buffer, end) : std::string("0");
}

std::optional<double> NumberOf(std::string_view text) {
    double value = 0;
    const auto [stop, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || stop != text.data() + text.size() ||
        !std::isfinite(value))
        return std::nullopt;
    return value;
}

// The field text as the reading shows it ("R_A"); empty when it is not one name.
std::string ShownName(const std::string& field) {
    if (const std::optional<std::string> key = FieldNameKey(field))
        return answers::NameText(*key);
    return {};
}

} // namespace

std::optional<std::string> FieldNameKey(std::string_view field) {
    const std::string_view name = platform::TrimWhitespace(field);
    if (name.empty())
        return std::nullopt;
    return answers::NameKey(name);
}

std::vector<Point> SnapPoints(std::string_view image) {
    std::vector<Point> points;
    const auto keep = [&points](Point at) {
        if (std::none_of(points.begin(), points.end(), [&](Point p) { return Same(p, at); }))
            points.push_back(at);
    };
    for (std::size_t start = 0; start < image.size();) {
        std::size_t end = image.find(';', start);
        if (end == std::string_view::npos)
            end = image.size();
        const std::string_view statement =
            platform::TrimWhitespace(image.substr(start, end - start));
        start = end + 1;
        const std::size_t open = statement.find('(');
        if (open == std::string_view::npos || statement.back() != ')')
            continue;
        const std::string_view keyword = platform::TrimWhitespace(statement.substr(0, open));
        const auto kind = std::find_if(std::begin(kPointStatements), std::end(kPointStatements),
                                       [&](const PointsOf& p) { return p.keyword == keyword; });
        if (kind == std::end(kPointStatements))
            continue;
        diagram::StatementParams params(statement.substr(open + 1, statement.size() - open - 2));
        std::vector<Point> read;
        for (int k = 0; k < kind->points; ++k) {
            const int x = params.NextInt();
            // The coordinate that ends a statement of points alone is its last parameter.
            const int y =
                kind->whole && k + 1 == kind->points ? params.LastInt() : params.NextInt();
            read.push_back({static_cast<double>(x), static_cast<double>(y)});
        }
        if (!params.Ok())
            continue;
        for (Point at : read)
            keep(at);
    }
    return points;
}

std::optional<Point> NearestPoint(Point at, const std::vector<Point>& points, double reach) {
    std::optional<Point> nearest;
    for (Point p : points)
        if (std::fabs(p.x - at.x) <= reach && std::fabs(p.y - at.y) <= reach &&
            (!nearest || Distance(p, at) < Distance(*nearest, at)))
            nearest = p;
    return nearest;
}

double NormalAngle(double degrees) {
    double angle = std::fmod(degrees, 360.0);
    if (angle < 0)
        angle += 360;
    return angle >= 360 || angle == 0 ? 0.0 : angle; // never -0
}

double DirectionAngle(Point from, Point to) {
    return NormalAngle(std::atan2(from.y - to.y, to.x - from.x) * 180 / std::numbers::pi);
}

double RoundedAngle(double degrees, double step) {
    return NormalAngle(std::round(degrees / step) * step);
}

std::size_t NextPointToward(const std::vector<Point>& points, std::size_t from, Heading heading) {
    if (from >= points.size())
        return from;
    const Point origin = points[from];
    std::size_t inCone = from;
    std::size_t onSide = from;
    double coneCost = std::numeric_limits<double>::infinity();
    double sideCost = coneCost;
    for (std::size_t k = 0; k < points.size(); ++k) {
        const double dx = points[k].x - origin.x;
        const double dy = points[k].y - origin.y;
        // Ahead: how far the point lies in the heading; aside: how far off it.
        double ahead = 0;
        double aside = 0;
        switch (heading) {
        case Heading::Right:
            ahead = dx, aside = dy;
            break;
        case Heading::Left:
            ahead = -dx, aside = dy;
            break;
        case Heading::Down:
            ahead = dy, aside = dx;
            break;
        case Heading::Up:
            ahead = -dy, aside = dx;
            break;
        }
        if (ahead <= 0)
            continue;
        const double cost = ahead + 2 * std::fabs(aside);
        if (std::fabs(aside) <= ahead && cost < coneCost)
            coneCost = cost, inCone = k;
        if (cost < sideCost)
            sideCost = cost, onSide = k;
    }
    return inCone != from ? inCone : onSide;
}

std::string DescribeObject(const DrawnObject& object, const std::vector<Label>& labels) {
    const std::string name = ShownName(object.name);
    std::string text;
    if (object.kind == ObjectKind::Force) {
        text = "сила " + (name.empty() ? std::string("без имени") : name) + " в точке " +
               PointName(object.at, labels) + ", ";
        const std::string words = DirectionWords(object.angle);
        text += words.empty() ? "под углом " + NumberText(std::round(object.angle)) + "°" : words;
    } else {
        text = "момент " + (name.empty() ? std::string("без имени") : name) +
               (object.ccw ? " против часовой стрелки" : " по часовой стрелке");
    }
    if (const answers::ReadResult read = answers::Read(object.magnitude, answers::KnownNames{});
        read.formula)
        text += ", величина " + answers::ReadingText(*read.formula);
    return text;
}

// ---- the board ----

void DrawingBoard::SetPicture(std::string_view image, double reach) {
    points_ = SnapPoints(image);
    labels_ = ImageLabels(image);
    reach_ = reach;
    objects_.clear();
    selected_ = -1;
    cursor_ = points_.empty() ? Point{} : points_.front();
}

void DrawingBoard::SetObjects(std::vector<DrawnObject> objects) {
    objects_ = std::move(objects);
    selected_ = -1;
}

Point DrawingBoard::Snap(Point at) const {
    return NearestPoint(at, points_, reach_).value_or(at);
}

void DrawingBoard::Select(int index) {
    selected_ = index >= 0 && index < static_cast<int>(objects_.size()) ? index : -1;
}

ObjectHit DrawingBoard::ObjectAt(Point at) const {
    for (int k = static_cast<int>(objects_.size()) - 1; k >= 0; --k) {
        const DrawnObject& object = objects_[static_cast<std::size_t>(k)];
        if (object.kind == ObjectKind::Force) {
            const Point head = HeadOf(object);
            if (Distance(at, head) <= kHitReach * 1.5)
                return {k, true};
            if (DistanceToSegment(at, object.at, head) <= kHitReach)
                return {k, false};
        } else if (std::fabs(Distance(at, object.at) - kMomentRadius) <= kHitReach ||
                   Distance(at, object.at) <= kHitReach) {
            return {k, false};
        }
    }
    return {};
}

int DrawingBoard::AddForce(Point at, double angle) {
    DrawnObject force;
    force.at = at;
    force.angle = NormalAngle(angle);
    objects_.push_back(std::move(force));
    selected_ = static_cast<int>(objects_.size()) - 1;
    return selected_;
}

int DrawingBoard::AddMoment(Point at, bool ccw) {
    DrawnObject moment;
    moment.kind = ObjectKind::Moment;
    moment.at = at;
    moment.ccw = ccw;
    objects_.push_back(std::move(moment));
    selected_ = static_cast<int>(objects_.size()) - 1;
    return selected_;
}

void DrawingBoard::MoveSelected(Point to) {
    if (selected_ >= 0)
        objects_[static_cast<std::size_t>(selected_)].at = to;
}

void DrawingBoard::SetSelectedAngle(double angle) {
    if (selected_ >= 0)
        objects_[static_cast<std::size_t>(selected_)].angle = NormalAngle(angle);
}

void DrawingBoard::TurnSelected(double degrees) {
    if (selected_ < 0)
        return;
    DrawnObject& object = objects_[static_cast<std::size_t>(selected_)];
    if (object.kind == ObjectKind::Force)
        object.angle = NormalAngle(object.angle + degrees);
    else if (degrees != 0)
        object.ccw = degrees > 0;
}

void DrawingBoard::SetSelectedSense(bool ccw) {
    if (selected_ >= 0)
        objects_[static_cast<std::size_t>(selected_)].ccw = ccw;
}

void DrawingBoard::SetName(int index, std::string name) {
    if (index >= 0 && index < static_cast<int>(objects_.size()))
        objects_[static_cast<std::size_t>(index)].name = std::move(name);
}

void DrawingBoard::SetMagnitude(int index, std::string magnitude) {
    if (index >= 0 && index < static_cast<int>(objects_.size()))
        objects_[static_cast<std::size_t>(index)].magnitude = std::move(magnitude);
}

void DrawingBoard::DeleteSelected() {
    if (selected_ < 0)
        return;
    objects_.erase(objects_.begin() + selected_);
    selected_ = -1;
}

std::size_t DrawingBoard::CursorIndex() const {
    for (std::size_t k = 0; k < points_.size(); ++k)
        if (Same(points_[k], cursor_))
            return k;
    return points_.size();
}

void DrawingBoard::SelectNewestAt(Point at) {
    selected_ = -1;
    for (int k = static_cast<int>(objects_.size()) - 1; k >= 0 && selected_ < 0; --k)
        if (Same(objects_[static_cast<std::size_t>(k)].at, at))
            selected_ = k;
}

void DrawingBoard::MoveCursor(Heading heading) {
    const std::size_t from = CursorIndex();
    if (from == points_.size())
        return;
    cursor_ = points_[NextPointToward(points_, from, heading)];
    SelectNewestAt(cursor_);
}

void DrawingBoard::MoveSelectedToward(Heading heading) {
    if (selected_ < 0)
        return;
    std::vector<Point> from = points_;
    const Point at = objects_[static_cast<std::size_t>(selected_)].at;
    std::size_t index = 0;
    while (index < from.size() && !Same(from[index], at))
        ++index;
    if (index == from.size())
        from.push_back(at); // an object off the picture's points moves from where it is
    const std::size_t next = NextPointToward(from, index, heading);
    objects_[static_cast<std::size_t>(selected_)].at = from[next];
    cursor_ = from[next];
}

bool DrawingBoard::SelectNextAtCursor() {
    const int count = static_cast<int>(objects_.size());
    for (int step = 1; step <= count; ++step) {
        const int k = ((selected_ < 0 ? -1 : selected_) + step + count) % count;
        if (Same(objects_[static_cast<std::size_t>(k)].at, cursor_)) {
            selected_ = k;
            return true;
        }
    }
    return false;
}

// ---- drafts ----

std::vector<std::string> DraftTexts(const std::vector<DrawnObject>& objects) {
    std::vector<std::string> texts;
    for (const DrawnObject& object : objects) {
        std::string text = object.kind == ObjectKind::Force ? "force " : "moment ";
        text += NumberText(object.at.x) + " " + NumberText(object.at.y) + " ";
        text += object.kind == ObjectKind::Force ? NumberText(object.angle)
                                                 : std::string(object.ccw ? "ccw" : "cw");
        texts.push_back(text + "\n" + object.name + "\n" + object.magnitude);
    }
    return texts;
}

std::vector<DrawnObject> ReadDraftTexts(const std::vector<std::string>& texts) {
    std::vector<DrawnObject> objects;
    for (const std::string& text : texts) {
        const std::size_t first = text.find('\n');
        const std::size_t second =
            first == std::string::npos ? std::string::npos : text.find('\n', first + 1);
        if (second == std::string::npos)
            continue;
        std::vector<std::string_view> fields;
        const std::string_view head(text.data(), first);
        for (std::size_t start = 0; start <= head.size();) {
            const std::size_t end = std::min(head.find(' ', start), head.size());
            fields.push_back(head.substr(start, end - start));
            start = end + 1;
        }
        if (fields.size() != 4 || (fields[0] != "force" && fields[0] != "moment"))
            continue;
        DrawnObject object;
        object.kind = fields[0] == "force" ? ObjectKind::Force : ObjectKind::Moment;
        const std::optional<double> x = NumberOf(fields[1]);
        const std::optional<double> y = NumberOf(fields[2]);
        if (!x || !y)
            continue;
        object.at = {*x, *y};
        if (object.kind == ObjectKind::Force) {
            const std::optional<double> angle = NumberOf(fields[3]);
            if (!angle)
                continue;
            object.angle = NormalAngle(*angle);
        } else if (fields[3] == "ccw" || fields[3] == "cw") {
            object.ccw = fields[3] == "ccw";
        } else {
            continue;
        }
        object.name = text.substr(first + 1, second - first - 1);
        object.magnitude = text.substr(second + 1);
        objects.push_back(std::move(object));
    }
    return objects;
}

} // namespace drawing
