#pragma once

#include "platform/Cp1251.h"
#include "platform/Result.h"

#include <string>

// The evaluator speaks CP1251; tests write their expectations in UTF-8.
inline std::string Cp(const std::string& utf8) {
    return platform::Utf8ToCp1251(utf8);
}

inline std::string Utf8(const std::string& cp1251) {
    return platform::Cp1251ToUtf8(cp1251);
}

inline std::string NotANumberText(const std::string& operand) {
    return "Невозможно преобразовать строку '" + operand + "' в число.";
}

// The message of a failed call in UTF-8, or "" when the call succeeded.
template <typename T> std::string MessageIn(const platform::Result<T>& result) {
    return result ? std::string() : Utf8(result.Error().message);
}
