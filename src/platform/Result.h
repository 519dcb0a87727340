#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <utility>

namespace platform {

// Why something failed: a CP1251 message for the user and, where it helps, the position
// in the text read (npos when none). A library whose callers tell kinds of failure apart
// gives them a code from its own enum (0 when the kind does not matter); Is() compares.
struct Failure {
    std::string message;
    std::size_t position = std::string::npos;
    int code = 0;

    template <typename Code> bool Is(Code kind) const { return code == static_cast<int>(kind); }
};

// The value of a function that can fail: either its value or the failure. Functions the
// windows call return this instead of throwing, so no error crosses a slot or the event
// loop. A caller that needs more than the message and the position of a failure gets a
// failure type derived from Failure that carries it.
template <typename T, typename F = Failure> class Result {
public:
    Result(T value) : value_(std::move(value)) {}
    Result(F failure) : failure_(std::move(failure)) {}

    bool Ok() const { return value_.has_value(); }
    explicit operator bool() const { return Ok(); }

    const T& Value() const { return *value_; }
    T& Value() { return *value_; }
    const T* operator->() const { return &*value_; }
    const T& operator*() const { return *value_; }

    // Empty when the call succeeded.
    const F& Error() const { return failure_; }

private:
    std::optional<T> value_;
    F failure_;
};

// The value of a function that can fail and has nothing else to give: it returns Done{}
// when it succeeds.
struct Done {};
using Status = Result<Done>;

} // namespace platform
