// The author's tool and the server agree: every row of a table of reference, answer and
// declared names is judged by `vekta-formula judge` and, as a task of its own, by the
// real server over a socket, and both give the row's verdict. The shipped bank's
// reference answers are rows too, each judged right against itself. So does every drawing
// of a table: `vekta-task judge-drawing` and the server, to a client that draws.

#include "ProgramRun.h"
#include "ServerProcess.h"
#include "TestBank.h"
#include "course/TaskBank.h"
#include "course/TaskVariant.h"
#include "course/VariantSeed.h"
#include "judging/TaskJudging.h"
#include "platform/Cp1251.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using platform::Cp1251ToUtf8;
using platform::Utf8ToCp1251;

namespace {

struct Row {
    std::string reference; // UTF-8, as an author writes it
    std::string answer;
    std::vector<std::string> variables; // <VARIABLES> items, with ranges if any
    // "верно", "неверно", "не принято", or what is wrong with the reference: the tool then
    // exits 3 saying it, and the server leaves the task out.
    std::string verdict;
    std::string tolerance = "1"; // <TOLERANCE>: percent, then perhaps "; " and the zero's
    bool unitsRequired = false;  // <UNITS>required</UNITS>
    int sigfigs = 0;             // <SIGFIGS>
};

const std::string kTooFewPoints =
    "эталонный ответ нельзя проверить: меньше 12 точек, где он вычисляется; измените диапазоны";

std::vector<Row> Table() {
    const std::vector<std::string> vc = {"v!C", "R"};
    return {
        // implicit products and the notation of the answer rows
        {"2*v!C", "2v!C", vc, "верно"},
        {"2*v!C", "2v_C", vc, "верно"},
        {"2*v!C", "2*v!C@", vc, "верно"},
        {"2*v!C", "3v_C", vc, "неверно"},
        {"(a+b)*(a-b)", "(a+b)(a-b)", {"a", "b"}, "верно"},
        {"2*(a+b)", "2(a+b)", {"a", "b"}, "верно"},
        {"(a+b)*a", "(a+b)a", {"a", "b"}, "верно"},
        {"v!C/R", "~w", {"v!C", "R", "~w"}, "неверно"},
        // powers
        {"sqrt(2)*v!C", "v!C*2^0.5", vc, "верно"},
        {"sqrt(2)*v!C", "v_C*2#0,5@", vc, "верно"},
        {"x#2a@", "x^(2a)", {"x", "a"}, "верно"},
        {"x#2a@", "x^2a", {"x", "a"}, "неверно"},
        {"1/x", "x^-1", {"x"}, "верно"},
        // decimal commas and points
        {"0.75*F*l", "0,75*F*l", {"F", "l"}, "верно"},
        {"2.83", "2,85", {}, "верно"},
        {"2.83", "2.9", {}, "неверно"},
        {"2.83", "2,8,5", {}, "не принято"},
        // undeclared names and letter runs
        {"m*g", "mg", {"m"}, "не принято"},
        {"m*g", "m*g*k", {"m"}, "не принято"},
        {"m*g", "m*9.81", {"m"}, "верно"},
        {"~w*R", "R~w", {"~w", "R"}, "не принято"},
        {"~w*R", "R*~w", {"~w", "R"}, "верно"},
        {"m*g", "m(g)", {"m"}, "не принято"},
        {"m*g", "(m*g", {"m"}, "не принято"},
        // ranges and the tolerance
        {"x", "abs(x)", {"x"}, "верно"},
        {"x", "abs(x)", {"x=-2..2"}, "неверно"},
        {"x-1", "x-1", {"x=0,5..1,5"}, "верно"},
        {"x", "1.001*x", {"x"}, "верно"},
        {"x", "1.001*x", {"x"}, "неверно", "0.05"},
        {"sqrt(x)", "x^0.5", {"x=-1..1"}, "верно"},
        {"x", "x/(x-x)", {"x"}, "не принято"}, // no value anywhere: no attempt spent
        {"1", "1/0", {}, "не принято"},
        {"1", "sqrt(-1)", {}, "не принято"},
        {"x", "sqrt(x)*sqrt(x)", {"x=-1..1"}, "неверно"},
        // the tolerance's edge, small magnitudes, kept function results, zero references
        {"1", "1.01", {}, "верно"},
        {"100", "101", {}, "верно"},
        {"1", "0.95", {}, "верно", "5"},
        {"1*10^33", "1.05*10^33", {}, "верно", "5"},
        {"q*1.6*10^(-19)", "0", {"q"}, "неверно"},
        {"m*10^(-10)", "2*m*10^(-10)", {"m"}, "неверно"},
        {"exp(-25)", "0", {}, "неверно"},
        {"exp(-25)", "5*exp(-25)", {}, "неверно"},
        {"10^10", "1/10^(-10)", {}, "верно"},
        {"q/(1.6*10^(-19))", "q*6,25E18", {"q"}, "верно"},
        {"F*cos(pi/2)", "0", {"F"}, "верно"},
        {"0.1*3-0.3", "0", {}, "верно"},
        {"0", "1e-7", {}, "неверно"},
        {"0", "1e-7", {}, "верно", "1; 1e-6"},
        {"0", "1e-7", {}, "верно", "1; 1,5e-7"},
        // powers from the right, numbers with their power of ten, lg
        {"256", "2^2^3", {}, "верно"},
        {"64", "2^2^3", {}, "неверно"},
        {"1.6*10^(-19)", "1,6E-19", {}, "верно"},
        {"3.33333333333333E-7", "1/3000000", {}, "верно"},
        {"2*E-3", "2E-3", {"E"}, "верно"},
        {"0.002", "2E-3", {"F"}, "верно"},
        {"lg(x)", "log(x)", {"x"}, "верно"},
        {"v!C/R", "vC/R", {"v!C", "R"}, "не принято"},
        // quantities: units converted, a bare number in the reference's unit, names never
        // units, units of another kind, figures counted
        {"-F/2 кН", "-500*F*Н", {"F"}, "верно"},
        {"-F/2 кН", "-F/2", {"F"}, "верно"},
        {"-F/2 кН", "-F/2", {"F"}, "не принято", "1", true},
        {"-F/2 кН", "-F/2*кН", {"F"}, "верно", "1", true},
        {"10 м/с", "36км/ч", {}, "верно"},
        {"2*N Н", "2N", {"N"}, "верно"},
        {"5 кН", "5g", {}, "неверно"},
        {"5 кН", "5000", {}, "неверно"},
        {"5 кН", "5кг", {}, "неверно"},
        {"5 кН", "5кх", {}, "не принято"},
        {"5 кН", "5кH", {}, "не принято"},
        {"pi/6 рад", "30°", {}, "верно"},
        {"2.83", "2,8", {}, "не принято", "1", false, 3},
        {"2.83", "2,83", {}, "верно", "1", false, 3},
        {"2500", "2,50E3", {}, "верно", "1", false, 3},
        // a reference with a value at fewer than 12 points drawn
        {"(x-4*a)^6000", "(4*a-x)^6000+0*sqrt(4.8685-x)", {"x", "a"}, kTooFewPoints},
    };
}

// The shipped bank's reference answers, each against itself, with the values of a variant
// and the earlier rows' references in place of their names.
std::vector<Row> BankRows() {
    std::vector<Row> rows;
    for (const BankTask& bankTask : LoadTaskBank(VEKTA_BANK_DIR).tasks) {
        const BankTask task = VariantOf(bankTask, kPreviewSecret, "variant 1").task;
        std::vector<std::string> variables;
        for (const std::string& item : SplitItems(task.variablesSection))
            variables.push_back(Cp1251ToUtf8(item));
        for (const std::string& reference : RowReferences(task))
            rows.push_back({Cp1251ToUtf8(reference), Cp1251ToUtf8(reference), variables, "верно",
                            QString("%1; %2")
                                .arg(task.tolerance.percent, 0, 'g', 17)
                                .arg(task.tolerance.zero, 0, 'g', 17)
                                .toStdString()});
    }
    return rows;
}

std::string ToolVerdict(const Row& row) {
    const std::size_t semicolon = row.tolerance.find(';');
    QStringList arguments = {"judge", "--tolerance",
                             QString::fromStdString(row.tolerance.substr(0, semicolon))};
    if (semicolon != std::string::npos)
        arguments << "--zero-tolerance"
                  << QString::fromStdString(row.tolerance.substr(semicolon + 1)).trimmed();
    for (const std::string& variable : row.variables)
        arguments << "--var" << QString::fromStdString(variable);
    if (row.unitsRequired)
        arguments << "--units"
                  << "required";
    if (row.sigfigs > 0)
        arguments << "--sigfigs" << QString::number(row.sigfigs);
    arguments << QString::fromStdString(row.reference) << QString::fromStdString(row.answer);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("LC_ALL", "C");
    const ProgramRun run = RunProgram(VEKTA_FORMULA_PATH, arguments, environment);
    if (run.exitCode == 3 && run.out.empty())
        return run.err.substr(0, run.err.find('\n'));
    const std::string line = run.out.substr(0, run.out.find_first_of(":\n"));
    // The exit code tells the verdict too.
    const char* byCode[] = {"верно", "неверно", "не принято"};
    if (run.exitCode < 0 || run.exitCode > 2 || line != byCode[run.exitCode])
        return "exit " + std::to_string(run.exitCode) + ": " + run.out + run.err;
    return line;
}

// A bank with one task per row, "rowN", whose one answer is named "A".
bool WriteBank(const QString& folder, const std::vector<Row>& rows) {
    if (!QDir(folder).mkpath("statica"))
        return false;
    QFile users(folder + "/users.txt");
    if (!users.open(QIODevice::WriteOnly))
        return false;
    users.write("Guest;wuzo\n");
    for (std::size_t k = 0; k < rows.size(); ++k) {
        std::string text = "<CAPTION>row</CAPTION><REQUEST>A;</REQUEST><ANSWER>" +
                           rows[k].reference + ";</ANSWER><TOLERANCE>" + rows[k].tolerance +
                           "</TOLERANCE><VARIABLES>";
        for (const std::string& variable : rows[k].variables)
            text += variable + ";";
        text += "</VARIABLES>";
        if (rows[k].unitsRequired)
            text += "<UNITS>required</UNITS>";
        if (rows[k].sigfigs > 0)
            text += "<SIGFIGS>" + std::to_string(rows[k].sigfigs) + "</SIGFIGS>";
        QFile task(folder + "/statica/row" + QString::number(k) + ".task");
        if (!task.open(QIODevice::WriteOnly))
            return false;
        task.write(text.data(), static_cast<qint64>(text.size()));
    }
    return true;
}

// The verdict word of the answer "A" in the server's message.
std::string ServerVerdict(ProtocolClient& client, std::size_t row, const std::string& answer) {
    client.Send("GETQUEST", "row" + std::to_string(row));
    if (ReadTag(client.Next()) != "QUEST")
        return "no QUEST";
    client.Send("SETRESULTQUEST", " A @=" + Utf8ToCp1251(answer) + ";");
    const std::string message = Cp1251ToUtf8(ReadPayload(client.Next()));
    if (message.rfind("A: ", 0) != 0)
        return message;
    const std::string rest = message.substr(3);
    for (const char* word : {"не принято", "неверно", "верно"})
        if (rest.rfind(word, 0) == 0)
            return word;
    return message;
}

} // namespace

TEST(AnswerAgreementTest, TheToolAndTheServerGiveEveryRowItsVerdict) {
    std::vector<Row> rows = Table();
    for (Row& row : BankRows())
        rows.push_back(std::move(row));
    QTemporaryDir bank;
    ASSERT_TRUE(WriteBank(bank.path(), rows));
    ServerProcess server({"--bank", bank.path(), "--submission-interval", "0"});
    ASSERT_TRUE(server.Started());
    ProtocolClient client(server.Port());
    client.Send("LOGIN", "Guest;wuzo");
    ASSERT_EQ(ReadTag(client.Next()), "MESSAGE");

    for (std::size_t k = 0; k < rows.size(); ++k) {
        const Row& row = rows[k];
        const std::string what = row.reference + " vs " + row.answer;
        EXPECT_EQ(ToolVerdict(row), row.verdict) << what;
        const bool badReference = row.verdict.rfind("эталон", 0) == 0;
        EXPECT_EQ(ServerVerdict(client, k, row.answer), badReference ? "no QUEST" : row.verdict)
            << what;
    }
}

TEST(AnswerAgreementTest, TheToolReadsAndReportsAsTheServerDoes) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("LC_ALL", "C");
    const ProgramRun read =
        RunProgram(VEKTA_FORMULA_PATH, {"read", "--var", "v!C", "2v!C"}, environment);
    EXPECT_EQ(read.out, "2·v_C\n");
    EXPECT_EQ(read.exitCode, 0);
    const ProgramRun unknown =
        RunProgram(VEKTA_FORMULA_PATH, {"read", "--var", "m", "mg"}, environment);
    EXPECT_EQ(unknown.err, "mg: нет такого обозначения; возможно, m*g?\n");
    EXPECT_EQ(unknown.out, "");
    EXPECT_EQ(unknown.exitCode, 1);
    const ProgramRun refused =
        RunProgram(VEKTA_FORMULA_PATH, {"judge", "--var", "m", "m*g", "mg"}, environment);
    EXPECT_EQ(refused.out, "не принято: mg: нет такого обозначения; возможно, m*g?\n");
    EXPECT_EQ(refused.exitCode, 2);
    for (const QStringList& badReference :
         {QStringList{"judge", "4*y", "4"}, QStringList{"judge", "(1", "1"},
          QStringList{"judge", "1/0", "1"}}) {
        const ProgramRun run = RunProgram(VEKTA_FORMULA_PATH, badReference, environment);
        EXPECT_EQ(run.exitCode, 3) << badReference.join(' ').toStdString();
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err, "");
    }
    const ProgramRun usage =
        RunProgram(VEKTA_FORMULA_PATH, {"judge", "--var", "a=3..1", "a", "a"}, environment);
    EXPECT_EQ(usage.exitCode, 64);
    for (const char* zero : {"0", "2e6", "abc", "-1"}) {
        const ProgramRun run = RunProgram(
            VEKTA_FORMULA_PATH, {"judge", "--zero-tolerance", zero, "0", "0"}, environment);
        EXPECT_EQ(run.exitCode, 64) << zero;
        EXPECT_EQ(run.err.substr(0, run.err.find('\n')),
                  "vekta-formula: --zero-tolerance wants a number above 0 and at most 1e6, not \"" +
                      std::string(zero) + "\"");
    }
}

// A drawing as the tool reads it (a line each) and as the wire carries it (";"-ended).
TEST(AnswerAgreementTest, TheToolAndTheServerGiveEveryDrawingItsVerdict) {
    const struct {
        const char* drawing; // one object a line
        const char* verdict;
    } drawings[] = {
        {"force 40 70 0 X!A\nforce 40 70 90 Y!A\nforce 280 70 90 R!B 3\nforce 160 70 270 F\n"
         "moment 200 70 ccw M",
         "верно"},
        {"force 42 66 180 X_A\nforce 40 70 270 Y_A\nforce 285 75 270 R_B -3\n"
         "force 160 70 270 F\nmoment 20 20 ccw M",
         "верно"},
        {"force 40 70 0 X!A\nforce 40 70 90 Y!A\nforce 280 70 90 R!C\nforce 160 70 270 F\n"
         "moment 200 70 ccw M",
         "неверно"},
        {"force 40 70 0 X!A\nforce 40 70 90 Y!A\nforce 280 70 90 R!B 3\nforce 160 70 90 F\n"
         "moment 200 70 cw M",
         "неверно"},
        {"force 40 70 45 R!A\nforce 280 70 90 R!B 3\nforce 160 70 270 F\nmoment 200 70 ccw M\n"
         "force 100 70 0 P",
         "неверно"},
        {"", "не принято"},
    };
    QTemporaryDir bank;
    ASSERT_TRUE(WriteTestBank(
        bank.path(), "statica/beam.task",
        "<CAPTION>Балка</CAPTION><IMAGE>HEIGHT(140);WIDTH(320);TEXT(22,48,\"A\");</IMAGE>"
        "<REQUEST>R!B;</REQUEST><ANSWER>3;</ANSWER>"
        "<DRAW>PIN(40,70,A); ROLLER(280,70,90,R!B); FORCE(160,70,270,F);"
        "MOMENT(200,70,ccw,M);</DRAW>"));
    const QString task = bank.filePath("statica/beam.task");
    ServerProcess server({"--bank", bank.path(), "--submission-interval", "0"});
    ASSERT_TRUE(server.Started());
    ProtocolClient client(server.Port());
    client.Send("FEATURES", "drawing");
    client.Send("LOGIN", "Guest;wuzo");
    ASSERT_EQ(ReadTag(client.Next()), "MESSAGE");
    client.Send("GETQUEST", "beam");
    ASSERT_EQ(ReadTag(client.Next()), "QUEST");
    QTemporaryDir dir;
    for (const auto& c : drawings) {
        const QString path = dir.filePath("drawing.txt");
        QFile written(path);
        ASSERT_TRUE(written.open(QIODevice::WriteOnly | QIODevice::Truncate));
        written.write(c.drawing);
        written.close();
        const int status = RunProgram(VEKTA_TASK_PATH, {"judge-drawing", task, path}).exitCode;
        const char* toolVerdict = status == 0 ? "верно" : status == 1 ? "неверно" : "не принято";
        EXPECT_STREQ(toolVerdict, c.verdict) << c.drawing;

        std::string item = " R!B @=3; @DRAW=";
        for (const QString& line : QString::fromUtf8(c.drawing).split('\n', Qt::SkipEmptyParts))
            item += line.toStdString() + ";";
        client.Send("SETRESULTQUEST", item);
        const std::string told = Cp1251ToUtf8(ReadPayload(client.Next()));
        EXPECT_NE(told.find(std::string("рисунок: ") + c.verdict), std::string::npos)
            << c.drawing << "\n"
            << told;
    }
}
