#include "course/NumberText.h"

#include <algorithm>
#include <array>
#include <charconv>

namespace {

// Room for any double in fixed notation (308 digits before the point) and 17 after.
using Buffer = std::array<char, 400>;

constexpr int kDefaultDecimals = 6;
constexpr int kMaxDecimals = 17;

} // namespace

std::string NumberText(double value, int decimals, char decimalChar) {
    Buffer buffer;
    const int shown = decimals < 0 ? kDefaultDecimals : std::min(decimals, kMaxDecimals);
    const auto written = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                       std::chars_format::fixed, shown);
    std::string text(buffer.data(), written.ptr);
    if (decimals < 0 && text.find('.') != std::string::npos) {
        while (text.back() == '0')
            text.pop_back();
        if (text.back() == '.')
            text.pop_back();
    }
    // A negative value that rounds to zero shows no sign.
    if (text.front() == '-' && text.find_first_of("123456789") == std::string::npos)
        text.erase(0, 1);
    std::replace(text.begin(), text.end(), '.', decimalChar);
    return text;
}

std::string ExactNumberText(double value) {
    Buffer buffer;
    const auto written = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                       std::chars_format::fixed);
    return std::string(buffer.data(), written.ptr);
}
