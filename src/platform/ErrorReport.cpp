#include "platform/ErrorReport.h"

namespace platform {

namespace {
ErrorReportHandler& Handler() {
    static ErrorReportHandler handler;
    return handler;
}
} // namespace

void SetErrorReportHandler(ErrorReportHandler handler) {
    Handler() = std::move(handler);
}

void ReportError(const std::string& cp1251Message) {
    if (cp1251Message.empty() || !Handler())
        return;
    Handler()(cp1251Message);
}

} // namespace platform
