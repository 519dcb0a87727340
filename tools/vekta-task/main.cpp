// vekta-task: shows and checks a task file of the reference server's bank.
//   vekta-task preview FILE.task OUT.png [--width W]
//   vekta-task check FILE.task
// preview draws the task view pane as a student sees it once the task has arrived, W pixels
// wide (by default the pane's width in the main window's default size) and as tall as its
// content. A diagram the client cannot read is reported on stderr, the picture is still
// written and the exit status is 1. check writes one line on stderr per problem a student
// would meet and exits with 1 when there is any, 0 when the task is clean.

#include "TaskCheck.h"
#include "TaskFile.h"
#include "TaskPreview.h"

#include "platform/Convert.h"
#include "platform/Cp1251.h"

#include <QApplication>
#include <QtGlobal>

#include <charconv>
#include <clocale>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>

namespace {

constexpr int kUsage = 64;
constexpr int kMinPaneWidth = 100;
constexpr int kMaxPaneWidth = 4000;

void QuietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::cerr << message.toLocal8Bit().constData() << '\n';
}

int Usage() {
    std::cerr << "usage: vekta-task preview FILE.task OUT.png [--width W]\n"
                 "       vekta-task check FILE.task\n";
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

int Check(const char* path) {
    const std::optional<TaskFile> file = Read(path);
    if (!file)
        return 1;
    std::vector<std::string> problems = CheckTask(file->sections);
    if (file->unrepresentable > 0)
        problems.push_back("characters that code page 1251 cannot hold arrive as \"?\": " +
                           std::to_string(file->unrepresentable));
    for (const std::string& problem : problems)
        std::cerr << path << ": " << problem << '\n';
    return problems.empty() ? 0 : 1;
}

bool ReadWidth(std::string_view text, int& width) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), width);
    return error == std::errc() && end == text.data() + text.size() && width >= kMinPaneWidth &&
           width <= kMaxPaneWidth;
}

int Preview(int argc, char** argv) {
    if (argc != 4 && !(argc == 6 && std::string_view(argv[4]) == "--width"))
        return Usage();
    if (std::getenv("QT_QPA_PLATFORM") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    qInstallMessageHandler(QuietQtMessages);
    QApplication app(argc, argv);
    std::setlocale(LC_ALL, "");
    platform::InitDecimalChar();
    int width = DefaultPaneWidth();
    if (argc == 6 && !ReadWidth(argv[5], width)) {
        Complain("the width must be a whole number of pixels in " + std::to_string(kMinPaneWidth) +
                 ".." + std::to_string(kMaxPaneWidth));
        return kUsage;
    }
    const std::optional<TaskFile> file = Read(argv[2]);
    if (!file)
        return 1;
    const TaskPreview preview = PreviewTask(file->sections, width);
    if (!preview.picture.save(QString::fromLocal8Bit(argv[3]), "PNG")) {
        Complain(std::string("cannot write ") + argv[3]);
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
    if (command == "check" && argc == 3)
        return Check(argv[2]);
    if (command == "preview")
        return Preview(argc, argv);
    return Usage();
}
