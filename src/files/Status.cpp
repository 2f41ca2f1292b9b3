#include "files/Status.h"

Status Status::failure(QString message, std::error_code code)
{
    Status s;
    s.m_failed = true;
    s.m_code = code;
    s.m_message = std::move(message);
    return s;
}

QString messageForDisplay(const QString &message)
{
    if (!message.isEmpty() && message.back() <= QLatin1Char('.'))
        return message;
    return message + QLatin1Char('.');
}
