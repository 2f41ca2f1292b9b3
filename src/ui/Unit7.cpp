#include "ui/Unit7.h"

#include "ui/Pictures.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

TAboutBox3 *AboutBox3 = nullptr;

TAboutBox3::TAboutBox3(QWidget *parent)
    : ModelessDialog(QStringLiteral("About"), QSize(297, 232), false, parent)
{
    setObjectName(QStringLiteral("AboutBox3"));
    useClassicFont();

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel1->setLineWidth(2);
    Panel1->setGeometry(16, 24, 273, 161);

    Image1 = new QLabel(Panel1);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(16, 24, 33, 33);
    Image1->setPixmap(Pictures::programIcon());
    Image1->setAccessibleName(QStringLiteral("Значок программы"));

    ProductName = new QLabel(QStringLiteral("Редактор \"Вермата\""), Panel1);
    ProductName->setObjectName(QStringLiteral("ProductName"));
    ProductName->move(88, 16);
    Version = new QLabel(QStringLiteral("v. 3.0"), Panel1);
    Version->setObjectName(QStringLiteral("Version"));
    Version->move(88, 40);

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setGeometry(103, 196, 75, 25);
    OKButton->setDefault(true);
    OKButton->setFocus();
    connect(OKButton, &QPushButton::clicked, this, &TAboutBox3::OKButtonClick);
}

void TAboutBox3::OKButtonClick()
{
    hide();
}
