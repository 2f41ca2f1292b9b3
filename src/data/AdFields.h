#pragma once

#include "files/Status.h"

#include <QString>
#include <QStringView>

#include <optional>

// An ad as the operator composed it. Runs is absent while no count of
// insertions is chosen (the ad being changed then keeps its count).
struct ComposedAd
{
    std::optional<QString> runs;
    QString text;
    QString rubric;
};

// What a field of the ads file can hold and give back the same: no "|" (the
// field separator, which has no escape), no line break, and nothing that
// Windows-1251 lacks. The ads file, the rubric list and the build all apply
// this one rule.
namespace AdFields {

// Success, or a failure whose message names the first offending character and
// where it is; where reads like "в тексте объявления".
Status checkStorable(QStringView text, const QString &where);

// Checks the three fields of a composed ad (Runs only when present).
Status checkStorable(const ComposedAd &ad);

} // namespace AdFields
