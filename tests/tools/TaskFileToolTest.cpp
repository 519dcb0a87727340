// The author tools run as programs on task files: each draws the variant a student is sent,
// read from the file as the server reads it, and tells every statement it cannot draw.

#include "course/TaskBank.h"
#include "course/TaskVariant.h"
#include "storage/Database.h"

#include "platform/Cp1251.h"

#include "ProgramRun.h"

#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

namespace {

ProgramRun RunTool(const char* tool, const QStringList& arguments) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("QT_QPA_PLATFORM");
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    return RunProgram(tool, arguments, env);
}

QString Write(const QTemporaryDir& dir, const QString& name, const std::string& bytes) {
    const QString path = dir.filePath(name);
    std::ofstream(path.toStdString(), std::ios::binary) << bytes;
    return path;
}

std::string WithLineBreaks(std::string text, const std::string& lineBreak) {
    std::string out;
    for (char c : text) {
        out += c;
        if (c == ';')
            out += lineBreak;
    }
    return out;
}

// A task whose scripts hold Cyrillic labels and a parameter, one statement a line.
const std::string kImage = "HEIGHT(120);WIDTH(240);LINE(20,{y},200,{y});TEXT(30,70,\"Сила\");";
const std::string kAnimate = "<VAR>tend=1;CANVAS_WIDTH=300;CANVAS_HEIGHT=150;</VAR>"
                             "<FUN>x=20+100*t;</FUN><OBJ>LINE(x,{y},250,{y});TEXT(30,80,\"Груз\");"
                             "</OBJ>";

std::string Task(const std::string& lineBreak, const std::string& image = kImage) {
    return "<CAPTION>Проба</CAPTION>" + lineBreak + "<QUEST>y = {y}</QUEST>" + lineBreak +
           "<IMAGE>" + lineBreak + WithLineBreaks(image, lineBreak) + "</IMAGE>" + lineBreak +
           "<ANIMATE>" + WithLineBreaks(kAnimate, lineBreak) + "</ANIMATE>" + lineBreak +
           "<REQUEST>R;</REQUEST><ANSWER>y;</ANSWER><PARAMETERS>y = 20..100 step 1;</PARAMETERS>";
}

// The section of the student's variant as it goes on the wire, written as a script file.
QString WireScript(const QTemporaryDir& dir, const QString& name, const std::string& section) {
    return Write(dir, name, platform::Utf8ToCp1251(section));
}

std::string ValueOfY(const BankTask& task, const std::string& secret, const std::string& user) {
    return platform::Cp1251ToUtf8(ValuesText(VariantOf(task, secret, user).values));
}

} // namespace

TEST(TaskFileToolTest, DiagramAndAnimationOfATaskAreWhatTheServerSends) {
    QTemporaryDir dir;
    // The tools show the first listed variant unless a student is named.
    const BankTask task = ParseTaskFile(Task("\n"), "", platform::Utf8ToCp1251("Проба"));
    const std::string y = ValueOfY(task, "vekta-preview", "variant 1").substr(4);
    std::string image = kImage;
    std::string animate = kAnimate;
    for (std::string* text : {&image, &animate})
        for (std::size_t at; (at = text->find("{y}")) != std::string::npos;)
            text->replace(at, 3, y);
    const QImage wireDiagram = [&] {
        const QString png = dir.filePath("wire-diagram.png");
        EXPECT_EQ(RunTool(VEKTA_DIAGRAM_PATH, {WireScript(dir, "d.txt", image), png}).exitCode, 0);
        return QImage(png);
    }();
    const QImage wireFrame = [&] {
        const QString png = dir.filePath("wire-frame.png");
        EXPECT_EQ(
            RunTool(VEKTA_ANIMATE_PATH, {WireScript(dir, "a.txt", animate), png, "--t", "0.5"})
                .exitCode,
            0);
        return QImage(png);
    }();
    ASSERT_FALSE(wireDiagram.isNull());
    ASSERT_FALSE(wireFrame.isNull());
    for (const std::string lineBreak : {"\n", "\r\n"}) {
        const QString path = Write(dir, "Проба.task", Task(lineBreak));
        const QString diagramPng = dir.filePath("diagram.png");
        const ProgramRun diagram = RunTool(VEKTA_DIAGRAM_PATH, {"--task", path, diagramPng});
        EXPECT_EQ(diagram.exitCode, 0) << diagram.err;
        EXPECT_EQ(QImage(diagramPng), wireDiagram);
        const QString framePng = dir.filePath("frame.png");
        const ProgramRun frame =
            RunTool(VEKTA_ANIMATE_PATH, {"--task", path, framePng, "--t", "0.5"});
        EXPECT_EQ(frame.exitCode, 0) << frame.err;
        EXPECT_EQ(QImage(framePng), wireFrame);
    }

    // Another student's variant is another picture.
    const QString path = Write(dir, "Проба.task", Task("\n"));
    const QString other = dir.filePath("other.png");
    ASSERT_NE(ValueOfY(task, "vekta-preview", "ivanov").substr(4), y);
    EXPECT_EQ(RunTool(VEKTA_DIAGRAM_PATH, {"--task", path, "--student", "ivanov", other}).exitCode,
              0);
    EXPECT_NE(QImage(other), wireDiagram);
}

TEST(TaskFileToolTest, AStatementThatCannotBeDrawnIsAnError) {
    QTemporaryDir dir;
    const QString path =
        Write(dir, "bad.task", Task("\r\n", kImage + "CIRLCE(50,50,10);LINE(1,2,3);"));
    const QString png = dir.filePath("out.png");
    const ProgramRun diagram = RunTool(VEKTA_DIAGRAM_PATH, {"--task", path, png});
    EXPECT_EQ(diagram.exitCode, 1);
    EXPECT_NE(diagram.err.find("CIRLCE(50,50,10);"), std::string::npos) << diagram.err;
    EXPECT_NE(diagram.err.find("LINE(1,2,3);"), std::string::npos) << diagram.err;
    EXPECT_FALSE(QImage(png).isNull());

    const QString script = Write(dir, "a.txt", "<OBJ>LINE(1,1,50,50);CIRLCE(50,50,10);</OBJ>");
    const ProgramRun animate = RunTool(VEKTA_ANIMATE_PATH, {script, png});
    EXPECT_EQ(animate.exitCode, 1);
    EXPECT_NE(animate.err.find("unknown keyword): CIRLCE(50,50,10)"), std::string::npos)
        << animate.err;

    const QString plain = Write(dir, "plain.task", "<QUEST>Q</QUEST><REQUEST>R;</REQUEST>");
    const ProgramRun noImage = RunTool(VEKTA_DIAGRAM_PATH, {"--task", plain, png});
    EXPECT_EQ(noImage.exitCode, 1);
    EXPECT_NE(noImage.err.find("no IMAGE"), std::string::npos) << noImage.err;
    EXPECT_EQ(RunTool(VEKTA_ANIMATE_PATH, {"--task", plain, png}).exitCode, 1);

    EXPECT_EQ(RunTool(VEKTA_DIAGRAM_PATH, {"--task", path}).exitCode, 64);
    EXPECT_EQ(RunTool(VEKTA_DIAGRAM_PATH, {script, png, "--student", "ivanov"}).exitCode, 64);
    EXPECT_EQ(RunTool(VEKTA_ANIMATE_PATH, {"--task", path, png, "--t"}).exitCode, 64);
    EXPECT_EQ(RunTool(VEKTA_ANIMATE_PATH, {"--task", path, png, "--colour", "red"}).exitCode, 64);
}

TEST(TaskFileToolTest, TheCoursesSecretIsReadFromTheDatabaseWithoutChangingIt) {
    QTemporaryDir dir;
    const QString path = Write(dir, "Проба.task", Task("\n"));
    const QString png = dir.filePath("out.png");
    const QString missing = dir.filePath("missing.sqlite");
    for (const char* tool : {VEKTA_TASK_PATH, VEKTA_DIAGRAM_PATH, VEKTA_ANIMATE_PATH}) {
        const QStringList arguments = tool == std::string(VEKTA_TASK_PATH)
                                          ? QStringList{"preview", path, png, "--db", missing}
                                          : QStringList{"--task", path, png, "--db", missing};
        const ProgramRun run = RunTool(tool, arguments);
        EXPECT_EQ(run.exitCode, 1) << tool;
        EXPECT_NE(run.err.find("no database at"), std::string::npos) << run.err;
    }
    EXPECT_FALSE(QFile::exists(missing));

    const std::string location = dir.filePath("course.sqlite").toStdString();
    std::string secret;
    {
        Database database(location);
        ASSERT_TRUE(database.AddAccount("ivanov", "x"));
        ASSERT_TRUE(database.AddAccount("петров", "x"));
        const ProgramRun early =
            RunTool(VEKTA_TASK_PATH, {"variants", path, "--db", QString::fromStdString(location)});
        EXPECT_EQ(early.exitCode, 1);
        EXPECT_NE(early.err.find("no course secret"), std::string::npos) << early.err;
        secret = database.CourseSecret();
    }
    const BankTask task = ParseTaskFile(Task("\n"), "", platform::Utf8ToCp1251("Проба"));
    const auto bytes = [&location] {
        std::ifstream in(location, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    const std::string before = bytes();
    const ProgramRun listed =
        RunTool(VEKTA_TASK_PATH, {"variants", path, "--db", QString::fromStdString(location)});
    EXPECT_EQ(listed.exitCode, 0) << listed.err;
    EXPECT_EQ(listed.out,
              "ivanov: " + ValueOfY(task, secret, "ivanov") + "\n  R = (" +
                  ValueOfY(task, secret, "ivanov").substr(4) +
                  ") = " + ValueOfY(task, secret, "ivanov").substr(4) + "\n" +
                  "петров: " + ValueOfY(task, secret, platform::Utf8ToCp1251("петров")) +
                  "\n  R = (" + ValueOfY(task, secret, platform::Utf8ToCp1251("петров")).substr(4) +
                  ") = " + ValueOfY(task, secret, platform::Utf8ToCp1251("петров")).substr(4) +
                  "\n");
    EXPECT_EQ(bytes(), before);
}
