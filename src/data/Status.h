#pragma once

#include <QString>

// The outcome of an operation that can fail in an expected way: success, or a
// failure with the message the operator is shown and an optional numeric code.
// Every fallible function of the core and the document engine returns one.
class Status
{
public:
    Status() = default; // success

    static Status failure(QString message, int code = 0);

    bool ok() const { return !m_failed; }
    explicit operator bool() const { return ok(); }

    const QString &message() const { return m_message; }
    int code() const { return m_code; }

private:
    bool m_failed = false;
    int m_code = 0;
    QString m_message;
};

// A value, or the failure that prevented it.
template <typename T> class Result
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
