// The working folder of a start from the desktop's menu: what the first start
// makes, that later starts make only what is missing, that nothing there is
// replaced, and what the operator is told.

#include "build/DesktopFolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "TestFiles.h"

using namespace Qt::StringLiterals;
using namespace TestFiles;

namespace {

const QByteArray kSample = "{\\rtf1\\ansi sample template}\r\n";

// A documents folder that does not exist yet, and an installed sample template.
struct Desktop
{
    QTemporaryDir dir;
    QString documents = dir.filePath(u"Документы"_s);
    QString sample = dir.filePath(u"share/Шаблон.doc"_s);
    QString folder = documents + u"/Вермата"_s;

    Desktop()
    {
        QDir(dir.path()).mkdir(u"share"_s);
        write(sample, kSample);
    }
    QString file(const QString &name) const { return folder + u'/' + name; }
};

QStringList messages(const QList<Status> &failures)
{
    QStringList texts;
    for (const Status &failure : failures)
        texts.append(failure.message());
    return texts;
}

} // namespace

class TestDesktopFolder : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void firstStartMakesFolderAndFiles();
    void laterStartMakesNothingAndSaysNothing();
    void onlyWhatIsMissingIsMade_data();
    void onlyWhatIsMissingIsMade();
    void failures_data();
    void failures();
    void enterMakesRelativeNamesResolveThere();
};

void TestDesktopFolder::firstStartMakesFolderAndFiles()
{
    Desktop desktop;
    const DesktopFolder::Setup setup = DesktopFolder::prepare(desktop.documents, desktop.sample);
    QCOMPARE(messages(setup.failures), QStringList());
    QCOMPARE(setup.folder, desktop.folder);
    QVERIFY(setup.folderCreated);
    QCOMPARE(setup.createdFiles, (QStringList{u"Шаблон.doc"_s, u"Рубрики.txt"_s, u"x.txt"_s}));
    QCOMPARE(read(desktop.file(u"Шаблон.doc"_s)), kSample);
    QCOMPARE(read(desktop.file(u"Рубрики.txt"_s)), QByteArray());
    QCOMPARE(read(desktop.file(u"x.txt"_s)), QByteArray());
    QCOMPARE(QDir(desktop.folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size(),
             3);

    const QString notice = DesktopFolder::notice(setup);
    QVERIFY2(
        notice.startsWith(u"Создана рабочая папка «%1». В ней: образец шаблона «Шаблон.doc», пустой список "
                          u"рубрик «Рубрики.txt» и пустой файл объявлений «x.txt»."_s.arg(desktop.folder)),
        qPrintable(notice));
}

void TestDesktopFolder::laterStartMakesNothingAndSaysNothing()
{
    Desktop desktop;
    QVERIFY(DesktopFolder::prepare(desktop.documents, desktop.sample).failures.isEmpty());
    // The operator's own work since.
    QVERIFY(write(desktop.file(u"x.txt"_s), "2|ad|Авто|\r\n"));
    QVERIFY(write(desktop.file(u"Рубрики.txt"_s), "Auto"));
    QVERIFY(write(desktop.file(u"Шаблон.doc"_s), "own template"));

    const DesktopFolder::Setup again = DesktopFolder::prepare(desktop.documents, desktop.sample);
    QCOMPARE(messages(again.failures), QStringList());
    QCOMPARE(again.folder, desktop.folder);
    QVERIFY(!again.folderCreated);
    QCOMPARE(again.createdFiles, QStringList());
    QCOMPARE(DesktopFolder::notice(again), QString());
    QCOMPARE(read(desktop.file(u"x.txt"_s)), QByteArray("2|ad|Авто|\r\n"));
    QCOMPARE(read(desktop.file(u"Рубрики.txt"_s)), QByteArray("Auto"));
    QCOMPARE(read(desktop.file(u"Шаблон.doc"_s)), QByteArray("own template"));
}

void TestDesktopFolder::onlyWhatIsMissingIsMade_data()
{
    QTest::addColumn<QStringList>("present");
    QTest::addColumn<QStringList>("made");
    QTest::addColumn<QString>("said");
    QTest::addRow("folder of the operator's own, empty")
        << QStringList() << QStringList{u"Шаблон.doc"_s, u"Рубрики.txt"_s, u"x.txt"_s}
        << u"добавлено: образец шаблона «Шаблон.doc», пустой список рубрик «Рубрики.txt» и пустой файл "
           u"объявлений «x.txt»."_s;
    QTest::addRow("ads file removed")
        << QStringList{u"Шаблон.doc"_s, u"Рубрики.txt"_s} << QStringList{u"x.txt"_s}
        << u"добавлено: пустой файл объявлений «x.txt»."_s;
    QTest::addRow("own template only")
        << QStringList{u"Шаблон.doc"_s} << QStringList{u"Рубрики.txt"_s, u"x.txt"_s}
        << u"добавлено: пустой список рубрик «Рубрики.txt» и пустой файл объявлений «x.txt»."_s;
    QTest::addRow("own data, no template")
        << QStringList{u"Рубрики.txt"_s, u"x.txt"_s} << QStringList{u"Шаблон.doc"_s}
        << u"добавлено: образец шаблона «Шаблон.doc»."_s;
}

void TestDesktopFolder::onlyWhatIsMissingIsMade()
{
    QFETCH(QStringList, present);
    QFETCH(QStringList, made);
    QFETCH(QString, said);
    Desktop desktop;
    QVERIFY(QDir().mkpath(desktop.folder));
    for (const QString &name : present)
        QVERIFY(write(desktop.file(name), "operator's " + name.toUtf8()));

    const DesktopFolder::Setup setup = DesktopFolder::prepare(desktop.documents, desktop.sample);
    QCOMPARE(messages(setup.failures), QStringList());
    QVERIFY(!setup.folderCreated);
    QCOMPARE(setup.createdFiles, made);
    for (const QString &name : present)
        QCOMPARE(read(desktop.file(name)), "operator's " + name.toUtf8());
    const QString notice = DesktopFolder::notice(setup);
    QVERIFY2(notice.startsWith(u"В рабочую папку «%1» %2"_s.arg(desktop.folder, said)), qPrintable(notice));
}

void TestDesktopFolder::failures_data()
{
    QTest::addColumn<QString>("inTheWay");   // a file of that name, relative to the documents folder
    QTest::addColumn<bool>("sampleMissing"); // the installed sample is gone
    QTest::addColumn<QStringList>("made");
    QTest::addColumn<QStringList>("said"); // the failures, %1 the working folder, %2 the sample
    QTest::addRow("sample template missing")
        << QString() << true << QStringList{u"Рубрики.txt"_s, u"x.txt"_s}
        << QStringList{u"Не удалось прочитать образец шаблона «%2»: File not found"_s};
    QTest::addRow("folder name taken by a file")
        << u"Вермата"_s << false << QStringList()
        << QStringList{u"Не удалось создать рабочую папку «%1»: Invalid filename"_s};
    QTest::addRow("documents folder is a file")
        << u"."_s << false << QStringList()
        << QStringList{u"Не удалось создать рабочую папку «%1»: Invalid filename"_s};
}

void TestDesktopFolder::failures()
{
    QFETCH(QString, inTheWay);
    QFETCH(bool, sampleMissing);
    QFETCH(QStringList, made);
    QFETCH(QStringList, said);
    Desktop desktop;
    const QString blocker = QDir::cleanPath(desktop.documents + u'/' + inTheWay);
    if (!inTheWay.isEmpty()) {
        QVERIFY(QDir().mkpath(QFileInfo(blocker).absolutePath()));
        QVERIFY(write(blocker, "in the way"));
    }
    if (sampleMissing)
        QVERIFY(QFile::remove(desktop.sample));

    const DesktopFolder::Setup setup = DesktopFolder::prepare(desktop.documents, desktop.sample);
    QStringList expected;
    for (const QString &text : said)
        expected.append(QString(text).replace(u"%1"_s, desktop.folder).replace(u"%2"_s, desktop.sample));
    QCOMPARE(messages(setup.failures), expected);
    QCOMPARE(setup.createdFiles, made);
    QCOMPARE(setup.folder.isEmpty(), !inTheWay.isEmpty());
    if (!inTheWay.isEmpty())
        QCOMPARE(read(blocker), QByteArray("in the way"));
    // What was made is still said; a failure alone is no news.
    QCOMPARE(DesktopFolder::notice(setup).isEmpty(), !setup.folderCreated && made.isEmpty());
}

void TestDesktopFolder::enterMakesRelativeNamesResolveThere()
{
    Desktop desktop;
    const QString started = QDir::currentPath();
    const DesktopFolder::Setup setup = DesktopFolder::prepare(desktop.documents, desktop.sample);
    const Status entered = DesktopFolder::enter(setup.folder);
    const QByteArray template_ = read(u"Шаблон.doc"_s);
    const QString current = QDir::currentPath();
    const Status missing = DesktopFolder::enter(desktop.dir.filePath(u"nowhere"_s));
    const QString afterFailure = QDir::currentPath();
    QDir::setCurrent(started);

    QVERIFY(entered.ok());
    QCOMPARE(current, desktop.folder);
    QCOMPARE(template_, kSample);
    QCOMPARE(missing.message(), u"Не удалось перейти в рабочую папку «%1»: File not found"_s.arg(
                                    desktop.dir.filePath(u"nowhere"_s)));
    QCOMPARE(afterFailure, desktop.folder);
}

QTEST_GUILESS_MAIN(TestDesktopFolder)
#include "test_desktopfolder.moc"
