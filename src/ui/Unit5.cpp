#include "ui/Unit5.h"

#include "ui/MessageBox.h"
#include "ui/Pictures.h"
#include "ui/Unit1.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

TForm5 *Form5 = nullptr;

TForm5::TForm5(Workspace &workspace, QWidget *parent)
    : ModelessDialog(QStringLiteral("Изменение записи"), QSize(377, 112), true, parent),
      m_workspace(workspace)
{
    setObjectName(QStringLiteral("Form5"));
    useClassicFont();

    Shape1 = new QLabel(this);
    Shape1->setObjectName(QStringLiteral("Shape1"));
    Shape1->setGeometry(16, 16, 73, 49);
    Shape1->setPixmap(Pictures::redCircle(Shape1->size()));

    Bevel1 = new QFrame(this);
    Bevel1->setObjectName(QStringLiteral("Bevel1"));
    Bevel1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    Bevel1->setGeometry(88, 8, 249, 65);

    Label1 = new QLabel(QStringLiteral("Вы правда хотите изменить эту запись?"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->move(112, 32);
    Label1->adjustSize();

    Button1 = new QPushButton(QStringLiteral("OK"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(112, 78, 75, 25);
    Button1->setDefault(true);

    Button2 = new QPushButton(QStringLiteral("Cancel"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(240, 76, 75, 25);

    connect(Button1, &QPushButton::clicked, this, &TForm5::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TForm5::Button2Click);
}

void TForm5::Button1Click()
{
    if (const Status changed = m_workspace.changeCurrentAd(Form1->ComposeAd()); !changed) {
        MessageBox::showError(this, changed.message());
        return;
    }
    hide();
}

void TForm5::Button2Click()
{
    hide();
}
