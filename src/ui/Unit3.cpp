#include "ui/Unit3.h"

#include "build/Workspace.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TAboutBox1 *AboutBox1 = nullptr;

TAboutBox1::TAboutBox1(Workspace &workspace, QWidget *parent)
    : ModelessDialog(QStringLiteral("Директории"), QSize(365, 177), false, parent),
      OpenDialog1(FileDialog::Open, {QStringLiteral("Блокнот (*.txt)"), QStringLiteral("MSO (*.doc)")}),
      OpenDialog2(FileDialog::Open, {QStringLiteral("MSO (*.doc)")}, QStringLiteral("doc"),
                  QStringLiteral("Шаблон.doc")),
      m_workspace(workspace)
{
    setObjectName(QStringLiteral("AboutBox1"));
    useClassicFont();

    Edit1 = addRow(16, QStringLiteral("Объявления:"), "1", Label1, Button1, "Button1",
                   QStringLiteral("Открыть файл объявлений"));
    Edit2 = addRow(56, QStringLiteral("Рубрики:"), "2", Label2, Button2, "Button2",
                   QStringLiteral("Открыть список рубрик"));
    Edit3 = addRow(96, QStringLiteral("Шаблон:"), "3", Label3, Button4, "Button4",
                   QStringLiteral("Открыть шаблон"));

    Button3 = place(new QPushButton(QStringLiteral("Отмена"), this), "Button3", QStringLiteral("Отмена"),
                    {8, 144, 75, 25});
    OKButton = place(new QPushButton(QStringLiteral("OK"), this), "OKButton", QStringLiteral("OK"),
                     {282, 144, 75, 25});
    OKButton->setDefault(true);

    setTabStops({OKButton, Edit1, Edit2, Button1, Button2, Button3, Button4, Edit3});

    connect(Button1, &QPushButton::clicked, this, &TAboutBox1::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TAboutBox1::Button2Click);
    connect(Button4, &QPushButton::clicked, this, &TAboutBox1::Button4Click);
    connect(OKButton, &QPushButton::clicked, this, &TAboutBox1::OKButtonClick);
    connect(Button3, &QPushButton::clicked, this, &TAboutBox1::Button3Click);

    FormCreate();
}

QLineEdit *TAboutBox1::addRow(int top, const QString &caption, const char *number, QLabel *&label,
                              QPushButton *&button, const char *buttonName, const QString &opens)
{
    const QByteArray labelName = "Label" + QByteArray(number);
    const QByteArray fieldName = "Edit" + QByteArray(number);
    label = place(new QLabel(caption, this), labelName.constData(), caption, {8, top + 3, 73, 16});
    auto *field = place(new QLineEdit(this), fieldName.constData(), caption, {88, top, 185, 21});
    label->setBuddy(field);
    button =
        place(new QPushButton(QStringLiteral("Открыть"), this), buttonName, opens, {282, top - 2, 75, 25});
    return field;
}

void TAboutBox1::FormCreate()
{
    Edit1->setText(m_workspace.adsPath);
    Edit2->setText(m_workspace.rubricsPath);
    Edit3->setText(m_workspace.templatePath);
}

void TAboutBox1::chooseInto(FileDialog &dialog, QLineEdit *field)
{
    if (const std::optional<QString> chosen = dialog.run(this))
        field->setText(*chosen);
}

void TAboutBox1::Button1Click()
{
    chooseInto(OpenDialog1, Edit1);
}

void TAboutBox1::Button2Click()
{
    chooseInto(OpenDialog1, Edit2);
}

void TAboutBox1::Button4Click()
{
    chooseInto(OpenDialog2, Edit3);
}

void TAboutBox1::OKButtonClick()
{
    m_workspace.adsPath = Edit1->text();
    m_workspace.rubricsPath = Edit2->text();
    m_workspace.templatePath = Edit3->text();
    hide();
}

void TAboutBox1::Button3Click()
{
    hide();
}
