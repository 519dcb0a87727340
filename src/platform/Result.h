#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <utility>

namespace platform {

// Why something failed: a CP1251 message for the user and, where it helps, the position
// in the text read (npos when none).
struct Failure {
    std::string message;
    std::size_t position = std::string::npos;
};

// The value of a function that can fail: either its value or the failure. Functions the
// windows call return this instead of throwing, so no error crosses a slot or the event
// loop.
template <typename T> class Result {
public:
    Result(T value) : value_(std::move(value)) {}
    Result(Failure failure) : failure_(std::move(failure)) {}

    bool Ok() const { return value_.has_value(); }
    explicit operator bool() const { return Ok(); }

    const T& Value() const { return *value_; }
    T& Value() { return *value_; }
    const T* operator->() const { return &*value_; }
    const T& operator*() const { return *value_; }

    // Empty when the call succeeded.
    const Failure& Error() const { return failure_; }

private:
    std::optional<T> value_;
    Failure failure_;
};

} // namespace platform
