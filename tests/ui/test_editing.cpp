// Adding, changing and deleting ads, and the two confirmations, driven through
// the real widgets.

#include "data/AdGridModel.h"
#include "files/Cp1251.h"
#include "ui/AdGridView.h"
#include "ui/MessageBox.h"
#include "ui/Unit1.h"
#include "ui/Unit4.h"
#include "ui/Unit5.h"
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
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include "TestFiles.h"
#include <QTextBlock>
#include <QTextLayout>

#include <memory>

using namespace Qt::StringLiterals;
using namespace TestFiles;

namespace {

const QString kA = u"1|Сдам комнату|Недвижимость|"_s;
const QString kB = u"2|Продам велосипед|Разное|"_s;
const QString kC = u"3|Ищу работу|Работа|"_s;
const QStringList kThreeAds = {kA, kB, kC};

const QString kNoAdSelected = u"Не выбрано объявление: выделите строку в таблице."_s;

// The grid's ads in the file's line form.
QStringList gridAds()
{
    QStringList ads;
    const AdGridModel &grid = Form1->grid();
    for (int ad = 0; ad < grid.adCount(); ++ad) {
        ads << grid.cell(ad, AdList::Runs) + u'|' + grid.cell(ad, AdList::Text) + u'|' +
                   grid.cell(ad, AdList::Rubric) + u'|';
    }
    return ads;
}

void click(QWidget *button)
{
    QTest::mouseClick(button, Qt::LeftButton);
}

// Clicks a cell of the grid; row 1 is the first ad.
void selectCell(int row, int column = AdList::Text)
{
    AdGridView *view = Form1->StringGrid1;
    const QModelIndex index = Form1->grid().index(row - 1, column);
    view->scrollTo(index);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
}

QRadioButton *radioButton(int number)
{
    switch (number) {
    case 1:
        return Form1->RadioButton1;
    case 2:
        return Form1->RadioButton2;
    case 3:
        return Form1->RadioButton3;
    case 4:
        return Form1->RadioButton4;
    }
    return nullptr;
}

// Sets the input controls an ad is composed from; radio 0 checks nothing.
void fillInputs(const QString &memo, int radio, const QString &edit2, const QString &rubric)
{
    Form1->Memo1->setPlainText(memo);
    if (QRadioButton *button = radioButton(radio))
        click(button);
    Form1->Edit2->setText(edit2);
    const int item = Form1->ComboBox1->findText(rubric);
    if (item >= 0 && !rubric.isEmpty())
        Form1->ComboBox1->setCurrentIndex(item);
    else
        Form1->ComboBox1->setEditText(rubric);
}

// A text well beyond the memo's width, without a line break.
QString longText()
{
    QString text;
    for (int i = 1; i <= 12; ++i)
        text += u"Продаётся дом с садом и баней номер "_s + QString::number(i) + u". "_s;
    return text.trimmed();
}

int displayLines(const QPlainTextEdit *memo)
{
    int lines = 0;
    for (QTextBlock block = memo->document()->firstBlock(); block.isValid(); block = block.next())
        lines += block.layout()->lineCount();
    return lines;
}

} // namespace

class TestEditing : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void dialogs_data();
    void dialogs();
    void pictures();

    void compose_data();
    void compose();
    void wrappedTextIsStoredAsTyped();
    void addTwice();
    void addAfterDeletingTheOnlyAd();

    void change_data();
    void change();
    void changeWithoutTouchingTheMemoKeepsTheText();

    void remove_data();
    void remove();
    void deleteTwiceInTheMiddle();

    void okWithNoAdDesignated_data();
    void okWithNoAdDesignated();
    void bothDialogsFollowTheSelection();
    void failedSave_data();
    void failedSave();
    void refusedCharacters_data();
    void refusedCharacters();

private:
    void startWith(const QStringList &adLines);

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_previousDir;
    QStringList m_messages;
};

void TestEditing::initTestCase()
{
    SetUpApplication(*qApp);
}

void TestEditing::init()
{
    m_previousDir = QDir::currentPath();
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QVERIFY(QDir::setCurrent(m_dir->path()));
    QVERIFY(write(u"Рубрики.txt"_s, cp1251(u"Недвижимость\r\nРазное\r\nРабота"_s)));
    m_messages.clear();
    MessageBox::captureForTests(&m_messages);
    startWith(kThreeAds);
}

void TestEditing::cleanup()
{
    DestroyWindows();
    MessageBox::captureForTests(nullptr);
    QDir::setCurrent(m_previousDir);
    m_dir.reset();
}

// Starts the program afresh on an ads file holding adLines.
void TestEditing::startWith(const QStringList &adLines)
{
    DestroyWindows();
    QVERIFY(write(u"x.txt"_s, adsFileBytes(adLines)));
    CreateWindows();
    Form1->show();
    QVERIFY(QTest::qWaitForWindowExposed(Form1));
    QCOMPARE(gridAds(), adLines);
}

void TestEditing::dialogs_data()
{
    QTest::addColumn<QString>("which");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QString>("question");
    QTest::addColumn<QRect>("okGeometry");
    QTest::addColumn<QRect>("cancelGeometry");

    QTest::addRow("change") << u"change"_s << u"Изменение записи"_s << QSize(377, 112)
                            << u"Вы правда хотите изменить эту запись?"_s << QRect(112, 78, 75, 25)
                            << QRect(240, 76, 75, 25);
    QTest::addRow("delete") << u"delete"_s << u"Удаление записи"_s << QSize(313, 128)
                            << u"Вы действительно хотите удалить эту запись?"_s << QRect(31, 92, 75, 25)
                            << QRect(191, 92, 75, 25);
}

void TestEditing::dialogs()
{
    QFETCH(QString, which);
    QFETCH(QString, caption);
    QFETCH(QSize, size);
    QFETCH(QString, question);
    QFETCH(QRect, okGeometry);
    QFETCH(QRect, cancelGeometry);

    const bool change = which == u"change"_s;
    QDialog *dialog = change ? static_cast<QDialog *>(Form5) : static_cast<QDialog *>(OKBottomDlg);
    QPushButton *mainButton = change ? Form1->Button2 : Form1->BitBtn1;
    QPushButton *ok = change ? Form5->Button1 : OKBottomDlg->OKBtn;
    QPushButton *cancel = change ? Form5->Button2 : OKBottomDlg->CancelBtn;
    QLabel *label = change ? Form5->Label1 : OKBottomDlg->Label1;

    QVERIFY(!dialog->isVisible());
    QCOMPARE(dialog->windowTitle(), caption);
    QCOMPARE(dialog->size(), size);
    QCOMPARE(label->text(), question);
    QVERIFY(label->width() >= label->sizeHint().width());
    QVERIFY(dialog->rect().contains(label->geometry()));
    QCOMPARE(ok->text(), u"OK"_s);
    QCOMPARE(ok->geometry(), okGeometry);
    QVERIFY(ok->isDefault());
    QCOMPARE(cancel->text(), u"Cancel"_s);
    QCOMPARE(cancel->geometry(), cancelGeometry);

    selectCell(2);
    fillInputs(u"Продам велосипед, недорого"_s, 0, QString(), u"Разное"_s);
    const QByteArray before = read(u"x.txt"_s);

    // Every way out that is not "OK" hides the dialog and changes nothing.
    click(mainButton);
    QVERIFY(dialog->isVisible());
    QTest::keyClick(dialog, Qt::Key_Escape);
    QVERIFY(!dialog->isVisible());

    click(mainButton);
    QVERIFY(dialog->close());
    QVERIFY(!dialog->isVisible());

    click(mainButton);
    click(cancel);
    QVERIFY(!dialog->isVisible());

    click(mainButton);
    QVERIFY(QTest::qWaitForWindowActive(dialog));
    cancel->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QVERIFY(!dialog->isVisible());

    QCOMPARE(gridAds(), kThreeAds);
    QCOMPARE(read(u"x.txt"_s), before);

    // Enter presses "OK".
    click(mainButton);
    QVERIFY(QTest::qWaitForWindowActive(dialog));
    ok->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QVERIFY(!dialog->isVisible());
    const QStringList expected =
        change ? QStringList{kA, u"2|Продам велосипед, недорого|Разное|"_s, kC} : QStringList{kA, kC};
    QCOMPARE(gridAds(), expected);
    QCOMPARE(read(u"x.txt"_s), adsFileBytes(expected));
    QVERIFY(m_messages.isEmpty());
}

void TestEditing::pictures()
{
    const QImage warning = OKBottomDlg->Image1->pixmap().toImage();
    QCOMPARE(warning.size(), QSize(39, 39));
    QCOMPARE(OKBottomDlg->Image1->geometry(), QRect(16, 16, 41, 41));
    QCOMPARE(OKBottomDlg->Bevel1->geometry(), QRect(8, 8, 297, 65));
    QCOMPARE(warning.pixelColor(4, 29), QColor(Qt::red));     // the circle
    QCOMPARE(warning.pixelColor(9, 27), QColor(Qt::white));   // its exclamation mark
    QCOMPARE(warning.pixelColor(20, 6), QColor(Qt::white));   // the document
    QCOMPARE(warning.pixelColor(25, 30), QColor(Qt::yellow)); // the folder

    QCOMPARE(Form5->Shape1->geometry(), QRect(16, 16, 73, 49));
    QCOMPARE(Form5->Bevel1->geometry(), QRect(88, 8, 249, 65));
    const QImage circle = Form5->Shape1->pixmap().toImage();
    QCOMPARE(circle.size(), QSize(73, 49));
    QCOMPARE(circle.pixelColor(36, 24), QColor(Qt::red));
    QCOMPARE(circle.pixelColor(2, 2).alpha(), 0);
    QCOMPARE(circle.pixelColor(70, 46).alpha(), 0);
}

void TestEditing::compose_data()
{
    QTest::addColumn<QString>("memo");
    QTest::addColumn<int>("radio");
    QTest::addColumn<QString>("edit2");
    QTest::addColumn<QString>("rubric");
    QTest::addColumn<QString>("storedLine");

    QTest::addRow("two lines") << u"Сдам гараж\nу парка"_s << 1 << QString() << u"Недвижимость"_s
                               << u"1|Сдам гараж у парка|Недвижимость|"_s;
    QTest::addRow("lines kept untrimmed")
        << u" abc \n de"_s << 1 << QString() << u"Разное"_s << u"1| abc   de|Разное|"_s;
    QTest::addRow("line break at the end")
        << u"Сдам гараж\n"_s << 2 << QString() << u"Недвижимость"_s << u"2|Сдам гараж|Недвижимость|"_s;
    QTest::addRow("empty line between")
        << u"abc\n\nde"_s << 2 << QString() << u"Разное"_s << u"2|abc  de|Разное|"_s;
    QTest::addRow("empty memo") << QString() << 3 << QString() << u"Разное"_s << u"3||Разное|"_s;
    QTest::addRow("only a line break") << u"\n"_s << 3 << QString() << u"Разное"_s << u"3||Разное|"_s;
    QTest::addRow("other with a count") << u"Куплю"_s << 4 << u"12"_s << u"Разное"_s << u"12|Куплю|Разное|"_s;
    QTest::addRow("other, not a number")
        << u"Куплю"_s << 4 << u"много"_s << u"Разное"_s << u"много|Куплю|Разное|"_s;
    QTest::addRow("other with empty field")
        << u"Куплю"_s << 4 << QString() << u"Разное"_s << u"|Куплю|Разное|"_s;
    QTest::addRow("field ignored unless other")
        << u"Куплю"_s << 2 << u"7|"_s << u"Разное"_s << u"2|Куплю|Разное|"_s;
    QTest::addRow("none checked") << u"Куплю"_s << 0 << u"7"_s << u"Разное"_s << u"|Куплю|Разное|"_s;
    QTest::addRow("typed rubric") << u"Куплю"_s << 1 << QString() << u"Не из списка"_s
                                  << u"1|Куплю|Не из списка|"_s;
    QTest::addRow("empty rubric") << u"Куплю"_s << 1 << QString() << QString() << u"1|Куплю||"_s;
}

void TestEditing::compose()
{
    QFETCH(QString, memo);
    QFETCH(int, radio);
    QFETCH(QString, edit2);
    QFETCH(QString, rubric);
    QFETCH(QString, storedLine);

    selectCell(2);
    fillInputs(memo, radio, edit2, rubric);
    click(Form1->Button1);

    const QStringList expected = kThreeAds + QStringList{storedLine};
    QCOMPARE(gridAds(), expected);
    QCOMPARE(read(u"x.txt"_s), adsFileBytes(expected));
    QCOMPARE(Form1->Edit3->text(), Form1->grid().cell(3, AdList::Text));
    QVERIFY(m_messages.isEmpty());

    // Adding leaves the inputs, the selection and CurrentRow alone.
    QCOMPARE(Form1->Memo1->toPlainText(), memo);
    QCOMPARE(Form1->Edit2->text(), edit2);
    QCOMPARE(Form1->ComboBox1->currentText(), rubric);
    QCOMPARE(Form1->StringGrid1->currentIndex().row(), 1);
    QCOMPARE(CurrentRow, 2);
}

void TestEditing::wrappedTextIsStoredAsTyped()
{
    const QString text = longText();
    fillInputs(text, 1, QString(), u"Недвижимость"_s);
    QTRY_VERIFY(displayLines(Form1->Memo1) > 1);

    click(Form1->Button1);
    QCOMPARE(Form1->grid().cell(3, AdList::Text), text);
    QCOMPARE(read(u"x.txt"_s), adsFileBytes(kThreeAds + QStringList{u"1|"_s + text + u"|Недвижимость|"_s}));
}

void TestEditing::addTwice()
{
    selectCell(1);
    fillInputs(u"Отдам котят"_s, 1, QString(), u"Разное"_s);
    click(Form1->Button1);
    click(Form1->Button1);

    const QString added = u"1|Отдам котят|Разное|"_s;
    const QStringList expected = kThreeAds + QStringList{added, added};
    QCOMPARE(gridAds(), expected);
    QCOMPARE(read(u"x.txt"_s), adsFileBytes(expected));
    QCOMPARE(CurrentRow, 1);
    QCOMPARE(Form1->StringGrid1->currentIndex().row(), 0);
}

void TestEditing::addAfterDeletingTheOnlyAd()
{
    startWith({kA});
    selectCell(1);
    click(Form1->BitBtn1);
    click(OKBottomDlg->OKBtn);
    QCOMPARE(gridAds(), QStringList());
    QCOMPARE(read(u"x.txt"_s), QByteArray());

    fillInputs(u"Сдам дачу"_s, 2, QString(), u"Недвижимость"_s);
    click(Form1->Button1);
    QCOMPARE(gridAds(), QStringList{u"2|Сдам дачу|Недвижимость|"_s});
    QCOMPARE(CurrentRow, 1);

    // CurrentRow, still 1, designates the new ad.
    fillInputs(u"Сдам дачу на лето"_s, 3, QString(), u"Недвижимость"_s);
    click(Form1->Button2);
    click(Form5->Button1);
    QCOMPARE(gridAds(), QStringList{u"3|Сдам дачу на лето|Недвижимость|"_s});
    QVERIFY(m_messages.isEmpty());
}

void TestEditing::change_data()
{
    QTest::addColumn<QStringList>("ads");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("radio");
    QTest::addColumn<QString>("edit2");
    QTest::addColumn<QStringList>("expected");

    const QString changed = u"Новый текст|Работа|"_s;
    QTest::addRow("in the middle") << kThreeAds << 2 << 3 << QString()
                                   << QStringList{kA, u"3|"_s + changed, kC};
    QTest::addRow("the first") << kThreeAds << 1 << 3 << QString() << QStringList{u"3|"_s + changed, kB, kC};
    QTest::addRow("at the end") << kThreeAds << 3 << 1 << QString() << QStringList{kA, kB, u"1|"_s + changed};
    QTest::addRow("the only ad") << QStringList{kB} << 1 << 1 << QString() << QStringList{u"1|"_s + changed};
    QTest::addRow("none checked keeps the count")
        << kThreeAds << 2 << 0 << u"9"_s << QStringList{kA, u"2|"_s + changed, kC};
    QTest::addRow("other with empty field clears the count")
        << kThreeAds << 2 << 4 << QString() << QStringList{kA, u"|"_s + changed, kC};
}

void TestEditing::change()
{
    QFETCH(QStringList, ads);
    QFETCH(int, row);
    QFETCH(int, radio);
    QFETCH(QString, edit2);
    QFETCH(QStringList, expected);

    startWith(ads);
    selectCell(row);
    QCOMPARE(CurrentRow, row);
    click(Form1->Button2);
    QVERIFY(Form5->isVisible());

    // The inputs as they are when "OK" is pressed count, not when the dialog opened.
    fillInputs(u"Новый текст"_s, radio, edit2, u"Работа"_s);
    click(Form5->Button1);

    QVERIFY(!Form5->isVisible());
    QCOMPARE(gridAds(), expected);
    QCOMPARE(read(u"x.txt"_s), adsFileBytes(expected));
    QCOMPARE(CurrentRow, row);
    QCOMPARE(Form1->StringGrid1->currentIndex().row(), row - 1);
    QVERIFY(m_messages.isEmpty());
}

void TestEditing::changeWithoutTouchingTheMemoKeepsTheText()
{
    const QStringList ads = {kA, u"2|"_s + longText() + u"|Разное|"_s, kC};
    startWith(ads);
    click(Form1->RadioButton2);
    Form1->ComboBox1->setCurrentIndex(Form1->ComboBox1->findText(u"Разное"_s));
    selectCell(2);
    QTRY_VERIFY(displayLines(Form1->Memo1) > 1);

    click(Form1->Button2);
    click(Form5->Button1);

    QCOMPARE(gridAds(), ads);
    QCOMPARE(read(u"x.txt"_s), adsFileBytes(ads));
}

void TestEditing::remove_data()
{
    QTest::addColumn<QStringList>("ads");
    QTest::addColumn<int>("row");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<int>("currentRow");
    QTest::addColumn<QString>("memo");

    // Only removing the selected last row moves the selection, and with it
    // CurrentRow and the memo.
    QTest::addRow("in the middle") << kThreeAds << 2 << QStringList{kA, kC} << 2 << u"Продам велосипед"_s;
    QTest::addRow("the first") << kThreeAds << 1 << QStringList{kB, kC} << 1 << u"Сдам комнату"_s;
    QTest::addRow("at the end, selected")
        << kThreeAds << 3 << QStringList{kA, kB} << 2 << u"Продам велосипед"_s;
    QTest::addRow("the only ad") << QStringList{kC} << 1 << QStringList() << 1 << u"Ищу работу"_s;
}

void TestEditing::remove()
{
    QFETCH(QStringList, ads);
    QFETCH(int, row);
    QFETCH(QStringList, expected);
    QFETCH(int, currentRow);
    QFETCH(QString, memo);

    startWith(ads);
    selectCell(row, AdList::Rubric);
    click(Form1->BitBtn1);
    QVERIFY(OKBottomDlg->isVisible());
    click(OKBottomDlg->OKBtn);

    QVERIFY(!OKBottomDlg->isVisible());
    QCOMPARE(gridAds(), expected);
    QCOMPARE(read(u"x.txt"_s), adsFileBytes(expected));
    QCOMPARE(CurrentRow, currentRow);
    QCOMPARE(Form1->Memo1->toPlainText(), memo);
    if (!expected.isEmpty())
        QCOMPARE(Form1->StringGrid1->currentIndex(), Form1->grid().index(currentRow - 1, AdList::Rubric));
    QVERIFY(m_messages.isEmpty());
}

void TestEditing::deleteTwiceInTheMiddle()
{
    const QString kD = u"1|Потерян зонт|Разное|"_s;
    startWith({kA, kB, kC, kD});
    selectCell(2);
    click(Form1->BitBtn1);
    click(OKBottomDlg->OKBtn);
    click(Form1->BitBtn1);
    click(OKBottomDlg->OKBtn);

    // CurrentRow designates the ad that moved up, so the second delete removes it.
    QCOMPARE(gridAds(), (QStringList{kA, kD}));
    QCOMPARE(read(u"x.txt"_s), adsFileBytes({kA, kD}));
    QCOMPARE(CurrentRow, 2);
}

void TestEditing::okWithNoAdDesignated_data()
{
    QTest::addColumn<QString>("which");
    QTest::addColumn<QStringList>("ads");
    QTest::addColumn<int>("currentRow");

    for (const QString &which : {u"change"_s, u"delete"_s}) {
        QTest::addRow("%s, empty list", qPrintable(which)) << which << QStringList() << 1;
        QTest::addRow("%s, past the last ad", qPrintable(which)) << which << kThreeAds << 4;
    }
}

void TestEditing::okWithNoAdDesignated()
{
    QFETCH(QString, which);
    QFETCH(QStringList, ads);
    QFETCH(int, currentRow);

    startWith(ads);
    CurrentRow = currentRow; // as run expiry leaves it after removing the last ads
    fillInputs(u"Сдам гараж"_s, 1, QString(), u"Недвижимость"_s);
    const bool change = which == u"change"_s;
    QDialog *dialog = change ? static_cast<QDialog *>(Form5) : static_cast<QDialog *>(OKBottomDlg);
    click(change ? Form1->Button2 : Form1->BitBtn1);

    // Gone, the file would come back if anything were written.
    QVERIFY(QFile::remove(u"x.txt"_s));
    click(change ? Form5->Button1 : OKBottomDlg->OKBtn);

    QCOMPARE(m_messages, QStringList{kNoAdSelected});
    QCOMPARE(gridAds(), ads);
    QVERIFY(!QFile::exists(u"x.txt"_s));
    QVERIFY(dialog->isVisible());
    QCOMPARE(CurrentRow, currentRow);
    QCOMPARE(Form1->Memo1->toPlainText(), u"Сдам гараж"_s);
}

void TestEditing::bothDialogsFollowTheSelection()
{
    selectCell(1);
    click(Form1->Button2);
    click(Form1->BitBtn1);
    QVERIFY(Form5->isVisible());
    QVERIFY(OKBottomDlg->isVisible());

    // The main window stays usable meanwhile.
    fillInputs(u"Отдам котят"_s, 1, QString(), u"Разное"_s);
    click(Form1->Button1);
    const QString added = u"1|Отдам котят|Разное|"_s;
    QCOMPARE(gridAds(), (QStringList{kA, kB, kC, added}));

    selectCell(3);
    QCOMPARE(Form1->Memo1->toPlainText(), u"Ищу работу"_s);
    fillInputs(u"Ищу работу водителем"_s, 2, QString(), u"Работа"_s);
    click(Form5->Button1);
    QVERIFY(!Form5->isVisible());
    QVERIFY(OKBottomDlg->isVisible());
    const QString changed = u"2|Ищу работу водителем|Работа|"_s;
    QCOMPARE(gridAds(), (QStringList{kA, kB, changed, added}));

    selectCell(2);
    click(OKBottomDlg->OKBtn);
    QVERIFY(!OKBottomDlg->isVisible());
    QCOMPARE(gridAds(), (QStringList{kA, changed, added}));
    QCOMPARE(read(u"x.txt"_s), adsFileBytes({kA, changed, added}));
    QVERIFY(m_messages.isEmpty());
}

void TestEditing::failedSave_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QStringList>("edited");
    QTest::addColumn<QStringList>("afterRetry");

    const QString composed = u"3|Сдам гараж|Недвижимость|"_s;
    QTest::addRow("add") << u"add"_s << QStringList{kA, kB, kC, composed}
                         << QStringList{kA, kB, kC, composed, composed};
    QTest::addRow("change") << u"change"_s << QStringList{kA, composed, kC} << QStringList{kA, composed, kC};
    // "OK" again deletes the ad that now stands at CurrentRow.
    QTest::addRow("delete") << u"delete"_s << QStringList{kA, kC} << QStringList{kA};
}

void TestEditing::failedSave()
{
    QFETCH(QString, command);
    QFETCH(QStringList, edited);
    QFETCH(QStringList, afterRetry);

    selectCell(2);
    fillInputs(u"Сдам гараж"_s, 3, QString(), u"Недвижимость"_s);
    const QByteArray before = read(u"x.txt"_s);
    QVERIFY(QFile::setPermissions(u"x.txt"_s, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));

    QDialog *dialog = nullptr;
    QPushButton *ok = Form1->Button1;
    if (command == u"change"_s) {
        dialog = Form5;
        ok = Form5->Button1;
        click(Form1->Button2);
    } else if (command == u"delete"_s) {
        dialog = OKBottomDlg;
        ok = OKBottomDlg->OKBtn;
        click(Form1->BitBtn1);
    }
    click(ok);

    QCOMPARE(m_messages, QStringList{u"File access denied."_s});
    QCOMPARE(gridAds(), edited);
    QCOMPARE(read(u"x.txt"_s), before);
    if (dialog)
        QVERIFY(dialog->isVisible());

    // Once the file can be written, "OK" runs the whole command again.
    QVERIFY(QFile::setPermissions(u"x.txt"_s, QFile::ReadOwner | QFile::WriteOwner));
    click(ok);
    QCOMPARE(m_messages.size(), 1);
    QCOMPARE(gridAds(), afterRetry);
    QCOMPARE(read(u"x.txt"_s), adsFileBytes(afterRetry));
    if (dialog)
        QVERIFY(!dialog->isVisible());
}

void TestEditing::refusedCharacters_data()
{
    QTest::addColumn<QString>("memo");
    QTest::addColumn<int>("radio");
    QTest::addColumn<QString>("edit2");
    QTest::addColumn<QString>("rubric");
    QTest::addColumn<QString>("message");

    const QString separator = u": он разделяет поля в файле объявлений."_s;
    QTest::addRow("separator in the text")
        << u"Сдам|гараж"_s << 1 << QString() << u"Разное"_s
        << u"Символ «|» нельзя использовать в тексте объявления"_s + separator;
    QTest::addRow("separator in the rubric") << u"Сдам гараж"_s << 1 << QString() << u"Гаражи|Боксы"_s
                                             << u"Символ «|» нельзя использовать в рубрике"_s + separator;
    QTest::addRow("separator in the count")
        << u"Сдам гараж"_s << 4 << u"2|"_s << u"Разное"_s
        << u"Символ «|» нельзя использовать в поле «Другое:»"_s + separator;
    QTest::addRow("no byte in the text")
        << u"Гараж → у парка"_s << 1 << QString() << u"Разное"_s
        << u"Символ «→» (U+2192) в тексте объявления нельзя сохранить в кодировке Windows-1251."_s;
    QTest::addRow("no byte in the rubric, beyond 16 bits")
        << u"Сдам гараж"_s << 1 << QString() << u"Разное 😀"_s
        << u"Символ «😀» (U+1F600) в рубрике нельзя сохранить в кодировке Windows-1251."_s;
    QTest::addRow("no byte in the count")
        << u"Сдам гараж"_s << 4 << u"½"_s << u"Разное"_s
        << u"Символ «½» (U+00BD) в поле «Другое:» нельзя сохранить в кодировке Windows-1251."_s;
    QTest::addRow("line break in the rubric")
        << u"Сдам гараж"_s << 1 << QString() << u"Гаражи\rБоксы"_s
        << u"Перевод строки нельзя использовать в рубрике: он разделяет объявления в файле объявлений."_s;
}

void TestEditing::refusedCharacters()
{
    QFETCH(QString, memo);
    QFETCH(int, radio);
    QFETCH(QString, edit2);
    QFETCH(QString, rubric);
    QFETCH(QString, message);

    selectCell(2);
    fillInputs(memo, radio, edit2, rubric);
    QCOMPARE(Form1->ComboBox1->currentText(), rubric);
    const QByteArray before = read(u"x.txt"_s);

    click(Form1->Button1);
    QCOMPARE(m_messages, QStringList{message});
    QCOMPARE(gridAds(), kThreeAds);
    QCOMPARE(read(u"x.txt"_s), before);

    click(Form1->Button2);
    click(Form5->Button1);
    QCOMPARE(m_messages, (QStringList{message, message}));
    QCOMPARE(gridAds(), kThreeAds);
    QCOMPARE(read(u"x.txt"_s), before);
    QVERIFY(Form5->isVisible());
}

QTEST_MAIN(TestEditing)
#include "test_editing.moc"
