#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// A moment in the server's local time, to the minute.
struct LocalTime {
    int year = 1970;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;

    // Minutes since 1970-01-01 00:00 of the same clock: for comparing and adding.
    std::int64_t Minutes() const;
    static LocalTime FromMinutes(std::int64_t minutes);
    friend bool operator==(const LocalTime&, const LocalTime&) = default;
};

// The server's clock now, in its local time zone.
LocalTime CurrentLocalTime();

// "2026-12-10T09:00" (a space in place of the "T" too); nullopt for anything else,
// a date that does not exist included.
std::optional<LocalTime> ReadLocalTime(std::string_view text);

// When the tasks may be worked on: from `open` until `close`; either may be absent.
struct TestWindow {
    std::optional<LocalTime> open;
    std::optional<LocalTime> close;
};

// Where a moment falls for one student, whose close is extended by extensionMinutes.
enum class WindowState { Open, NotYetOpen, Closed };
WindowState StateAt(const LocalTime& now, const TestWindow& window, int extensionMinutes = 0);

// What the task list and the tasks answer outside the window (UTF-8): "Задания откроются
// 10.12.2026 в 09:00", "Время вышло 10.12.2026 в 10:30" (the student's own close); empty
// inside it.
std::string WindowMessage(const LocalTime& now, const TestWindow& window, int extensionMinutes = 0);
