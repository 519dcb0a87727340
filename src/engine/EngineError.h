#pragma once

#include <cstdint>
#include <string>

// The kinds of engine error, by what went wrong.
enum class EngineErrorCode : std::uint8_t {
    None = 0,
    // Text the engine cannot read: an empty operand, brackets nested too deep, a malformed
    // number.
    Unreadable = 1,
    Arithmetic = 2,    // a division by zero, a value outside a function's domain
    VariableTable = 3, // a name not in the table, an empty table parameter
    Brackets = 4,      // unbalanced brackets
};

// What an engine operation reports besides its value. Operations return it (alone or
// inside an EngineResult); none throws for a domain error. The first error of an
// operation stays: later errors are recorded only while `text` is empty (the bracket
// error of a variable's name is the one that overrides, see Override).
struct EngineError {
    EngineErrorCode code = EngineErrorCode::None;
    std::string text;        // the message (CP1251); empty while there is no error
    std::string missingName; // the variable that was not found

    bool ok() const { return text.empty(); }
    // The formula or a value holds text the engine cannot read. Such an error ends the
    // operation: it replaces what was recorded before and nothing replaces it.
    bool Unreadable() const { return code == EngineErrorCode::Unreadable; }

    // Records an error under the rule of the first error.
    void Record(EngineErrorCode errorCode, const std::string& message) {
        if (!text.empty() || Unreadable())
            return;
        code = errorCode;
        text = message;
    }
    // Replaces whatever was recorded.
    void Override(EngineErrorCode errorCode, const std::string& message) {
        if (Unreadable())
            return;
        code = errorCode;
        text = message;
    }
    // Records a variable that is not in the table (the first error stays).
    void RecordMissing(const std::string& message, const std::string& name) {
        if (!text.empty() || Unreadable())
            return;
        code = EngineErrorCode::VariableTable;
        text = message;
        missingName = name;
    }
    // Records text that cannot be read; the first such error stays.
    void RecordUnreadable(const std::string& message) {
        if (Unreadable())
            return;
        code = EngineErrorCode::Unreadable;
        text = message;
        missingName.clear();
    }
    // The message as the programs show it: the text, then the missing name if any.
    std::string Message() const { return missingName.empty() ? text : text + " " + missingName; }
};

// A value with the error of the operation that computed it.
struct EngineResult {
    double value = 0;
    EngineError error;

    bool ok() const { return error.ok(); }
};

// The zero tolerance every evaluation is given: the bands of the domain checks, the
// divisor below which a division fails and the magnitude below which a function result
// is snapped to 0. The engine's own default, and the one the client evaluates with.
inline constexpr double kDefaultEpsilon = 0.0001;
inline constexpr double kClientEpsilon = 1e-9;
