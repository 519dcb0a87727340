#pragma once

#include <cstdint>
#include <string>

// The status record of the expression engine. Every engine operation reports through
// the one global instance `EngineStatus`; none throws for a domain error. The first
// error of an operation stays: later errors are recorded only while `ErrorText` is
// empty (the bracket check of the clean-up is the one exception).
struct TMyStat {
    std::uint8_t Code = 0;   // 0 none, 2 arithmetic, 3 variable table, 4 brackets
    std::string ErrorText;   // the message; empty while there is no error
    std::string MissingName; // the variable that was not found
    char DecimalChar = '.';  // the system decimal separator (see InitEngineStatus)
    double Epsilon = 0.0001; // tolerance of the domain checks and of zero snapping
};

// The one status record of the engine.
extern TMyStat EngineStatus;

// Clears Code, ErrorText and MissingName; DecimalChar and Epsilon stay.
inline void ResetStatus() {
    EngineStatus.Code = 0;
    EngineStatus.ErrorText.clear();
    EngineStatus.MissingName.clear();
}

// Takes DecimalChar from the system's float-to-text conversion of 1.1 (the second
// character of its text). Programs call it at start-up after platform::InitDecimalChar().
void InitEngineStatus();

// Records an error under the rule of the first error.
void RecordError(std::uint8_t code, const std::string& message);
