#include "engine/EngineStatus.h"

#include "platform/Convert.h"

TMyStat EngineStatus;

void InitEngineStatus() {
    const std::string text = platform::FloatToStr(1.1L);
    EngineStatus.DecimalChar = text.size() > 1 ? text[1] : '.';
}

void RecordError(std::uint8_t code, const std::string& message) {
    if (!EngineStatus.ErrorText.empty())
        return;
    EngineStatus.Code = code;
    EngineStatus.ErrorText = message;
}
