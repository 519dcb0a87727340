// vekta-task: shows and checks a task file of the reference server's bank.
//   vekta-task preview FILE.task OUT.png [--width W] [--student NAME] [--db LOCATION] [--scale R]
//                      [--solution]
//   vekta-task check FILE.task|FOLDER... [--variants N]
//   vekta-task variants FILE.task [--count N] [--db LOCATION]
//   vekta-task judge-drawing FILE.task DRAWING [--student NAME] [--db LOCATION]
// preview draws the task view pane as the student NAME sees it once the task has arrived,
// W pixels wide (by default the pane's width in the main window's default size) and as
// tall as its content. The variant is drawn with the course's secret kept in the server's
// database at LOCATION (only read, never made), so it is exactly what that student sees;
// without --db with the preview secret, so previews are reproducible. Without --student it
// is the first variant that variants lists. With --scale R it is drawn as a screen of device
// pixel ratio R shows it, R times as many pixels each way (R in (0, 4], 1 by default). With
// --solution a right drawing (the task's DRAW in that variant) is drawn over the diagram. A diagram
// the client cannot read is reported on stderr, the picture is still written and the exit status
// is 1. check runs the server's own validation over N variants (50 by default) of each task file
// given and of each .task file in the folders given: it writes one line on stderr per problem
// the server would refuse or a student would meet, failing author tests included, each
// variant's diagram and animation drawn whole (anything outside the picture is a problem), and per
// warning ("warning: ...", an answer label wider than 200 pixels among them); for each task without
// problems one line on stdout, "NAME: N вариантов, M проверок — в порядке" (M the author's tests
// run on every variant). It exits with 1 when any task has a problem, 0 when none has (warnings
// alone change nothing). variants lists the first N variants check draws (10 by default) with their
// values and reference answers; with
// --db the variants of the database's accounts (the first N of them with --count), drawn with the
// course's secret. judge-drawing judges a drawn answer (one object a line: "force X Y ANGLE
// NAME [MAGNITUDE]" or "moment X Y ccw|cw NAME [MAGNITUDE]") against the task's DRAW for the
// variant preview would show: a line per expected and per extra object, then "score M of N";
// it exits 0 for "верно", 1 for anything else judged, 2 for an empty drawing.

#include "JudgeDrawing.h"
#include "StudentTask.h"
#include "TaskFile.h"
#include "TaskPreview.h"
#include "ToolArguments.h"
#include "VariantList.h"
#include "app/TaskView.h"
#include "course/CourseConfig.h"
#include "course/VariantSeed.h"
#include "drawing/SolutionImage.h"
#include "storage/CourseRecords.h"
#include "validation/AuthorTests.h"
#include "validation/TaskValidation.h"

#include "ScaleOption.h"

#include "platform/Convert.h"
#include "platform/Cp1251.h"
#include "platform/QtCanvas.h"
#include "platform/VektaApplication.h"

#include <QImage>
#include <QtGlobal>

#include <algorithm>
#include <charconv>
#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

constexpr int kUsage = 64;
constexpr int kMinPaneWidth = 100;
constexpr int kMaxPaneWidth = 4000;
constexpr int kMaxVariants = 100000;
constexpr int kListedVariants = 10;
// The widest answer label a check lets pass without a warning, in pixels.
constexpr int kWidestLabel = 200;

void QuietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::cerr << message.toLocal8Bit().constData() << '\n';
}

int Usage() {
    std::cerr << "usage: vekta-task preview FILE.task OUT.png [--width W] [--student NAME] "
                 "[--db LOCATION] [--scale R] [--solution]\n"
                 "       vekta-task check FILE.task|FOLDER... [--variants N]\n"
                 "       vekta-task variants FILE.task [--count N] [--db LOCATION]\n"
                 "       vekta-task judge-drawing FILE.task DRAWING [--student NAME] "
                 "[--db LOCATION]\n";
    return kUsage;
}

// The client's windows are drawn off any screen, and Qt's chatter is kept out of the output.
void UseOffscreenScreen() {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    qInstallMessageHandler(QuietQtMessages);
}

void Complain(const std::string& utf8) {
    std::cerr << "vekta-task: " << utf8 << '\n';
}

std::optional<TaskFile> Read(const char* path) {
    std::optional<TaskFile> file = ReadTaskFile(path);
    if (!file)
        Complain(std::string("cannot read ") + path);
    return file;
}

bool ReadCount(std::string_view text, int low, int high, int& count) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), count);
    return error == std::errc() && end == text.data() + text.size() && count >= low &&
           count <= high;
}

// The students whose variants are listed, and the secret they are drawn with; nothing when
// the database cannot be read (told).
std::optional<std::pair<std::string, std::vector<std::string>>>
ListedStudents(const ToolArguments& arguments, int count) {
    if (!arguments.Has("--db"))
        return std::pair{std::string(kPreviewSecret), CheckedVariantNames(count)};
    try {
        CourseRecords records = ReadCourseRecords(arguments.Option("--db"));
        if (arguments.Has("--count") && records.accounts.size() > static_cast<std::size_t>(count))
            records.accounts.resize(count);
        if (records.accounts.empty())
            Complain("the database has no accounts");
        return std::pair{records.secret, records.accounts};
    } catch (const std::runtime_error& error) {
        Complain(error.what());
        return std::nullopt;
    }
}

int Variants(int argc, char** argv) {
    const std::optional<ToolArguments> arguments =
        ReadToolArguments(argc, argv, 2, {"--count", "--db"});
    int count = kListedVariants;
    if (!arguments || arguments->words.size() != 1 ||
        (arguments->Has("--count") &&
         !ReadCount(arguments->Option("--count"), 1, kMaxVariants, count)))
        return Usage();
    const std::optional<TaskFile> file = Read(arguments->words.front().c_str());
    if (!file)
        return 1;
    const auto students = ListedStudents(*arguments, count);
    if (!students)
        return 1;
    std::cout << VariantList(file->task, students->first, students->second);
    return 0;
}

// The task files a check is given: files as they are, and the .task files of folders and
// their subfolders, in order. Nothing when a path is neither (told).
std::optional<std::vector<std::filesystem::path>>
CheckedFiles(const std::vector<std::string>& paths) {
    namespace fs = std::filesystem;
    std::vector<fs::path> files;
    for (const std::string& written : paths) {
        const fs::path path(written);
        std::error_code error;
        if (!fs::is_directory(path, error)) {
            files.push_back(path);
            continue;
        }
        std::vector<fs::path> found;
        for (const auto& entry : fs::recursive_directory_iterator(path, error))
            if (entry.is_regular_file() && entry.path().extension() == ".task")
                found.push_back(entry.path());
        if (found.empty()) {
            Complain("no .task files in " + written);
            return std::nullopt;
        }
        std::sort(found.begin(), found.end());
        files.insert(files.end(), found.begin(), found.end());
    }
    return files;
}

// "5 вариантов", "1 вариант", "2 варианта": a count with the word agreeing.
std::string Counted(int count, const char* one, const char* few, const char* many) {
    const int lastTwo = count % 100, last = count % 10;
    const char* word = (lastTwo >= 11 && lastTwo <= 14) ? many
                       : last == 1                      ? one
                       : (last >= 2 && last <= 4)       ? few
                                                        : many;
    return std::to_string(count) + " " + word;
}

// Checks one file: its problems and warnings on stderr, and on stdout one line saying what
// was checked when it has no problem. Whether it has none.
bool CheckFile(const std::filesystem::path& path, int variants, platform::Canvas& measure) {
    const std::string shown = path.string();
    const std::optional<TaskFile> file = Read(shown.c_str());
    if (!file)
        return false;
    std::vector<std::string> problems = ValidateTask(file->task, variants, &measure);
    if (file->unrepresentable > 0)
        problems.push_back("characters that code page 1251 cannot hold arrive as \"?\": " +
                           std::to_string(file->unrepresentable));
    for (const std::string& problem : problems)
        std::cerr << shown << ": " << problem << '\n';
    for (const std::string& warning : TaskWarnings(file->task))
        std::cerr << shown << ": warning: " << warning << '\n';
    for (const std::string& name : file->task.answerNames)
        if (const int width = TaskView::AnswerLabelWidth(name); width > kWidestLabel)
            std::cerr << shown << ": warning: REQUEST: the label of "
                      << platform::Cp1251ToUtf8(name) << " is " << width
                      << " pixels wide (more than " << kWidestLabel
                      << "): the name column widens and every answer field narrows with it\n";
    if (!problems.empty())
        return false;
    const int drawn = CheckedVariantCount(file->task, variants);
    const auto tests = static_cast<int>(ReadAuthorTests(file->task.tests).tests.size());
    std::cout << path.stem().string() << ": " << Counted(drawn, "вариант", "варианта", "вариантов")
              << ", " << Counted(tests, "проверка", "проверки", "проверок") << " — в порядке\n";
    return true;
}

// A bank folder's course.conf: its unreadable lines as problems, its surprises as warnings.
bool CheckCourseFile(const std::string& folder) {
    const std::filesystem::path path = std::filesystem::path(folder) / "course.conf";
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return true;
    std::ifstream in(path, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const CourseConfig course = ReadCourseConfig(text);
    for (const std::string& problem : course.problems)
        std::cerr << path.string() << ": " << problem << '\n';
    for (const std::string& warning : CourseWarnings(course))
        std::cerr << path.string() << ": warning: " << warning << '\n';
    return course.problems.empty();
}

int Check(int argc, char** argv) {
    const std::optional<ToolArguments> arguments = ReadToolArguments(argc, argv, 2, {"--variants"});
    int variants = kDefaultCheckedVariants;
    if (!arguments || arguments->words.empty() ||
        (arguments->Has("--variants") &&
         !ReadCount(arguments->Option("--variants"), 1, kMaxVariants, variants)))
        return Usage();
    const std::optional<std::vector<std::filesystem::path>> files = CheckedFiles(arguments->words);
    if (!files)
        return 1;
    // Every variant is drawn as the client draws it, its texts measured in the client's fonts.
    UseOffscreenScreen();
    platform::VektaApplication app(argc, argv);
    QImage surface(1, 1, QImage::Format_ARGB32_Premultiplied);
    platform::QtCanvas measure(&surface);
    bool clean = true;
    for (const std::string& folder : arguments->words)
        clean = CheckCourseFile(folder) && clean;
    for (const std::filesystem::path& file : *files)
        clean = CheckFile(file, variants, measure) && clean;
    return clean ? 0 : 1;
}

// The device pixel ratio the client's windows draw at, R whatever the environment says.
void UseScale(double scale) {
    char text[32] = {};
    std::to_chars(text, text + sizeof text - 1, scale);
    setenv("QT_SCALE_FACTOR", text, 1);
    unsetenv("QT_SCREEN_SCALE_FACTORS");
}

int Preview(int argc, char** argv) {
    const std::optional<double> scale = TakeScaleOption(argc, argv, 2, "vekta-task");
    if (!scale)
        return kUsage;
    const std::optional<ToolArguments> arguments =
        ReadToolArguments(argc, argv, 2, {"--width", "--student", "--db"}, {"--solution"});
    if (!arguments || arguments->words.size() != 2)
        return Usage();
    UseOffscreenScreen();
    UseScale(*scale);
    // The client's own application object, with the font stand-ins its windows draw with.
    platform::VektaApplication app(argc, argv);
    std::setlocale(LC_ALL, "");
    platform::InitDecimalChar();
    int width = DefaultPaneWidth();
    if (arguments->Has("--width") &&
        !ReadCount(arguments->Option("--width"), kMinPaneWidth, kMaxPaneWidth, width)) {
        Complain("the width must be a whole number of pixels in " + std::to_string(kMinPaneWidth) +
                 ".." + std::to_string(kMaxPaneWidth));
        return kUsage;
    }
    const StudentTaskRead read = ReadStudentTask(arguments->words[0], StudentChoiceOf(*arguments));
    if (!read.task) {
        Complain(read.error);
        return 1;
    }
    QuestSections sections = read.task->sections;
    if (arguments->Has("--solution")) {
        const BankTask& task = read.task->variant.task;
        if (!task.AsksForDrawing()) {
            Complain("the task has no DRAW section");
            return 1;
        }
        const std::size_t last = sections.image.find_last_not_of(" \t\r\n");
        if (last != std::string::npos && sections.image[last] != ';')
            sections.image += ';'; // the author's last statement ends before the solution's
        sections.image += drawing::SolutionStatements(task.drawing.expected);
    }
    const TaskPreview preview = PreviewTask(sections, width);
    const std::string& png = arguments->words[1];
    if (!preview.picture.save(QString::fromLocal8Bit(png.c_str()), "PNG")) {
        Complain("cannot write " + png);
        return 1;
    }
    if (!preview.error.empty()) {
        Complain(platform::Cp1251ToUtf8(preview.error));
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const std::string_view command = argc > 1 ? argv[1] : "";
    if (command == "check")
        return Check(argc, argv);
    if (command == "preview")
        return Preview(argc, argv);
    if (command == "variants")
        return Variants(argc, argv);
    if (command == "judge-drawing")
        return JudgeDrawingCommand(argc, argv);
    return Usage();
}
