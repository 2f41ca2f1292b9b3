#include "ui/Unit5.h"

TForm5 *Form5 = nullptr;

TForm5::TForm5(QWidget *parent) : ModelessDialog(QStringLiteral("Изменение записи"), QSize(377, 112), true, parent)
{
    setObjectName(QStringLiteral("Form5"));
}
