#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A drawn answer: the forces and moments a student puts on the task's diagram, and what a
// right drawing holds. Coordinates are the diagram's pixels (x to the right, y down);
// angles are degrees counter-clockwise from +x, so 90 is up, as ARROW draws them. Names
// are keys of the answer notation ("R!A"); magnitudes formulas in it (CP1251).
namespace drawing {

enum class ObjectKind { Force, Moment };

struct Point {
    double x = 0;
    double y = 0;
};

// One force or moment of a student's drawing.
struct DrawnObject {
    ObjectKind kind = ObjectKind::Force;
    Point at;
    double angle = 0; // a force's direction
    bool ccw = true;  // a moment's sense
    std::string name;
    std::string magnitude; // empty when none is given
};

// Which directions of a force agree with the expected one.
enum class Sense { Fixed, Either, Any };

// One object a right drawing holds.
struct ExpectedObject {
    ObjectKind kind = ObjectKind::Force;
    Point at;
    double angle = 0;
    bool ccw = true;
    Sense sense = Sense::Fixed;
    bool placed = true;    // false for a couple, which acts wherever it is drawn
    bool reaction = false; // a support's reaction
    std::string name;
    std::string magnitude; // the reference for the stated sense; empty when not judged
};

// One statement of the section: the objects it expects, or instead the one force
// `instead` (a pin's single reaction of any direction) when the drawing has a force of
// that name at the point.
struct Expectation {
    std::vector<ExpectedObject> objects;
    std::optional<ExpectedObject> instead;
};

struct DrawSection {
    std::vector<Expectation> expected;
    std::vector<std::string> problems; // UTF-8, each with its statement
};

// Reads the DRAW section, its placeholders already filled (CP1251): statements ended by
// ";", each one of
//   FORCE(x, y, angle, NAME[, MAGNITUDE][, either])
//   MOMENT(x, y, ccw|cw, NAME[, MAGNITUDE])
//   PIN(x, y, P)               X!P along 0 and Y!P along 90, either sense, or R!P any way
//   ROLLER(x, y, normal, NAME) one force along the normal, either sense
//   CLAMP(x, y, P)             X!P, Y!P and the moment M!P at the point, either sense
// A statement that cannot be read is left out and told.
DrawSection ReadDrawSection(std::string_view cp1251);

// How near a drawn object must come: position in pixels each way, angle in degrees.
struct DrawTolerance {
    double position = 10;
    double angle = 5;
};

// The DRAWTOL section ("10; 5", a decimal point or comma): the defaults when it is empty,
// nullopt when it is not two numbers above 0 (the angle below 90).
std::optional<DrawTolerance> ReadDrawTolerance(std::string_view text);

// What a right drawing holds as DRAW statements that ReadDrawSection reads back: each
// expected object a FORCE (with "either" when its sense is free) or a MOMENT, with its
// magnitude where one is asked; supports written as their reactions. A pin's single
// reaction, which stands in for its two, is left out.
std::string WriteDrawSection(const std::vector<Expectation>& expected);

// A drawing as an author writes it for the tools: one object a line, fields separated by
// blanks, "force X Y ANGLE NAME [MAGNITUDE]" or "moment X Y ccw|cw NAME [MAGNITUDE]";
// names in the notation ("R!A") or as the reading writes them ("R_A"); lines starting with
// "#" and empty lines skipped.
struct DrawingRead {
    std::vector<DrawnObject> objects;
    std::string problem; // UTF-8, with the line; empty when every line was read
};
DrawingRead ReadDrawingText(std::string_view cp1251);

// A drawing as SETRESULTQUEST carries it (ReadDrawingEntries of protocol/ResultItems.h):
// each entry read as a line of ReadDrawingText. One that cannot be read leaves no object
// and is told ("entry N: ...").
DrawingRead ReadDrawnEntries(const std::vector<std::string>& entries);

// The entry (and the tools' line) of a drawn object: "force 150 60 270 F 5", numbers in
// their shortest form with a decimal point.
std::string WriteDrawnEntry(const DrawnObject& object);

} // namespace drawing
