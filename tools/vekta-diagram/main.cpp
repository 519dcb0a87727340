// vekta-diagram: renders a diagram document the way the task view shows it.
//   vekta-diagram SCRIPT OUT.png
//   vekta-diagram --task FILE.task [--student NAME] [--db LOCATION] OUT.png
// SCRIPT holds the document (the IMAGE text of a task as it goes on the wire: CP1251, one
// line). With --task the document is the IMAGE section of a task file as the server sends
// it to the student NAME (see vekta-task preview for the student and the database). The
// picture has the size of the document's header (300 x 160 by default), the window colour,
// the framed box and then every statement. A statement the task view would not draw (an
// unknown keyword, brackets that do not pair up, a value it cannot read) is told on stderr
// and the exit status is 1; the picture drawn is still written.

#include "diagram/DiagramDocument.h"
#include "platform/Convert.h"
#include "platform/Cp1251.h"
#include "platform/Error.h"
#include "platform/QtCanvas.h"

#include "StudentTask.h"
#include "ToolArguments.h"
#include "ToolSupport.h"
#include "validation/SectionCheck.h"

#include <QGuiApplication>
#include <QImage>

#include <clocale>
#include <iostream>
#include <optional>
#include <string>

namespace {

int Usage() {
    std::cerr << "usage: vekta-diagram SCRIPT OUT.png\n"
                 "       vekta-diagram --task FILE.task [--student NAME] [--db LOCATION] "
                 "OUT.png\n";
    return 64;
}

void Complain(const std::string& utf8) {
    std::cerr << "vekta-diagram: " << utf8 << '\n';
}

// Draws the document on `image`; returns the error message (CP1251), empty when all went well.
std::string Render(QImage& image, const diagram::DiagramSize& size, const std::string& body) {
    platform::QtCanvas canvas(&image);
    diagram::DrawingContext context;
    diagram::InitContext(context);
    try {
        diagram::DrawDiagramDocument(context, canvas, size, body);
    } catch (const platform::Error& error) {
        return error.what();
    }
    return {};
}

// The document to draw (CP1251), or nothing when it cannot be had (told on stderr).
std::optional<std::string> Document(const ToolArguments& arguments) {
    if (!arguments.Has("--task")) {
        std::optional<std::string> document = ReadFileBytes(arguments.words.front().c_str());
        if (!document)
            Complain("cannot read " + arguments.words.front());
        return document;
    }
    const SectionRead read = ReadStudentSection(
        arguments.Option("--task"), StudentChoiceOf(arguments), &QuestSections::image, "IMAGE");
    if (!read.text)
        Complain(read.error);
    return read.text;
}

} // namespace

int main(int argc, char** argv) {
    const std::optional<ToolArguments> arguments =
        ReadToolArguments(argc, argv, 1, {"--task", "--student", "--db"});
    if (!arguments)
        return Usage();
    const bool fromTask = arguments->Has("--task");
    if (arguments->words.size() != (fromTask ? 1U : 2U) ||
        (!fromTask && (arguments->Has("--student") || arguments->Has("--db"))))
        return Usage();
    const std::string png = arguments->words.back();
    PrepareHeadlessQt();
    QGuiApplication app(argc, argv);
    std::setlocale(LC_ALL, "");
    platform::InitDecimalChar();

    std::optional<std::string> document = Document(*arguments);
    if (!document)
        return 1;
    const std::vector<std::string> problems = CheckDiagram(*document);
    diagram::DiagramSize size;
    try {
        size = diagram::ReadDiagramHeader(*document);
    } catch (const platform::Error& error) {
        Complain(platform::Cp1251ToUtf8(error.what()));
        return 1;
    }
    if (!diagram::IsDrawableSize(size)) {
        std::cerr << "vekta-diagram: the surface " << size.width << " x " << size.height
                  << " is not drawable (each side 1.." << diagram::kMaxDiagramSide << ")\n";
        return 1;
    }
    QImage image(size.width, size.height, QImage::Format_RGB32);
    image.fill(Qt::white);
    const std::string error = Render(image, size, *document);
    if (!image.save(QString::fromLocal8Bit(png.c_str()), "PNG")) {
        Complain("cannot write " + png);
        return 1;
    }
    for (const std::string& problem : problems)
        Complain(problem);
    if (problems.empty() && !error.empty())
        Complain(platform::Cp1251ToUtf8(error));
    return problems.empty() && error.empty() ? 0 : 1;
}
