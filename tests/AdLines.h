#pragma once

// The ads of a list in their file form, "Runs|Text|Rubric|", for comparisons.

#include "data/AdList.h"

#include <QStringList>

namespace TestFiles {

inline QStringList adLines(const AdList &list)
{
    QStringList lines;
    for (int i = 0; i < list.count(); ++i)
        lines << list.field(i, AdList::Runs) + u'|' + list.field(i, AdList::Text) + u'|' +
                     list.field(i, AdList::Rubric) + u'|';
    return lines;
}

} // namespace TestFiles
