// The ads file and the in-memory ad list.

#include "data/AdList.h"
#include "data/AdsFile.h"
#include "files/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include "TestFiles.h"

#include <cerrno>

using namespace Qt::StringLiterals;
using namespace TestFiles;

namespace {

QStringList row(const AdList &list, int i)
{
    return {list.field(i, AdList::Runs), list.field(i, AdList::Text), list.field(i, AdList::Rubric)};
}

} // namespace

class TestAdsFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void lineToAd_data();
    void lineToAd();
    void wellFormedFileSavesToSameBytes();
    void lineEndsNormalisedOnSave();
    void emptyFileAndEmptyList();
    void separatorInFieldSplitsOnReload();
    void editsMatchAPlainModel();
    void missingFileLoadsNothing();
    void foreignFileKeptAsBackupBeforeFirstReplace();
    void failedSaveKeepsOldFile_data();
    void failedSaveKeepsOldFile();
};

void TestAdsFile::lineToAd_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QStringList>("fields");
    QTest::addRow("worked example") << cp1251(u"3|Сдам комнату|Недвижимость|"_s)
                                    << QStringList{u"3"_s, u"Сдам комнату"_s, u"Недвижимость"_s};
    QTest::addRow("empty runs and text")
        << cp1251(u"||Недвижимость|"_s) << QStringList{QString(), QString(), u"Недвижимость"_s};
    QTest::addRow("rest after third bar ignored")
        << cp1251(u"1|Сдам комнату|Недвижимость|срочно"_s)
        << QStringList{u"1"_s, u"Сдам комнату"_s, u"Недвижимость"_s};
    QTest::addRow("one bar only") << cp1251(u"2|Сдам комнату"_s)
                                  << QStringList{u"2"_s, u"Сдам комнату"_s, QString()};
    QTest::addRow("extra fields") << QByteArray("1|a|b|c|d") << QStringList{u"1"_s, u"a"_s, u"b"_s};
    QTest::addRow("three bars") << QByteArray("|||") << QStringList{QString(), QString(), QString()};
    QTest::addRow("no bar") << QByteArray("abc") << QStringList{u"abc"_s, QString(), QString()};
    QTest::addRow("blanks kept") << QByteArray(" 2 | a  |  b |")
                                 << QStringList{u" 2 "_s, u" a  "_s, u"  b "_s};
    QTest::addRow("lone CR dropped") << QByteArray("1|a\rb|c|") << QStringList{u"1"_s, u"ab"_s, u"c"_s};
}

void TestAdsFile::lineToAd()
{
    QFETCH(QByteArray, line);
    QFETCH(QStringList, fields);
    // The line between two others, so that neighbours show up any spill-over.
    const AdList list = AdList::fromFileBytes("1|first|A|\r\n" + line + "\r\n9|last|Z|\r\n");
    QCOMPARE(list.count(), 3);
    QCOMPARE(row(list, 0), (QStringList{u"1"_s, u"first"_s, u"A"_s}));
    QCOMPARE(row(list, 1), fields);
    QCOMPARE(row(list, 2), (QStringList{u"9"_s, u"last"_s, u"Z"_s}));
}

void TestAdsFile::wellFormedFileSavesToSameBytes()
{
    QByteArray file;
    for (int i = 0; i < 50; ++i)
        file += cp1251(u"%1|Объявление номер %1|Рубрика %2|\r\n"_s.arg(i).arg(i % 7));
    file += "||\xc0|\r\n|||\r\n";
    const AdList list = AdList::fromFileBytes(file);
    QCOMPARE(list.count(), 52);
    QCOMPARE(list.toFileBytes(), file);
}

void TestAdsFile::lineEndsNormalisedOnSave()
{
    const AdList list = AdList::fromFileBytes("1|a|b|\n2|c|d|\r\n3|e|f|");
    QCOMPARE(list.toFileBytes(), QByteArray("1|a|b|\r\n2|c|d|\r\n3|e|f|\r\n"));
    // An empty line is an ad of three empty fields; a short line gains its bars.
    QCOMPARE(AdList::fromFileBytes("\r\n2|x\r\n").toFileBytes(), QByteArray("|||\r\n2|x||\r\n"));
}

void TestAdsFile::emptyFileAndEmptyList()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"x.txt"_s);
    QVERIFY(write(path, {}));
    AdsFile file;
    auto loaded = file.load(path);
    QVERIFY(loaded.ok());
    QCOMPARE(loaded->count(), 0);
    QVERIFY(file.save(path, AdList()).ok());
    QCOMPARE(read(path), QByteArray());
}

void TestAdsFile::separatorInFieldSplitsOnReload()
{
    // The file has no escape for "|": such a field comes back split.
    AdList list;
    list.appendEmpty();
    QVERIFY(list.setField(0, AdList::Runs, u"2"_s));
    QVERIFY(list.setField(0, AdList::Text, u"a|b"_s));
    QVERIFY(list.setField(0, AdList::Rubric, u"Недвижимость"_s));
    QCOMPARE(list.toFileBytes(), cp1251(u"2|a|b|Недвижимость|\r\n"_s));
    const AdList back = AdList::fromFileBytes(list.toFileBytes());
    QCOMPARE(row(back, 0), (QStringList{u"2"_s, u"a"_s, u"b"_s}));
}

void TestAdsFile::editsMatchAPlainModel()
{
    // Many edits, copies and removals, checked against a plain list of strings;
    // enough of them that the byte pool is compacted along the way.
    QByteArray file;
    QList<QStringList> expected;
    for (int i = 0; i < 300; ++i) {
        file += cp1251(u"%1|текст %1|рубрика|\r\n"_s.arg(i));
        expected.append({QString::number(i), u"текст %1"_s.arg(i), u"рубрика"_s});
    }
    AdList list = AdList::fromFileBytes(file);
    QRandomGenerator random(20261211);
    const QString longText(5000, u'ж');
    for (int step = 0; step < 3000; ++step) {
        const int n = list.count();
        const int op = random.bounded(5);
        if (op == 0 || n == 0) {
            list.appendEmpty();
            expected.append({QString(), QString(), QString()});
        } else if (op == 1) {
            const int i = random.bounded(n);
            const int c = random.bounded(3);
            const QString value = longText.left(random.bounded(longText.size())) + QString::number(step);
            QVERIFY(list.setField(i, AdList::Column(c), value));
            expected[i][c] = value;
        } else if (op == 2) {
            const int from = random.bounded(n), to = random.bounded(n);
            list.copyAd(from, to);
            expected[to] = expected[from];
        } else if (op == 3) {
            const int i = random.bounded(n);
            list.removeAt(i);
            expected.removeAt(i);
        } else {
            list.removeLast();
            expected.removeLast();
        }
    }
    QCOMPARE(list.count(), expected.size());
    for (int i = 0; i < list.count(); ++i)
        QCOMPARE(row(list, i), expected[i]);
    QVERIFY(!list.setField(0, AdList::Text, u"ü"_s));
    QCOMPARE(row(list, 0), expected[0]);
}

void TestAdsFile::missingFileLoadsNothing()
{
    QTemporaryDir dir;
    AdsFile file;
    const auto loaded = file.load(dir.filePath(u"x.txt"_s));
    QCOMPARE(loaded.status().message(), u"File not found"_s);
    // Nothing was there, so nothing needs keeping when a new file is written.
    QVERIFY(file.save(dir.filePath(u"x.txt"_s), AdList()).ok());
    QVERIFY(!QFile::exists(dir.filePath(u"x.txt.bak"_s)));
}

void TestAdsFile::foreignFileKeptAsBackupBeforeFirstReplace()
{
    QTemporaryDir dir;
    const QString loaded = dir.filePath(u"x.txt"_s);
    const QString other = dir.filePath(u"other.txt"_s);
    QVERIFY(write(loaded, "1|mine|A|\r\n"));
    QVERIFY(write(other, "7|stored elsewhere|B|\r\n"));

    AdsFile file;
    auto ads = file.load(loaded);
    QVERIFY(ads.ok());

    // The file it loaded is simply replaced.
    QVERIFY(file.save(loaded, ads.value()).ok());
    QVERIFY(!QFile::exists(loaded + u".bak"_s));

    // A file it never read is kept aside once, before the first replace...
    QVERIFY(file.save(other, ads.value()).ok());
    QCOMPARE(read(other + u".bak"_s), QByteArray("7|stored elsewhere|B|\r\n"));
    QCOMPARE(read(other), QByteArray("1|mine|A|\r\n"));

    // ...and not again, so the backup keeps the stored ads.
    ads->setField(0, AdList::Text, u"changed"_s);
    QVERIFY(file.save(other, ads.value()).ok());
    QCOMPARE(read(other + u".bak"_s), QByteArray("7|stored elsewhere|B|\r\n"));
}

void TestAdsFile::failedSaveKeepsOldFile_data()
{
    QTest::addColumn<int>("ads");
    QTest::addColumn<qint64>("failAfter");
    QTest::addRow("small list") << 1 << qint64(3);
    // A list saved in several pieces, failing in the second one and at the
    // boundary after the first.
    QTest::addRow("in the second piece") << 80000 << qint64(1500000);
    QTest::addRow("after the first piece") << 80000 << qint64(1 << 20);
}

// A save that fails leaves the old file whole; the next one writes the list,
// whatever the number of pieces it is written in.
void TestAdsFile::failedSaveKeepsOldFile()
{
    QFETCH(int, ads);
    QFETCH(qint64, failAfter);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"x.txt"_s);
    QVERIFY(write(path, "1|a|b|\r\n"));
    AdsFile file;
    auto list = file.load(path);
    QVERIFY(list.ok());
    for (int i = 0; i < ads; ++i) {
        list->appendEmpty();
        QVERIFY(list->setField(list->count() - 1, AdList::Text,
                               QString(u"Объявление номер "_s + QString::number(i))));
    }
    AtomicFile::injectWriteFailureForTests(failAfter, ENOSPC);
    QCOMPARE(file.save(path, list.value()).message(), u"Disk full"_s);
    QCOMPARE(read(path), QByteArray("1|a|b|\r\n"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"x.txt"_s});
    QVERIFY(file.save(path, list.value()).ok());
    QCOMPARE(read(path), list->toFileBytes());
}

QTEST_GUILESS_MAIN(TestAdsFile)
#include "test_adsfile.moc"
