#pragma once

#include "drawing/DrawingJudge.h"
#include "drawing/DrawnAnswer.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The student's drawing while it is made: the forces and moments on the diagram, which
// one is selected, and the point the keyboard stands at. The picture's own points (ends of
// its lines, centres of its circles and supports, its text anchors) are where drawn points
// snap to; they come from the diagram script alone, never from what a right drawing holds.
// Plain C++: the client's drawing surface turns mouse and keys into these calls.
namespace drawing {

// A force is drawn as an arrow this long from its point; a moment as an arc of this
// radius about its point.
inline constexpr double kArrowLength = 40;
inline constexpr double kMomentRadius = 16;

// The points a drawn point snaps to, in the order the script gives them: both ends of
// LINE and ADVLINE, the start of ARROW and ARROWBL, the centres of CIRCLE, OBJECT_CIRCLE,
// OBJECT_DOUBLE_CIRCLE, CARROW, RECTANGLE, VTULKA, the pin of SHARNIR, the middle of
// GROUND and the anchor of TEXT and GREKTEXT. A point given twice is kept once; a
// statement that cannot be read gives none. The script may start with its size header.
std::vector<Point> SnapPoints(std::string_view cp1251Image);

// The nearest of `points` no farther than `reach` each way from `at`; nullopt when none is.
std::optional<Point> NearestPoint(Point at, const std::vector<Point>& points, double reach);

// The direction from one point to another, degrees counter-clockwise from +x in 0..360
// (y grows downwards, so (0, -1) is 90).
double DirectionAngle(Point from, Point to);
// An angle brought into 0..360.
double NormalAngle(double degrees);
// An angle rounded to the nearest multiple of `step`, in 0..360.
double RoundedAngle(double degrees, double step);

enum class Heading { Left, Right, Up, Down };

// The point to go to from points[from] in a heading: the nearest one lying within 45
// degrees of it (distance counted with the sideways offset twice), else the nearest on that
// side; `from` itself when there is none.
std::size_t NextPointToward(const std::vector<Point>& points, std::size_t from, Heading heading);

// How a drawn object is read aloud (UTF-8): "сила R_A в точке A, вверх", "сила F в точке
// (150, 60), под углом 30°", "момент M против часовой стрелки", with ", величина 2·F"
// when one is given. The name and magnitude are the texts of their fields (CP1251).
std::string DescribeObject(const DrawnObject& object, const std::vector<Label>& labels);

// The name key of a name field's text ("  R!A@ " -> "R!A"); nullopt when it holds no
// one name.
std::optional<std::string> FieldNameKey(std::string_view cp1251Field);

// What part of an object a point is on: its arrow's head (turning it) or the rest
// (moving it).
struct ObjectHit {
    int index = -1;
    bool head = false;
};

class DrawingBoard {
public:
    // The picture the drawing is made on: its script (CP1251) and how far a point snaps.
    // The drawing is emptied; the keyboard stands at the first of the picture's points.
    void SetPicture(std::string_view cp1251Image, double reach);

    const std::vector<Point>& Points() const { return points_; }
    const std::vector<Label>& Labels() const { return labels_; }
    double Reach() const { return reach_; }
    const std::vector<DrawnObject>& Objects() const { return objects_; }
    void SetObjects(std::vector<DrawnObject> objects);

    // The picture's point nearest to `at` within the reach, else `at` itself.
    Point Snap(Point at) const;

    // The object selected, -1 when none.
    int Selected() const { return selected_; }
    void Select(int index);
    // The object under a point: the newest whose arrow (or arc) passes within a few
    // pixels of it; index -1 when none.
    ObjectHit ObjectAt(Point at) const;

    // Adds an object and selects it; returns its index.
    int AddForce(Point at, double angle);
    int AddMoment(Point at, bool ccw);
    // The selected object changed; nothing happens without one.
    void MoveSelected(Point to);
    void SetSelectedAngle(double angle);
    // A force turns counter-clockwise by `degrees` (clockwise when negative); a moment
    // takes the sense of the turn.
    void TurnSelected(double degrees);
    void SetSelectedSense(bool ccw);
    void SetName(int index, std::string name);
    void SetMagnitude(int index, std::string magnitude);
    void DeleteSelected();

    // The keyboard's point.
    Point Cursor() const { return cursor_; }
    // Goes to the next of the picture's points in the heading; the newest object there
    // becomes the selected one (none when nothing is drawn there).
    void MoveCursor(Heading heading);
    // The selected object goes to the next point in the heading, and the keyboard with it.
    void MoveSelectedToward(Heading heading);
    // The next of the objects at the keyboard's point is selected, round again after the
    // last; false when there is none there.
    bool SelectNextAtCursor();

private:
    std::size_t CursorIndex() const;
    void SelectNewestAt(Point at);

    std::vector<Point> points_;
    std::vector<Label> labels_;
    double reach_ = 10;
    std::vector<DrawnObject> objects_;
    int selected_ = -1;
    Point cursor_;
};

// A drawing as the draft store keeps it: one text per object, "force X Y ANGLE" or "moment
// X Y ccw|cw", then the name's and the magnitude's field texts, each on a line of its own,
// so that a field's text comes back exactly as it was typed. Texts that cannot be read
// leave their object out.
std::vector<std::string> DraftTexts(const std::vector<DrawnObject>& objects);
std::vector<DrawnObject> ReadDraftTexts(const std::vector<std::string>& texts);

} // namespace drawing
