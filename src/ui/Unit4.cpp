#include "ui/Unit4.h"

#include "build/Workspace.h"
#include "ui/MessageBox.h"
#include "ui/Pictures.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

TOKBottomDlg *OKBottomDlg = nullptr;

TOKBottomDlg::TOKBottomDlg(Workspace &workspace, QWidget *parent)
    : ModelessDialog(QStringLiteral("Удаление записи"), QSize(313, 128), true, parent), m_workspace(workspace)
{
    setObjectName(QStringLiteral("OKBottomDlg"));
    useClassicFont();

    Bevel1 = new QFrame(this);
    Bevel1->setObjectName(QStringLiteral("Bevel1"));
    Bevel1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    Bevel1->setGeometry(8, 8, 297, 65);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(16, 16, 41, 41);
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Image1->setPixmap(Pictures::deleteWarning());

    Label1 = new QLabel(QStringLiteral("Вы действительно хотите удалить эту запись?"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->move(64, 32);
    Label1->adjustSize();

    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setGeometry(31, 92, 75, 25);
    OKBtn->setDefault(true);

    CancelBtn = new QPushButton(QStringLiteral("Cancel"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    CancelBtn->setGeometry(191, 92, 75, 25);

    connect(OKBtn, &QPushButton::clicked, this, &TOKBottomDlg::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &TOKBottomDlg::CancelBtnClick);
}

void TOKBottomDlg::OKBtnClick()
{
    if (const Status removed = m_workspace.removeCurrentAd(); !removed) {
        MessageBox::showError(this, removed.message());
        return;
    }
    hide();
}

void TOKBottomDlg::CancelBtnClick()
{
    hide();
}
