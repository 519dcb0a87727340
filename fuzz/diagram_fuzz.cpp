// Diagram documents from the server through the header reader and the statement
// interpreter, on a canvas that only counts its calls.

#include "diagram/DiagramDocument.h"
#include "platform/Error.h"
#include "platform/RecordingCanvas.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string document(reinterpret_cast<const char*>(data), size);
    platform::RecordingCanvas canvas;
    canvas.keepAtMost = 64;
    diagram::DrawingContext context;
    diagram::InitContext(context);
    try {
        const diagram::DiagramSize surface = diagram::ReadDiagramHeader(document);
        diagram::IsDrawableSize(surface);
        diagram::AttachCanvas(context, canvas);
        diagram::DrawDiagramStatements(context, document);
    } catch (const platform::Error&) {
    }
    return 0;
}
