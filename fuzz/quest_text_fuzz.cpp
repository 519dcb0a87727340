// Task statements from the server through the markup walk and the word wrap, measured and
// drawn on a canvas that only counts its calls; the width comes from the first byte so that
// narrow and wide panes are both tried.

#include "tasklayout/QuestTextLayout.h"
#include "platform/RecordingCanvas.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const int imageWidth = 40 + data[0] * 4;
    const std::string_view quest(reinterpret_cast<const char*>(data + 1), size - 1);
    platform::RecordingCanvas canvas;
    canvas.keepAtMost = 64;
    const QuestTextLayout layout = LayoutQuestText(quest, imageWidth, canvas);
    DrawQuestText(canvas, layout);
    return 0;
}
