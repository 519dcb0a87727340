#include "engine/EngineStatus.h"

#include "platform/Convert.h"

namespace {

char SystemDecimalChar() {
    const std::string text = platform::FloatToStr(1.1L);
    return text.size() > 1 ? text[1] : '.';
}

} // namespace

TMyStat::TMyStat() : DecimalChar(SystemDecimalChar()) {}

TMyStat EngineStatus;

void InitEngineStatus() {
    EngineStatus.DecimalChar = SystemDecimalChar();
}

void RecordError(std::uint8_t code, const std::string& message) {
    if (!EngineStatus.ErrorText.empty())
        return;
    EngineStatus.Code = code;
    EngineStatus.ErrorText = message;
}
