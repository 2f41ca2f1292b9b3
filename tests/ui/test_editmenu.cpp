// The "Правка" menu, and taking ad edits back and making them again from it,
// driven through the real widgets and keys.

#include "ui/FindWindow.h"
#include "ui/Unit1.h"
#include "ui/Unit4.h"
#include "ui/Unit5.h"
#include "ui/Unit6.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "TestFiles.h"
#include "WindowTestSupport.h"

#include <memory>

using namespace Qt::StringLiterals;
using namespace TestFiles;
using namespace WindowTest;

namespace {

const QString kA = u"1|Сдам комнату|Недвижимость|"_s;
const QString kB = u"2|Продам велосипед|Разное|"_s;
const QString kC = u"3|Ищу работу|Работа|"_s;
const QStringList kThreeAds = {kA, kB, kC};
const QString kComposed = u"3|Сдам гараж|Недвижимость|"_s;

void click(QWidget *button)
{
    QTest::mouseClick(button, Qt::LeftButton);
}

// Keys pressed with the grid focused, where the operator works.
void pressOnGrid(Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    Form1->StringGrid1->setFocus();
    QTest::keyClick(Form1->StringGrid1, key, modifiers);
}

void undoKey()
{
    pressOnGrid(Qt::Key_Z, Qt::ControlModifier);
}

QString currentMemo()
{
    return Form1->Memo1->toPlainText();
}

} // namespace

class TestEditMenu : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void menu();
    void menuFromTheKeyboard();
    void undoAndRedo_data();
    void undoAndRedo();
    void memoKeepsItsOwnUndo();
    void failedSaveLeavesTheStep();
    void buildForgetsTheHistory();

private:
    void startWith(const QStringList &adLines);
    void runCommand(const QString &command);

    std::unique_ptr<WorkingFolder> m_folder;
};

void TestEditMenu::initTestCase()
{
    SetUpApplication(*qApp);
}

void TestEditMenu::init()
{
    m_folder = std::make_unique<WorkingFolder>();
    QVERIFY(m_folder->isValid());
    startWith(kThreeAds);
}

void TestEditMenu::cleanup()
{
    m_folder.reset();
}

void TestEditMenu::startWith(const QStringList &adLines)
{
    WorkingFolder::start(adLines, u"Недвижимость\r\nРазное\r\nРабота"_s);
}

// "add", or "change" or "delete" of the ad in row 2, composed as kComposed.
void TestEditMenu::runCommand(const QString &command)
{
    clickCell(2);
    Form1->Memo1->setPlainText(u"Сдам гараж"_s);
    click(Form1->RadioButton3);
    Form1->ComboBox1->setCurrentIndex(Form1->ComboBox1->findText(u"Недвижимость"_s));
    if (command == u"add"_s) {
        click(Form1->Button1);
    } else if (command == u"change"_s) {
        click(Form1->Button2);
        click(Form5->Button1);
    } else {
        click(Form1->BitBtn1);
        click(OKBottomDlg->OKBtn);
    }
    Form1->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(Form1));
}

void TestEditMenu::menu()
{
    QStringList bar;
    for (const QAction *a : Form1->menuBar()->actions())
        bar << a->text();
    QCOMPARE(bar, (QStringList{u"Файл"_s, u"Правка"_s, u"Рубрики"_s, u"Директории"_s, u"Выпуск"_s, u"Справка"_s}));
    // All of them fit the window's width: none is folded away behind "»".
    for (QAction *a : Form1->menuBar()->actions()) {
        const QRect title = Form1->menuBar()->actionGeometry(a);
        QVERIFY2(title.isValid() && Form1->menuBar()->rect().contains(title), qPrintable(a->text()));
    }

    const QMenu *edit = Form1->menuBar()->actions().at(1)->menu();
    QVERIFY(edit);
    QStringList items;
    for (const QAction *a : edit->actions())
        items << (a->isSeparator() ? u"-"_s : a->text() + u' ' + a->shortcuts().value(0).toString());
    QCOMPARE(items, (QStringList{u"Отменить Ctrl+Z"_s, u"Повторить Ctrl+Y"_s, u"-"_s, u"Найти… Ctrl+F"_s,
                                 u"Найти далее F3"_s, u"Найти ранее Shift+F3"_s}));
    QCOMPARE(Form1->RedoItem->shortcuts(),
             (QList<QKeySequence>{QKeySequence(u"Ctrl+Y"_s), QKeySequence(u"Ctrl+Shift+Z"_s)}));

    // Nothing to take back or make again yet.
    QVERIFY(!Form1->UndoItem->isEnabled());
    QVERIFY(!Form1->RedoItem->isEnabled());
    QVERIFY(Form1->FindItem->isEnabled());
}

void TestEditMenu::menuFromTheKeyboard()
{
    Form1->StringGrid1->setFocus();
    QTRY_VERIFY(Form1->StringGrid1->hasFocus());
    QTest::keyClick(Form1->StringGrid1, Qt::Key_Alt);
    QMenuBar *bar = Form1->menuBar();
    QTRY_COMPARE(bar->activeAction(), bar->actions().first());
    QTest::keyClick(bar, Qt::Key_Right);
    QCOMPARE(bar->activeAction()->text(), u"Правка"_s);
    QTest::keyClick(bar, Qt::Key_Down);
    QMenu *edit = bar->activeAction()->menu();
    QTRY_VERIFY(edit->isVisible());
    // Down to "Найти…", past the disabled "Отменить" and "Повторить".
    for (int i = 0; i < 4 && edit->activeAction() != Form1->FindItem; ++i)
        QTest::keyClick(edit, Qt::Key_Down);
    QCOMPARE(edit->activeAction(), Form1->FindItem);
    QTest::keyClick(edit, Qt::Key_Return);
    QTRY_VERIFY(FindWindow1->isVisible());
    QTRY_VERIFY(FindWindow1->QueryEdit->hasFocus());
}

void TestEditMenu::undoAndRedo_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("step");
    QTest::addColumn<QStringList>("edited");
    QTest::addColumn<int>("rowAfterUndo");
    QTest::addColumn<int>("rowAfterRedo");

    QTest::addRow("add") << u"add"_s << u"добавление объявления"_s << QStringList{kA, kB, kC, kComposed} << 3
                         << 4;
    QTest::addRow("change") << u"change"_s << u"изменение объявления"_s << QStringList{kA, kComposed, kC} << 2
                            << 2;
    QTest::addRow("delete") << u"delete"_s << u"удаление объявления"_s << QStringList{kA, kC} << 2 << 2;
}

// Each step puts the list and the file back (or forward), and selects the row
// it touched as a click on it would: the memo shows that ad, CurrentRow follows.
void TestEditMenu::undoAndRedo()
{
    QFETCH(QString, command);
    QFETCH(QString, step);
    QFETCH(QStringList, edited);
    QFETCH(int, rowAfterUndo);
    QFETCH(int, rowAfterRedo);

    runCommand(command);
    QCOMPARE(gridAds(), edited);
    QVERIFY(Form1->UndoItem->isEnabled());
    QCOMPARE(Form1->UndoItem->text(), u"Отменить "_s + step);
    QVERIFY(!Form1->RedoItem->isEnabled());
    QCOMPARE(Form1->RedoItem->text(), u"Повторить"_s);

    auto expectSelected = [](int row, const QStringList &ads) {
        QCOMPARE(CurrentRow, row);
        QCOMPARE(Form1->StringGrid1->currentIndex(), Form1->grid().index(row - 1, AdList::Rubric));
        QVERIFY(Form1->StringGrid1->selectionModel()->isSelected(Form1->StringGrid1->currentIndex()));
        QCOMPARE(currentMemo(), ads[row - 1].section(u'|', 1, 1));
    };

    clickCell(1, AdList::Rubric);
    undoKey();
    QCOMPARE(gridAds(), kThreeAds);
    QCOMPARE(read(u"x.txt"_s), adsFileBytes(kThreeAds));
    expectSelected(rowAfterUndo, kThreeAds);
    QVERIFY(!Form1->UndoItem->isEnabled());
    QCOMPARE(Form1->UndoItem->text(), u"Отменить"_s);
    QVERIFY(Form1->RedoItem->isEnabled());
    QCOMPARE(Form1->RedoItem->text(), u"Повторить "_s + step);

    clickCell(1, AdList::Rubric);
    pressOnGrid(Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(gridAds(), edited);
    QCOMPARE(read(u"x.txt"_s), adsFileBytes(edited));
    expectSelected(rowAfterRedo, edited);
    QCOMPARE(Form1->UndoItem->text(), u"Отменить "_s + step);
    QVERIFY(!Form1->RedoItem->isEnabled());

    // The other key for making it again, and the menu items themselves.
    undoKey();
    pressOnGrid(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(gridAds(), edited);
    Form1->UndoItem->trigger();
    QCOMPARE(gridAds(), kThreeAds);
    Form1->RedoItem->trigger();
    QCOMPARE(gridAds(), edited);
    QCOMPARE(read(u"x.txt"_s), adsFileBytes(edited));
    QVERIFY(m_folder->messages.isEmpty());
}

// Ctrl+Z in a text field takes back the typing there, as everywhere.
void TestEditMenu::memoKeepsItsOwnUndo()
{
    runCommand(u"delete"_s);
    Form1->Memo1->setFocus();
    Form1->Memo1->moveCursor(QTextCursor::End);
    QTest::keyClicks(Form1->Memo1, u"abc"_s);
    QCOMPARE(currentMemo(), u"Сдам гаражabc"_s);
    QTest::keyClick(Form1->Memo1, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(currentMemo(), u"Сдам гараж"_s);
    QCOMPARE(gridAds(), (QStringList{kA, kC}));
    QVERIFY(Form1->UndoItem->isEnabled());
}

// A step whose save fails shows the message and changes nothing the operator
// sees; once the file can be written, the same step works.
void TestEditMenu::failedSaveLeavesTheStep()
{
    const QString kD = u"1|Потерян зонт|Разное|"_s;
    startWith({kA, kB, kC, kD});
    runCommand(u"delete"_s);
    // Below the row that goes and comes back while the step is tried.
    clickCell(2, AdList::Rubric);
    const QByteArray before = read(u"x.txt"_s);
    QVERIFY(QFile::setPermissions(u"x.txt"_s, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));

    undoKey();
    QCOMPARE(m_folder->messages, QStringList{u"File access denied."_s});
    QCOMPARE(gridAds(), (QStringList{kA, kC, kD}));
    QCOMPARE(read(u"x.txt"_s), before);
    QCOMPARE(Form1->StringGrid1->currentIndex(), Form1->grid().index(1, AdList::Rubric));
    QCOMPARE(CurrentRow, 2);
    QCOMPARE(currentMemo(), u"Ищу работу"_s);
    QCOMPARE(Form1->UndoItem->text(), u"Отменить удаление объявления"_s);
    QVERIFY(!Form1->RedoItem->isEnabled());

    QVERIFY(QFile::setPermissions(u"x.txt"_s, QFile::ReadOwner | QFile::WriteOwner));
    undoKey();
    QCOMPARE(m_folder->messages.size(), 1);
    QCOMPARE(gridAds(), (QStringList{kA, kB, kC, kD}));
    QCOMPARE(read(u"x.txt"_s), adsFileBytes({kA, kB, kC, kD}));
    QCOMPARE(CurrentRow, 2);
    QCOMPARE(currentMemo(), u"Продам велосипед"_s);
}

void TestEditMenu::buildForgetsTheHistory()
{
    QVERIFY(QFile::copy(QStringLiteral(VERMATA_SOURCE_DIR "/examples/Шаблон.doc"), u"Шаблон.doc"_s));
    runCommand(u"add"_s);
    runCommand(u"delete"_s);
    undoKey();
    QVERIFY(Form1->UndoItem->isEnabled());
    QVERIFY(Form1->RedoItem->isEnabled());

    click(Form1->Button4);
    AboutBox2->Edit1->setText(u"Выпуск.doc"_s);
    click(AboutBox2->OKButton);
    QVERIFY2(m_folder->messages.isEmpty(), qPrintable(m_folder->messages.join(u'\n')));
    QVERIFY(!AboutBox2->isVisible());
    QVERIFY(QFile::exists(u"Выпуск.doc"_s));

    QVERIFY(!Form1->UndoItem->isEnabled());
    QCOMPARE(Form1->UndoItem->text(), u"Отменить"_s);
    QVERIFY(!Form1->RedoItem->isEnabled());
    QCOMPARE(Form1->RedoItem->text(), u"Повторить"_s);
    const QByteArray charged = read(u"x.txt"_s);
    undoKey();
    QCOMPARE(read(u"x.txt"_s), charged);
}

QTEST_MAIN(TestEditMenu)
#include "test_editmenu.moc"
