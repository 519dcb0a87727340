#include "platform/ErrorReport.h"
#include "platform/VektaApplication.h"

#include <QCoreApplication>
#include <QTimer>

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace {

class ReportCollector {
public:
    ReportCollector() {
        platform::SetErrorReportHandler([this](const std::string& m) { messages.push_back(m); });
    }
    ~ReportCollector() { platform::SetErrorReportHandler({}); }
    std::vector<std::string> messages;
};

} // namespace

TEST(ApplicationTest, ErrorsLeavingEventHandlersReachTheReportAndEventsGoOn) {
    ReportCollector report;
    int later = 0;
    QTimer::singleShot(0, [] { throw std::runtime_error("'x' is not a valid integer value"); });
    QTimer::singleShot(0, [] { throw std::runtime_error("plain"); });
    QTimer::singleShot(0, [] { throw std::runtime_error(""); });
    QTimer::singleShot(0, [&] { ++later; });
    QTimer::singleShot(20, qApp, &QCoreApplication::quit);
    QCoreApplication::exec();
    EXPECT_EQ(report.messages,
              (std::vector<std::string>{"'x' is not a valid integer value", "plain"}));
    EXPECT_EQ(later, 1);
}
