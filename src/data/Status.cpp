#include "data/Status.h"

Status Status::failure(QString message, int code)
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
