// vekta-diagram: renders a diagram document the way the task view shows it.
//   vekta-diagram SCRIPT OUT.png
// SCRIPT holds the document (the IMAGE text of a task, CP1251). The picture has the size
// of the document's header (300 x 160 by default), the window colour, the framed box and
// then every statement. On an error the picture drawn so far is still written, the message
// goes to stderr and the exit status is 1.

#include "diagram/DiagramDocument.h"
#include "platform/Convert.h"
#include "platform/Cp1251.h"
#include "platform/Error.h"
#include "platform/QtCanvas.h"

#include "ToolSupport.h"

#include <QGuiApplication>
#include <QImage>

#include <clocale>
#include <iostream>
#include <optional>
#include <string>

namespace {

int Usage() {
    std::cerr << "usage: vekta-diagram SCRIPT OUT.png\n";
    return 64;
}

void Complain(const std::string& cp1251) {
    std::cerr << "vekta-diagram: " << platform::Cp1251ToUtf8(cp1251) << '\n';
}

// Draws the document on `image`; returns the error message, empty when all went well.
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

} // namespace

int main(int argc, char** argv) {
    if (argc != 3)
        return Usage();
    PrepareHeadlessQt();
    QGuiApplication app(argc, argv);
    std::setlocale(LC_ALL, "");
    platform::InitDecimalChar();

    std::optional<std::string> document = ReadFileBytes(argv[1]);
    if (!document) {
        std::cerr << "vekta-diagram: cannot read " << argv[1] << '\n';
        return 1;
    }
    diagram::DiagramSize size;
    try {
        size = diagram::ReadDiagramHeader(*document);
    } catch (const platform::Error& error) {
        Complain(error.what());
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
    if (!image.save(QString::fromLocal8Bit(argv[2]), "PNG")) {
        std::cerr << "vekta-diagram: cannot write " << argv[2] << '\n';
        return 1;
    }
    if (!error.empty()) {
        Complain(error);
        return 1;
    }
    return 0;
}
