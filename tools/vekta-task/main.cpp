// vekta-task: shows and checks a task file of the reference server's bank.
//   vekta-task preview FILE.task OUT.png [--width W] [--student NAME] [--db LOCATION] [--scale R]
//   vekta-task check FILE.task [--variants N]
//   vekta-task variants FILE.task [--count N] [--db LOCATION]
// preview draws the task view pane as the student NAME sees it once the task has arrived,
// W pixels wide (by default the pane's width in the main window's default size) and as
// tall as its content. The variant is drawn with the course's secret kept in the server's
// database at LOCATION (only read, never made), so it is exactly what that student sees;
// without --db with the preview secret, so previews are reproducible. Without --student it
// is the first variant that variants lists. With --scale R it is drawn as a screen of device
// pixel ratio R shows it, R times as many pixels each way (R in (0, 4], 1 by default). A diagram
// the client cannot read is reported on stderr, the picture is still written and the exit status
// is 1. check runs the server's own validation of a task over N variants (50 by default): it writes
// one line on stderr per problem the server would refuse or a student would meet, failing author
// tests included, and exits with 1 when there is any, 0 when the task is clean. variants lists the
// first N variants check draws (10 by default) with their values and reference answers; with --db
// the variants of the database's accounts (the first N of them with --count), drawn with the
// course's secret.

#include "CourseRecords.h"
#include "JudgeDrawing.h"
#include "StudentTask.h"
#include "TaskFile.h"
#include "TaskPreview.h"
#include "TaskValidation.h"
#include "ToolArguments.h"
#include "VariantList.h"
#include "VariantSeed.h"

#include "ScaleOption.h"

#include "platform/Convert.h"
#include "platform/Cp1251.h"
#include "platform/VektaApplication.h"

#include <QtGlobal>

#include <charconv>
#include <clocale>
#include <cstdlib>
#include <iostream>
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

void QuietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::cerr << message.toLocal8Bit().constData() << '\n';
}

int Usage() {
    std::cerr << "usage: vekta-task preview FILE.task OUT.png [--width W] [--student NAME] "
                 "[--db LOCATION] [--scale R]\n"
                 "       vekta-task check FILE.task [--variants N]\n"
                 "       vekta-task variants FILE.task [--count N] [--db LOCATION]\n";
    return kUsage;
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

// "FILE.task [OPTION N]": the count, or nullopt when the arguments are not that.
std::optional<int> CountArgument(int argc, char** argv, std::string_view option, int count) {
    if (argc == 3 || (argc == 5 && argv[3] == option && ReadCount(argv[4], 1, kMaxVariants, count)))
        return count;
    return std::nullopt;
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

int Check(int argc, char** argv) {
    const std::optional<int> variants =
        CountArgument(argc, argv, "--variants", kDefaultCheckedVariants);
    if (!variants)
        return Usage();
    const char* path = argv[2];
    const std::optional<TaskFile> file = Read(path);
    if (!file)
        return 1;
    std::vector<std::string> problems = ValidateTask(file->task, *variants);
    if (file->unrepresentable > 0)
        problems.push_back("characters that code page 1251 cannot hold arrive as \"?\": " +
                           std::to_string(file->unrepresentable));
    for (const std::string& problem : problems)
        std::cerr << path << ": " << problem << '\n';
    return problems.empty() ? 0 : 1;
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
        ReadToolArguments(argc, argv, 2, {"--width", "--student", "--db"});
    if (!arguments || arguments->words.size() != 2)
        return Usage();
    if (std::getenv("QT_QPA_PLATFORM") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    qInstallMessageHandler(QuietQtMessages);
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
    const TaskPreview preview = PreviewTask(read.task->sections, width);
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
