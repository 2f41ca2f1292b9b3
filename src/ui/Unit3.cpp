#include "ui/Unit3.h"

TAboutBox1 *AboutBox1 = nullptr;

TAboutBox1::TAboutBox1(QWidget *parent)
    : ModelessDialog(QStringLiteral("Директории"), QSize(365, 177), false, parent)
{
    setObjectName(QStringLiteral("AboutBox1"));
}
