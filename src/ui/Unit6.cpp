#include "ui/Unit6.h"

TAboutBox2 *AboutBox2 = nullptr;

TAboutBox2::TAboutBox2(QWidget *parent)
    : ModelessDialog(QStringLiteral("Создание файла"), QSize(254, 117), true, parent)
{
    setObjectName(QStringLiteral("AboutBox2"));
}
