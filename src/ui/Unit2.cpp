#include "ui/Unit2.h"

TAboutBox *AboutBox = nullptr;

TAboutBox::TAboutBox(QWidget *parent)
    : ModelessDialog(QStringLiteral("Рубрики"), QSize(230, 201), false, parent)
{
    setObjectName(QStringLiteral("AboutBox"));
}
