#include "data/AdFields.h"

#include "files/Cp1251.h"

namespace AdFields {

Status checkStorable(QStringView text, const QString &where)
{
    if (text.contains(u'|')) {
        return Status::failure(QStringLiteral("Символ «|» нельзя использовать ") + where +
                               QStringLiteral(": он разделяет поля в файле объявлений"));
    }
    if (text.contains(u'\n') || text.contains(u'\r')) {
        return Status::failure(QStringLiteral("Перевод строки нельзя использовать ") + where +
                               QStringLiteral(": он разделяет объявления в файле объявлений"));
    }
    if (const std::optional<char32_t> bad = Cp1251::firstUnencodable(text)) {
        const QString code = QString::number(uint(*bad), 16).toUpper().rightJustified(4, u'0');
        return Status::failure(QStringLiteral("Символ «") + QString::fromUcs4(&*bad, 1) +
                               QStringLiteral("» (U+") + code + QStringLiteral(") ") + where +
                               QStringLiteral(" нельзя сохранить в кодировке Windows-1251"));
    }
    return {};
}

Status checkStorable(const ComposedAd &ad)
{
    if (ad.runs) {
        if (Status s = checkStorable(*ad.runs, QStringLiteral("в поле «Другое:»")); !s)
            return s;
    }
    if (Status s = checkStorable(ad.text, QStringLiteral("в тексте объявления")); !s)
        return s;
    return checkStorable(ad.rubric, QStringLiteral("в рубрике"));
}

} // namespace AdFields
