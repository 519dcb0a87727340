// The drawn answer: the DRAW section's statements and problems, the judge over a table
// of drawings as the author tool reads them, and the board a drawing is made on.

#include "drawing/DrawingJudge.h"
#include "drawing/DrawingBoard.h"
#include "drawing/DrawnAnswer.h"
#include "drawing/SolutionImage.h"

#include "platform/Cp1251.h"
#include "platform/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace {

using answers::Verdict;
using namespace drawing;

// A beam on a pin at A and a roller at B with a load F at C.
constexpr const char* kBeam = "PIN(50,60,A);ROLLER(250,60,90,R!B);FORCE(150,60,270,F,10);";
// A reaction of either sense with its magnitude, a fixed load, and a couple.
constexpr const char* kSigned =
    "FORCE(50,60,90,R!A,5,either);FORCE(150,60,270,F);MOMENT(100,30,ccw,M,2);";
// A bracket clamped at A with a load along +x at C; a roller on a slope.
constexpr const char* kClamp = "CLAMP(50,60,A);FORCE(150,60,0,F);";
constexpr const char* kSlope = "ROLLER(250,60,120,R!B);";
constexpr const char* kImage = "HEIGHT(160);WIDTH(300);TEXT(52,64,\"A\");TEXT(252,64,\"B\");"
                               "TEXT(150,66,\"C\");ARROW(150,60,40,270);";
constexpr const char* kRightBeam = "force 50 60 0 X_A\nforce 50 60 90 Y_A\n"
                                   "force 250 60 90 R_B\n";

struct DrawingCase {
    const char* draw;
    const char* tolerance; // DRAWTOL
    std::string drawing;
    const char* report; // the tool's lines and score
    Verdict verdict;
    const char* message; // what the student is told of the last finding; nullptr: unchecked
};

TEST(DrawingJudgeTest, TableOfDrawings) {
    const DrawingCase cases[] = {
        // Right, and right with the reactions' senses mirrored, in either notation.
        {kBeam, "", std::string(kRightBeam) + "force 150 60 270 F 10",
         "верно: X_A\nверно: Y_A\nверно: R_B\nверно: F\nscore 4 of 4\n", Verdict::Right,
         "F в точке C: верно"},
        {kBeam, "",
         "force 50 60 180 X!A\nforce 50 60 270 Y!A\nforce 250 60 270 R!B\n"
         "force 150 60 270 F 10.0",
         "верно: X_A\nверно: Y_A\nверно: R_B\nверно: F\nscore 4 of 4\n", Verdict::Right, nullptr},
        // The pin as its one reaction, of any direction.
        {kBeam, "", "force 50 60 63 R_A\nforce 250 60 90 R_B\nforce 150 60 270 F 2*5",
         "верно: R_A\nверно: R_B\nверно: F\nscore 3 of 3\n", Verdict::Right, nullptr},
        {kBeam, "",
         "force 50 60 200 R_A\nforce 50 60 0 X_A\nforce 250 60 90 R_B\n"
         "force 150 60 270 F 10",
         "верно: R_A\nверно: R_B\nверно: F\nлишняя: X_A\nscore 2 of 3\n", Verdict::Wrong,
         "лишняя сила в точке A"},
        // Each kind of miss.
        {kBeam, "", "force 50 60 0 X_A\nforce 50 60 90 Y_A\nforce 150 60 270 F 10",
         "верно: X_A\nверно: Y_A\nнет: R_B\nверно: F\nscore 3 of 4\n", Verdict::Wrong, nullptr},
        {kBeam, "", "force 150 60 270 F 10",
         "нет: X_A\nнет: Y_A\nнет: R_B\nверно: F\nscore 1 of 4\n", Verdict::Wrong, nullptr},
        {kBeam, "", std::string(kRightBeam) + "force 150 60 90 F 10",
         "верно: X_A\nверно: Y_A\nверно: R_B\nнаправление: F\nscore 3 of 4\n", Verdict::Wrong,
         "неверное направление: F в точке C"},
        {kBeam, "", std::string(kRightBeam) + "force 150 60 270 F 12",
         "верно: X_A\nверно: Y_A\nверно: R_B\nвеличина: F\nscore 3 of 4\n", Verdict::Wrong,
         "неверная величина: F в точке C"},
        {kBeam, "", std::string(kRightBeam) + "force 150 60 270 F",
         "верно: X_A\nверно: Y_A\nверно: R_B\nвеличина: F\nscore 3 of 4\n", Verdict::Wrong,
         nullptr},
        {kBeam, "", std::string(kRightBeam) + "force 150 60 270 P 10",
         "верно: X_A\nверно: Y_A\nверно: R_B\nимя: P (нужно F)\nscore 3 of 4\n", Verdict::Wrong,
         "неверное имя: P в точке C (нужно F)"},
        // Wrong in direction and in name: the direction is told.
        {kBeam, "", std::string(kRightBeam) + "force 150 60 0 P 10",
         "верно: X_A\nверно: Y_A\nверно: R_B\nнаправление: F\nscore 3 of 4\n", Verdict::Wrong,
         nullptr},
        // The pin's components swapped: each takes the one along its direction.
        {kBeam, "",
         "force 50 60 90 X_A\nforce 50 60 0 Y_A\nforce 250 60 90 R_B\n"
         "force 150 60 270 F 10",
         "имя: Y_A (нужно X_A)\nимя: X_A (нужно Y_A)\nверно: R_B\nверно: F\nscore 2 of 4\n",
         Verdict::Wrong, nullptr},
        // Extras: one more force, one arrow twice, extras beyond the found ones.
        {kBeam, "", std::string(kRightBeam) + "force 150 60 270 F 10\nforce 150 60 270 P",
         "верно: X_A\nверно: Y_A\nверно: R_B\nверно: F\nлишняя: P\nscore 3 of 4\n", Verdict::Wrong,
         "лишняя сила в точке C"},
        {kBeam, "", std::string(kRightBeam) + "force 150 60 270 F 10\nforce 151 61 270 F 10",
         "верно: X_A\nверно: Y_A\nверно: R_B\nверно: F\nлишняя: F\nscore 3 of 4\n", Verdict::Wrong,
         nullptr},
        {kSigned, "", "force 10 10 0 P\nforce 20 10 0 Q\nforce 30 10 0 S\nmoment 200 100 cw N",
         "нет: R_A\nнет: F\nнаправление: M\nлишняя: P\nлишняя: Q\nлишняя: S\nscore 0 of 3\n",
         Verdict::Wrong, "лишняя сила в точке (30, 10)"},
        // Nothing drawn is not accepted.
        {kBeam, "", "", "нет: X_A\nнет: Y_A\nнет: R_B\nнет: F\nscore 0 of 4\n",
         Verdict::NotAccepted, "нет силы F в точке C"},
        {kBeam, "", "# only notes\n\n", "нет: X_A\nнет: Y_A\nнет: R_B\nнет: F\nscore 0 of 4\n",
         Verdict::NotAccepted, nullptr},
        // Tolerance edges: 10 px each way and 5 degrees are in, beyond is out.
        {kBeam, "", std::string(kRightBeam) + "force 160 50 275 F 10",
         "верно: X_A\nверно: Y_A\nверно: R_B\nверно: F\nscore 4 of 4\n", Verdict::Right, nullptr},
        {kBeam, "", std::string(kRightBeam) + "force 140 70 265 F 10",
         "верно: X_A\nверно: Y_A\nверно: R_B\nверно: F\nscore 4 of 4\n", Verdict::Right, nullptr},
        {kBeam, "", std::string(kRightBeam) + "force 150 60 276 F 10",
         "верно: X_A\nверно: Y_A\nверно: R_B\nнаправление: F\nscore 3 of 4\n", Verdict::Wrong,
         nullptr},
        {kBeam, "", std::string(kRightBeam) + "force 161 60 270 F 10",
         "верно: X_A\nверно: Y_A\nверно: R_B\nнет: F\nлишняя: F\nscore 2 of 4\n", Verdict::Wrong,
         "лишняя сила в точке C"},
        {kBeam, "20; 10", std::string(kRightBeam) + "force 170 40 280 F 10",
         "верно: X_A\nверно: Y_A\nверно: R_B\nверно: F\nscore 4 of 4\n", Verdict::Right, nullptr},
        {kBeam, "",
         "force 50 60 355 X_A\nforce 50 60 85 Y_A\nforce 250 60 -85 R_B\n"
         "force 150 60 630 F 10",
         "верно: X_A\nверно: Y_A\nверно: R_B\nверно: F\nscore 4 of 4\n", Verdict::Right, nullptr},
        // A reaction drawn the other way round has its magnitude with the opposite sign.
        {kSigned, "", "force 50 60 90 R_A 5\nforce 150 60 270 F\nmoment 10 10 ccw M 2",
         "верно: R_A\nверно: F\nверно: M\nscore 3 of 3\n", Verdict::Right, nullptr},
        {kSigned, "", "force 50 60 270 R_A -5\nforce 150 60 270 F\nmoment 10 10 ccw M 2",
         "верно: R_A\nверно: F\nверно: M\nscore 3 of 3\n", Verdict::Right, nullptr},
        {kSigned, "", "force 50 60 270 R_A 5\nforce 150 60 270 F\nmoment 10 10 ccw M 2",
         "величина: R_A\nверно: F\nверно: M\nscore 2 of 3\n", Verdict::Wrong, nullptr},
        {kSigned, "", "force 50 60 90 R_A -5\nforce 150 60 90 F\nmoment 10 10 ccw M 2",
         "величина: R_A\nнаправление: F\nверно: M\nscore 1 of 3\n", Verdict::Wrong, nullptr},
        // A couple is judged anywhere, by its sense, name and magnitude.
        {kSigned, "", "force 50 60 90 R_A 5\nforce 150 60 270 F\nmoment 280 150 cw M 2",
         "верно: R_A\nверно: F\nнаправление: M\nscore 2 of 3\n", Verdict::Wrong,
         "неверное направление: M"},
        {kSigned, "", "force 50 60 90 R_A 5\nforce 150 60 270 F\nmoment 280 150 ccw M 3",
         "верно: R_A\nверно: F\nвеличина: M\nscore 2 of 3\n", Verdict::Wrong, nullptr},
        {kSigned, "", "force 50 60 90 R_A 5\nforce 150 60 270 F",
         "верно: R_A\nверно: F\nнет: M\nscore 2 of 3\n", Verdict::Wrong, "нет момента M"},
        // A clamp's moment is judged at its point, of either sense; a force is no moment.
        {kClamp, "",
         "force 50 60 0 X_A\nforce 50 60 90 Y_A\nmoment 50 60 cw M_A\n"
         "force 150 60 0 F",
         "верно: X_A\nверно: Y_A\nверно: M_A\nверно: F\nscore 4 of 4\n", Verdict::Right, nullptr},
        {kClamp, "",
         "force 50 60 0 X_A\nforce 50 60 90 Y_A\nmoment 80 60 ccw M_A\n"
         "force 150 60 0 F",
         "верно: X_A\nверно: Y_A\nнет: M_A\nверно: F\nлишняя: M_A\nscore 2 of 4\n", Verdict::Wrong,
         "лишний момент в точке (80, 60)"},
        {kClamp, "",
         "force 50 60 0 X_A\nforce 50 60 90 Y_A\nforce 50 60 45 M_A\n"
         "force 150 60 0 F",
         "верно: X_A\nверно: Y_A\nнет: M_A\nверно: F\nлишняя: M_A\nscore 2 of 4\n", Verdict::Wrong,
         "лишняя сила в точке A"},
        {kClamp, "", "force 50 60 0 X_A\nforce 50 60 90 Y_A\nmoment 50 60 ccw M_A",
         "верно: X_A\nверно: Y_A\nверно: M_A\nнет: F\nscore 3 of 4\n", Verdict::Wrong,
         "нет силы F в точке C"},
        // A roller on a slope: along its normal either way, not across it.
        {kSlope, "", "force 250 60 300 R_B", "верно: R_B\nscore 1 of 1\n", Verdict::Right, nullptr},
        {kSlope, "", "force 250 60 90 R_B", "направление: R_B\nscore 0 of 1\n", Verdict::Wrong,
         nullptr},
        {kSlope, "", "", "нет: R_B\nscore 0 of 1\n", Verdict::NotAccepted, "нет реакции в точке B"},
    };
    const std::vector<Label> labels = ImageLabels(kImage);
    for (const DrawingCase& c : cases) {
        SCOPED_TRACE(std::string(c.draw) + " | " + c.tolerance + " | " + c.drawing);
        const DrawSection section = ReadDrawSection(c.draw);
        ASSERT_TRUE(section.problems.empty()) << section.problems.front();
        const std::optional<DrawTolerance> tolerance = ReadDrawTolerance(c.tolerance);
        ASSERT_TRUE(tolerance);
        const DrawingRead drawing = ReadDrawingText(c.drawing);
        ASSERT_EQ(drawing.problem, "");
        const DrawingJudgement judgement =
            JudgeDrawing(section.expected, drawing.objects, *tolerance, {});
        EXPECT_EQ(ToolReport(judgement), c.report);
        EXPECT_EQ(judgement.verdict, c.verdict);
        EXPECT_DOUBLE_EQ(judgement.score, std::max(0, judgement.matched - judgement.extra) /
                                              static_cast<double>(judgement.expected));
        if (c.message) {
            EXPECT_EQ(FindingMessage(judgement.findings.back(), labels), c.message);
        }
    }
}

// What cannot be read is told with its statement or line; the rest is still read.
TEST(DrawingJudgeTest, ProblemsOfTheSectionAndTheDrawing) {
    const struct {
        const char* draw;
        const char* problem; // empty: none
        std::size_t expected;
    } sections[] = {
        {" FORCE(1, 2, 90, R!A, 5, either) ;\nMOMENT(1,2,cw,M);", "", 2},
        {"PIN(1,2,A);CLAMP(3,4,B);ROLLER(5,6,90,N);", "", 3},
        {"FORCE(1,2,90);",
         "DRAW: statement not understood: FORCE(1,2,90): 4 to 6 parameters "
         "expected",
         0},
        {"FORCE(1,2,90,F,5,both);",
         "DRAW: statement not understood: FORCE(1,2,90,F,5,both): "
         "the last parameter is either: both",
         0},
        {"FORCE({cx},2,90,F);PIN(1,2,A);",
         "DRAW: statement not understood: FORCE({cx},2,90,F): "
         "x is not a number: {cx}",
         1},
        {"MOMENT(1,2,left,M);",
         "DRAW: statement not understood: MOMENT(1,2,left,M): the sense "
         "is ccw or cw: left",
         0},
        {"FORCE(1,2,90,2F);", "DRAW: statement not understood: FORCE(1,2,90,2F): not a name: 2F",
         0},
        {"FORCE(1,2,90,F,5+);",
         "DRAW: statement not understood: FORCE(1,2,90,F,5+): the "
         "magnitude cannot be read",
         0},
        {"ARROW(1,2,3,4);", "DRAW: statement not understood: ARROW(1,2,3,4): unknown keyword", 0},
        {"PIN 1,2,A;", "DRAW: statement not understood: PIN 1,2,A: not KEYWORD(parameters)", 0},
        {"PIN(1,2);", "DRAW: statement not understood: PIN(1,2): 3 parameters expected", 0},
    };
    for (const auto& c : sections) {
        const DrawSection section = ReadDrawSection(c.draw);
        EXPECT_EQ(section.problems.empty() ? "" : section.problems.front(), c.problem) << c.draw;
        EXPECT_EQ(section.expected.size(), c.expected) << c.draw;
        // What was read is written back as statements that read as the same objects.
        const std::string written = WriteDrawSection(section.expected);
        const DrawSection again = ReadDrawSection(written);
        EXPECT_TRUE(again.problems.empty()) << written;
        EXPECT_EQ(WriteDrawSection(again.expected), written);
    }
    EXPECT_EQ(WriteDrawSection(ReadDrawSection(sections[0].draw).expected),
              "FORCE(1,2,90,R!A,5,either);MOMENT(1,2,cw,M);");
    EXPECT_EQ(WriteDrawSection(ReadDrawSection("PIN(1,2,A);CLAMP(3,4,B);").expected),
              "FORCE(1,2,0,X!A,either);FORCE(1,2,90,Y!A,either);FORCE(3,4,0,X!B,either);"
              "FORCE(3,4,90,Y!B,either);MOMENT(3,4,ccw,M!B);");
    const struct {
        const char* text;
        bool read;
        double position, angle;
    } tolerances[] = {{"", true, 10, 5},         {"10; 5", true, 10, 5}, {" 4,5 ;2 ", true, 4.5, 2},
                      {"12", true, 12, 5},       {"0; 5", false, 0, 0},  {"10; 90", false, 0, 0},
                      {"10; 5; 1", false, 0, 0}, {"ten", false, 0, 0}};
    for (const auto& c : tolerances) {
        const std::optional<DrawTolerance> tolerance = ReadDrawTolerance(c.text);
        ASSERT_EQ(tolerance.has_value(), c.read) << c.text;
        if (tolerance) {
            EXPECT_EQ(std::pair(tolerance->position, tolerance->angle),
                      std::pair(c.position, c.angle));
        }
    }
    const struct {
        const char* text;
        const char* problem;
    } drawings[] = {
        {"force 1 2 90 F\n\n# note\nmoment 1 2 ccw M!A 3\r\n", ""},
        {"force 1 2 F", "line 1: expected force X Y ANGLE NAME [MAGNITUDE] or moment X Y ccw|cw "
                        "NAME [MAGNITUDE]: force 1 2 F"},
        {"force 1 2 90 F\narrow 1 2 3 F", "line 2: expected force X Y ANGLE NAME [MAGNITUDE] or "
                                          "moment X Y ccw|cw NAME [MAGNITUDE]: arrow 1 2 3 F"},
        {"force 1,5 2 90 F", "line 1: X is not a number: 1,5: force 1,5 2 90 F"},
        {"moment 1 2 up M", "line 1: the sense is ccw or cw: up: moment 1 2 up M"},
        {"force 1 2 90 R_A_B", "line 1: not a name: R_A_B: force 1 2 90 R_A_B"},
    };
    for (const auto& c : drawings)
        EXPECT_EQ(ReadDrawingText(c.text).problem, c.problem) << c.text;

    // The wire's entries: a drawing written and read back is the same drawing; one entry
    // that cannot be read leaves none.
    const DrawingRead read = ReadDrawingText("force 150.5 60 270 F -F/2\nmoment 1 2 cw M!A");
    std::vector<std::string> entries;
    for (const DrawnObject& object : read.objects)
        entries.push_back(WriteDrawnEntry(object));
    EXPECT_EQ(entries,
              (std::vector<std::string>{"force 150.5 60 270 F -F/2", "moment 1 2 cw M!A"}));
    EXPECT_EQ(ReadDrawnEntries(entries).objects.size(), 2u);
    entries.push_back("force 1 2 up F");
    const DrawingRead bad = ReadDrawnEntries(entries);
    EXPECT_EQ(bad.problem, "entry 3: ANGLE is not a number: up: force 1 2 up F");
    EXPECT_TRUE(bad.objects.empty());
}

// The board: the picture's own points, the keyboard's way between them, how objects are
// read aloud, and a drawing kept as a draft.
TEST(DrawingJudgeTest, TheBoardSnapsToThePicturesPointsAndReadsItsObjects) {
    const struct {
        const char* image;
        std::vector<std::pair<double, double>> points;
    } pictures[] = {
        {"HEIGHT(160);WIDTH(300);ADVLINE(40,70,280,70,0,3);SHARNIR(40,70);\n"
         "GROUND(40,78,40,0); CIRCLE(280,70,4);TEXT(36,80,\"A\");",
         {{40, 70}, {280, 70}, {40, 78}, {36, 80}}},
        {"SHARNIR(1,2);LINE(1,2,3,4);ARROW(5,6,40,90);CARROW(7,8,20,0,90);RECTANGLE(9,10,4,4);"
         "OBJECT_DOUBLE_CIRCLE(11,12,5,3);VTULKA(13,14,20,5,1);GREKTEXT(15,16,\"w\");",
         {{1, 2}, {3, 4}, {5, 6}, {7, 8}, {9, 10}, {11, 12}, {13, 14}, {15, 16}}},
        // What cannot be read, computed or is no point gives none.
        {"LINE(x,2,3,4);TEXT(1,2);PEN(1,2,3);LINE(1,2,3,4", {}},
    };
    for (const auto& c : pictures) {
        std::vector<std::pair<double, double>> points;
        for (const Point p : SnapPoints(c.image))
            points.emplace_back(p.x, p.y);
        EXPECT_EQ(points, c.points) << c.image;
    }

    // Snapping within the reach each way; angles in 0..360 with y down.
    const std::vector<Point> beam{{40, 70}, {160, 70}, {280, 70}, {160, 20}, {100, 120}};
    EXPECT_EQ(NearestPoint({48, 62}, beam, 10)->x, 40);
    EXPECT_FALSE(NearestPoint({51, 70}, beam, 10));
    EXPECT_EQ(NearestPoint({155, 66}, beam, 10)->x, 160);
    const struct {
        Point to;
        double angle, rounded;
    } angles[] = {{{50, 70}, 0, 0},     {{40, 60}, 90, 90},   {{30, 71}, 185.7, 185},
                  {{40, 80}, 270, 270}, {{49, 79}, 315, 315}, {{50, 68.2}, 10.2, 10}};
    for (const auto& c : angles) {
        EXPECT_NEAR(DirectionAngle({40, 70}, c.to), c.angle, 0.1) << c.to.x << "," << c.to.y;
        EXPECT_EQ(RoundedAngle(DirectionAngle({40, 70}, c.to), 5), c.rounded);
    }
    EXPECT_EQ(RoundedAngle(-2.4, 5), 0);
    EXPECT_EQ(RoundedAngle(358, 5), 0);

    // The arrows: within 45 degrees first, else anything on that side, else stay.
    const struct {
        std::size_t from;
        Heading heading;
        std::size_t to;
    } steps[] = {{0, Heading::Right, 1}, {1, Heading::Right, 2}, {2, Heading::Right, 2},
                 {1, Heading::Up, 3},    {3, Heading::Down, 1},  {0, Heading::Down, 4},
                 {4, Heading::Up, 3},    {2, Heading::Left, 1},  {3, Heading::Left, 0}};
    for (const auto& c : steps)
        EXPECT_EQ(NextPointToward(beam, c.from, c.heading), c.to) << c.from;

    // Read aloud, the point by the picture's nearest label.
    const std::vector<Label> labels{{{36, 60}, "A"}, {{284, 60}, "B"}};
    const auto object = [](ObjectKind kind, Point at, double angle, bool ccw, const char* name,
                           const char* magnitude) {
        DrawnObject o;
        o.kind = kind, o.at = at, o.angle = angle, o.ccw = ccw, o.name = name,
        o.magnitude = magnitude;
        return o;
    };
    const struct {
        DrawnObject object;
        const char* text;
    } spoken[] = {
        {object(ObjectKind::Force, {40, 70}, 90, true, "R!A@", "  "), "сила R_A в точке A, вверх"},
        {object(ObjectKind::Force, {280, 70}, 225, true, " F ", "2*F!1"),
         "сила F в точке B, влево и вниз, величина 2·F_1"},
        {object(ObjectKind::Force, {150, 40}, 30.2, true, "", ""),
         "сила без имени в точке (150, 40), под углом 30°"},
        {object(ObjectKind::Moment, {100, 50}, 0, true, "M", ""),
         "момент M против часовой стрелки"},
        {object(ObjectKind::Moment, {100, 50}, 0, false, "2M", ""),
         "момент без имени по часовой стрелке"},
    };
    for (const auto& c : spoken)
        EXPECT_EQ(DescribeObject(c.object, labels), c.text);

    // The board: add, turn, move by the keyboard, select by point, delete.
    DrawingBoard board;
    board.SetPicture("LINE(40,70,280,70);CIRCLE(160,70,3);TEXT(36,60,\"A\");", 10);
    EXPECT_EQ(board.Cursor().x, 40);
    EXPECT_EQ(board.Snap({166, 77}).x, 160);
    EXPECT_EQ(board.Snap({171, 70}).x, 171);
    board.AddForce(board.Cursor(), 90);
    board.TurnSelected(-45);
    board.TurnSelected(-45 * 9);
    EXPECT_EQ(board.Objects()[0].angle, 0);
    board.MoveSelectedToward(Heading::Right);
    EXPECT_EQ(board.Objects()[0].at.x, 160);
    EXPECT_EQ(board.Cursor().x, 160);
    EXPECT_EQ(board.ObjectAt({190, 70}).index, 0);
    EXPECT_TRUE(board.ObjectAt({200, 70}).head);
    EXPECT_EQ(board.ObjectAt({160, 100}).index, -1);
    board.AddMoment(board.Cursor(), true);
    board.TurnSelected(-5);
    EXPECT_FALSE(board.Objects()[1].ccw);
    board.MoveCursor(Heading::Left);
    EXPECT_EQ(board.Selected(), -1) << "nothing drawn at A";
    board.MoveCursor(Heading::Right);
    EXPECT_EQ(board.Selected(), 1) << "the newest at the point";
    EXPECT_TRUE(board.SelectNextAtCursor());
    EXPECT_EQ(board.Selected(), 0);
    board.SetName(0, "F");
    board.SetMagnitude(0, "  5*a ");

    // A draft gives back every object with its fields' texts exactly; texts it cannot read
    // leave their object out.
    std::vector<std::string> texts = DraftTexts(board.Objects());
    EXPECT_EQ(texts,
              (std::vector<std::string>{"force 160 70 0\nF\n  5*a ", "moment 160 70 cw\n\n"}));
    texts.push_back("force 1 2\nF\n");
    texts.push_back("moment 1 2 left\nM\n");
    texts.push_back("force 1 2 90 F");
    const std::vector<DrawnObject> back = ReadDraftTexts(texts);
    ASSERT_EQ(back.size(), 2u);
    EXPECT_EQ(DraftTexts(back), DraftTexts(board.Objects()));
    board.DeleteSelected();
    ASSERT_EQ(board.Objects().size(), 1u);
    EXPECT_EQ(board.Objects()[0].kind, ObjectKind::Moment);
}

} // namespace

// A student's drawing under the right one: in a colour of its own, a force from its point
// along its angle with its head at the tip, a moment round its point; the canvas as it was
// afterwards.
TEST(DrawingJudgeTest, AStudentsDrawingIsDrawnInItsOwnColour) {
    platform::RecordingCanvas canvas;
    canvas.SetPenColor(platform::Rgb(0, 0, 255));
    canvas.SetPenWidth(3);
    const DrawingRead drawn = ReadDrawingText("force 50 60 90 R_A\nmoment 100 60 cw M");
    ASSERT_EQ(drawn.problem, "");
    DrawStudentObjects(canvas, drawn.objects);
    const std::vector<platform::CanvasCall>& calls = canvas.Calls();
    ASSERT_GE(calls.size(), 5u);
    EXPECT_EQ((std::array{calls[0].x1, calls[0].y1, calls[0].x2, calls[0].y2}),
              (std::array{50, 60, 50, 60 - kSolutionArrow}));
    int texts = 0;
    for (const platform::CanvasCall& call : calls) {
        if (call.kind == platform::CanvasCall::Kind::Text) {
            ++texts;
            EXPECT_EQ(call.font.color, kStudentColor);
            continue;
        }
        EXPECT_EQ(call.penColor, kStudentColor);
        EXPECT_EQ(call.penWidth, 2);
        // Everything stays near the object it belongs to.
        const int nearX = call.x1 < 75 ? 50 : 100;
        EXPECT_LE(std::abs(call.x1 - nearX), 30) << call.x1;
    }
    EXPECT_EQ(texts, 2);
    EXPECT_EQ(calls[3].text, "R_A"); // after the shaft and the two strokes of its head
    EXPECT_EQ(canvas.PenColor(), platform::Rgb(0, 0, 255));
    EXPECT_EQ(canvas.PenWidth(), 3);
}
