// "Поиск объявления": finding ads from the window and the keys, and the grid,
// memo and CurrentRow after a find, as a click would leave them.

#include "ui/FindWindow.h"
#include "ui/Unit1.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "TestFiles.h"
#include "WindowTestSupport.h"

#include <memory>

using namespace Qt::StringLiterals;
using namespace TestFiles;
using namespace WindowTest;

namespace {

// 300 ads, most of them alike; the ones a search is after lie far down, so
// that finding them means scrolling.
const QMap<int, QString> kSpecial = {
    {40, u"2|Продам ЁЛКУ искусственную|Разное|"_s},
    {120, u"1|Сдам гараж, тел. 2-34-56-7|Недвижимость|"_s},
    {200, u"3|Продам елку живую|Разное|"_s},
    {260, u"1|Мастер на час|Ремонт квартир|"_s},
};

QStringList manyAds()
{
    QStringList ads;
    for (int row = 1; row <= 300; ++row)
        ads << kSpecial.value(row, u"1|Объявление номер "_s + QString::number(row) + u"|Разное|"_s);
    return ads;
}

QModelIndex currentCell()
{
    return Form1->StringGrid1->currentIndex();
}

bool onScreen(const QModelIndex &index)
{
    const AdGridView *view = Form1->StringGrid1;
    return view->viewport()->rect().contains(view->visualRect(index));
}

void pressInWindow(QWidget *window, Qt::Key key, Qt::KeyboardModifiers modifiers = {})
{
    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : window, key, modifiers);
}

const QString kWrappedForward = u"Поиск дошёл до конца списка и продолжен с начала."_s;
const QString kWrappedBackward = u"Поиск дошёл до начала списка и продолжен с конца."_s;
const QString kNotFound = u"Объявление не найдено."_s;

} // namespace

class TestFindWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void windowAndKeyboard();
    void findsLikeAClick_data();
    void findsLikeAClick();
    void nextPreviousAndWrap();
    void onlyTheCurrentAdMatches();
    void noMatchSaysSoInTheWindow();
    void keysFromTheMainWindow();

private:
    void openFind();
    void search(const QString &query);

    std::unique_ptr<WorkingFolder> m_folder;
};

void TestFindWindow::initTestCase()
{
    SetUpApplication(*qApp);
}

void TestFindWindow::init()
{
    m_folder = std::make_unique<WorkingFolder>();
    QVERIFY(m_folder->isValid());
    WorkingFolder::start(manyAds(), u"Недвижимость\r\nРазное\r\nРемонт квартир"_s);
}

void TestFindWindow::cleanup()
{
    m_folder.reset();
}

// Ctrl+F from the grid.
void TestFindWindow::openFind()
{
    Form1->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(Form1));
    Form1->StringGrid1->setFocus();
    QTest::keyClick(Form1->StringGrid1, Qt::Key_F, Qt::ControlModifier);
    QVERIFY(FindWindow1->isVisible());
    QVERIFY(QTest::qWaitForWindowActive(FindWindow1));
    QTRY_VERIFY(FindWindow1->QueryEdit->hasFocus());
}

// Types the query over the old one and presses Enter.
void TestFindWindow::search(const QString &query)
{
    openFind();
    QVERIFY(FindWindow1->QueryEdit->selectedText() == FindWindow1->QueryEdit->text());
    FindWindow1->QueryEdit->setText(query);
    QTest::keyClick(FindWindow1->QueryEdit, Qt::Key_Return);
}

void TestFindWindow::windowAndKeyboard()
{
    QVERIFY(!FindWindow1->isVisible());
    openFind();
    QCOMPARE(FindWindow1->windowTitle(), u"Поиск объявления"_s);
    QVERIFY(!FindWindow1->NextButton->isEnabled()); // nothing to look for yet
    QVERIFY(!FindWindow1->PreviousButton->isEnabled());
    FindWindow1->QueryEdit->setText(u"елку"_s);
    QVERIFY(FindWindow1->NextButton->isDefault());

    // Tab order, and a name for every control and note.
    const QList<QWidget *> order = {FindWindow1->QueryEdit, FindWindow1->NextButton,
                                    FindWindow1->PreviousButton};
    for (QWidget *expected : order) {
        QCOMPARE(QApplication::focusWidget(), expected);
        QVERIFY2(!expected->accessibleName().isEmpty(), qPrintable(expected->objectName()));
        QTest::keyClick(expected, Qt::Key_Tab);
    }
    QCOMPARE(QApplication::focusWidget(), order.first());
    QVERIFY(!FindWindow1->NoteLabel->accessibleName().isEmpty());
    QVERIFY(!FindWindow1->CountLabel->accessibleName().isEmpty());
    QCOMPARE(FindWindow1->QueryLabel->buddy(), FindWindow1->QueryEdit);
    for (QWidget *w :
         {static_cast<QWidget *>(FindWindow1->QueryEdit), static_cast<QWidget *>(FindWindow1->NextButton),
          static_cast<QWidget *>(FindWindow1->PreviousButton), static_cast<QWidget *>(FindWindow1->NoteLabel),
          static_cast<QWidget *>(FindWindow1->CountLabel)})
        QVERIFY2(FindWindow1->rect().contains(w->geometry()), qPrintable(w->objectName()));

    // Alt+Р presses "Найти &ранее".
    QTest::sendKeyEvent(QTest::Click, FindWindow1->windowHandle(), Qt::Key(0x0420), u"Р"_s, Qt::AltModifier);
    QTRY_COMPARE(currentCell(), Form1->grid().index(199, AdList::Text));

    QTest::keyClick(FindWindow1, Qt::Key_Escape);
    QVERIFY(!FindWindow1->isVisible());
    // Shown again, it keeps the query, selected for typing over.
    openFind();
    QCOMPARE(FindWindow1->QueryEdit->text(), u"елку"_s);
    QCOMPARE(FindWindow1->QueryEdit->selectedText(), u"елку"_s);
}

void TestFindWindow::findsLikeAClick_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");

    QTest::addRow("ё and capitals in the ad") << u"ёлку искусственную"_s << 40 << int(AdList::Text);
    QTest::addRow("е for ё") << u"елку искусственную"_s << 40 << int(AdList::Text);
    QTest::addRow("capitals in the query") << u"ЕЛКУ ЖИВУЮ"_s << 200 << int(AdList::Text);
    QTest::addRow("phone digits written together") << u"234567"_s << 120 << int(AdList::Text);
    QTest::addRow("phone written otherwise") << u"23-45 67"_s << 120 << int(AdList::Text);
    QTest::addRow("rubric") << u"ремонт"_s << 260 << int(AdList::Rubric);
}

void TestFindWindow::findsLikeAClick()
{
    QFETCH(QString, query);
    QFETCH(int, row);
    QFETCH(int, column);

    clickCell(1);
    Form1->Memo1->setPlainText(u"набранный текст"_s);
    search(query);

    const QModelIndex found = Form1->grid().index(row - 1, column);
    QCOMPARE(currentCell(), found);
    QCOMPARE(Form1->StringGrid1->selectionModel()->selectedIndexes(), QModelIndexList{found});
    QVERIFY(onScreen(found));
    QCOMPARE(CurrentRow, row);
    QCOMPARE(Form1->Memo1->toPlainText(), Form1->grid().cell(row - 1, AdList::Text));
    QCOMPARE(FindWindow1->CountLabel->text(), u"Найдено объявлений: 1"_s);
    QCOMPARE(FindWindow1->NoteLabel->text(), QString());
    QVERIFY(FindWindow1->isVisible());
    QVERIFY(m_folder->messages.isEmpty());
}

// "елку" matches rows 40 and 200.
void TestFindWindow::nextPreviousAndWrap()
{
    clickCell(1);
    search(u"елку"_s);
    QCOMPARE(CurrentRow, 40);
    QCOMPARE(FindWindow1->CountLabel->text(), u"Найдено объявлений: 2"_s);
    pressInWindow(FindWindow1, Qt::Key_F3);
    QCOMPARE(CurrentRow, 200);
    QCOMPARE(FindWindow1->NoteLabel->text(), QString());

    pressInWindow(FindWindow1, Qt::Key_F3);
    QCOMPARE(CurrentRow, 40);
    QCOMPARE(Form1->Memo1->toPlainText(), u"Продам ЁЛКУ искусственную"_s);
    QCOMPARE(FindWindow1->NoteLabel->text(), kWrappedForward);
    QVERIFY(onScreen(currentCell()));

    pressInWindow(FindWindow1, Qt::Key_F3, Qt::ShiftModifier);
    QCOMPARE(CurrentRow, 200);
    QCOMPARE(FindWindow1->NoteLabel->text(), kWrappedBackward);
    QTest::mouseClick(FindWindow1->PreviousButton, Qt::LeftButton);
    QCOMPARE(CurrentRow, 40);
    QCOMPARE(FindWindow1->NoteLabel->text(), QString());

    // The search starts from wherever the operator has since clicked.
    clickCell(150);
    QTest::mouseClick(FindWindow1->NextButton, Qt::LeftButton);
    QCOMPARE(CurrentRow, 200);

    // Editing the query clears what was said about the last one.
    pressInWindow(FindWindow1, Qt::Key_F3);
    QCOMPARE(FindWindow1->NoteLabel->text(), kWrappedForward);
    FindWindow1->QueryEdit->setText(u"елк"_s);
    QCOMPARE(FindWindow1->NoteLabel->text(), QString());
    QCOMPARE(FindWindow1->CountLabel->text(), QString());
}

// The only match is the current ad: the search comes round to it, and the
// memo shows its text again, as a click on the current cell would.
void TestFindWindow::onlyTheCurrentAdMatches()
{
    search(u"мастер"_s);
    QCOMPARE(CurrentRow, 260);
    Form1->Memo1->setPlainText(u"набранный текст"_s);
    pressInWindow(FindWindow1, Qt::Key_F3);
    QCOMPARE(CurrentRow, 260);
    QCOMPARE(currentCell(), Form1->grid().index(259, AdList::Text));
    QCOMPARE(Form1->Memo1->toPlainText(), u"Мастер на час"_s);
    QCOMPARE(FindWindow1->NoteLabel->text(), kWrappedForward);
}

void TestFindWindow::noMatchSaysSoInTheWindow()
{
    clickCell(3, AdList::Rubric);
    Form1->Memo1->setPlainText(u"набранный текст"_s);
    search(u"самолёт"_s);
    QCOMPARE(FindWindow1->NoteLabel->text(), kNotFound);
    QCOMPARE(FindWindow1->CountLabel->text(), u"Найдено объявлений: 0"_s);
    QVERIFY(m_folder->messages.isEmpty());
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    QCOMPARE(currentCell(), Form1->grid().index(2, AdList::Rubric));
    QCOMPARE(CurrentRow, 3);
    QCOMPARE(Form1->Memo1->toPlainText(), u"набранный текст"_s);
}

// F3 and Shift+F3 work from the main window too; with nothing to look for,
// F3 opens the window.
void TestFindWindow::keysFromTheMainWindow()
{
    Form1->StringGrid1->setFocus();
    QTest::keyClick(Form1->StringGrid1, Qt::Key_F3);
    QVERIFY(FindWindow1->isVisible());
    QTRY_VERIFY(FindWindow1->QueryEdit->hasFocus());
    FindWindow1->QueryEdit->setText(u"продам"_s);
    FindWindow1->hide();

    Form1->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(Form1));
    clickCell(100);
    QTest::keyClick(Form1->StringGrid1, Qt::Key_F3);
    QCOMPARE(CurrentRow, 200);
    QVERIFY(FindWindow1->isVisible()); // its notes can be read
    QCOMPARE(FindWindow1->CountLabel->text(), u"Найдено объявлений: 2"_s);
    Form1->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(Form1));
    QTest::keyClick(Form1->StringGrid1, Qt::Key_F3, Qt::ShiftModifier);
    QCOMPARE(CurrentRow, 40);
    QTest::keyClick(Form1->StringGrid1, Qt::Key_F3, Qt::ShiftModifier);
    QCOMPARE(CurrentRow, 200);
    QCOMPARE(FindWindow1->NoteLabel->text(), kWrappedBackward);
}

QTEST_MAIN(TestFindWindow)
#include "test_findwindow.moc"
