// The main window and start-up, driven through the real widgets.

#include "data/AdGridModel.h"
#include "ui/AdGridView.h"
#include "ui/MessageBox.h"
#include "ui/Unit1.h"
#include "ui/Unit2.h"
#include "ui/Unit3.h"
#include "ui/Unit4.h"
#include "ui/Unit5.h"
#include "ui/Unit6.h"
#include "ui/Unit7.h"
#include "ui/Windows.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "TestFiles.h"

using namespace Qt::StringLiterals;
using namespace TestFiles;

namespace {

const QString kRubrics = u"Недвижимость\r\nАвто\r\nРабота"_s;
const QString kAds =
    u"1|Сдам комнату|Недвижимость|\r\n2|Продаю ВАЗ|Авто|\r\n3|Требуется продавец|Работа|\r\n"_s;

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { SetUpApplication(*qApp); }
    void init();
    void cleanup();

    void startUp_data();
    void startUp();
    void rubricFailureStillLoadsAdsAndSaveKeepsThem();
    void saveNeverSilentlyReplacesAnUnloadedFile();
    void windowsAndCaptions();
    void controlsAndTabOrder();
    void gridAndMemoStretchWithTheWindow();
    void startUpSelectsNoAd();
    void selectingACellShowsItsText_data();
    void selectingACellShowsItsText();
    void keyboardMovesTheSelection();
    void headingRowCannotBeSelected();
    void clickOnCurrentCellReplacesTypedText();
    void countingIsOnDemand();
    void removingTheSelectedLastRowSelectsTheNewLast();
    void removingAnotherRowKeepsTheSelection();
    void gridModelIsConsistent();
    void commandsShowDialogsModeless();
    void aboutDialog();
    void exitClosesWithDialogsOpen();
    void menuWorksFromTheKeyboard();
    void failureBox();

private:
    void start(bool rubrics, bool ads, const QString &adsText = kAds);
    void clickCell(int row, int column, Qt::KeyboardModifiers modifiers = {});

    QTemporaryDir *m_dir = nullptr;
    QString m_oldCurrent;
    QStringList m_messages;
};

void TestMainWindow::init()
{
    m_dir = new QTemporaryDir;
    m_oldCurrent = QDir::currentPath();
    QDir::setCurrent(m_dir->path());
    m_messages.clear();
    MessageBox::captureForTests(&m_messages);
}

void TestMainWindow::cleanup()
{
    DestroyWindows();
    MessageBox::captureForTests(nullptr);
    QDir::setCurrent(m_oldCurrent);
    delete m_dir;
    m_dir = nullptr;
}

void TestMainWindow::start(bool rubrics, bool ads, const QString &adsText)
{
    if (rubrics)
        QVERIFY(writeCp1251(u"Рубрики.txt"_s, kRubrics));
    if (ads)
        QVERIFY(writeCp1251(u"x.txt"_s, adsText));
    CreateWindows();
    Form1->show();
    QVERIFY(QTest::qWaitForWindowExposed(Form1));
}

void TestMainWindow::clickCell(int row, int column, Qt::KeyboardModifiers modifiers)
{
    AdGridView *grid = Form1->StringGrid1;
    const QModelIndex index = grid->model()->index(row - 1, column);
    grid->scrollTo(index);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, modifiers, grid->visualRect(index).center());
}

void TestMainWindow::startUp_data()
{
    QTest::addColumn<bool>("rubrics");
    QTest::addColumn<bool>("ads");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<int>("rubricCount");
    QTest::addColumn<int>("adCount");
    QTest::addRow("both files") << true << true << QStringList() << 3 << 3;
    QTest::addRow("no rubric list") << false << true << QStringList{u"File not found."_s} << 0 << 3;
    QTest::addRow("no ads file") << true << false << QStringList{u"File not found."_s} << 3 << 0;
    QTest::addRow("neither") << false << false << QStringList{u"File not found."_s, u"File not found."_s} << 0
                             << 0;
}

void TestMainWindow::startUp()
{
    QFETCH(bool, rubrics);
    QFETCH(bool, ads);
    QFETCH(QStringList, messages);
    QFETCH(int, rubricCount);
    QFETCH(int, adCount);
    start(rubrics, ads);

    QCOMPARE(m_messages, messages);
    QCOMPARE(Form1->ComboBox1->count(), rubricCount);
    QCOMPARE(Form1->ComboBox1->currentText(), QString());
    QCOMPARE(Form1->grid().adCount(), adCount);
    const QStringList headings = {u"К/В"_s, u"Текст"_s, u"Рубрика"_s};
    for (int c = 0; c < 3; ++c)
        QCOMPARE(Form1->grid().headerData(c, Qt::Horizontal).toString(), headings[c]);
    QCOMPARE(AdsPath, u"x.txt"_s);
    QCOMPARE(RubricsPath, u"Рубрики.txt"_s);
    QCOMPARE(TemplatePath, u"Шаблон.doc"_s);
    if (rubrics)
        QCOMPARE(Form1->ComboBox1->itemText(1), u"Авто"_s);
    if (ads)
        QCOMPARE(Form1->grid().cell(2, AdList::Text), u"Требуется продавец"_s);

    // No phantom empty ad: "Всего:" counts what was loaded.
    QTest::mouseClick(Form1->Button3, Qt::LeftButton);
    QCOMPARE(Form1->Label4->text(), QString::number(adCount));
}

void TestMainWindow::rubricFailureStillLoadsAdsAndSaveKeepsThem()
{
    start(false, true);
    QCOMPARE(Form1->grid().adCount(), 3);
    QVERIFY(Form1->SaveAdsFile().ok());
    QCOMPARE(read(u"x.txt"_s).count("\r\n"), 3);
    QVERIFY(!QFile::exists(u"x.txt.bak"_s));
}

void TestMainWindow::saveNeverSilentlyReplacesAnUnloadedFile()
{
    start(true, false);
    QCOMPARE(m_messages, QStringList{u"File not found."_s});
    // The file turns up after start-up (restored by hand, say): the first save
    // keeps it aside instead of wiping it.
    QVERIFY(writeCp1251(u"x.txt"_s, u"5|восстановленное|Авто|\r\n"_s));
    QVERIFY(Form1->SaveAdsFile().ok());
    QCOMPARE(read(u"x.txt"_s), QByteArray());
    QCOMPARE(read(u"x.txt.bak"_s).left(2), QByteArray("5|"));

    // Another existing ads file chosen for this run is kept aside the same way.
    QVERIFY(writeCp1251(u"other.txt"_s, u"7|чужое|Работа|\r\n"_s));
    AdsPath = u"other.txt"_s;
    QVERIFY(Form1->SaveAdsFile().ok());
    QCOMPARE(read(u"other.txt.bak"_s).left(2), QByteArray("7|"));
}

void TestMainWindow::windowsAndCaptions()
{
    start(true, true);
    struct Expected
    {
        QWidget *window;
        QString caption;
        QSize size;
    };
    const QList<Expected> windows = {
        {AboutBox, u"Рубрики"_s, {230, 201}},
        {AboutBox1, u"Директории"_s, {365, 177}},
        {OKBottomDlg, u"Удаление записи"_s, {313, 128}},
        {Form5, u"Изменение записи"_s, {377, 112}},
        {AboutBox2, u"Создание файла"_s, {254, 117}},
        {AboutBox3, u"About"_s, {297, 232}},
    };
    for (const Expected &e : windows) {
        QVERIFY(e.window);
        QVERIFY(e.window->isWindow());
        QVERIFY(!e.window->isVisible());
        QCOMPARE(e.window->windowTitle(), e.caption);
        QCOMPARE(e.window->size(), e.size);
    }
    QCOMPARE(Form1->windowTitle(), u"Вермата v 3.0"_s);
    QCOMPARE(Form1->centralWidget()->size(), QSize(326, 406));
    QVERIFY(!Form1->windowIcon().isNull());

    const QList<QAction *> bar = Form1->menuBar()->actions();
    QStringList captions;
    for (QAction *a : bar) {
        if (a->text() == u"Правка"_s)
            continue; // a later menu, checked in test_editmenu
        captions << a->text();
        if (a->menu()) {
            for (QAction *item : a->menu()->actions())
                captions << u"  "_s + item->text();
        }
    }
    QCOMPARE(captions, (QStringList{u"Файл"_s, u"  Выход"_s, u"Рубрики"_s, u"  Добавить"_s, u"Директории"_s,
                                    u"Справка"_s, u"  О программе"_s}));
}

void TestMainWindow::controlsAndTabOrder()
{
    start(true, true);
    struct Place
    {
        QWidget *w;
        QRect rect;
    };
    const QList<Place> places = {
        {Form1->StringGrid1, {0, 0, 326, 121}},    {Form1->ComboBox1, {8, 200, 169, 24}},
        {Form1->Edit2, {272, 192, 33, 24}},        {Form1->Button1, {8, 232, 75, 25}},
        {Form1->Button2, {88, 232, 75, 25}},       {Form1->RadioButton1, {200, 160, 33, 17}},
        {Form1->RadioButton2, {232, 160, 33, 17}}, {Form1->RadioButton3, {272, 160, 33, 17}},
        {Form1->RadioButton4, {200, 192, 65, 17}}, {Form1->BitBtn1, {168, 232, 81, 25}},
        {Form1->Button3, {16, 136, 73, 25}},       {Form1->Button4, {256, 232, 65, 25}},
        {Form1->Memo1, {0, 288, 326, 118}},
    };
    for (const Place &p : places)
        QCOMPARE(p.w->geometry(), p.rect);
    QCOMPARE(Form1->StringGrid1->columnWidth(0), 29);
    QCOMPARE(Form1->StringGrid1->columnWidth(1), 165);
    QCOMPARE(Form1->StringGrid1->columnWidth(2), 221);
    QCOMPARE(Form1->StringGrid1->rowHeight(0), 20);
    QVERIFY(!Form1->Edit3->isVisible());
    QCOMPARE(Form1->Label1->text(), u"Кол-во выходов:"_s);
    QCOMPARE(Form1->Label2->text(), u"Текст объявления:"_s);
    QCOMPARE(Form1->Label3->text(), u"Рубрика:"_s);
    QCOMPARE(Form1->Button3->text(), u"Всего:"_s);

    const QFont font = Form1->Memo1->font();
    QVERIFY(font.bold());
    QCOMPARE(font.pixelSize(), 13);
    QVERIFY(QFontInfo(font).fixedPitch());

    // Tab walks the controls in order; the four radio buttons are one stop, as
    // a radio group is on every desktop, and the arrow keys move within it.
    // Every control announces itself.
    Form1->activateWindow();
    Form1->StringGrid1->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget *>(Form1->StringGrid1));
    for (const Place &p : places) {
        QWidget *expected = p.w;
        QVERIFY2(!expected->accessibleName().isEmpty() || !expected->property("text").toString().isEmpty(),
                 qPrintable(expected->objectName()));
        if (expected == Form1->RadioButton2 || expected == Form1->RadioButton3 ||
            expected == Form1->RadioButton4)
            continue;
        QCOMPARE(QApplication::focusWidget(), expected);
        if (expected == Form1->RadioButton1) {
            const QList<QPair<Qt::Key, QWidget *>> moves = {{Qt::Key_Right, Form1->RadioButton2},
                                                            {Qt::Key_Right, Form1->RadioButton3},
                                                            {Qt::Key_Down, Form1->RadioButton4}};
            for (const auto &[key, next] : moves) {
                QTest::keyClick(QApplication::focusWidget(), key);
                QCOMPARE(QApplication::focusWidget(), next);
            }
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(Form1->StringGrid1));
    QCOMPARE(Form1->ComboBox1->accessibleName(), u"Рубрика:"_s);
    QCOMPARE(Form1->Memo1->accessibleName(), u"Текст объявления:"_s);
}

void TestMainWindow::gridAndMemoStretchWithTheWindow()
{
    start(true, true);
    const QRect button = Form1->Button1->geometry();
    Form1->resize(Form1->width() + 100, Form1->height() + 50);
    QTRY_COMPARE(Form1->centralWidget()->width(), 426);
    QCOMPARE(Form1->StringGrid1->geometry(), QRect(0, 0, 426, 121));
    QCOMPARE(Form1->Memo1->geometry(), QRect(0, 288 + 50, 426, 118));
    QCOMPARE(Form1->Button1->geometry(), button);
}

void TestMainWindow::startUpSelectsNoAd()
{
    start(true, true);
    QCOMPARE(Form1->Memo1->toPlainText(), QString());
    QCOMPARE(CurrentRow, 1);
    QCOMPARE(Form1->StringGrid1->currentIndex(), Form1->grid().index(0, 0));
}

void TestMainWindow::selectingACellShowsItsText_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("text");
    QTest::addRow("runs column") << 2 << 0 << u"Продаю ВАЗ"_s;
    QTest::addRow("text column") << 3 << 1 << u"Требуется продавец"_s;
    QTest::addRow("rubric column") << 1 << 2 << u"Сдам комнату"_s;
}

void TestMainWindow::selectingACellShowsItsText()
{
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(QString, text);
    start(true, true);
    clickCell(row, column);
    QCOMPARE(Form1->Memo1->toPlainText(), text);
    QCOMPARE(CurrentRow, row);
}

void TestMainWindow::keyboardMovesTheSelection()
{
    start(true, true);
    Form1->StringGrid1->setFocus();
    QTest::keyClick(Form1->StringGrid1, Qt::Key_Down);
    QCOMPARE(CurrentRow, 2);
    QCOMPARE(Form1->Memo1->toPlainText(), u"Продаю ВАЗ"_s);
    QTest::keyClick(Form1->StringGrid1, Qt::Key_End, Qt::ControlModifier);
    QCOMPARE(CurrentRow, 3);
    QTest::keyClick(Form1->StringGrid1, Qt::Key_Up);
    QCOMPARE(CurrentRow, 2);

    // Shift+click extends the highlight only.
    clickCell(3, 1, Qt::ShiftModifier);
    QCOMPARE(CurrentRow, 2);
    QCOMPARE(Form1->Memo1->toPlainText(), u"Продаю ВАЗ"_s);
}

void TestMainWindow::headingRowCannotBeSelected()
{
    start(true, true);
    clickCell(2, 1);
    QHeaderView *headings = Form1->StringGrid1->horizontalHeader();
    QTest::mouseClick(headings->viewport(), Qt::LeftButton, {}, QPoint(headings->sectionPosition(1) + 5, 5));
    QCOMPARE(CurrentRow, 2);
    QCOMPARE(Form1->Memo1->toPlainText(), u"Продаю ВАЗ"_s);
    QCOMPARE(Form1->StringGrid1->currentIndex(), Form1->grid().index(1, 1));
}

void TestMainWindow::clickOnCurrentCellReplacesTypedText()
{
    start(true, true);
    clickCell(2, 1);
    Form1->Memo1->setPlainText(u"набранный текст"_s);
    clickCell(2, 1);
    QCOMPARE(Form1->Memo1->toPlainText(), u"Продаю ВАЗ"_s);
}

void TestMainWindow::countingIsOnDemand()
{
    start(true, true);
    QCOMPARE(Form1->Label4->text(), QString());
    QTest::mouseClick(Form1->Button3, Qt::LeftButton);
    QCOMPARE(Form1->Label4->text(), u"3"_s);
    Form1->grid().removeAd(0);
    QCOMPARE(Form1->Label4->text(), u"3"_s);
    QTest::mouseClick(Form1->Button3, Qt::LeftButton);
    QCOMPARE(Form1->Label4->text(), u"2"_s);
}

void TestMainWindow::removingTheSelectedLastRowSelectsTheNewLast()
{
    start(true, true);
    clickCell(3, 2);
    QCOMPARE(CurrentRow, 3);
    Form1->grid().removeAd(2);
    QCOMPARE(CurrentRow, 2);
    QCOMPARE(Form1->Memo1->toPlainText(), u"Продаю ВАЗ"_s);
    QCOMPARE(Form1->StringGrid1->currentIndex(), Form1->grid().index(1, 2));

    // Removing from the middle while the last row is selected: the rows move
    // up, and the selection follows the grid's end.
    Form1->grid().removeAd(0);
    QCOMPARE(CurrentRow, 1);
    QCOMPARE(Form1->Memo1->toPlainText(), u"Продаю ВАЗ"_s);

    // The only ad goes: nothing left to select, the memo keeps its text.
    Form1->grid().removeAd(0);
    QCOMPARE(Form1->grid().adCount(), 0);
    QCOMPARE(CurrentRow, 1);
    QCOMPARE(Form1->Memo1->toPlainText(), u"Продаю ВАЗ"_s);
}

void TestMainWindow::removingAnotherRowKeepsTheSelection()
{
    start(true, true);
    clickCell(1, 1);
    Form1->grid().removeAd(1);
    QCOMPARE(CurrentRow, 1);
    QCOMPARE(Form1->Memo1->toPlainText(), u"Сдам комнату"_s);
    QCOMPARE(Form1->grid().cell(1, AdList::Text), u"Требуется продавец"_s);
}

void TestMainWindow::gridModelIsConsistent()
{
    AdGridModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.setHeadings({u"К/В"_s, u"Текст"_s, u"Рубрика"_s});
    model.replaceAll(AdList::fromFileBytes("1|a|b|\r\n2|c|d|\r\n"));
    model.appendAd();
    QVERIFY(model.setCell(2, AdList::Text, u"новое"_s));
    QVERIFY(!model.setCell(2, AdList::Text, u"ü"_s));
    QCOMPARE(model.data(model.index(2, 1)).toString(), u"новое"_s);
    model.removeAd(0);
    model.removeAd(1);
    QCOMPARE(model.rowCount(), 1);
    QCOMPARE(model.cell(0, AdList::Rubric), u"d"_s);
}

void TestMainWindow::commandsShowDialogsModeless()
{
    start(true, true);
    const QList<QPair<std::function<void()>, QWidget *>> commands = {
        {[] { Form1->N4->trigger(); }, AboutBox},
        {[] { Form1->N5->trigger(); }, AboutBox1},
        {[] { QTest::mouseClick(Form1->Button4, Qt::LeftButton); }, AboutBox2},
        {[] { Form1->N7->trigger(); }, AboutBox3},
    };
    for (const auto &[command, dialog] : commands) {
        command();
        QVERIFY(dialog->isVisible());
        QVERIFY(!dialog->isModal());
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
    }
    // The main window still works while they are all open.
    clickCell(3, 0);
    QCOMPARE(CurrentRow, 3);
}

void TestMainWindow::aboutDialog()
{
    start(true, true);
    Form1->N7->trigger();
    Form1->N7->trigger();
    QCOMPARE(QApplication::topLevelWidgets().count(AboutBox3), 1);
    QVERIFY(AboutBox3->isVisible());
    QCOMPARE(AboutBox3->ProductName->text(), u"Редактор \"Вермата\""_s);
    QCOMPARE(AboutBox3->Version->text(), u"v. 3.0"_s);
    QVERIFY(!AboutBox3->Image1->pixmap().isNull());
    QCOMPARE(AboutBox3->Image1->pixmap().size(), QSize(32, 32));
    QVERIFY(AboutBox3->OKButton->isDefault());

    QTest::keyClick(AboutBox3, Qt::Key_Escape); // no cancel button: Esc does nothing
    QVERIFY(AboutBox3->isVisible());
    QTest::keyClick(AboutBox3, Qt::Key_Return);
    QVERIFY(!AboutBox3->isVisible());

    Form1->N7->trigger();
    QTest::mouseClick(AboutBox3->OKButton, Qt::LeftButton);
    QVERIFY(!AboutBox3->isVisible());
    Form1->N7->trigger();
    AboutBox3->close();
    QVERIFY(!AboutBox3->isVisible());
}

void TestMainWindow::exitClosesWithDialogsOpen()
{
    start(true, true);
    const QByteArray before = read(u"x.txt"_s);
    Form1->N7->trigger();
    Form1->N5->trigger();
    Form1->N2->trigger();
    QVERIFY(!Form1->isVisible());
    QVERIFY(m_messages.isEmpty());
    QCOMPARE(read(u"x.txt"_s), before); // nothing is written at the end
}

void TestMainWindow::menuWorksFromTheKeyboard()
{
    start(true, true);
    Form1->activateWindow();
    Form1->StringGrid1->setFocus();
    QTRY_VERIFY(Form1->StringGrid1->hasFocus());
    // Alt enters the menu bar; the arrows and Enter open "Справка" > "О программе".
    QTest::keyClick(Form1->StringGrid1, Qt::Key_Alt);
    QMenuBar *bar = Form1->menuBar();
    QTRY_COMPARE(bar->activeAction(), bar->actions().first());
    for (int i = 0; i < 4; ++i) // "Правка" stands between "Файл" and "Рубрики"
        QTest::keyClick(bar, Qt::Key_Right);
    QCOMPARE(bar->activeAction()->text(), u"Справка"_s);
    QTest::keyClick(bar, Qt::Key_Down);
    QMenu *help = bar->activeAction()->menu();
    QTRY_VERIFY(help->isVisible());
    QTest::keyClick(help, Qt::Key_Return);
    QTRY_VERIFY(AboutBox3->isVisible());
}

void TestMainWindow::failureBox()
{
    MessageBox::captureForTests(nullptr);
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    QTimer::singleShot(0, this, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        QVERIFY(box);
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        buttons = box->standardButtons();
        QTest::keyClick(box, Qt::Key_Return);
    });
    MessageBox::showError(nullptr, u"File not found"_s);
    QCOMPARE(title, u"Вермата v 3.0"_s);
    QCOMPARE(text, u"File not found."_s);
    QCOMPARE(icon, QMessageBox::Critical);
    QCOMPARE(buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
}

QTEST_MAIN(TestMainWindow)
#include "test_mainwindow.moc"
