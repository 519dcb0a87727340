#pragma once

#include <stdexcept>
#include <string>

// What the course's store reports when it cannot do what was asked: the one error the
// storage throws. The message says why, in the driver's words where it gave them.
class StoreError : public std::runtime_error {
public:
    enum class Kind {
        // The database is out of reach (a PostgreSQL server restarted or down): nothing
        // can be read or stored until it is back.
        Unavailable,
        // It cannot be opened as a course's store: no such file, no driver, not a course's
        // database, a password where it must not be.
        CannotOpen,
        // A statement failed on a store that is there (a full or read-only disk, a
        // conflict with another server that outlasted its retries).
        Failed,
    };

    StoreError(Kind kind, const std::string& message) : std::runtime_error(message), kind_(kind) {}

    Kind kind() const { return kind_; }
    bool Unavailable() const { return kind_ == Kind::Unavailable; }

private:
    Kind kind_;
};
