// Diagram documents from the server through the header reader and the statement
// interpreter, on a canvas that only counts its calls.

#include "diagram/DiagramDocument.h"
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
    const platform::Result<diagram::DiagramSize> surface = diagram::ReadDiagramHeader(document);
    if (!surface)
        return 0;
    diagram::IsDrawableSize(*surface);
    diagram::AttachCanvas(context, canvas);
    (void)diagram::DrawDiagramStatements(context, document);
    return 0;
}
