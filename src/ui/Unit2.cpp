#include "ui/Unit2.h"

#include "build/Workspace.h"
#include "ui/MessageBox.h"
#include "ui/Unit1.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

TAboutBox *AboutBox = nullptr;

TAboutBox::TAboutBox(Workspace &workspace, QWidget *parent)
    : ModelessDialog(QStringLiteral("Рубрики"), QSize(230, 201), false, parent), m_workspace(workspace)
{
    setObjectName(QStringLiteral("AboutBox"));
    useClassicFont();

    ListBox1 = place(new QListWidget(this), "ListBox1", QStringLiteral("Рубрики"), {8, 8, 213, 121});
    ListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
    Edit1 = place(new QLineEdit(this), "Edit1", QStringLiteral("Название новой рубрики"), {8, 138, 129, 21});
    OKButton = place(new QPushButton(QStringLiteral("Добавить"), this), "OKButton",
                     QStringLiteral("Добавить"), {146, 136, 75, 25});
    OKButton->setDefault(true);
    Button1 = place(new QPushButton(QStringLiteral("Отмена"), this), "Button1", QStringLiteral("Отмена"),
                    {8, 168, 75, 25});

    setTabStops({OKButton, ListBox1, Edit1, Button1});

    connect(OKButton, &QPushButton::clicked, this, &TAboutBox::OKButtonClick);
    connect(Button1, &QPushButton::clicked, this, &TAboutBox::Button1Click);

    FormCreate();
}

void TAboutBox::FormCreate()
{
    for (int i = 0; i < Form1->ComboBox1->count(); ++i)
        ListBox1->addItem(Form1->ComboBox1->itemText(i));
}

void TAboutBox::OKButtonClick()
{
    const QString name = Edit1->text();
    if (const Status acceptable = m_workspace.checkNewRubric(name); !acceptable) {
        MessageBox::showError(this, acceptable.message());
        return;
    }

    ListBox1->addItem(name);

    QComboBox *selector = Form1->ComboBox1;
    const QString shown = selector->currentText();
    QStringList names;
    names.reserve(ListBox1->count());
    for (int i = 0; i < ListBox1->count(); ++i)
        names << ListBox1->item(i)->text();
    selector->clear();
    selector->addItems(names);
    selector->setCurrentIndex(selector->findText(shown));
    selector->setEditText(shown);

    if (const Status added = m_workspace.addRubric(name); !added)
        MessageBox::showError(this, added.message());
}

void TAboutBox::Button1Click()
{
    hide();
}
