#include "ui/Unit6.h"

#include "build/Workspace.h"
#include "ui/AdGridView.h"
#include "ui/MessageBox.h"
#include "ui/Pictures.h"
#include "ui/Unit1.h"

#include <QFrame>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

TAboutBox2 *AboutBox2 = nullptr;

TAboutBox2::TAboutBox2(Workspace &workspace, QWidget *parent)
    : ModelessDialog(QStringLiteral("Создание файла"), QSize(254, 117), true, parent),
      SaveDialog1(FileDialog::Save, {QStringLiteral("MSO (*.doc)")}, QStringLiteral("doc")),
      m_workspace(workspace)
{
    setObjectName(QStringLiteral("AboutBox2"));
    useClassicFont();

    Bevel1 = new QFrame(this);
    Bevel1->setObjectName(QStringLiteral("Bevel1"));
    Bevel1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    Bevel1->setGeometry(8, 8, 233, 57);

    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setAccessibleName(QStringLiteral("Имя файла выпуска"));
    Edit1->setGeometry(16, 24, 121, 21);

    Button1 = new QPushButton(QStringLiteral("Сохронить"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setAccessibleName(QStringLiteral("Сохронить"));
    Button1->setGeometry(152, 24, 75, 25);

    OKButton = new QPushButton(QStringLiteral("&Создать"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setAccessibleName(QStringLiteral("Создать"));
    OKButton->setGeometry(167, 76, 75, 25);
    OKButton->setDefault(true);

    BitBtn1 = new QPushButton(Pictures::noGlyph(), QStringLiteral("&Отмена"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setAccessibleName(QStringLiteral("Отмена"));
    BitBtn1->setGeometry(8, 80, 75, 25);

    setTabStops({OKButton, BitBtn1, Edit1, Button1});

    connect(OKButton, &QPushButton::clicked, this, &TAboutBox2::OKButtonClick);
    connect(Button1, &QPushButton::clicked, this, &TAboutBox2::Button1Click);
    connect(BitBtn1, &QPushButton::clicked, this, &TAboutBox2::BitBtn1Click);
}

void TAboutBox2::OKButtonClick()
{
    const int column = std::max(0, Form1->StringGrid1->currentIndex().column());
    const Workspace::BuildOutcome outcome =
        m_workspace.buildIssue(Edit1->text(), WordApplication1, Form1->currentCellRow());
    if (!outcome.document) {
        MessageBox::showError(this, outcome.document.message());
        return;
    }
    hide();

    // The grid was reset in one go; put its current cell where removing the
    // run-out rows one by one would have left it.
    const Expiry::Selection &selection = outcome.selection;
    Form1->placeCurrentCell(selection.cellRow, column);
    if (selection.memoText) {
        Form1->Memo1->clear();
        Form1->Memo1->setPlainText(*selection.memoText);
    }
    if (!outcome.saved)
        MessageBox::showError(Form1, outcome.saved.message());
}

void TAboutBox2::Button1Click()
{
    if (const std::optional<QString> chosen = SaveDialog1.run(this))
        Edit1->setText(*chosen);
}

void TAboutBox2::BitBtn1Click()
{
    hide();
}
