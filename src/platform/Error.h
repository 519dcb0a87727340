#pragma once

#include <stdexcept>
#include <string>

namespace platform {

// The one error class of the client. Its message is CP1251 text, like every text the
// client handles; the application-wide report converts it for display.
class Error : public std::runtime_error {
public:
    explicit Error(const std::string& cp1251Message) : std::runtime_error(cp1251Message) {}
};

} // namespace platform
