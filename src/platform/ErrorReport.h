#pragma once

#include <functional>
#include <string>

namespace platform {

// The application-wide error report: every error that no handler of the client catches
// ends here. The GUI installs the function that shows it; until then the report is
// silent. A message is CP1251 text; an empty message is never passed on.
using ErrorReportHandler = std::function<void(const std::string& cp1251Message)>;

void SetErrorReportHandler(ErrorReportHandler handler);
void ReportError(const std::string& cp1251Message);

} // namespace platform
