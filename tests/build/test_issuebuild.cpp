// Whole builds on a scratch working folder, read back by independent readers:
// the buckets, the issue document, expiry and the ads file, and every way a
// build can stop or be refused.

#include "build/IssueArchive.h"
#include "build/IssuePlan.h"
#include "build/Workspace.h"
#include "files/AtomicFile.h"
#include "word/DocumentAssembler.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>
#include <QTest>

#include "AdLines.h"
#include "TestFiles.h"
#include "word/WordTestSupport.h"

#include <memory>

using namespace Qt::StringLiterals;
using namespace TestFiles;

namespace {

// Rubric list: Авто twice, an empty line, and a rubric without ads.
const QByteArray kRubrics =
    "\xc0\xe2\xf2\xee\r\n\xd0\xe0\xe1\xee\xf2\xe0\r\n\xc0\xe2\xf2\xee\r\n\r\n\xcf\xf3\xf1\xf2\xe0\xff";
const QStringList kAds = {
    u"1|Продам «Ниву» 2010 г.|Авто|"_s, u"2|Требуется продавец|Работа|"_s, u"3|Куплю гараж|Авто|"_s,
    u"1 раз|Без рубрики||"_s,           u"0|Ищу бухгалтера|Работа|"_s,
};
// What follows the template's own paragraphs.
const QStringList kPrinted = {
    u"Авто"_s,   u"Продам «Ниву» 2010 г."_s, u"Куплю гараж"_s,
    u"Работа"_s, u"Требуется продавец"_s,    u"Ищу бухгалтера"_s,
    u"Авто"_s,   u"Продам «Ниву» 2010 г."_s, u"Куплю гараж"_s,
    QString(),   u"Без рубрики"_s,           u"Пустая"_s,
};
const QStringList kAfterExpiry = {u"1|Требуется продавец|Работа|"_s, u"2|Куплю гараж|Авто|"_s,
                                  u"-1|Ищу бухгалтера|Работа|"_s};

} // namespace

class TestIssueBuild : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void wholeBuild_data();
    void wholeBuild();
    void styledBuild();
    void unlistedRubric_data();
    void unlistedRubric();
    void noAds();
    void oneFileUnderTwoNames();
    void failedSteps_data();
    void failedSteps();
    void refusedBucketNames_data();
    void refusedBucketNames();
    void refusedTargets_data();
    void refusedTargets();
    void failedSaveKeepsEarlierIssue();
    void adsFileSaveFailsAfterTheBuild();

    void previewAgreesWithTheBuild();
    void previewProblems_data();
    void previewProblems();
    void archiveRecordPerBuild();
    void failedArchiveConsumesNothing();
    void takeBack_data();
    void takeBack();

private:
    // Lays down the rubric list, the ads file and the template (from the
    // engine's fixtures), and loads the ads.
    void setUpFolder(const QStringList &ads, const QString &templateFixture = u"template.docx"_s);
    Workspace::BuildOutcome build(const QString &target = u"Выпуск.doc"_s, int cellRow = 1);

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_previousDir;
    std::unique_ptr<Workspace> m_workspace;
    DocumentAssembler m_engine;
};

void TestIssueBuild::init()
{
    m_previousDir = QDir::currentPath();
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QVERIFY(QDir::setCurrent(m_dir->path()));
    m_workspace = std::make_unique<Workspace>();
}

void TestIssueBuild::cleanup()
{
    m_workspace.reset();
    QDir::setCurrent(m_previousDir);
    m_dir.reset();
}

void TestIssueBuild::setUpFolder(const QStringList &ads, const QString &templateFixture)
{
    QVERIFY(write(u"Рубрики.txt"_s, kRubrics));
    QVERIFY(write(u"x.txt"_s, adsFileBytes(ads)));
    QVERIFY(QFile::copy(WordTest::fixture(templateFixture), u"Шаблон.doc"_s));
    QVERIFY(QFile::setPermissions(u"Шаблон.doc"_s, QFile::ReadOwner | QFile::WriteOwner));
    QVERIFY(m_workspace->loadAds().ok());
}

Workspace::BuildOutcome TestIssueBuild::build(const QString &target, int cellRow)
{
    return m_workspace->buildIssue(target, m_engine, cellRow);
}

void TestIssueBuild::wholeBuild_data()
{
    QTest::addColumn<QString>("fixture");
    QTest::addColumn<QString>("reader");
    QTest::addRow("docx") << u"template.docx"_s << u"docx"_s;
    QTest::addRow("odt") << u"template.odt"_s << u"odt"_s;
    QTest::addRow("rtf") << u"template.rtf"_s << u"rtf"_s;
}

// Headings in the list's order (a rubric listed twice prints twice, the empty
// line heads the ads of empty rubric), ads in list order, then expiry.
void TestIssueBuild::wholeBuild()
{
    QFETCH(QString, fixture);
    QFETCH(QString, reader);
    setUpFolder(kAds, fixture);
    QVERIFY(write(u".txt"_s, "stale\r\n"));
    m_workspace->currentRow = 4;

    const Workspace::BuildOutcome outcome = build();
    QVERIFY2(outcome.document.ok(), qPrintable(outcome.document.message()));
    QVERIFY2(outcome.saved.ok(), qPrintable(outcome.saved.message()));

    QStringList templateParagraphs, paragraphs;
    QString error;
    QVERIFY2(WordTest::readParagraphs(reader, WordTest::fixture(fixture), templateParagraphs, error),
             qPrintable(error));
    QVERIFY2(WordTest::readParagraphs(reader, u"Выпуск.doc"_s, paragraphs, error), qPrintable(error));
    QCOMPARE(paragraphs, templateParagraphs + kPrinted);
    QCOMPARE(read(u"Шаблон.doc"_s), read(WordTest::fixture(fixture)));

    // Buckets: emptied, then one line per ad in list order.
    QCOMPARE(read(u"Авто.txt"_s), cp1251(u"Продам «Ниву» 2010 г.\r\nКуплю гараж\r\n"_s));
    QCOMPARE(read(u"Работа.txt"_s), cp1251(u"Требуется продавец\r\nИщу бухгалтера\r\n"_s));
    QCOMPARE(read(u".txt"_s), cp1251(u"Без рубрики\r\n"_s));
    QCOMPARE(read(u"Пустая.txt"_s), QByteArray());

    // Rows 1 and 4 ran out ("1" and "1 раз"); the others counted down.
    QCOMPARE(adLines(m_workspace->ads().ads()), kAfterExpiry);
    QCOMPARE(read(u"x.txt"_s), adsFileBytes(kAfterExpiry));
    QCOMPARE(QList<int>(outcome.expiry.removed.begin(), outcome.expiry.removed.end()), (QList<int>{0, 3}));
    QCOMPARE(m_workspace->currentRow, 3); // row 4 was the second removal, counted after the first
    QVERIFY(!m_engine.isOpen());
}

// A template with «Рубрика» and «Объявление» paragraph styles: every heading
// and every ad takes its style, the template's own paragraphs keep theirs.
void TestIssueBuild::styledBuild()
{
    setUpFolder(kAds, u"styled.docx"_s);
    m_workspace->currentRow = 4;
    const Workspace::BuildOutcome outcome = build();
    QVERIFY2(outcome.document.ok(), qPrintable(outcome.document.message()));

    QList<QStringList> expected, paragraphs;
    QString error;
    QVERIFY2(WordTest::readStyles(u"docx"_s, WordTest::fixture(u"styled.docx"_s), expected, error),
             qPrintable(error));
    const QList<int> headings = {0, 3, 6, 9, 11};
    for (int i = 0; i < kPrinted.size(); ++i)
        expected.append({headings.contains(i) ? u"рубрика"_s : u"объявление"_s, kPrinted[i]});
    QVERIFY2(WordTest::readStyles(u"docx"_s, u"Выпуск.doc"_s, paragraphs, error), qPrintable(error));
    QCOMPARE(paragraphs, expected);
}

void TestIssueBuild::unlistedRubric_data()
{
    QTest::addColumn<bool>("staleBucket");
    QTest::addRow("with a bucket left from before") << true;
    QTest::addRow("without a bucket") << false;
}

// An ad whose rubric is not in the list: with a bucket left from an earlier
// build its text goes there and is not printed, and it is still charged;
// without one the build stops at it, having emptied the listed buckets and
// appended the ads before it, and nothing else happens.
void TestIssueBuild::unlistedRubric()
{
    QFETCH(bool, staleBucket);
    const QStringList ads = {u"2|До|Авто|"_s, u"1|Сирота|Снято|"_s, u"2|После|Авто|"_s};
    setUpFolder(ads);
    QVERIFY(write(u"Авто.txt"_s, "old\r\n"));
    if (staleBucket)
        QVERIFY(write(u"Снято.txt"_s, "old\r\n"));
    m_workspace->currentRow = 2;

    const Workspace::BuildOutcome outcome = build();
    if (staleBucket) {
        QVERIFY2(outcome.document.ok(), qPrintable(outcome.document.message()));
        QCOMPARE(read(u"Снято.txt"_s), QByteArray("old\r\n") + cp1251(u"Сирота\r\n"_s));
        QCOMPARE(read(u"Авто.txt"_s), cp1251(u"До\r\nПосле\r\n"_s));
        QStringList paragraphs;
        QString error;
        QVERIFY2(WordTest::readParagraphs(u"docx"_s, u"Выпуск.doc"_s, paragraphs, error), qPrintable(error));
        QVERIFY(!paragraphs.contains(u"Сирота"_s));
        QCOMPARE(adLines(m_workspace->ads().ads()), (QStringList{u"1|До|Авто|"_s, u"1|После|Авто|"_s}));
        return;
    }
    QCOMPARE(outcome.document.message(), u"File not found"_s);
    QCOMPARE(read(u"Авто.txt"_s), cp1251(u"До\r\n"_s));
    QCOMPARE(read(u"Снято.txt"_s), QByteArray("<missing>"));
    QVERIFY(!QFile::exists(u"Выпуск.doc"_s));
    QCOMPARE(adLines(m_workspace->ads().ads()), ads);
    QCOMPARE(read(u"x.txt"_s), adsFileBytes(ads));
    QCOMPARE(m_workspace->currentRow, 2);
}

void TestIssueBuild::noAds()
{
    setUpFolder({});
    const Workspace::BuildOutcome outcome = build();
    QVERIFY2(outcome.document.ok(), qPrintable(outcome.document.message()));
    QStringList templateParagraphs, paragraphs;
    QString error;
    QVERIFY(WordTest::readParagraphs(u"docx"_s, WordTest::fixture(u"template.docx"_s), templateParagraphs,
                                     error));
    QVERIFY2(WordTest::readParagraphs(u"docx"_s, u"Выпуск.doc"_s, paragraphs, error), qPrintable(error));
    const QStringList headings = {u"Авто"_s, u"Работа"_s, u"Авто"_s, QString(), u"Пустая"_s};
    QCOMPARE(paragraphs, templateParagraphs + headings);
    QCOMPARE(read(u"x.txt"_s), QByteArray());
}

// Two rubric names that reach one file share one bucket, which receives the
// ads of both in list order, and each heading prints all of them.
void TestIssueBuild::oneFileUnderTwoNames()
{
    setUpFolder({u"1|a1|Авто|"_s, u"1|w1|Работа|"_s, u"1|a2|Авто|"_s});
    QVERIFY(write(u"Авто.txt"_s, QByteArray()));
    QVERIFY(QFile::remove(u"Работа.txt"_s) || !QFile::exists(u"Работа.txt"_s));
    QVERIFY(QFile::link(u"Авто.txt"_s, u"Работа.txt"_s));
    const Workspace::BuildOutcome outcome = build();
    QVERIFY2(outcome.document.ok(), qPrintable(outcome.document.message()));
    QCOMPARE(read(u"Авто.txt"_s), QByteArray("a1\r\nw1\r\na2\r\n"));
    QStringList paragraphs;
    QString error;
    QVERIFY(WordTest::readParagraphs(u"docx"_s, u"Выпуск.doc"_s, paragraphs, error));
    QCOMPARE(paragraphs.mid(paragraphs.indexOf(u"Авто"_s), 8),
             (QStringList{u"Авто"_s, u"a1"_s, u"w1"_s, u"a2"_s, u"Работа"_s, u"a1"_s, u"w1"_s, u"a2"_s}));
}

void TestIssueBuild::failedSteps_data()
{
    QTest::addColumn<QString>("what");
    QTest::addColumn<QString>("message"); // the start of it
    QTest::addRow("missing rubric list") << u"rubrics"_s << u"File not found"_s;
    QTest::addRow("missing template") << u"template"_s << u"Шаблон «"_s;
    QTest::addRow("template of an unknown kind") << u"bad template"_s << u"Файл «"_s;
    QTest::addRow("target in a missing folder") << u"target"_s << u"Не удалось сохранить документ"_s;
}

// A build that stops consumes no insertion: the list, the ads file and
// CurrentRow stay as they were, and the engine holds nothing.
void TestIssueBuild::failedSteps()
{
    QFETCH(QString, what);
    QFETCH(QString, message);
    setUpFolder(kAds);
    QString target = u"Выпуск.doc"_s;
    if (what == u"rubrics"_s)
        QVERIFY(QFile::remove(u"Рубрики.txt"_s));
    else if (what == u"template"_s)
        QVERIFY(QFile::remove(u"Шаблон.doc"_s));
    else if (what == u"bad template"_s)
        QVERIFY(write(u"Шаблон.doc"_s, "plain text"));
    else
        target = u"нет такой папки/Выпуск.doc"_s;
    m_workspace->currentRow = 2;

    const Workspace::BuildOutcome outcome = build(target);
    QVERIFY(!outcome.document.ok());
    QVERIFY2(outcome.document.message().startsWith(message), qPrintable(outcome.document.message()));
    QCOMPARE(adLines(m_workspace->ads().ads()), kAds);
    QCOMPARE(read(u"x.txt"_s), adsFileBytes(kAds));
    QCOMPARE(m_workspace->currentRow, 2);
    QVERIFY(!QFile::exists(u"Выпуск.doc"_s));
    QVERIFY(!m_engine.isOpen());
    // The buckets were rebuilt before the engine was reached.
    if (what != u"rubrics"_s)
        QCOMPARE(read(u"Авто.txt"_s), cp1251(u"Продам «Ниву» 2010 г.\r\nКуплю гараж\r\n"_s));
}

void TestIssueBuild::refusedBucketNames_data()
{
    QTest::addColumn<QByteArray>("rubricLine"); // added to the rubric list
    QTest::addColumn<QString>("adRubric");      // an ad of this rubric is added
    QTest::addColumn<QString>("templatePath");
    QTest::addColumn<QString>("named"); // the message names this rubric
    QTest::addRow("the ads file") << QByteArray("x") << QString() << QString() << u"«x»"_s;
    QTest::addRow("the rubric list") << cp1251(u"Рубрики"_s) << QString() << QString() << u"«Рубрики»"_s;
    QTest::addRow("the template") << QByteArray("tpl") << QString() << u"tpl.txt"_s << u"«tpl»"_s;
    QTest::addRow("the target") << QByteArray("issue") << QString() << QString() << u"«issue»"_s;
    QTest::addRow("a parent folder") << cp1251(u"../Рубрики"_s) << QString() << QString()
                                     << u"«../Рубрики»"_s;
    QTest::addRow("an absolute path") << QByteArray("/home/x") << QString() << QString() << u"«/home/x»"_s;
    QTest::addRow("a folder") << cp1251(u"Папка"_s) << QString() << QString() << u"«Папка»"_s;
    QTest::addRow("an unlisted ad rubric: the ads file") << QByteArray() << u"x"_s << QString() << u"«x»"_s;
    QTest::addRow("an unlisted ad rubric with a slash")
        << QByteArray() << u"a/b"_s << QString() << u"«a/b»"_s;
}

// Such a rubric stops the build before any file is touched.
void TestIssueBuild::refusedBucketNames()
{
    QFETCH(QByteArray, rubricLine);
    QFETCH(QString, adRubric);
    QFETCH(QString, templatePath);
    QFETCH(QString, named);
    QStringList ads = kAds;
    if (!adRubric.isEmpty())
        ads << u"1|текст|"_s + adRubric + u'|';
    setUpFolder(ads);
    if (!rubricLine.isEmpty())
        QVERIFY(write(u"Рубрики.txt"_s, kRubrics + "\r\n" + rubricLine));
    if (!templatePath.isEmpty()) {
        QVERIFY(QFile::rename(u"Шаблон.doc"_s, templatePath));
        m_workspace->templatePath = templatePath;
    }
    QVERIFY(QDir().mkdir(u"Папка.txt"_s));
    QVERIFY(write(u"Авто.txt"_s, "old\r\n"));
    const QMap<QString, QByteArray> before = snapshot(m_dir->path());

    const Workspace::BuildOutcome outcome = build(u"issue.txt"_s);
    QVERIFY(!outcome.document.ok());
    QVERIFY2(outcome.document.message().startsWith(u"Рубрику "_s + named),
             qPrintable(outcome.document.message()));
    QCOMPARE(snapshot(m_dir->path()), before);
    QCOMPARE(adLines(m_workspace->ads().ads()), ads);
}

void TestIssueBuild::refusedTargets_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("why");
    QTest::addRow("empty") << QString() << u"Не задано имя файла выпуска"_s;
    QTest::addRow("the template") << u"Шаблон.doc"_s << u"это шаблон"_s;
    QTest::addRow("the template, spelt another way") << u"./sub/../Шаблон.doc"_s << u"это шаблон"_s;
    QTest::addRow("the ads file") << u"x.txt"_s << u"это файл объявлений"_s;
    QTest::addRow("the rubric list") << u"Рубрики.txt"_s << u"это список рубрик"_s;
}

void TestIssueBuild::refusedTargets()
{
    QFETCH(QString, target);
    QFETCH(QString, why);
    setUpFolder(kAds);
    QVERIFY(QDir().mkdir(u"sub"_s));
    const QMap<QString, QByteArray> before = snapshot(m_dir->path());
    const Workspace::BuildOutcome outcome = build(target);
    QVERIFY(!outcome.document.ok());
    QVERIFY2(outcome.document.message().contains(why), qPrintable(outcome.document.message()));
    QCOMPARE(snapshot(m_dir->path()), before);
    QCOMPARE(adLines(m_workspace->ads().ads()), kAds);
}

// The issue document is written atomically: a failed save leaves an earlier
// file of that name whole.
void TestIssueBuild::failedSaveKeepsEarlierIssue()
{
    setUpFolder(kAds);
    QVERIFY(write(u"Выпуск.doc"_s, "the last issue"));
    AtomicFile::injectWriteFailureForTests(10, ENOSPC);
    const Workspace::BuildOutcome outcome = build();
    QVERIFY(!outcome.document.ok());
    QCOMPARE(read(u"Выпуск.doc"_s), QByteArray("the last issue"));
    QCOMPARE(read(u"x.txt"_s), adsFileBytes(kAds));
}

// The document is saved, expiry has run, but the ads file cannot be written:
// the list holds the charged ads and the file the old ones until a later save.
void TestIssueBuild::adsFileSaveFailsAfterTheBuild()
{
    setUpFolder(kAds);
    QVERIFY(QFile::setPermissions(u"x.txt"_s, QFile::ReadOwner));
    const Workspace::BuildOutcome outcome = build();
    QVERIFY(outcome.document.ok());
    QCOMPARE(outcome.saved.message(), u"File access denied"_s);
    QCOMPARE(adLines(m_workspace->ads().ads()), kAfterExpiry);
    QCOMPARE(read(u"x.txt"_s), adsFileBytes(kAds));
    QVERIFY(QFile::setPermissions(u"x.txt"_s, QFile::ReadOwner | QFile::WriteOwner));
    QVERIFY(m_workspace->saveAds().ok());
    QCOMPARE(read(u"x.txt"_s), adsFileBytes(kAfterExpiry));
}

// The preview is worked out by the build's own rules: what it shows per
// rubric is what the document prints, and what it marks as running out is
// what expiry removes.
void TestIssueBuild::previewAgreesWithTheBuild()
{
    const QStringList ads = kAds + QStringList{u"abc|Сирота|Снято|"_s, u"2|Ещё в Авто|Авто|"_s};
    setUpFolder(ads);
    QVERIFY(write(u"Снято.txt"_s, "old\r\n"));
    const IssuePlan::Plan plan = IssuePlan::make(
        m_workspace->ads().ads(), {u"x.txt"_s, u"Рубрики.txt"_s, u"Шаблон.doc"_s, u"Выпуск.doc"_s});
    QStringList planned;
    for (const IssuePlan::Section &section : plan.sections) {
        planned << section.rubric;
        for (const int ad : section.ads)
            planned << m_workspace->ads().cell(ad, AdList::Text);
    }
    std::vector<int> marked;
    for (int i = 0; i < int(plan.lastInsertion.size()); ++i) {
        if (plan.lastInsertion[size_t(i)])
            marked.push_back(i);
    }

    const Workspace::BuildOutcome outcome = build();
    QVERIFY2(outcome.document.ok(), qPrintable(outcome.document.message()));
    QStringList templateParagraphs, paragraphs;
    QString error;
    QVERIFY(WordTest::readParagraphs(u"docx"_s, WordTest::fixture(u"template.docx"_s), templateParagraphs,
                                     error));
    QVERIFY2(WordTest::readParagraphs(u"docx"_s, u"Выпуск.doc"_s, paragraphs, error), qPrintable(error));
    QCOMPARE(paragraphs.mid(templateParagraphs.size()), planned);
    QCOMPARE(marked, outcome.expiry.removed);
    QCOMPARE(plan.runningOut, int(marked.size()));
    QCOMPARE(plan.adsPrinted, planned.size() - int(plan.sections.size()));
}

void TestIssueBuild::previewProblems_data()
{
    QTest::addColumn<QByteArray>("rubrics"); // "-" for no rubric list
    QTest::addColumn<QStringList>("ads");
    QTest::addColumn<bool>("hasTemplate");
    QTest::addColumn<QList<int>>("kinds");
    using P = IssuePlan::Problem;
    QTest::addRow("clean") << QByteArray("a\r\nb") << QStringList{u"1|t|a|"_s, u"1|u|b|"_s} << true
                           << QList<int>{};
    QTest::addRow("no rubric list") << QByteArray("-") << QStringList{} << true
                                    << QList<int>{P::MissingRubricList};
    QTest::addRow("no template") << QByteArray("a") << QStringList{u"1|t|a|"_s} << false
                                 << QList<int>{P::MissingTemplate};
    QTest::addRow("listed twice, empty line, no ads")
        << QByteArray("a\r\n\r\nb\r\na") << QStringList{u"1|t|a|"_s} << true
        << QList<int>{P::EmptyRubricLine, P::RubricWithoutAds, P::RubricListedTwice};
    QTest::addRow("unlisted rubric") << QByteArray("a") << QStringList{u"1|t|a|"_s, u"1|u|z|"_s} << true
                                     << QList<int>{P::UnlistedRubricStops};
    QTest::addRow("unlisted rubric with a bucket")
        << QByteArray("a") << QStringList{u"1|u|old|"_s} << true
        << QList<int>{P::RubricWithoutAds, P::UnlistedRubricNotPrinted};
    QTest::addRow("refused bucket name") << QByteArray("a\r\nx") << QStringList{u"1|t|a|"_s} << true
                                         << QList<int>{P::RefusedBucketName, P::RubricWithoutAds};
}

void TestIssueBuild::previewProblems()
{
    QFETCH(QByteArray, rubrics);
    QFETCH(QStringList, ads);
    QFETCH(bool, hasTemplate);
    QFETCH(QList<int>, kinds);
    QVERIFY(write(u"x.txt"_s, adsFileBytes(ads)));
    if (rubrics != "-")
        QVERIFY(write(u"Рубрики.txt"_s, rubrics));
    if (hasTemplate)
        QVERIFY(write(u"Шаблон.doc"_s, "{\\rtf1 }"));
    QVERIFY(write(u"old.txt"_s, QByteArray()));
    QVERIFY(m_workspace->loadAds().ok());
    const QMap<QString, QByteArray> before = snapshot(m_dir->path());
    const IssuePlan::Plan plan =
        IssuePlan::make(m_workspace->ads().ads(), {u"x.txt"_s, u"Рубрики.txt"_s, u"Шаблон.doc"_s, QString()});
    QList<int> found;
    for (const IssuePlan::Problem &problem : plan.problems) {
        found << problem.kind;
        QVERIFY(!problem.message.isEmpty());
    }
    QCOMPARE(found, kinds);
    QCOMPARE(snapshot(m_dir->path()), before); // the preview writes nothing
}

void TestIssueBuild::archiveRecordPerBuild()
{
    setUpFolder(kAds);
    const QByteArray adsBefore = read(u"x.txt"_s);
    const Workspace::BuildOutcome outcome = build();
    QVERIFY2(outcome.document.ok(), qPrintable(outcome.document.message()));
    QVERIFY(outcome.record.startsWith(QDir(m_dir->path()).filePath(u"Выпуски/"_s)));
    QCOMPARE(read(outcome.record + u"/Объявления.txt"_s), adsBefore);
    QCOMPARE(read(outcome.record + u"/Рубрики.txt"_s), kRubrics);

    const auto records = IssueArchive::list(u"x.txt"_s);
    QVERIFY(records.ok());
    QCOMPARE(records->size(), 1);
    const IssueArchive::Record &record = records->first();
    QCOMPARE(record.target, QDir(m_dir->path()).filePath(u"Выпуск.doc"_s));
    QCOMPARE(record.format, u"docx"_s);
    QCOMPARE(record.adsBefore, kAds.size());
    QCOMPARE(record.removedRows, (QList<int>{1, 4}));
    QCOMPARE(record.rubricOrder, (QStringList{u"Авто"_s, u"Работа"_s, QString(), u"Пустая"_s}));
    QCOMPARE(record.adsPerRubric.value(u"Авто"_s), 4); // listed twice
    QCOMPARE(record.adsPerRubric.value(QString()), 1);
    QVERIFY(!record.takenBackAt);

    // A second build gets a record of its own; none is replaced.
    QVERIFY(build().document.ok());
    QCOMPARE(IssueArchive::list(u"x.txt"_s)->size(), 2);
    QCOMPARE(read(outcome.record + u"/Объявления.txt"_s), adsBefore);
}

void TestIssueBuild::failedArchiveConsumesNothing()
{
    setUpFolder(kAds);
    QVERIFY(write(u"Выпуски"_s, "a file where the archive would go"));
    m_workspace->currentRow = 2;
    const Workspace::BuildOutcome outcome = build();
    QVERIFY(!outcome.document.ok());
    QVERIFY2(outcome.document.message().contains(u"«Выпуски»"_s), qPrintable(outcome.document.message()));
    QCOMPARE(adLines(m_workspace->ads().ads()), kAds);
    QCOMPARE(read(u"x.txt"_s), adsFileBytes(kAds));
    QCOMPARE(m_workspace->currentRow, 2);
}

void TestIssueBuild::takeBack_data()
{
    QTest::addColumn<bool>("editSince");
    QTest::addColumn<bool>("restart");
    QTest::addRow("right after") << false << false;
    QTest::addRow("after edits") << true << false;
    QTest::addRow("after a restart") << false << true;
}

// Taking back restores the list and the file to the bytes before the issue;
// a second take-back goes one issue further back.
void TestIssueBuild::takeBack()
{
    QFETCH(bool, editSince);
    QFETCH(bool, restart);
    setUpFolder(kAds);
    const QByteArray beforeFirst = read(u"x.txt"_s);
    QVERIFY(build().document.ok());
    const QByteArray beforeSecond = read(u"x.txt"_s);
    QVERIFY(build(u"Выпуск 2.doc"_s).document.ok());
    if (editSince) {
        QVERIFY(m_workspace->addAd({u"1"_s, u"новое"_s, u"Авто"_s}).ok());
        m_workspace->currentRow = 1;
        QVERIFY(m_workspace->removeCurrentAd().ok());
    }
    if (restart) {
        m_workspace = std::make_unique<Workspace>();
        QVERIFY(m_workspace->loadAds().ok());
    }

    auto last = m_workspace->lastIssue();
    QVERIFY(last.ok() && last->has_value());
    QCOMPARE(last.value()->record.target, QDir(m_dir->path()).filePath(u"Выпуск 2.doc"_s));
    QCOMPARE(last.value()->adsToRestore, AdList::fromFileBytes(beforeSecond).count());
    QCOMPARE(last.value()->changedSince, editSince ? 2 : 0);
    QVERIFY(m_workspace->takeBack(last.value()->record).ok());
    QCOMPARE(read(u"x.txt"_s), beforeSecond);
    QVERIFY(!m_workspace->history().nextUndo()); // the edits were made on a list that is gone
    QCOMPARE(m_workspace->ads().ads().toFileBytes(), beforeSecond);

    last = m_workspace->lastIssue();
    QVERIFY(last.ok() && last->has_value());
    QCOMPARE(last.value()->record.target, QDir(m_dir->path()).filePath(u"Выпуск.doc"_s));
    QVERIFY(m_workspace->takeBack(last.value()->record).ok());
    QCOMPARE(read(u"x.txt"_s), beforeFirst);
    QVERIFY(m_workspace->lastIssue()->value_or(Workspace::TakeBack{}).record.folder.isEmpty());
}

QTEST_GUILESS_MAIN(TestIssueBuild)
#include "test_issuebuild.moc"
