#pragma once

#include <QString>

#include <system_error>

// The outcome of an operation that can fail in an expected way: success, or a
// failure with the message the operator is shown and the code it came from.
// Every fallible function of the core and the document engine returns one.
//
// Codes are std::error_code, so each source keeps its own domain: the classic
// file codes (FileErrors), the system's errno values (std::generic_category())
// and the document engine's own codes (WordErrors) never compare equal to one
// another even where their numbers coincide (errno EIO and "File access
// denied" are both 5).
class [[nodiscard]] Status
{
public:
    Status() = default; // success

    static Status failure(QString message, std::error_code code = {});

    bool ok() const { return !m_failed; }
    explicit operator bool() const { return ok(); }

    const QString &message() const { return m_message; }
    const std::error_code &code() const { return m_code; }

private:
    bool m_failed = false;
    std::error_code m_code;
    QString m_message;
};

// A value, or the failure that prevented it.
template <typename T> class [[nodiscard]] Result
{
public:
    Result(T value) : m_value(std::move(value)) {}
    Result(Status failure) : m_status(std::move(failure)) { Q_ASSERT(!m_status.ok()); }

    bool ok() const { return m_status.ok(); }
    explicit operator bool() const { return ok(); }
    const Status &status() const { return m_status; }

    T &value() { return m_value; }
    const T &value() const { return m_value; }
    T *operator->() { return &m_value; }
    const T *operator->() const { return &m_value; }

private:
    T m_value{};
    Status m_status;
};

// The text a failure box shows: the message with a full stop appended, unless it
// already ends in "." or in a character that sorts before it.
QString messageForDisplay(const QString &message);
