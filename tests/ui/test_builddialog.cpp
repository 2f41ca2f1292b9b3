// "Создание файла": the dialog, its save dialog, and whole builds started from
// it, with the grid, CurrentRow and the memo as the operator sees them after.

#include "ui/AdGridView.h"
#include "ui/FileDialog.h"
#include "ui/MessageBox.h"
#include "ui/Unit1.h"
#include "ui/Unit6.h"
#include "ui/Windows.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "TestFiles.h"
#include "WindowTestSupport.h"

#include <memory>

using namespace Qt::StringLiterals;
using namespace TestFiles;

namespace {

const QStringList kAds = {u"3|Сдам комнату|Недвижимость|"_s, u"1|Продам велосипед|Разное|"_s,
                          u"2|Ищу работу|Работа|"_s};

void click(QWidget *button)
{
    QTest::mouseClick(button, Qt::LeftButton);
}

} // namespace

class TestBuildDialog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void layoutAndKeyboard();
    void waysOutChangeNothing();
    void saveDialog();
    void buildFromTheDialog();
    void lastRowRunsOutUnderTheCell_data();
    void lastRowRunsOutUnderTheCell();
    void failedBuildKeepsEverything();
    void adsFileSaveFailsAfterTheBuild();

private:
    void startWith(const QStringList &ads);
    void openDialog();

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_previousDir;
    QStringList m_messages;
};

void TestBuildDialog::initTestCase()
{
    SetUpApplication(*qApp);
}

void TestBuildDialog::init()
{
    m_previousDir = QDir::currentPath();
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QVERIFY(QDir::setCurrent(m_dir->path()));
    // The sample folder the program ships with.
    const QDir examples(QStringLiteral(VERMATA_SOURCE_DIR "/examples"));
    QVERIFY(QFile::copy(examples.filePath(u"Рубрики.txt"_s), u"Рубрики.txt"_s));
    QVERIFY(QFile::copy(examples.filePath(u"Шаблон.doc"_s), u"Шаблон.doc"_s));
    m_messages.clear();
    MessageBox::captureForTests(&m_messages);
    startWith(kAds);
}

void TestBuildDialog::cleanup()
{
    DestroyWindows();
    FileDialog::answerForTests({});
    MessageBox::captureForTests(nullptr);
    QDir::setCurrent(m_previousDir);
    m_dir.reset();
}

void TestBuildDialog::startWith(const QStringList &ads)
{
    DestroyWindows();
    QVERIFY(write(u"x.txt"_s, adsFileBytes(ads)));
    CreateWindows();
    Form1->show();
    QVERIFY(QTest::qWaitForWindowExposed(Form1));
    QCOMPARE(WindowTest::gridAds(), ads);
}

void TestBuildDialog::openDialog()
{
    click(Form1->Button4);
    QVERIFY(AboutBox2->isVisible());
    QVERIFY(QTest::qWaitForWindowActive(AboutBox2));
}

void TestBuildDialog::layoutAndKeyboard()
{
    openDialog();
    QCOMPARE(AboutBox2->windowTitle(), u"Создание файла"_s);
    QCOMPARE(AboutBox2->size(), QSize(254, 117));
    QCOMPARE(AboutBox2->Bevel1->geometry(), QRect(8, 8, 233, 57));
    QCOMPARE(AboutBox2->Edit1->geometry(), QRect(16, 24, 121, 21));
    QCOMPARE(AboutBox2->Button1->geometry(), QRect(152, 24, 75, 25));
    QCOMPARE(AboutBox2->OKButton->geometry(), QRect(167, 76, 75, 25));
    QCOMPARE(AboutBox2->BitBtn1->geometry(), QRect(8, 80, 75, 25));
    QCOMPARE(AboutBox2->Edit1->text(), QString());
    QCOMPARE(AboutBox2->Button1->text(), u"Сохронить"_s);
    QCOMPARE(AboutBox2->OKButton->text(), u"&Создать"_s);
    QCOMPARE(AboutBox2->BitBtn1->text(), u"&Отмена"_s);
    QVERIFY(!AboutBox2->BitBtn1->icon().isNull());
    QVERIFY(AboutBox2->OKButton->isDefault());
    QVERIFY(!AboutBox2->Button1->isDefault() && !AboutBox2->BitBtn1->isDefault());

    // Tab order: "&Создать", "&Отмена", the name field, "Сохронить"; each
    // control announces itself.
    const QList<QWidget *> order = {AboutBox2->OKButton, AboutBox2->BitBtn1, AboutBox2->Edit1,
                                    AboutBox2->Button1};
    AboutBox2->OKButton->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), order.first());
    for (QWidget *expected : order) {
        QCOMPARE(QApplication::focusWidget(), expected);
        QVERIFY2(!expected->accessibleName().isEmpty(), qPrintable(expected->objectName()));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QCOMPARE(QApplication::focusWidget(), order.first());

    // Alt with the underlined letter presses the button: Alt+С builds (here it
    // is refused, as no name was given), Alt+О hides.
    QCOMPARE(QKeySequence::mnemonic(AboutBox2->OKButton->text()), QKeySequence(Qt::ALT | Qt::Key(0x0421)));
    QTest::sendKeyEvent(QTest::Click, AboutBox2->windowHandle(), Qt::Key(0x0421), u"С"_s, Qt::AltModifier);
    QTRY_COMPARE(m_messages.size(), 1); // a mnemonic clicks after a short animation
    QVERIFY2(m_messages.first().startsWith(u"Не задано имя файла выпуска"_s), qPrintable(m_messages.first()));
    QVERIFY(AboutBox2->isVisible());
    QTest::sendKeyEvent(QTest::Click, AboutBox2->windowHandle(), Qt::Key(0x041E), u"О"_s, Qt::AltModifier);
    QTRY_VERIFY(!AboutBox2->isVisible());
    QCOMPARE(WindowTest::gridAds(), kAds);
}

void TestBuildDialog::waysOutChangeNothing()
{
    const QByteArray before = read(u"x.txt"_s);
    openDialog();
    AboutBox2->Edit1->setText(u"Выпуск.doc"_s);
    QTest::keyClick(AboutBox2, Qt::Key_Escape);
    QVERIFY(!AboutBox2->isVisible());
    openDialog();
    QVERIFY(AboutBox2->close());
    QVERIFY(!AboutBox2->isVisible());
    openDialog();
    click(AboutBox2->BitBtn1);
    QVERIFY(!AboutBox2->isVisible());
    QCOMPARE(AboutBox2->Edit1->text(), u"Выпуск.doc"_s); // kept between showings
    QCOMPARE(read(u"x.txt"_s), before);
    QVERIFY(!QFile::exists(u"Выпуск.doc"_s));
    QVERIFY(m_messages.isEmpty());

    // Enter on a focused button presses that button, not "&Создать".
    openDialog();
    AboutBox2->BitBtn1->setFocus();
    QTest::keyClick(AboutBox2->BitBtn1, Qt::Key_Return);
    QVERIFY(!AboutBox2->isVisible());
    QVERIFY(!QFile::exists(u"Выпуск.doc"_s));
    QCOMPARE(read(u"x.txt"_s), before);

    // Enter in the name field presses "&Создать", also after a button had
    // taken the default while it had the focus.
    openDialog();
    AboutBox2->Edit1->setFocus();
    QTest::keyClick(AboutBox2->Edit1, Qt::Key_Return);
    QVERIFY(!AboutBox2->isVisible());
    QVERIFY(QFile::exists(u"Выпуск.doc"_s));
}

void TestBuildDialog::saveDialog()
{
    QTemporaryDir elsewhere;
    const QString chosen = QDir(elsewhere.path()).filePath(u"Выпуск 12.doc"_s);
    QList<QString> offered;
    bool cancel = false;
    FileDialog::answerForTests([&](const FileDialog &dialog) -> std::optional<FileDialog::Answer> {
        offered << dialog.offeredFile();
        [&] {
            QCOMPARE(dialog.mode(), FileDialog::Save);
            QCOMPARE(dialog.filters(), QStringList{u"MSO (*.doc)"_s});
            QCOMPARE(dialog.defaultSuffix(), u"doc"_s);
        }();
        if (cancel)
            return std::nullopt;
        return FileDialog::Answer{chosen, u"MSO (*.doc)"_s};
    });

    openDialog();
    AboutBox2->Edit1->setText(u"typed.doc"_s);
    click(AboutBox2->Button1);
    QCOMPARE(AboutBox2->Edit1->text(), chosen);
    // Choosing a file elsewhere leaves the working folder where it was.
    QCOMPARE(QDir::currentPath(), QDir(m_dir->path()).canonicalPath());

    cancel = true;
    AboutBox2->Edit1->setText(u"typed again.doc"_s);
    click(AboutBox2->Button1);
    QCOMPARE(AboutBox2->Edit1->text(), u"typed again.doc"_s);
    QCOMPARE(offered, (QList<QString>{QString(), chosen}));

    // A build after choosing a target elsewhere still reads and writes the
    // working folder's files.
    cancel = false;
    click(AboutBox2->Button1);
    click(AboutBox2->OKButton);
    QVERIFY2(m_messages.isEmpty(), qPrintable(m_messages.join(u'\n')));
    QVERIFY(QFile::exists(chosen));
    QCOMPARE(read(u"x.txt"_s), adsFileBytes({u"2|Сдам комнату|Недвижимость|"_s, u"1|Ищу работу|Работа|"_s}));
}

// "&Создать" on the sample folder: the dialog hides, the run-out ad goes, the
// others count down; "Всего:" and the rubric selector are left alone.
void TestBuildDialog::buildFromTheDialog()
{
    click(Form1->Button3);
    QCOMPARE(Form1->Label4->text(), u"3"_s);
    Form1->ComboBox1->setEditText(u"Набранная рубрика"_s);
    const QStringList items = [] {
        QStringList names;
        for (int i = 0; i < Form1->ComboBox1->count(); ++i)
            names << Form1->ComboBox1->itemText(i);
        return names;
    }();
    WindowTest::clickCell(1, AdList::Runs);

    openDialog();
    AboutBox2->Edit1->setText(u"Выпуск.doc"_s);
    click(AboutBox2->OKButton);
    QVERIFY2(m_messages.isEmpty(), qPrintable(m_messages.join(u'\n')));
    QVERIFY(!AboutBox2->isVisible());

    const QStringList after = {u"2|Сдам комнату|Недвижимость|"_s, u"1|Ищу работу|Работа|"_s};
    QCOMPARE(WindowTest::gridAds(), after);
    QCOMPARE(read(u"x.txt"_s), adsFileBytes(after));
    QVERIFY(read(u"Выпуск.doc"_s).startsWith("{\\rtf1"));
    QCOMPARE(CurrentRow, 2); // the row of the removed ad
    QCOMPARE(Form1->StringGrid1->currentIndex(), Form1->grid().index(0, AdList::Runs));
    QCOMPARE(Form1->Memo1->toPlainText(), u"Сдам комнату"_s);
    QCOMPARE(Form1->Label4->text(), u"3"_s);
    QCOMPARE(Form1->ComboBox1->currentText(), u"Набранная рубрика"_s);
    QCOMPARE(Form1->ComboBox1->count(), items.size());
}

void TestBuildDialog::lastRowRunsOutUnderTheCell_data()
{
    QTest::addColumn<QStringList>("ads");
    QTest::addColumn<int>("cellRow");
    QTest::addColumn<int>("currentRow");
    QTest::addColumn<QString>("memo");
    QTest::addColumn<int>("rowsLeft");
    // Both run out with the cell on row 2: removing the first moves the cell up
    // to the second, which then goes too, leaving its text in the memo.
    // 3, 1, 2 with the last row selected: the ad with 1 goes, and the grid
    // moves its cell up to the new last row, which selects it.
    QTest::addRow("3, 1, 2") << kAds << 3 << 2 << u"Ищу работу"_s << 2;
    QTest::addRow("all run out") << QStringList{u"1|Первое|Разное|"_s, u"1|Второе|Разное|"_s} << 2 << 1
                                 << u"Второе"_s << 0;
}

void TestBuildDialog::lastRowRunsOutUnderTheCell()
{
    QFETCH(QStringList, ads);
    QFETCH(int, cellRow);
    QFETCH(int, currentRow);
    QFETCH(QString, memo);
    QFETCH(int, rowsLeft);
    startWith(ads);
    WindowTest::clickCell(cellRow, AdList::Rubric);
    openDialog();
    AboutBox2->Edit1->setText(u"Выпуск.doc"_s);
    click(AboutBox2->OKButton);
    QVERIFY2(m_messages.isEmpty(), qPrintable(m_messages.join(u'\n')));
    QCOMPARE(Form1->grid().adCount(), rowsLeft);
    QCOMPARE(CurrentRow, currentRow);
    QCOMPARE(Form1->Memo1->toPlainText(), memo);
    const QModelIndex expected =
        rowsLeft > 0 ? Form1->grid().index(rowsLeft - 1, AdList::Rubric) : QModelIndex();
    QCOMPARE(Form1->StringGrid1->currentIndex(), expected);
}

// A build that stops shows why, stays shown and consumes nothing.
void TestBuildDialog::failedBuildKeepsEverything()
{
    WindowTest::clickCell(2, AdList::Text);
    QVERIFY(QFile::remove(u"Шаблон.doc"_s));
    const QByteArray before = read(u"x.txt"_s);
    openDialog();
    AboutBox2->Edit1->setText(u"Выпуск.doc"_s);
    click(AboutBox2->OKButton);
    QCOMPARE(m_messages.size(), 1);
    QVERIFY2(m_messages.first().startsWith(u"Шаблон «"_s), qPrintable(m_messages.first()));
    QVERIFY(AboutBox2->isVisible());
    QCOMPARE(WindowTest::gridAds(), kAds);
    QCOMPARE(read(u"x.txt"_s), before);
    QCOMPARE(CurrentRow, 2);
    QCOMPARE(Form1->StringGrid1->currentIndex(), Form1->grid().index(1, AdList::Text));
}

void TestBuildDialog::adsFileSaveFailsAfterTheBuild()
{
    QVERIFY(QFile::setPermissions(u"x.txt"_s, QFile::ReadOwner));
    const QByteArray before = read(u"x.txt"_s);
    openDialog();
    AboutBox2->Edit1->setText(u"Выпуск.doc"_s);
    click(AboutBox2->OKButton);
    QCOMPARE(m_messages, QStringList{u"File access denied."_s});
    QVERIFY(!AboutBox2->isVisible());
    QVERIFY(QFile::exists(u"Выпуск.doc"_s));
    QCOMPARE(WindowTest::gridAds(),
             (QStringList{u"2|Сдам комнату|Недвижимость|"_s, u"1|Ищу работу|Работа|"_s}));
    QCOMPARE(read(u"x.txt"_s), before);
}

QTEST_MAIN(TestBuildDialog)
#include "test_builddialog.moc"
