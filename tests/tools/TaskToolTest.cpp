// vekta-task run as a program: the check over the shipped task bank and over a flawed
// task, and the preview picture.

#include "ProgramRun.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <string>

namespace {

ProgramRun RunTool(const QStringList& arguments) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("QT_QPA_PLATFORM");
    env.remove("DISPLAY");
    return RunProgram(VEKTA_TASK_PATH, arguments, env);
}

QString WriteTask(const QTemporaryDir& dir, const std::string& utf8,
                  const QString& name = "task.task") {
    const QString path = dir.filePath(name);
    std::ofstream(path.toStdString(), std::ios::binary) << utf8;
    return path;
}

int Count(const std::string& text, const std::string& part) {
    int count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

} // namespace

TEST(TaskToolTest, EveryShippedTaskIsCleanAndPreviews) {
    QTemporaryDir dir;
    QDirIterator tasks(VEKTA_BANK_DIR, {"*.task"}, QDir::Files, QDirIterator::Subdirectories);
    int checked = 0;
    while (tasks.hasNext()) {
        const QString task = tasks.next();
        const ProgramRun check = RunTool({"check", task});
        EXPECT_EQ(check.exitCode, 0) << task.toStdString() << "\n" << check.err;
        const QString png = dir.filePath(QString("%1.png").arg(checked));
        const ProgramRun preview = RunTool({"preview", task, png, "--width", "520"});
        EXPECT_EQ(preview.exitCode, 0) << task.toStdString() << "\n" << preview.err;
        const QImage picture(png);
        EXPECT_EQ(picture.width(), 520) << task.toStdString();
        EXPECT_GT(picture.height(), 160 + 27) << task.toStdString();
        ++checked;
    }
    EXPECT_GE(checked, 4);
    // The whole bank at once: one line on stdout for each task, nothing on stderr.
    const ProgramRun bank = RunTool({"check", VEKTA_BANK_DIR, "--variants", "5"});
    EXPECT_EQ(bank.exitCode, 0) << bank.err;
    EXPECT_EQ(bank.err, "");
    EXPECT_EQ(Count(bank.out, " — в порядке\n"), checked) << bank.out;
    EXPECT_EQ(Count(bank.out, "Балка-1: 1 вариант, 10 проверок — в порядке\n"), 1) << bank.out;
    EXPECT_EQ(RunTool({"check", dir.path()}).exitCode, 1); // a folder without tasks
}

TEST(TaskToolTest, CheckNamesEachProblemAStudentWouldMeet) {
    QTemporaryDir dir;
    std::string request;
    for (int i = 0; i < 51; ++i)
        request += "a" + std::to_string(i) + ";";
    const QString path = WriteTask(
        dir, "\xEF\xBB\xBF<QUEST>x < y and <sym>a</sym> \xE2\x88\x80?</QUEST>"
             "<IMAGE>WIDTH(300);HEIGHT(100);LINE(1,2,3);CIRLCE(1,2,3);TEXT(1,2,\"ok\");</IMAGE>"
             "<REQUEST>" +
                 request + "rest</REQUEST>");
    const ProgramRun run = RunTool({"check", path});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(Count(run.err, "\n"), 7) << run.err;
    EXPECT_EQ(Count(run.err, "HEIGHT(100);"), 1) << run.err;
    EXPECT_EQ(Count(run.err, "LINE(1,2,3);: '' is not a valid integer value"), 1) << run.err;
    EXPECT_EQ(Count(run.err, "CIRLCE(1,2,3);"), 1) << run.err;
    EXPECT_EQ(Count(run.err, "\"<\" without its \">\""), 1) << run.err;
    EXPECT_EQ(Count(run.err, "51 answers"), 1) << run.err;
    EXPECT_EQ(Count(run.err, ": rest"), 1) << run.err;
    EXPECT_EQ(Count(run.err, "code page 1251 cannot hold arrive as \"?\": 1\n"), 1) << run.err;
}

TEST(TaskToolTest, ABadHeaderIsReportedAndThePictureStillWritten) {
    QTemporaryDir dir;
    const QString path =
        WriteTask(dir, "<QUEST>Q</QUEST><IMAGE>HEIGHT(abc);</IMAGE><REQUEST>F;</REQUEST>");
    const QString png = dir.filePath("out.png");
    const ProgramRun run = RunTool({"preview", path, png});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("'abc' is not a valid integer value"), std::string::npos) << run.err;
    EXPECT_FALSE(QImage(png).isNull());
    EXPECT_EQ(RunTool({"check", path}).exitCode, 1);
    EXPECT_EQ(RunTool({"preview", path, png, "--width", "wide"}).exitCode, 64);

    const ProgramRun garbage = RunTool({"check", WriteTask(dir, "\x89PNG\r\n garbage <B>")});
    EXPECT_EQ(garbage.exitCode, 1);
    EXPECT_NE(garbage.err.find("no task in the file"), std::string::npos) << garbage.err;
}

TEST(TaskToolTest, CheckRunsTheAuthorsTestsOnEveryVariantAndVariantsListsThem) {
    QTemporaryDir dir;
    const std::string task = "<CAPTION>Балка</CAPTION><QUEST>F = {F} кН</QUEST>"
                             "<PARAMETERS>F = 8..14 step 2; M = F*3;</PARAMETERS>"
                             "<REQUEST>R!B;</REQUEST><ANSWER>M/2;</ANSWER>\n<TESTS>\n"
                             "R!B = 1.5F -> верно\nR!B = 3F -> неверно\nR!B = 2mg -> не принято\n";
    const QString sound = WriteTask(dir, task + "</TESTS>");
    const ProgramRun clean = RunTool({"check", sound, "--variants", "200"});
    EXPECT_EQ(clean.exitCode, 0) << clean.err;
    EXPECT_EQ(clean.out, "task: 200 вариантов, 3 проверки — в порядке\n");
    const ProgramRun listed = RunTool({"variants", sound, "--count", "3"});
    EXPECT_EQ(listed.exitCode, 0) << listed.err;
    EXPECT_EQ(Count(listed.out, "variant "), 3) << listed.out;
    EXPECT_EQ(Count(listed.out, "  R!B = ("), 3) << listed.out;
    EXPECT_EQ(RunTool({"check", sound, "--variants", "0"}).exitCode, 64);

    const QString failing = WriteTask(dir, task + "R!B = F -> верно\n</TESTS>", "failing.task");
    const ProgramRun run = RunTool({"check", failing});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(Count(run.err, "TESTS: R!B = F -> верно: got \"неверно\""), 1) << run.err;
    EXPECT_EQ(run.out, "");

    // Several files at once: the clean ones are said to be so, the problems fail the run;
    // warnings alone are told and fail nothing.
    const QString warned = WriteTask(
        dir,
        "<QUEST>Угол <sym>q</sym></QUEST><REQUEST>~q;R!A;Q!очень!длинное!название!силы!реакции!"
        "опоры!слева;</REQUEST><ANSWER>1;2;3;</ANSWER>",
        "Угол-1.task");
    const ProgramRun several = RunTool({"check", sound, failing, warned, "--variants", "3"});
    EXPECT_EQ(several.exitCode, 1);
    EXPECT_EQ(several.out, "task: 3 варианта, 3 проверки — в порядке\nУгол-1: 1 вариант, 0 "
                           "проверок — в порядке\n");
    EXPECT_EQ(Count(several.err, "failing.task: variant F = 10; M = 30: TESTS"), 1) << several.err;
    EXPECT_EQ(Count(several.err, "Угол-1.task: warning: Greek letters: the statement shows q as θ"),
              1)
        << several.err;
    EXPECT_EQ(Count(several.err, "warning: REQUEST: the label of "), 1) << several.err;
    EXPECT_EQ(Count(several.err, "Q!очень!длинное!название!силы!реакции!опоры!слева is "), 1)
        << several.err;
    EXPECT_EQ(RunTool({"check", warned}).exitCode, 0);
    EXPECT_EQ(RunTool({"check"}).exitCode, 64);
    // A bank folder's course.conf: a review after a close that is never set is a warning,
    // an unreadable line a problem.
    QTemporaryDir bank;
    WriteTask(bank, "<QUEST>x</QUEST><REQUEST>F;</REQUEST><ANSWER>1;</ANSWER>", "Сила-1.task");
    WriteTask(bank, "review = after_close\n", "course.conf");
    const ProgramRun reviewed = RunTool({"check", bank.path()});
    EXPECT_EQ(reviewed.exitCode, 0) << reviewed.err;
    EXPECT_EQ(Count(reviewed.err, "course.conf: warning: review = after_close without a close "
                                  "time: results show at once"),
              1)
        << reviewed.err;
    WriteTask(bank, "review = later\n", "course.conf");
    EXPECT_EQ(RunTool({"check", bank.path()}).exitCode, 1);
}

TEST(TaskToolTest, AHostileDiagramIsCutAtItsBudgetWithTheMessage) {
    QTemporaryDir dir;
    std::string arcs;
    for (int i = 0; i < 10000; ++i)
        arcs += "CARROW(150,80,1000000000,0,360);";
    const QString path =
        WriteTask(dir, "<QUEST>Q</QUEST><IMAGE>" + arcs + "</IMAGE><REQUEST>F;</REQUEST>");
    const QString png = dir.filePath("out.png");
    const std::string message = "Рисунок слишком сложен: показана только его часть";
    const ProgramRun preview = RunTool({"preview", path, png});
    EXPECT_EQ(preview.exitCode, 1);
    EXPECT_EQ(Count(preview.err, message), 1) << preview.err;
    EXPECT_FALSE(QImage(png).isNull());
    const ProgramRun check = RunTool({"check", path});
    EXPECT_EQ(check.exitCode, 1);
    EXPECT_EQ(Count(check.err, message), 1) << check.err;
}

namespace {

// How many pixels wide the edges of dark strokes are on a light ground, on average: the
// runs of pixels between the ground and the ink, which antialiasing (and any blurring
// enlargement) leaves grey. A sharp picture has edges about one device pixel wide at any
// scale; a picture drawn small and enlarged has them as wide as the enlargement.
double MeanEdgeWidth(const QImage& picture, const QRect& area) {
    const QImage grey = picture.convertToFormat(QImage::Format_Grayscale8);
    const int ground = qGray(picture.pixel(area.topLeft()));
    int edges = 0, greyPixels = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const uchar* line = grey.constScanLine(y);
        int run = 0;
        for (int x = area.left(); x <= area.right(); ++x) {
            const int level = line[x];
            const bool between = level > 64 && level < ground - 16;
            if (between) {
                ++run;
                continue;
            }
            if (run > 0) {
                ++edges;
                greyPixels += run;
            }
            run = 0;
        }
    }
    return edges == 0 ? 0.0 : static_cast<double>(greyPixels) / edges;
}

} // namespace

TEST(TaskToolTest, PreviewAtAScaleIsAsLargeAndAsSharp) {
    QTemporaryDir dir;
    const QString path = WriteTask(
        dir, "<QUEST>Колесо радиуса R катится без проскальзывания по прямой; найдите скорость "
             "точки B и угловую скорость колеса.</QUEST>"
             "<IMAGE>WIDTH(200);HEIGHT(60);</IMAGE><REQUEST>vB;w;</REQUEST>");
    std::map<QString, QImage> pictures;
    for (const QString scale : {"1", "2", "1.5"}) {
        const QString png = dir.filePath(scale + ".png");
        const ProgramRun run = RunTool({"preview", path, png, "--scale", scale, "--width", "400"});
        ASSERT_EQ(run.exitCode, 0) << run.err;
        pictures[scale] = QImage(png);
    }
    const QImage& plain = pictures["1"];
    const QImage& dense = pictures["2"];
    ASSERT_EQ(plain.width(), 400);
    EXPECT_EQ(dense.size(), plain.size() * 2);
    EXPECT_EQ(pictures["1.5"].width(), 600);

    // The statement's three lines, above the diagram: dark text on the pane's ground.
    const QRect text(20, 5, 320, 45);
    const QRect denseText(text.topLeft() * 2, text.size() * 2);
    const double plainEdge = MeanEdgeWidth(plain, text);
    const double denseEdge = MeanEdgeWidth(dense, denseText);
    ASSERT_GT(plainEdge, 0.0);
    EXPECT_LE(denseEdge, plainEdge * 1.3) << plainEdge << " " << denseEdge;
    // The measure tells: the plain picture enlarged smoothly has edges twice as wide.
    const QImage enlarged =
        plain.scaled(plain.size() * 2, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    EXPECT_GT(MeanEdgeWidth(enlarged, denseText), denseEdge * 1.5) << denseEdge;

    for (const QString bad : {"0", "-1", "4.5", "two", ""})
        EXPECT_EQ(RunTool({"preview", path, dir.filePath("bad.png"), "--scale", bad}).exitCode, 64)
            << bad.toStdString();
    EXPECT_EQ(RunTool({"preview", path, dir.filePath("bad.png"), "--scale"}).exitCode, 64);
}

// judge-drawing: the report and the exit status of a drawing judged against the student's
// variant, and 64 with a message for what cannot be read.
TEST(TaskToolTest, JudgeDrawingReportsEachObjectAndExitsWithTheVerdict) {
    const std::string task = "<QUEST>Балка</QUEST><IMAGE>TEXT(52,64,\"A\");</IMAGE>"
                             "<PARAMETERS>P = 10; x = 50, 250;</PARAMETERS>";
    const std::string beam = task + "<DRAW>FORCE(50,60,90,R!A,P/2,either);\n"
                                    "FORCE(150,60,270,F,P);</DRAW>";
    const struct {
        std::string task;
        std::string drawing; // nothing written when it is "-"
        QStringList options;
        int exitCode;
        std::string out; // the whole output, or a part of the error output when 64
    } cases[] = {
        {beam,
         "# right\nforce 50 60 90 R_A 5\nforce 150 60 270 F 10\n",
         {},
         0,
         "верно: R_A\nверно: F\nscore 2 of 2\n"},
        {beam,
         "force 50 60 270 R!A -5\nforce 150 60 270 F 2*5\n",
         {"--student", "ivanov"},
         0,
         "верно: R_A\nверно: F\nscore 2 of 2\n"},
        {beam,
         "force 50 60 270 R_A 5\nforce 150 60 270 F 10\nforce 90 20 0 P\n",
         {},
         1,
         "величина: R_A\nверно: F\nлишняя: P\nscore 0 of 2\n"},
        {beam,
         "force 50 60 90 R_B 5\nforce 150 60 0 F 10\n",
         {},
         1,
         "имя: R_B (нужно R_A)\nнаправление: F\nscore 0 of 2\n"},
        {beam, "\n# nothing yet\n", {}, 2, "нет: R_A\nнет: F\nscore 0 of 2\n"},
        {beam, "force 50 60 up R_A\n", {}, 64, "line 1: ANGLE is not a number: up"},
        {beam, "-", {}, 64, "cannot read"},
        {task, "force 50 60 90 R_A\n", {}, 64, "the task has no DRAW section"},
        {task + "<DRAW>FORCE(50,60,90);</DRAW>",
         "force 50 60 90 R_A\n",
         {},
         64,
         "DRAW: statement not understood: FORCE(50,60,90)"},
        {task + "<DRAW>FORCE({y},60,90,F);</DRAW>",
         "force 50 60 90 F\n",
         {},
         64,
         "DRAW: {y} names no parameter"},
        {beam + "<DRAWTOL>10; 180</DRAWTOL>", "force 50 60 90 R_A\n", {}, 64, "DRAWTOL"},
        {beam, "force 50 60 90 R_A 5\n", {"--db"}, 64, "usage"},
        {beam, "force 50 60 90 R_A 5\n", {"--student", "a", "--student", "b"}, 64, "usage"},
        {beam, "force 50 60 90 R_A 5\n", {"--student=a"}, 64, "usage"},
        {beam, "force 50 60 90 R_A 5\n", {"--db", "/nonexistent/vekta.sqlite"}, 64, ""},
    };
    QTemporaryDir dir;
    for (const auto& c : cases) {
        const QString drawing = dir.filePath("drawing.txt");
        QFile::remove(drawing);
        if (c.drawing != "-")
            std::ofstream(drawing.toStdString(), std::ios::binary) << c.drawing;
        const ProgramRun run =
            RunTool(QStringList{"judge-drawing", WriteTask(dir, c.task), drawing} + c.options);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.drawing << run.err;
        if (c.exitCode == 64)
            EXPECT_NE(run.err.find(c.out), std::string::npos) << run.err;
        else
            EXPECT_EQ(run.out, c.out) << c.drawing;
    }
    // Each student's drawing is judged against their own variant.
    const QString moved = WriteTask(dir, task + "<DRAW>FORCE({x},60,270,F);</DRAW>");
    const QString drawing = dir.filePath("drawing.txt");
    std::ofstream(drawing.toStdString(), std::ios::binary) << "force 50 60 270 F\n";
    std::map<int, int> statuses;
    for (int i = 0; i < 12; ++i) {
        const QStringList arguments{"judge-drawing", moved, drawing, "--student",
                                    "student" + QString::number(i)};
        const int status = RunTool(arguments).exitCode;
        EXPECT_EQ(RunTool(arguments).exitCode, status);
        ++statuses[status];
    }
    EXPECT_EQ(statuses.size(), 2u);

    // preview --solution draws the right drawing over the diagram, and only where the task
    // has one.
    const QString beamFile = WriteTask(dir,
                                       "<IMAGE>HEIGHT(120);WIDTH(300);LINE(50,60,250,60)"
                                       "</IMAGE><DRAW>FORCE(50,60,90,R!A);"
                                       "MOMENT(150,60,cw,M);</DRAW>",
                                       "beam.task");
    const QString plain = dir.filePath("plain.png");
    const QString solved = dir.filePath("solved.png");
    ASSERT_EQ(RunTool({"preview", beamFile, plain}).exitCode, 0);
    const ProgramRun solution = RunTool({"preview", beamFile, solved, "--solution"});
    ASSERT_EQ(solution.exitCode, 0) << solution.err;
    const QImage before(plain);
    const QImage after(solved);
    ASSERT_EQ(before.size(), after.size());
    int changed = 0;
    for (int y = 0; y < after.height(); ++y)
        for (int x = 0; x < after.width(); ++x)
            changed += before.pixel(x, y) != after.pixel(x, y);
    EXPECT_GT(changed, 100);
    const ProgramRun none =
        RunTool({"preview", WriteTask(dir, task, "plain.task"), plain, "--solution"});
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_NE(none.err.find("the task has no DRAW section"), std::string::npos) << none.err;
    EXPECT_EQ(RunTool({"preview", beamFile, solved, "--solution", "--solution"}).exitCode, 64);
}
