#include "course/TestWindow.h"

#include <chrono>
#include <cstdio>
#include <ctime>

namespace {

constexpr std::int64_t kMinutesPerDay = 24 * 60;

bool Digits(std::string_view text) {
    for (char c : text)
        if (c < '0' || c > '9')
            return false;
    return !text.empty();
}

int Field(std::string_view text, std::size_t at, std::size_t length) {
    int value = 0;
    for (char c : text.substr(at, length))
        value = value * 10 + (c - '0');
    return value;
}

std::string Text(const LocalTime& time) {
    char text[32];
    std::snprintf(text, sizeof text, "%02d.%02d.%04d в %02d:%02d", time.day, time.month, time.year,
                  time.hour, time.minute);
    return text;
}

LocalTime ClosingOf(const TestWindow& window, int extensionMinutes) {
    return LocalTime::FromMinutes(window.close->Minutes() + extensionMinutes);
}

} // namespace

std::int64_t LocalTime::Minutes() const {
    using namespace std::chrono;
    const sys_days date = std::chrono::year{year} /
                          std::chrono::month{static_cast<unsigned>(month)} /
                          std::chrono::day{static_cast<unsigned>(day)};
    return date.time_since_epoch().count() * kMinutesPerDay + hour * 60 + minute;
}

LocalTime LocalTime::FromMinutes(std::int64_t minutes) {
    using namespace std::chrono;
    std::int64_t days = minutes / kMinutesPerDay;
    std::int64_t rest = minutes % kMinutesPerDay;
    if (rest < 0) {
        rest += kMinutesPerDay;
        --days;
    }
    const year_month_day date{sys_days{std::chrono::days{days}}};
    return {static_cast<int>(date.year()), static_cast<int>(static_cast<unsigned>(date.month())),
            static_cast<int>(static_cast<unsigned>(date.day())), static_cast<int>(rest / 60),
            static_cast<int>(rest % 60)};
}

LocalTime CurrentLocalTime() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min};
}

std::optional<LocalTime> ReadLocalTime(std::string_view text) {
    if (text.size() != 16 || text[4] != '-' || text[7] != '-' ||
        (text[10] != 'T' && text[10] != ' ') || text[13] != ':')
        return std::nullopt;
    for (const auto& [at, length] : {std::pair{0, 4}, {5, 2}, {8, 2}, {11, 2}, {14, 2}})
        if (!Digits(text.substr(at, length)))
            return std::nullopt;
    const LocalTime time{Field(text, 0, 4), Field(text, 5, 2), Field(text, 8, 2),
                         Field(text, 11, 2), Field(text, 14, 2)};
    const std::chrono::year_month_day date{std::chrono::year{time.year},
                                           std::chrono::month{static_cast<unsigned>(time.month)},
                                           std::chrono::day{static_cast<unsigned>(time.day)}};
    if (!date.ok() || time.hour > 23 || time.minute > 59)
        return std::nullopt;
    return time;
}

WindowState StateAt(const LocalTime& now, const TestWindow& window, int extensionMinutes) {
    if (window.open && now.Minutes() < window.open->Minutes())
        return WindowState::NotYetOpen;
    if (window.close && now.Minutes() >= ClosingOf(window, extensionMinutes).Minutes())
        return WindowState::Closed;
    return WindowState::Open;
}

std::string WindowMessage(const LocalTime& now, const TestWindow& window, int extensionMinutes) {
    switch (StateAt(now, window, extensionMinutes)) {
    case WindowState::NotYetOpen:
        return "Задания откроются " + Text(*window.open);
    case WindowState::Closed:
        return "Время вышло " + Text(ClosingOf(window, extensionMinutes));
    case WindowState::Open:
        break;
    }
    return {};
}
