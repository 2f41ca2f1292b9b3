// "Рубрики": the dialog, and additions through it checked in the dialog's
// list, the main window's selector, the rubric list file's bytes and the
// bucket files.

#include "ui/MessageBox.h"
#include "ui/Unit1.h"
#include "ui/Unit2.h"
#include "ui/Windows.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "TestFiles.h"

#include <memory>

using namespace Qt::StringLiterals;
using namespace TestFiles;

namespace {

const QByteArray kRubrics = cp1251(u"Авто\r\nРабота\r\n\r\nАвто"_s);
const QStringList kNames = {u"Авто"_s, u"Работа"_s, QString(), u"Авто"_s};

QStringList listItems()
{
    QStringList names;
    for (int i = 0; i < AboutBox->ListBox1->count(); ++i)
        names << AboutBox->ListBox1->item(i)->text();
    return names;
}

QStringList selectorItems()
{
    QStringList names;
    for (int i = 0; i < Form1->ComboBox1->count(); ++i)
        names << Form1->ComboBox1->itemText(i);
    return names;
}

void click(QWidget *button)
{
    QTest::mouseClick(button, Qt::LeftButton);
}

} // namespace

class TestRubricDialog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void layoutAndKeyboard();
    void additions_data();
    void additions();
    void missingRubricList();
    void refusedNames_data();
    void refusedNames();
    void bucketCannotBeCreated();

private:
    void startWith(const QByteArray &rubrics);
    void add(const QString &name);

    std::unique_ptr<ScratchWorkingFolder> m_dir;
    QStringList m_messages;
};

void TestRubricDialog::initTestCase()
{
    SetUpApplication(*qApp);
}

void TestRubricDialog::init()
{
    m_dir = std::make_unique<ScratchWorkingFolder>();
    QVERIFY(m_dir->isValid());
    QVERIFY(write(u"x.txt"_s, adsFileBytes({u"1|Продам «Ниву»|Авто|"_s})));
    m_messages.clear();
    MessageBox::captureForTests(&m_messages);
}

void TestRubricDialog::cleanup()
{
    DestroyWindows();
    MessageBox::captureForTests(nullptr);
    m_dir.reset();
}

void TestRubricDialog::startWith(const QByteArray &rubrics)
{
    QVERIFY(write(u"Рубрики.txt"_s, rubrics));
    CreateWindows();
    Form1->show();
    QVERIFY(QTest::qWaitForWindowExposed(Form1));
    Form1->N4->trigger();
    QVERIFY(AboutBox->isVisible());
    QVERIFY(QTest::qWaitForWindowActive(AboutBox));
}

void TestRubricDialog::add(const QString &name)
{
    AboutBox->Edit1->setText(name);
    click(AboutBox->OKButton);
}

void TestRubricDialog::layoutAndKeyboard()
{
    startWith(kRubrics);
    QCOMPARE(AboutBox->windowTitle(), u"Рубрики"_s);
    QCOMPARE(AboutBox->size(), QSize(230, 201));
    QCOMPARE(AboutBox->ListBox1->geometry(), QRect(8, 8, 213, 121));
    QCOMPARE(AboutBox->Edit1->geometry(), QRect(8, 138, 129, 21));
    QCOMPARE(AboutBox->OKButton->geometry(), QRect(146, 136, 75, 25));
    QCOMPARE(AboutBox->Button1->geometry(), QRect(8, 168, 75, 25));
    QCOMPARE(AboutBox->OKButton->text(), u"Добавить"_s);
    QCOMPARE(AboutBox->Button1->text(), u"Отмена"_s);
    QCOMPARE(AboutBox->Edit1->text(), QString());
    QVERIFY(AboutBox->OKButton->isDefault());
    QCOMPARE(AboutBox->ListBox1->selectionMode(), QAbstractItemView::SingleSelection);
    QVERIFY(!AboutBox->ListBox1->isSortingEnabled());
    // A copy of the selector's names, taken at creation, empty line and
    // repeated name included.
    QCOMPARE(listItems(), kNames);
    QCOMPARE(selectorItems(), kNames);

    // Tab order: "Добавить", the list, the name field, "Отмена"; each control
    // announces itself.
    const QList<QWidget *> order = {AboutBox->OKButton, AboutBox->ListBox1, AboutBox->Edit1,
                                    AboutBox->Button1};
    QTRY_COMPARE(QApplication::focusWidget(), order.first());
    for (QWidget *expected : order) {
        QCOMPARE(QApplication::focusWidget(), expected);
        QVERIFY2(!expected->accessibleName().isEmpty(), qPrintable(expected->objectName()));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QCOMPARE(QApplication::focusWidget(), order.first());

    // Selecting a rubric does nothing; Esc does nothing.
    AboutBox->ListBox1->setCurrentRow(1);
    QTest::keyClick(AboutBox->ListBox1, Qt::Key_Escape);
    QVERIFY(AboutBox->isVisible());
    QCOMPARE(read(u"Рубрики.txt"_s), kRubrics);

    // Enter in the name field adds; Enter on "Отмена" hides without adding.
    AboutBox->Edit1->setText(u"Услуги"_s);
    AboutBox->Edit1->setFocus();
    QTest::keyClick(AboutBox->Edit1, Qt::Key_Return);
    QCOMPARE(listItems(), kNames + QStringList{u"Услуги"_s});
    AboutBox->Button1->setFocus();
    QTest::keyClick(AboutBox->Button1, Qt::Key_Return);
    QVERIFY(!AboutBox->isVisible());
    QCOMPARE(listItems().size(), kNames.size() + 1);

    // Hiding keeps the list and the field; the close box hides as well.
    Form1->N4->trigger();
    QVERIFY(AboutBox->isVisible());
    QCOMPARE(AboutBox->Edit1->text(), u"Услуги"_s);
    QCOMPARE(listItems(), kNames + QStringList{u"Услуги"_s});
    QVERIFY(AboutBox->close());
    QVERIFY(!AboutBox->isVisible());
    Form1->N4->trigger();
    click(AboutBox->Button1);
    QVERIFY(!AboutBox->isVisible());
    QCOMPARE(read(u"Рубрики.txt"_s), cp1251(u"Авто\r\nРабота\r\n\r\nАвто\r\nУслуги"_s));
    QVERIFY(m_messages.isEmpty());
}

void TestRubricDialog::additions_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QStringList>("listed"); // what the selector starts with
    QTest::addColumn<QStringList>("names");  // added in this order
    QTest::addColumn<QByteArray>("after");
    QTest::addColumn<bool>("staleBucket"); // the first name's bucket holds lines of an earlier build

    QTest::addRow("empty file") << QByteArray() << QStringList() << QStringList{u"Услуги"_s}
                                << QByteArray::fromHex("D3F1EBF3E3E8") << false;
    QTest::addRow("file ending in CR LF")
        << cp1251(u"Авто\r\nРабота\r\n"_s) << QStringList{u"Авто"_s, u"Работа"_s}
        << QStringList{u"Услуги"_s, u"Кино"_s} << cp1251(u"Авто\r\nРабота\r\nУслуги\r\nКино"_s) << false;
    QTest::addRow("LF-only file") << cp1251(u"Авто\nРабота"_s) << QStringList{u"Авто"_s, u"Работа"_s}
                                  << QStringList{u"Услуги"_s} << cp1251(u"Авто\r\nРабота\r\nУслуги"_s)
                                  << false;
    QTest::addRow("an empty line kept")
        << cp1251(u"Авто\r\n\r\nРабота"_s) << QStringList{u"Авто"_s, QString(), u"Работа"_s}
        << QStringList{u"Услуги"_s} << cp1251(u"Авто\r\n\r\nРабота\r\nУслуги"_s) << false;
    QTest::addRow("a duplicate name, its bucket emptied")
        << cp1251(u"Авто\r\nРабота"_s) << QStringList{u"Авто"_s, u"Работа"_s}
        << QStringList{u"Авто"_s, u"Авто"_s} << cp1251(u"Авто\r\nРабота\r\nАвто\r\nАвто"_s) << true;
    QTest::addRow("a new name with a bucket left from before")
        << cp1251(u"Авто"_s) << QStringList{u"Авто"_s} << QStringList{u" Кино "_s}
        << cp1251(u"Авто\r\n Кино "_s) << true;

    QByteArray many;
    QStringList manyNames;
    for (int i = 1; i <= 1200; ++i) {
        manyNames << u"Рубрика %1"_s.arg(i);
        many += cp1251(manyNames.last()) + "\r\n";
    }
    QTest::addRow("1200 lines") << many << manyNames << QStringList{u"Услуги"_s} << many + cp1251(u"Услуги"_s)
                                << false;
}

// Each addition extends the list and the selector, keeps the selector's text
// and the name field, appends to the file and leaves an empty bucket; the
// dialog stays open.
void TestRubricDialog::additions()
{
    QFETCH(QByteArray, before);
    QFETCH(QStringList, listed);
    QFETCH(QStringList, names);
    QFETCH(QByteArray, after);
    QFETCH(bool, staleBucket);
    if (staleBucket)
        QVERIFY(write(names.first() + u".txt"_s, "old\r\n"));
    startWith(before);
    QCOMPARE(listItems(), listed);
    Form1->ComboBox1->setEditText(u"Набранная рубрика"_s);

    QStringList expected = listed;
    for (const QString &name : names) {
        add(name);
        expected << name;
        QCOMPARE(listItems(), expected);
        QCOMPARE(selectorItems(), expected);
        QCOMPARE(Form1->ComboBox1->currentText(), u"Набранная рубрика"_s);
        QCOMPARE(AboutBox->Edit1->text(), name);
        QVERIFY(AboutBox->isVisible());
        QCOMPARE(read(name + u".txt"_s), QByteArray());
    }
    QVERIFY2(m_messages.isEmpty(), qPrintable(m_messages.join(u'\n')));
    QCOMPARE(read(u"Рубрики.txt"_s), after);
}

// The list and the selector show the name, the file cannot take it, and no
// bucket is made; each press does the same again.
void TestRubricDialog::missingRubricList()
{
    startWith(kRubrics);
    QVERIFY(QFile::remove(u"Рубрики.txt"_s));
    Form1->ComboBox1->setEditText(u"Набранная рубрика"_s);
    add(u"Услуги"_s);
    QCOMPARE(m_messages, QStringList{u"File not found."_s});
    QCOMPARE(listItems(), kNames + QStringList{u"Услуги"_s});
    QCOMPARE(selectorItems(), listItems());
    QCOMPARE(Form1->ComboBox1->currentText(), u"Набранная рубрика"_s);
    QVERIFY(!QFile::exists(u"Услуги.txt"_s));
    QVERIFY(!QFile::exists(u"Рубрики.txt"_s));

    click(AboutBox->OKButton);
    QCOMPARE(m_messages.size(), 2);
    QCOMPARE(listItems(), kNames + QStringList(2, u"Услуги"_s));
    QVERIFY(AboutBox->isVisible());
}

void TestRubricDialog::refusedNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("message"); // the start of it
    QTest::addRow("empty") << QString() << u"Название рубрики не задано"_s;
    QTest::addRow("|") << u"Авто|Мото"_s << u"Символ «|» нельзя использовать в названии рубрики"_s;
    QTest::addRow("line break and |") << u"C\r\nD|E"_s << u"Символ «|»"_s;
    QTest::addRow("line break") << u"Авто\nМото"_s
                                << u"Перевод строки нельзя использовать в названии рубрики"_s;
    QTest::addRow("outside Windows-1251") << u"Кафе ☕"_s << u"Символ «☕» (U+2615)"_s;
    QTest::addRow("/") << u"Авто/Мото"_s << u"Символ «/» нельзя использовать в названии рубрики"_s;
    QTest::addRow("too long for a file name") << QString(126, u'Ж') << u"Название рубрики слишком длинное"_s;
    QTest::addRow("the ads file")
        << u"x"_s << u"Рубрику «x» нельзя добавить: её рабочий файл «x.txt» — это файл объявлений"_s;
    QTest::addRow("the rubric list")
        << u"Рубрики"_s
        << u"Рубрику «Рубрики» нельзя добавить: её рабочий файл «Рубрики.txt» — это список рубрик"_s;
    QTest::addRow("a folder in the way") << u"Папка"_s << u"Рубрику «Папка» нельзя добавить: «Папка.txt»"_s;
}

// Refused with the reason before anything changes: the lists, the
// selector's text, the field and every file stay as they were.
void TestRubricDialog::refusedNames()
{
    QFETCH(QString, name);
    QFETCH(QString, message);
    QVERIFY(QDir().mkdir(u"Папка.txt"_s));
    startWith(kRubrics);
    Form1->ComboBox1->setEditText(u"Набранная рубрика"_s);
    const QMap<QString, QByteArray> before = snapshot(m_dir->path());

    add(name);
    QCOMPARE(m_messages.size(), 1);
    QVERIFY2(m_messages.first().startsWith(message), qPrintable(m_messages.first()));
    QVERIFY(m_messages.first().endsWith(u'.'));
    QCOMPARE(listItems(), kNames);
    QCOMPARE(selectorItems(), kNames);
    QCOMPARE(Form1->ComboBox1->currentText(), u"Набранная рубрика"_s);
    QCOMPARE(AboutBox->Edit1->text(), name);
    QCOMPARE(snapshot(m_dir->path()), before);
    QVERIFY(AboutBox->isVisible());
}

// Listed everywhere, and the missing bucket is reported.
void TestRubricDialog::bucketCannotBeCreated()
{
    startWith(kRubrics);
    QVERIFY(QFile::link(m_dir->filePath(u"нет такой папки/Услуги.txt"_s), u"Услуги.txt"_s));
    add(u"Услуги"_s);
    QCOMPARE(m_messages.size(), 1);
    QVERIFY2(
        m_messages.first().startsWith(
            u"Рубрика «Услуги» добавлена в список рубрик, но её рабочий файл «Услуги.txt» создать не удалось: "_s),
        qPrintable(m_messages.first()));
    QCOMPARE(listItems(), kNames + QStringList{u"Услуги"_s});
    QCOMPARE(selectorItems(), listItems());
    QCOMPARE(read(u"Рубрики.txt"_s), kRubrics + cp1251(u"\r\nУслуги"_s));
}

QTEST_MAIN(TestRubricDialog)
#include "test_rubricdialog.moc"
