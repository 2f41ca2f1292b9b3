// The command-line build: exit statuses and messages, and that it builds what
// the window builds.

#include "app/CommandLine.h"
#include "build/Workspace.h"
#include "word/DocumentAssembler.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

#include "AdLines.h"
#include "TestFiles.h"
#include "word/WordTestSupport.h"

#include <memory>

using namespace Qt::StringLiterals;
using namespace TestFiles;

namespace {

const QStringList kAds = {u"1|Продам гараж|Авто|"_s, u"2|Требуется продавец|Работа|"_s,
                          u"3|Куплю шины|Авто|"_s};

struct Run
{
    int status = -1;
    QString out;
    QString err;
};

Run runCommand(const QStringList &arguments)
{
    Run run;
    QTextStream out(&run.out);
    QTextStream err(&run.err);
    run.status = CommandLine::run(arguments, out, err);
    return run;
}

} // namespace

class TestCommandLine : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void help();
    void buildSucceeds();
    void sameDocumentAsTheWindow();
    void failures_data();
    void failures();
    void preview();
    void buildThenPdf();
    void otherPaths();
    void realProgramWithoutDisplay();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_previousDir;
};

void TestCommandLine::init()
{
    m_previousDir = QDir::currentPath();
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(QDir::setCurrent(m_dir->path()));
    QVERIFY(write(u"x.txt"_s, adsFileBytes(kAds)));
    QVERIFY(write(u"Рубрики.txt"_s, cp1251(u"Авто\r\nРабота"_s)));
    QVERIFY(QFile::copy(WordTest::fixture(u"template.docx"_s), u"Шаблон.doc"_s));
    QVERIFY(QFile::setPermissions(u"Шаблон.doc"_s, QFile::ReadOwner | QFile::WriteOwner));
}

void TestCommandLine::cleanup()
{
    QDir::setCurrent(m_previousDir);
    m_dir.reset();
}

void TestCommandLine::help()
{
    QVERIFY(CommandLine::wanted({u"--help"_s}));
    QVERIFY(CommandLine::wanted({u"--build"_s, u"a.doc"_s}));
    QVERIFY(!CommandLine::wanted({}));
    QVERIFY(!CommandLine::wanted({u"-platform"_s, u"offscreen"_s}));
    const Run run = runCommand({u"--help"_s});
    QCOMPARE(run.status, int(CommandLine::Success));
    QVERIFY(run.out.contains(u"собрать выпуск"_s) && run.out.contains(u"build the issue"_s));
    QVERIFY(run.err.isEmpty());
}

void TestCommandLine::buildSucceeds()
{
    const Run run = runCommand({u"--build"_s, u"Выпуск.docx"_s});
    QCOMPARE(run.status, int(CommandLine::Success));
    QVERIFY2(run.err.isEmpty(), qPrintable(run.err));
    QVERIFY(run.out.contains(u"Выпуск.docx"_s));
    QCOMPARE(read(u"x.txt"_s), adsFileBytes({u"1|Требуется продавец|Работа|"_s, u"2|Куплю шины|Авто|"_s}));
    QCOMPARE(QDir(u"Выпуски"_s).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), 1);
}

// The same folder built once from the command line and once as the window
// does it gives the same paragraphs.
void TestCommandLine::sameDocumentAsTheWindow()
{
    QTemporaryDir twin;
    for (const QString &name : QDir().entryList(QDir::Files))
        QVERIFY(QFile::copy(name, QDir(twin.path()).filePath(name)));

    QCOMPARE(runCommand({u"--build"_s, u"Выпуск.docx"_s}).status, int(CommandLine::Success));

    QVERIFY(QDir::setCurrent(twin.path()));
    Workspace workspace;
    QVERIFY(workspace.loadAds().ok());
    DocumentAssembler engine;
    QVERIFY(workspace.buildIssue(u"Выпуск.docx"_s, engine, 1).document.ok());
    QVERIFY(QDir::setCurrent(m_dir->path()));

    QStringList fromCommandLine, fromWindow;
    QString error;
    QVERIFY2(WordTest::readParagraphs(u"docx"_s, u"Выпуск.docx"_s, fromCommandLine, error),
             qPrintable(error));
    QVERIFY2(
        WordTest::readParagraphs(u"docx"_s, QDir(twin.path()).filePath(u"Выпуск.docx"_s), fromWindow, error),
        qPrintable(error));
    QCOMPARE(fromCommandLine, fromWindow);
    QVERIFY(fromCommandLine.contains(u"Куплю шины"_s));
    QCOMPARE(read(u"x.txt"_s), read(QDir(twin.path()).filePath(u"x.txt"_s)));
}

void TestCommandLine::failures_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("breakWhat");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message"); // the start of standard error
    const QStringList build = {u"--build"_s, u"Выпуск.docx"_s};
    QTest::addRow("missing rubric list")
        << build << u"rubrics"_s << int(CommandLine::Failed) << u"File not found."_s;
    QTest::addRow("missing template") << build << u"template"_s << int(CommandLine::Failed) << u"Шаблон «"_s;
    QTest::addRow("missing ads file")
        << build << u"ads"_s << int(CommandLine::Failed) << u"Файл объявлений «x.txt»"_s;
    QTest::addRow("target is the template") << QStringList{u"--build"_s, u"Шаблон.doc"_s} << QString()
                                            << int(CommandLine::Failed) << u"Выпуск нельзя сохранить"_s;
    QTest::addRow("ads file write-protected")
        << build << u"protect"_s << int(CommandLine::AdsFileNotSaved) << u"File access denied."_s;
    QTest::addRow("no target") << QStringList{u"--build"_s} << QString() << int(CommandLine::UsageError)
                               << u"Ключу --build нужно значение"_s;
    QTest::addRow("unknown option") << QStringList{u"--build"_s, u"a.doc"_s, u"--fast"_s} << QString()
                                    << int(CommandLine::UsageError) << u"Неизвестный ключ --fast"_s;
    QTest::addRow("PDF before any issue") << QStringList{u"--pdf"_s} << QString() << int(CommandLine::Failed)
                                          << u"В этой папке ещё не собран ни один выпуск"_s;
    QTest::addRow("PDF of a preview") << QStringList{u"--preview"_s, u"--pdf"_s} << QString()
                                      << int(CommandLine::UsageError) << u"Ключ --pdf можно дать"_s;
    QTest::addRow("two commands") << QStringList{u"--preview"_s, u"--build"_s, u"a.doc"_s} << QString()
                                  << int(CommandLine::UsageError) << u"Можно выбрать только одно"_s;
}

void TestCommandLine::failures()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, breakWhat);
    QFETCH(int, status);
    QFETCH(QString, message);
    if (breakWhat == u"rubrics"_s)
        QVERIFY(QFile::remove(u"Рубрики.txt"_s));
    else if (breakWhat == u"template"_s)
        QVERIFY(QFile::remove(u"Шаблон.doc"_s));
    else if (breakWhat == u"ads"_s)
        QVERIFY(QFile::remove(u"x.txt"_s));
    else if (breakWhat == u"protect"_s)
        QVERIFY(QFile::setPermissions(u"x.txt"_s, QFile::ReadOwner));
    const QByteArray before = read(u"x.txt"_s);

    const Run run = runCommand(arguments);
    QCOMPARE(run.status, status);
    QVERIFY2(run.err.startsWith(message), qPrintable(run.err));
    QCOMPARE(read(u"x.txt"_s), before);
}

// --pdf beside --build makes the PDF of the new issue; alone, of the issue last
// built in the folder.
void TestCommandLine::buildThenPdf()
{
    if (QStandardPaths::findExecutable(u"soffice"_s).isEmpty())
        QSKIP("LibreOffice (soffice) is not installed; install libreoffice-writer-nogui to make PDFs");
    Run run = runCommand({u"--build"_s, u"Выпуск.docx"_s, u"--pdf"_s});
    QCOMPARE(run.status, int(CommandLine::Success));
    QVERIFY2(run.err.isEmpty(), qPrintable(run.err));
    QVERIFY(run.out.contains(u"PDF сохранён: "_s + QDir::current().filePath(u"Выпуск.pdf"_s)));
    QVERIFY(read(u"Выпуск.pdf"_s).startsWith("%PDF"));

    QVERIFY(QFile::remove(u"Выпуск.pdf"_s));
    const QByteArray ads = read(u"x.txt"_s);
    run = runCommand({u"--pdf"_s});
    QCOMPARE(run.status, int(CommandLine::Success));
    QVERIFY(read(u"Выпуск.pdf"_s).startsWith("%PDF"));
    QCOMPARE(read(u"x.txt"_s), ads); // nothing else changes
    QCOMPARE(QDir(u"Выпуски"_s).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), 1);
}

void TestCommandLine::preview()
{
    QVERIFY(write(u"x.txt"_s, adsFileBytes(kAds + QStringList{u"1|Сирота|Нет такой|"_s})));
    const QByteArray before = read(u"x.txt"_s);
    Run run = runCommand({u"--preview"_s});
    QCOMPARE(run.status, int(CommandLine::Failed)); // the unlisted rubric would stop the build
    QVERIFY(run.out.contains(u"== Авто ==  (объявлений: 2"_s));
    QVERIFY(run.out.contains(u"1. Продам гараж  [последний выход]"_s));
    QVERIFY(run.out.contains(u"! Рубрики «Нет такой» нет в списке рубрик"_s));
    QCOMPARE(read(u"x.txt"_s), before);
    QVERIFY(!QDir(u"Выпуски"_s).exists());

    QVERIFY(write(u"x.txt"_s, adsFileBytes(kAds)));
    run = runCommand({u"--preview"_s});
    QCOMPARE(run.status, int(CommandLine::Success));
    QVERIFY(run.out.contains(u"Итого: объявлений в выпуске 3, снимается после выпуска 1"_s));
}

void TestCommandLine::otherPaths()
{
    QVERIFY(QDir().mkdir(u"data"_s));
    QVERIFY(QFile::rename(u"x.txt"_s, u"data/ads.txt"_s));
    QVERIFY(QFile::rename(u"Рубрики.txt"_s, u"data/rubrics.txt"_s));
    QVERIFY(QFile::rename(u"Шаблон.doc"_s, u"data/template.docx"_s));
    const Run run = runCommand({u"--ads"_s, u"data/ads.txt"_s, u"--rubrics"_s, u"data/rubrics.txt"_s,
                                u"--template"_s, u"data/template.docx"_s, u"--build"_s, u"out.docx"_s});
    QCOMPARE(run.status, int(CommandLine::Success));
    QVERIFY(QFile::exists(u"out.docx"_s));
    QCOMPARE(read(u"data/ads.txt"_s),
             adsFileBytes({u"1|Требуется продавец|Работа|"_s, u"2|Куплю шины|Авто|"_s}));
    QVERIFY(QDir(u"data/Выпуски"_s).exists());
}

// The installed program builds with no display at all.
void TestCommandLine::realProgramWithoutDisplay()
{
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(u"DISPLAY"_s);
    env.remove(u"WAYLAND_DISPLAY"_s);
    env.remove(u"QT_QPA_PLATFORM"_s);
    program.setProcessEnvironment(env);
    program.start(QStringLiteral(VERMATA_EXECUTABLE), {u"--build"_s, u"Выпуск.docx"_s});
    QVERIFY(program.waitForFinished(60000));
    QCOMPARE(program.exitCode(), 0);
    QVERIFY(QFile::exists(u"Выпуск.docx"_s));

    program.start(QStringLiteral(VERMATA_EXECUTABLE), {u"--build"_s, u"Шаблон.doc"_s});
    QVERIFY(program.waitForFinished(60000));
    QCOMPARE(program.exitCode(), 1);
    QVERIFY(QString::fromUtf8(program.readAllStandardError()).startsWith(u"Выпуск нельзя сохранить"_s));
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "test_commandline.moc"
