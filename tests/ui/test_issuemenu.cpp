// "Выпуск": the preview window and taking back the last issue, driven through
// the real widgets.

#include "ui/AdGridView.h"
#include "ui/IssuePreviewWindow.h"
#include "ui/MessageBox.h"
#include "ui/Unit1.h"
#include "ui/Unit6.h"
#include "ui/Windows.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "AdLines.h"
#include "TestFiles.h"

#include <memory>

using namespace Qt::StringLiterals;
using namespace TestFiles;

namespace {

const QStringList kAds = {u"3|Сдам комнату|Недвижимость|"_s, u"1|Продам велосипед|Разное|"_s,
                          u"2|Ищу работу|Работа|"_s, u"1|Сирота|Нет в списке|"_s};

IssuePreviewWindow *preview()
{
    return Form1->findChild<IssuePreviewWindow *>();
}

} // namespace

class TestIssueMenu : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void menu();
    void previewShowsThePlan();
    void doubleClickSelectsTheAd();
    void takeBack_data();
    void takeBack();
    void nothingToTakeBack();
    void savePdf();
    void pdfBeforeAnyIssue();
    void pdfItemWithoutLibreOffice();

private:
    void buildIssue();

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_previousDir;
    QStringList m_messages;
    QStringList m_questions;
    bool m_answer = false;
};

void TestIssueMenu::initTestCase()
{
    SetUpApplication(*qApp);
}

void TestIssueMenu::init()
{
    m_previousDir = QDir::currentPath();
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(QDir::setCurrent(m_dir->path()));
    const QDir examples(QStringLiteral(VERMATA_SOURCE_DIR "/examples"));
    QVERIFY(QFile::copy(examples.filePath(u"Рубрики.txt"_s), u"Рубрики.txt"_s));
    QVERIFY(QFile::copy(examples.filePath(u"Шаблон.doc"_s), u"Шаблон.doc"_s));
    QVERIFY(write(u"x.txt"_s, adsFileBytes(kAds)));
    m_messages.clear();
    m_questions.clear();
    MessageBox::captureForTests(&m_messages);
    MessageBox::captureInformationForTests(&m_messages);
    MessageBox::answerQuestionsForTests([this](const QString &question) {
        m_questions << question;
        return m_answer;
    });
    CreateWindows();
    Form1->show();
    QVERIFY(QTest::qWaitForWindowExposed(Form1));
}

void TestIssueMenu::cleanup()
{
    DestroyWindows();
    MessageBox::captureForTests(nullptr);
    MessageBox::captureInformationForTests(nullptr);
    MessageBox::answerQuestionsForTests({});
    QDir::setCurrent(m_previousDir);
    m_dir.reset();
}

void TestIssueMenu::buildIssue()
{
    showModeless(AboutBox2);
    AboutBox2->Edit1->setText(u"Выпуск.doc"_s);
    QVERIFY(write(u"Нет в списке.txt"_s, QByteArray())); // so that the build goes through
    AboutBox2->OKButton->click();
    QVERIFY2(!AboutBox2->isVisible(), qPrintable(m_messages.join(u'\n')));
}

void TestIssueMenu::menu()
{
    QStringList captions;
    for (QAction *a : Form1->menuBar()->actions())
        captions << a->text();
    QCOMPARE(captions,
             (QStringList{u"Файл"_s, u"Правка"_s, u"Рубрики"_s, u"Директории"_s, u"Выпуск"_s, u"Справка"_s}));
    QCOMPARE(Form1->PreviewIssueAction->text(), u"Предпросмотр…"_s);
    QCOMPARE(Form1->TakeBackIssueAction->text(), u"Отменить последний выпуск"_s);
    QCOMPARE(Form1->SavePdfAction->text(), u"Сохранить в PDF…"_s);
}

void TestIssueMenu::previewShowsThePlan()
{
    const QByteArray before = read(u"x.txt"_s);
    Form1->PreviewIssueAction->trigger();
    IssuePreviewWindow *window = preview();
    QVERIFY(window && window->isVisible());
    // Headings of the sample's six rubrics, each followed by its ads.
    QStringList rows;
    const QAbstractItemModel *model = window->Sections->model();
    for (int r = 0; r < model->rowCount(); ++r)
        rows << model->index(r, 0).data().toString();
    QCOMPARE(rows, (QStringList{u"Недвижимость   (объявлений: 1, слов: 2, знаков: 12)"_s,
                                u"    1. Сдам комнату"_s, u"Авто   (объявлений: 0, слов: 0, знаков: 0)"_s,
                                u"Работа   (объявлений: 1, слов: 2, знаков: 10)"_s, u"    3. Ищу работу"_s,
                                u"Услуги   (объявлений: 0, слов: 0, знаков: 0)"_s,
                                u"Знакомства   (объявлений: 0, слов: 0, знаков: 0)"_s,
                                u"Разное   (объявлений: 1, слов: 2, знаков: 16)"_s,
                                u"    2. Продам велосипед   — последний выход"_s}));
    QVERIFY(model->index(8, 0).data(Qt::ForegroundRole).isValid());
    QVERIFY(!model->index(1, 0).data(Qt::ForegroundRole).isValid());
    QVERIFY(window->Problems->findItems(u"Сборка остановится: Рубрики «Нет в списке»"_s, Qt::MatchStartsWith)
                .size() == 1);
    QCOMPARE(window->Totals->text(),
             u"Итого: объявлений в выпуске 3, снимается после выпуска 2, слов 6, знаков 38."_s);
    QCOMPARE(window->Totals->accessibleName(), window->Totals->text());
    QCOMPARE(read(u"x.txt"_s), before);
    QVERIFY(!QDir(u"Выпуски"_s).exists());

    // Shown again, it works the plan out afresh.
    Form1->Memo1->setPlainText(u"Новое объявление"_s);
    Form1->RadioButton2->click();
    Form1->ComboBox1->setEditText(u"Разное"_s);
    Form1->Button1->click();
    Form1->PreviewIssueAction->trigger();
    QCOMPARE(model->rowCount(), 10);
}

void TestIssueMenu::doubleClickSelectsTheAd()
{
    Form1->PreviewIssueAction->trigger();
    QVERIFY(QTest::qWaitForWindowExposed(preview()));
    QListView *tree = preview()->Sections;
    const QModelIndex item = tree->model()->index(4, 0); // under Работа: row 3
    tree->scrollTo(item);
    const QPoint at = tree->visualRect(item).center();
    QTest::mousePress(tree->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(CurrentRow, 3);
    QCOMPARE(Form1->Memo1->toPlainText(), u"Ищу работу"_s);
    QCOMPARE(Form1->StringGrid1->currentIndex().row(), 2);

    // Again on the ad that is already current: the memo is refilled, as a
    // click on the current cell would.
    Form1->Memo1->setPlainText(u"набранный текст"_s);
    QTest::mousePress(tree->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(Form1->Memo1->toPlainText(), u"Ищу работу"_s);

    // Enter on an ad does the same from the keyboard.
    tree->setCurrentIndex(tree->model()->index(1, 0));
    QTest::keyClick(tree, Qt::Key_Return);
    QCOMPARE(CurrentRow, 1);
    QCOMPARE(Form1->Memo1->toPlainText(), u"Сдам комнату"_s);
}

void TestIssueMenu::takeBack_data()
{
    QTest::addColumn<bool>("answer");
    QTest::addColumn<bool>("editSince");
    QTest::addRow("declined") << false << false;
    QTest::addRow("confirmed") << true << false;
    QTest::addRow("confirmed after an edit") << true << true;
}

void TestIssueMenu::takeBack()
{
    QFETCH(bool, answer);
    QFETCH(bool, editSince);
    const QByteArray before = read(u"x.txt"_s);
    buildIssue();
    if (editSince) {
        Form1->Memo1->setPlainText(u"После выпуска"_s);
        Form1->Button1->click();
    }
    const QByteArray after = read(u"x.txt"_s);
    m_answer = answer;
    Form1->TakeBackIssueAction->trigger();
    QCOMPARE(m_questions.size(), 1);
    const QString &question = m_questions.first();
    QVERIFY2(question.contains(QDir(m_dir->path()).filePath(u"Выпуск.doc"_s)), qPrintable(question));
    QVERIFY2(question.contains(u"объявлений: 4"_s), qPrintable(question));
    QCOMPARE(question.contains(u"отличий: 1"_s), editSince);
    QVERIFY2(m_messages.isEmpty(), qPrintable(m_messages.join(u'\n')));
    QCOMPARE(read(u"x.txt"_s), answer ? before : after);
    QCOMPARE(adLines(Form1->grid().ads()), adLines(AdList::fromFileBytes(read(u"x.txt"_s))));
    QVERIFY(read(u"Выпуск.doc"_s).startsWith("{\\rtf1")); // the document is left alone
}

void TestIssueMenu::nothingToTakeBack()
{
    Form1->TakeBackIssueAction->trigger();
    QVERIFY(m_questions.isEmpty());
    QCOMPARE(m_messages.size(), 1);
    QVERIFY(m_messages.first().startsWith(u"Нет выпуска, который можно отменить"_s));
}

void TestIssueMenu::savePdf()
{
    if (QStandardPaths::findExecutable(u"soffice"_s).isEmpty())
        QSKIP("LibreOffice (soffice) is not installed; install libreoffice-writer-nogui to make PDFs");
    buildIssue();
    const QByteArray ads = read(u"x.txt"_s);
    QVERIFY(Form1->SavePdfAction->isEnabled());
    Form1->SavePdfAction->trigger();
    const QString pdf = QDir(m_dir->path()).filePath(u"Выпуск.pdf"_s);
    QCOMPARE(m_messages, QStringList{u"PDF сохранён: «%1»."_s.arg(pdf)});
    QVERIFY(read(pdf).startsWith("%PDF"));
    QCOMPARE(read(u"x.txt"_s), ads);
}

void TestIssueMenu::pdfBeforeAnyIssue()
{
    Form1->SavePdfAction->trigger();
    QCOMPARE(m_messages.size(), 1);
    QVERIFY2(m_messages.first().startsWith(u"В этой папке ещё не собран ни один выпуск"_s),
             qPrintable(m_messages.first()));
    QVERIFY(!QFile::exists(u"Выпуск.pdf"_s));
}

void TestIssueMenu::pdfItemWithoutLibreOffice()
{
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", m_dir->path().toLocal8Bit());
    DestroyWindows();
    CreateWindows();
    qputenv("PATH", path);
    QVERIFY(!Form1->SavePdfAction->isEnabled());
    QVERIFY2(Form1->SavePdfAction->toolTip().contains(u"нужен LibreOffice"_s),
             qPrintable(Form1->SavePdfAction->toolTip()));
}

QTEST_MAIN(TestIssueMenu)
#include "test_issuemenu.moc"
