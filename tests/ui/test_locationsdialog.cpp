// "Директории": the dialog, its two open dialogs (answered through the test
// seam), and what the paths it sets do at the next access to each file.

#include "ui/FileDialog.h"
#include "ui/MessageBox.h"
#include "ui/Unit1.h"
#include "ui/Unit2.h"
#include "ui/Unit3.h"
#include "ui/Unit6.h"
#include "ui/Windows.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include "AdLines.h"
#include "TestFiles.h"
#include "WindowTestSupport.h"

#include <memory>

using namespace Qt::StringLiterals;
using namespace TestFiles;

namespace {

const QStringList kAds = {u"3|Сдам комнату|Недвижимость|"_s, u"1|Продам велосипед|Разное|"_s};
const QByteArray kRubrics = cp1251(u"Недвижимость\r\nРазное"_s);
const QString kTxt = u"Блокнот (*.txt)"_s;
const QString kDoc = u"MSO (*.doc)"_s;

void click(QWidget *button)
{
    QTest::mouseClick(button, Qt::LeftButton);
}

// "Добавить" in the main window with one insertion.
void addAd(const QString &text, const QString &rubric)
{
    Form1->Memo1->setPlainText(text);
    click(Form1->RadioButton1);
    Form1->ComboBox1->setEditText(rubric);
    click(Form1->Button1);
}

void addRubric(const QString &name)
{
    Form1->N4->trigger();
    AboutBox->Edit1->setText(name);
    click(AboutBox->OKButton);
}

QStringList paths()
{
    return {AdsPath, RubricsPath, TemplatePath};
}

QStringList fields()
{
    return {AboutBox1->Edit1->text(), AboutBox1->Edit2->text(), AboutBox1->Edit3->text()};
}

const QStringList kDefaultPaths = {u"x.txt"_s, u"Рубрики.txt"_s, u"Шаблон.doc"_s};

// One run of an open dialog as the test seam saw it.
struct Offer
{
    const FileDialog *dialog;
    QString file;
    QString filter;
};

} // namespace

class TestLocationsDialog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void layoutAndKeyboard();
    void okAndCancel();
    void openDialogs();
    void choosingAFileKeepsTheWorkingFolder();
    void anotherExistingAdsFile();
    void pathsTypedByHand();
    void emptyPaths();

private:
    void openDialog();
    // Answers every open dialog with the next of answers (nothing: cancel),
    // recording what each run offered.
    void answerWith(const QList<std::optional<FileDialog::Answer>> &answers);

    std::unique_ptr<ScratchWorkingFolder> m_dir;
    QStringList m_messages;
    QList<Offer> m_offers;
};

void TestLocationsDialog::initTestCase()
{
    SetUpApplication(*qApp);
}

void TestLocationsDialog::init()
{
    m_dir = std::make_unique<ScratchWorkingFolder>();
    QVERIFY(m_dir->isValid());
    QVERIFY(write(u"x.txt"_s, adsFileBytes(kAds)));
    QVERIFY(write(u"Рубрики.txt"_s, kRubrics));
    m_messages.clear();
    m_offers.clear();
    MessageBox::captureForTests(&m_messages);
    CreateWindows();
    Form1->show();
    QVERIFY(QTest::qWaitForWindowExposed(Form1));
}

void TestLocationsDialog::cleanup()
{
    // No file dialog moved the working folder.
    QCOMPARE(QDir::currentPath(), QDir(m_dir->path()).canonicalPath());
    DestroyWindows();
    FileDialog::answerForTests({});
    MessageBox::captureForTests(nullptr);
    m_dir.reset();
}

void TestLocationsDialog::openDialog()
{
    Form1->activateWindow();
    QTRY_COMPARE(QApplication::activeWindow(), Form1);
    Form1->N5->trigger();
    QVERIFY(AboutBox1->isVisible());
    QTRY_COMPARE(QApplication::activeWindow(), AboutBox1);
}

void TestLocationsDialog::answerWith(const QList<std::optional<FileDialog::Answer>> &answers)
{
    FileDialog::answerForTests(
        [this, answers](const FileDialog &dialog) -> std::optional<FileDialog::Answer> {
            m_offers.append({&dialog, dialog.offeredFile(), dialog.offeredFilter()});
            return answers.value(m_offers.size() - 1);
        });
}

void TestLocationsDialog::layoutAndKeyboard()
{
    openDialog();
    QCOMPARE(AboutBox1->windowTitle(), u"Директории"_s);
    QCOMPARE(AboutBox1->size(), QSize(365, 177));
    const QList<QPair<QWidget *, QRect>> places = {
        {AboutBox1->Label1, {8, 19, 73, 16}},      {AboutBox1->Edit1, {88, 16, 185, 21}},
        {AboutBox1->Button1, {282, 14, 75, 25}},   {AboutBox1->Label2, {8, 59, 73, 16}},
        {AboutBox1->Edit2, {88, 56, 185, 21}},     {AboutBox1->Button2, {282, 54, 75, 25}},
        {AboutBox1->Label3, {8, 99, 73, 16}},      {AboutBox1->Edit3, {88, 96, 185, 21}},
        {AboutBox1->Button4, {282, 94, 75, 25}},   {AboutBox1->Button3, {8, 144, 75, 25}},
        {AboutBox1->OKButton, {282, 144, 75, 25}},
    };
    for (const auto &[widget, rect] : places)
        QCOMPARE(widget->geometry(), rect);
    QCOMPARE(AboutBox1->Label1->text(), u"Объявления:"_s);
    QCOMPARE(AboutBox1->Label2->text(), u"Рубрики:"_s);
    QCOMPARE(AboutBox1->Label3->text(), u"Шаблон:"_s);
    for (QPushButton *open : {AboutBox1->Button1, AboutBox1->Button2, AboutBox1->Button4})
        QCOMPARE(open->text(), u"Открыть"_s);
    QCOMPARE(AboutBox1->OKButton->text(), u"OK"_s);
    QCOMPARE(AboutBox1->Button3->text(), u"Отмена"_s);
    QVERIFY(AboutBox1->OKButton->isDefault());
    QCOMPARE(fields(), kDefaultPaths);

    // Tab order: "OK", the ads and rubric fields, the first two "Открыть",
    // "Отмена", the third "Открыть", the template field. Each control
    // announces itself, the three "Открыть" each by what it opens.
    const QList<QWidget *> order = {AboutBox1->OKButton, AboutBox1->Edit1,   AboutBox1->Edit2,
                                    AboutBox1->Button1,  AboutBox1->Button2, AboutBox1->Button3,
                                    AboutBox1->Button4,  AboutBox1->Edit3};
    QTRY_COMPARE(QApplication::focusWidget(), order.first());
    QStringList names;
    for (QWidget *expected : order) {
        QCOMPARE(QApplication::focusWidget(), expected);
        names << expected->accessibleName();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QCOMPARE(QApplication::focusWidget(), order.first());
    QVERIFY(!names.contains(QString()));
    QCOMPARE(QSet<QString>(names.begin(), names.end()).size(), names.size());

    // Esc does nothing; Enter on "Отмена" hides without applying; Enter in a
    // field presses "OK".
    AboutBox1->Edit1->setText(u"y.txt"_s);
    QTest::keyClick(AboutBox1->Edit1, Qt::Key_Escape);
    QVERIFY(AboutBox1->isVisible());
    AboutBox1->Button3->setFocus();
    QTest::keyClick(AboutBox1->Button3, Qt::Key_Return);
    QVERIFY(!AboutBox1->isVisible());
    QCOMPARE(paths(), kDefaultPaths);
    openDialog();
    AboutBox1->Edit1->setFocus();
    QTest::keyClick(AboutBox1->Edit1, Qt::Key_Return);
    QVERIFY(!AboutBox1->isVisible());
    QCOMPARE(AdsPath, u"y.txt"_s);
    QVERIFY(m_messages.isEmpty());
}

// "Отмена" and the close box change no path and keep the edited text, which
// a later "OK" applies as it stands.
void TestLocationsDialog::okAndCancel()
{
    const QStringList edited = {u" другие объявления.txt"_s, u"../Рубрики.txt"_s, u"Шаблон 2.docx "_s};
    openDialog();
    AboutBox1->Edit1->setText(edited[0]);
    AboutBox1->Edit2->setText(edited[1]);
    AboutBox1->Edit3->setText(edited[2]);
    click(AboutBox1->Button3);
    QVERIFY(!AboutBox1->isVisible());
    QCOMPARE(paths(), kDefaultPaths);

    openDialog();
    QCOMPARE(fields(), edited);
    QVERIFY(AboutBox1->close());
    QVERIFY(!AboutBox1->isVisible());
    QCOMPARE(paths(), kDefaultPaths);

    openDialog();
    QCOMPARE(fields(), edited);
    click(AboutBox1->OKButton);
    QVERIFY(!AboutBox1->isVisible());
    QCOMPARE(paths(), edited);
    QCOMPARE(WindowTest::gridAds(), kAds); // nothing is reloaded
    QVERIFY(m_messages.isEmpty());
}

void TestLocationsDialog::openDialogs()
{
    QTemporaryDir elsewhere;
    const QString ads = QDir(elsewhere.path()).filePath(u"Объявления.doc"_s);
    const QString rubrics = QDir(elsewhere.path()).filePath(u"Рубрики.txt"_s);
    const QString templateFile = QDir(elsewhere.path()).filePath(u"Шаблон.doc"_s);
    answerWith({FileDialog::Answer{ads, kDoc}, std::nullopt, FileDialog::Answer{rubrics, kTxt}, std::nullopt,
                FileDialog::Answer{templateFile, kDoc}});

    openDialog();
    click(AboutBox1->Button1); // chosen with "MSO"
    QCOMPARE(AboutBox1->Edit1->text(), ads);
    click(AboutBox1->Button2); // cancelled
    QCOMPARE(AboutBox1->Edit2->text(), u"Рубрики.txt"_s);
    click(AboutBox1->Button2);
    QCOMPARE(AboutBox1->Edit2->text(), rubrics);
    click(AboutBox1->Button4); // cancelled
    QCOMPARE(AboutBox1->Edit3->text(), u"Шаблон.doc"_s);
    click(AboutBox1->Button4);
    QCOMPARE(AboutBox1->Edit3->text(), templateFile);
    QCOMPARE(m_offers.size(), 5);

    // Rows 1 and 2 share one dialog: each opens at the file and the file type
    // entry last chosen in either. The first "Открыть" finds no file and the
    // first entry.
    const FileDialog *shared = &AboutBox1->OpenDialog1;
    const FileDialog *forTemplate = &AboutBox1->OpenDialog2;
    for (int i : {0, 1, 2})
        QCOMPARE(m_offers[i].dialog, shared);
    QCOMPARE(m_offers[0].file, QString());
    QCOMPARE(m_offers[0].filter, kTxt);
    QCOMPARE(m_offers[1].file, ads);
    QCOMPARE(m_offers[1].filter, kDoc);
    QCOMPARE(m_offers[2].file, ads);
    QCOMPARE(shared->offeredFile(), rubrics);
    QCOMPARE(shared->offeredFilter(), kTxt);
    QCOMPARE(shared->mode(), FileDialog::Open);
    QCOMPARE(shared->filters(), (QStringList{kTxt, kDoc}));
    QCOMPARE(shared->defaultSuffix(), QString());

    // The template's dialog starts at "Шаблон.doc".
    QCOMPARE(m_offers[3].dialog, forTemplate);
    QCOMPARE(m_offers[3].file, u"Шаблон.doc"_s);
    QCOMPARE(m_offers[3].filter, kDoc);
    QCOMPARE(m_offers[4].file, u"Шаблон.doc"_s); // a cancel changes nothing
    QCOMPARE(forTemplate->mode(), FileDialog::Open);
    QCOMPARE(forTemplate->filters(), QStringList{kDoc});
    QCOMPARE(forTemplate->defaultSuffix(), u"doc"_s);

    // Choosing fills the fields only; the paths wait for "OK".
    QCOMPARE(paths(), kDefaultPaths);
    click(AboutBox1->OKButton);
    QCOMPARE(paths(), (QStringList{ads, rubrics, templateFile}));
}

// After a file elsewhere was chosen, and even with "Отмена", relative names
// still resolve in the folder the program works in.
void TestLocationsDialog::choosingAFileKeepsTheWorkingFolder()
{
    const QString workingFolder = QDir::currentPath();
    QTemporaryDir elsewhere;
    QVERIFY(write(QDir(elsewhere.path()).filePath(u"Рубрики.txt"_s), "other"));
    const FileDialog::Answer there{QDir(elsewhere.path()).filePath(u"Рубрики.txt"_s), kTxt};
    answerWith({there, there, there});

    openDialog();
    click(AboutBox1->Button1);
    QCOMPARE(QDir::currentPath(), workingFolder);
    click(AboutBox1->Button2);
    click(AboutBox1->Button4);
    QCOMPARE(QDir::currentPath(), workingFolder);
    click(AboutBox1->Button3);
    QCOMPARE(paths(), kDefaultPaths);

    addRubric(u"Услуги"_s);
    addAd(u"Новое"_s, u"Услуги"_s);
    QVERIFY2(m_messages.isEmpty(), qPrintable(m_messages.join(u'\n')));
    QCOMPARE(read(u"Рубрики.txt"_s), kRubrics + cp1251(u"\r\nУслуги"_s));
    QCOMPARE(read(u"Услуги.txt"_s), QByteArray());
    QCOMPARE(read(u"x.txt"_s), adsFileBytes(kAds + QStringList{u"1|Новое|Услуги|"_s}));
    QCOMPARE(read(QDir(elsewhere.path()).filePath(u"Рубрики.txt"_s)), QByteArray("other"));
    QVERIFY(!QFile::exists(QDir(elsewhere.path()).filePath(u"Услуги.txt"_s)));
    QCOMPARE(QDir::currentPath(), workingFolder);
}

// The grid is not reloaded; the next change writes its ads over the other
// file, whose old content is kept as .bak, once.
void TestLocationsDialog::anotherExistingAdsFile()
{
    const QStringList theirs = {u"5|Чужое объявление|Работа|"_s};
    QVERIFY(write(u"Другая газета.txt"_s, adsFileBytes(theirs)));
    answerWith({FileDialog::Answer{m_dir->filePath(u"Другая газета.txt"_s), kTxt}});
    openDialog();
    click(AboutBox1->Button1);
    click(AboutBox1->OKButton);
    QCOMPARE(WindowTest::gridAds(), kAds);

    addAd(u"Новое"_s, u"Разное"_s);
    QVERIFY2(m_messages.isEmpty(), qPrintable(m_messages.join(u'\n')));
    const QStringList ours = kAds + QStringList{u"1|Новое|Разное|"_s};
    QCOMPARE(WindowTest::gridAds(), ours);
    QCOMPARE(read(u"Другая газета.txt"_s), adsFileBytes(ours));
    QCOMPARE(read(u"Другая газета.txt.bak"_s), adsFileBytes(theirs));
    QCOMPARE(read(u"x.txt"_s), adsFileBytes(kAds));

    // The file is now the run's own: the next save keeps no second copy.
    addAd(u"Ещё одно"_s, u"Разное"_s);
    QCOMPARE(read(u"Другая газета.txt.bak"_s), adsFileBytes(theirs));
    QCOMPARE(read(u"Другая газета.txt"_s), adsFileBytes(ours + QStringList{u"1|Ещё одно|Разное|"_s}));
}

// Relative paths typed into the fields resolve against the working folder at
// each access. The rubric dialog and the selector keep the names read at
// start-up; the other list receives its own lines and the new name.
void TestLocationsDialog::pathsTypedByHand()
{
    QVERIFY(QDir().mkdir(u"газета 2"_s));
    QVERIFY(write(u"газета 2/Рубрики.txt"_s, cp1251(u"Авто\r\nРабота"_s)));
    openDialog();
    AboutBox1->Edit1->setText(u"газета 2/x.txt"_s);
    AboutBox1->Edit2->setText(u"газета 2/Рубрики.txt"_s);
    click(AboutBox1->OKButton);

    addRubric(u"Услуги"_s);
    QVERIFY2(m_messages.isEmpty(), qPrintable(m_messages.join(u'\n')));
    QCOMPARE(read(u"газета 2/Рубрики.txt"_s), cp1251(u"Авто\r\nРабота\r\nУслуги"_s));
    QCOMPARE(read(u"Рубрики.txt"_s), kRubrics);
    const QStringList shown = {u"Недвижимость"_s, u"Разное"_s, u"Услуги"_s};
    QCOMPARE(AboutBox->ListBox1->count(), shown.size());
    for (int i = 0; i < shown.size(); ++i) {
        QCOMPARE(AboutBox->ListBox1->item(i)->text(), shown[i]);
        QCOMPARE(Form1->ComboBox1->itemText(i), shown[i]);
    }
    QCOMPARE(read(u"Услуги.txt"_s), QByteArray()); // buckets live in the working folder

    addAd(u"Новое"_s, u"Услуги"_s);
    QCOMPARE(read(u"газета 2/x.txt"_s), adsFileBytes(kAds + QStringList{u"1|Новое|Услуги|"_s}));
    QCOMPARE(read(u"x.txt"_s), adsFileBytes(kAds));
}

// An empty path names no file: the next access fails as for a missing one,
// after the edit is in the grid and the rubric in the lists.
void TestLocationsDialog::emptyPaths()
{
    openDialog();
    AboutBox1->Edit1->clear();
    AboutBox1->Edit2->clear();
    click(AboutBox1->OKButton);
    QCOMPARE(paths(), (QStringList{QString(), QString(), u"Шаблон.doc"_s}));

    addAd(u"Новое"_s, u"Разное"_s);
    QCOMPARE(m_messages, QStringList{u"File not found."_s});
    QCOMPARE(WindowTest::gridAds(), kAds + QStringList{u"1|Новое|Разное|"_s});

    addRubric(u"Услуги"_s);
    QCOMPARE(m_messages, (QStringList{u"File not found."_s, u"File not found."_s}));
    QCOMPARE(AboutBox->ListBox1->count(), 3);
    QCOMPARE(Form1->ComboBox1->count(), 3);
    QVERIFY(!QFile::exists(u"Услуги.txt"_s));
    QCOMPARE(read(u"x.txt"_s), adsFileBytes(kAds));
    QCOMPARE(read(u"Рубрики.txt"_s), kRubrics);

    openDialog();
    AboutBox1->Edit2->setText(u"Рубрики.txt"_s);
    AboutBox1->Edit3->clear();
    click(AboutBox1->OKButton);
    click(Form1->Button4);
    AboutBox2->Edit1->setText(u"Выпуск.doc"_s);
    click(AboutBox2->OKButton);
    QCOMPARE(m_messages.size(), 3);
    QVERIFY2(m_messages.last().startsWith(u"Шаблон «» не найден."_s), qPrintable(m_messages.last()));
    QVERIFY(!QFile::exists(u"Выпуск.doc"_s));
}

QTEST_MAIN(TestLocationsDialog)
#include "test_locationsdialog.moc"
