#include "ui/FindWindow.h"

#include "build/Workspace.h"
#include "ui/AdGridView.h"
#include "ui/Unit1.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

FindWindow *FindWindow1 = nullptr;

FindWindow::FindWindow(Workspace &workspace, QWidget *parent)
    : ModelessDialog(QStringLiteral("Поиск объявления"), QSize(330, 100), true, parent),
      m_workspace(workspace)
{
    setObjectName(QStringLiteral("FindWindow1"));
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(8);
    setFont(font);

    QueryLabel = new QLabel(QStringLiteral("&Найти:"), this);
    QueryLabel->setObjectName(QStringLiteral("QueryLabel"));
    QueryLabel->setGeometry(8, 12, 44, 16);

    QueryEdit = new QLineEdit(this);
    QueryEdit->setObjectName(QStringLiteral("QueryEdit"));
    QueryEdit->setAccessibleName(QStringLiteral("Найти:"));
    QueryEdit->setAccessibleDescription(
        QStringLiteral("Часть текста или рубрики объявления; регистр и «ё» не важны, цифры телефона можно "
                       "писать слитно"));
    QueryEdit->setGeometry(56, 8, 176, 24);
    QueryLabel->setBuddy(QueryEdit);

    NextButton = new QPushButton(QStringLiteral("Найти &далее"), this);
    NextButton->setObjectName(QStringLiteral("NextButton"));
    NextButton->setAccessibleName(QStringLiteral("Найти далее"));
    NextButton->setGeometry(240, 8, 82, 25);
    NextButton->setDefault(true);

    PreviousButton = new QPushButton(QStringLiteral("Найти &ранее"), this);
    PreviousButton->setObjectName(QStringLiteral("PreviousButton"));
    PreviousButton->setAccessibleName(QStringLiteral("Найти ранее"));
    PreviousButton->setGeometry(240, 40, 82, 25);
    PreviousButton->setAutoDefault(false);

    NoteLabel = new QLabel(this);
    NoteLabel->setObjectName(QStringLiteral("NoteLabel"));
    NoteLabel->setAccessibleName(QStringLiteral("Итог поиска"));
    NoteLabel->setGeometry(8, 40, 224, 32);
    NoteLabel->setWordWrap(true);
    NoteLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    CountLabel = new QLabel(this);
    CountLabel->setObjectName(QStringLiteral("CountLabel"));
    CountLabel->setAccessibleName(QStringLiteral("Число найденных объявлений"));
    CountLabel->setGeometry(8, 76, 224, 16);

    setTabOrder(QueryEdit, NextButton);
    setTabOrder(NextButton, PreviousButton);
    for (QWidget *w : {static_cast<QWidget *>(QueryEdit), static_cast<QWidget *>(NextButton),
                       static_cast<QWidget *>(PreviousButton)})
        w->setFocusPolicy(Qt::StrongFocus);
    QueryEdit->setFocus();

    // The main menu's keys work here too, where the operator goes on searching.
    auto *next = new QAction(this);
    next->setShortcut(QKeySequence(Qt::Key_F3));
    auto *previous = new QAction(this);
    previous->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F3));
    addActions({next, previous});

    connect(next, &QAction::triggered, this, &FindWindow::findNext);
    connect(previous, &QAction::triggered, this, &FindWindow::findPrevious);
    connect(NextButton, &QPushButton::clicked, this, &FindWindow::findNext);
    connect(PreviousButton, &QPushButton::clicked, this, &FindWindow::findPrevious);
    connect(QueryEdit, &QLineEdit::textChanged, this, &FindWindow::queryEdited);
    queryEdited();
}

void FindWindow::open()
{
    showModeless(this);
    QueryEdit->setFocus();
    QueryEdit->selectAll();
}

void FindWindow::queryEdited()
{
    const bool something = !QueryEdit->text().isEmpty();
    NextButton->setEnabled(something);
    PreviousButton->setEnabled(something);
    NoteLabel->clear();
    CountLabel->clear();
}

void FindWindow::findNext()
{
    find(AdSearch::Forward);
}

void FindWindow::findPrevious()
{
    find(AdSearch::Backward);
}

void FindWindow::find(AdSearch::Direction direction)
{
    const AdSearch search(QueryEdit->text());
    if (search.isEmpty()) {
        open();
        return;
    }
    if (!isVisible()) {
        setAttribute(Qt::WA_ShowWithoutActivating, true);
        show();
        setAttribute(Qt::WA_ShowWithoutActivating, false);
    }

    const AdSearch::Match match =
        search.find(m_workspace.ads().ads(), Form1->currentCellRow() - 1, direction);
    CountLabel->setText(QStringLiteral("Найдено объявлений: %1").arg(match.count));
    if (!match.found()) {
        NoteLabel->setText(QStringLiteral("Объявление не найдено."));
        return;
    }
    if (match.wrapped) {
        NoteLabel->setText(direction == AdSearch::Forward
                               ? QStringLiteral("Поиск дошёл до конца списка и продолжен с начала.")
                               : QStringLiteral("Поиск дошёл до начала списка и продолжен с конца."));
    } else {
        NoteLabel->clear();
    }
    Form1->selectCell(match.index + 1, match.column);
}
