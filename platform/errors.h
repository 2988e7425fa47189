// The one small hierarchy of errors the system raises. Every error carries a text meant for the
// user; the guard of errorguard.h shows it.
#pragma once

#include <QString>

#include <stdexcept>

namespace platform {

class Error : public std::runtime_error {
public:
    explicit Error(const QString &message) : std::runtime_error(message.toStdString()), m_message(message) {}
    const QString &message() const noexcept { return m_message; }

private:
    QString m_message;
};

// A file that is missing, unreadable or not of the expected format.
class FileError : public Error {
public:
    using Error::Error;
};

// A text that is not a number of the expected kind, e.g. "'12a' is not a valid integer value".
class ConvertError : public Error {
public:
    using Error::Error;
};

// Database access: opening a store, a query, a field, posting or deleting.
class DatabaseError : public Error {
public:
    using Error::Error;
};

} // namespace platform
