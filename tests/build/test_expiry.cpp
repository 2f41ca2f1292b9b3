// The Runs reading rule, run expiry, and where the selection stands after it.

#include "build/Expiry.h"
#include "build/RunsCount.h"
#include "data/AdList.h"

#include <QRandomGenerator>
#include <QTest>

#include "AdLines.h"
#include "TestFiles.h"

#include <limits>

using namespace Qt::StringLiterals;
using namespace TestFiles;

namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

// A list from "Runs|Text|Rubric|" lines.
AdList listOf(const QStringList &lines)
{
    return AdList::fromFileBytes(adsFileBytes(lines));
}

// The grid as the operator sees it, with removals done the long way: each run-out
// ad is removed on its own, the rows below move up, the last row goes, and a
// current cell left past the end moves to the new last row, selecting it.
struct StepByStepGrid
{
    QStringList runs;
    QStringList texts;
    int cellRow = 0; // 1-based; 0 for none
    int currentRow = 1;
    std::optional<QString> memo;

    void expire()
    {
        for (QString &r : runs)
            r = QString::number(RunsCount::countedDown(RunsCount::read(cp1251(r))));
        int r = 1;
        while (r <= runs.size()) {
            if (runs[r - 1] != u"0"_s) {
                ++r;
                continue;
            }
            currentRow = r;
            for (int i = r; i < runs.size(); ++i) {
                runs[i - 1] = runs[i];
                texts[i - 1] = texts[i];
            }
            runs.removeLast();
            texts.removeLast();
            const int last = int(runs.size());
            if (cellRow > last) {
                cellRow = last;
                if (last >= 1) {
                    memo = texts[last - 1];
                    currentRow = last;
                }
            }
        }
    }
};

} // namespace

class TestExpiry : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void runsReadingRule_data();
    void runsReadingRule();
    void countDown_data();
    void countDown();
    void expiryExamples_data();
    void expiryExamples();
    void selectionAfterExpiry_data();
    void selectionAfterExpiry();
    void matchesRemovingOneByOne();
};

void TestExpiry::runsReadingRule_data()
{
    QTest::addColumn<QString>("runs");
    QTest::addColumn<int>("count");
    QTest::addRow("3") << u"3"_s << 3;
    QTest::addRow("space, then 2") << u" 2"_s << 2;
    QTest::addRow("2 раза") << u"2 раза"_s << 2;
    QTest::addRow("01") << u"01"_s << 1;
    QTest::addRow("-3") << u"-3"_s << -3;
    QTest::addRow("-3a") << u"-3a"_s << 3;
    QTest::addRow("$A") << u"$A"_s << 10;
    QTest::addRow("-$A") << u"-$A"_s << 0;
    QTest::addRow("1e3") << u"1e3"_s << 1;
    QTest::addRow("abc") << u"abc"_s << 0;
    QTest::addRow("empty") << QString() << 0;
    QTest::addRow("spaces alone") << u"   "_s << 0;
    QTest::addRow("tab is not skipped") << u"\t3"_s << 0;
    QTest::addRow("+5") << u"+5"_s << 5;
    QTest::addRow("second sign") << u"+-5"_s << 0;
    QTest::addRow("0x1f") << u"0x1f"_s << 31;
    QTest::addRow("X10") << u"X10"_s << 16;
    QTest::addRow("x alone") << u"x"_s << 0;
    QTest::addRow("hex stops at a letter") << u"$1G"_s << 1;
    QTest::addRow("no prefix after a sign") << u"-0x10"_s << 0;
    QTest::addRow("blank after the number") << u"-7 "_s << 7;
    // Beyond 32 bits the count saturates.
    QTest::addRow("highest") << u"2147483647"_s << kMax;
    QTest::addRow("one above the highest") << u"2147483648"_s << kMax;
    QTest::addRow("lowest") << u"-2147483648"_s << kMin;
    QTest::addRow("one below the lowest") << u"-2147483649"_s << kMin;
    QTest::addRow("twenty digits") << u"99999999999999999999"_s << kMax;
    QTest::addRow("huge negative with text after") << u"-99999999999 раз"_s << kMax;
    QTest::addRow("$FFFFFFFF") << u"$FFFFFFFF"_s << kMax;
}

void TestExpiry::runsReadingRule()
{
    QFETCH(QString, runs);
    QFETCH(int, count);
    QCOMPARE(RunsCount::read(cp1251(runs)), count);
}

void TestExpiry::countDown_data()
{
    QTest::addColumn<QString>("runs");
    QTest::addColumn<QByteArray>("after");
    QTest::addRow("3") << u"3"_s << QByteArray("2");
    QTest::addRow("1") << u"1"_s << QByteArray("0");
    QTest::addRow("0") << u"0"_s << QByteArray("-1");
    QTest::addRow("empty") << QString() << QByteArray("-1");
    QTest::addRow("1 раз") << u"1 раз"_s << QByteArray("0");
    QTest::addRow("leading zeros go") << u"007"_s << QByteArray("6");
    QTest::addRow("above 32 bits") << u"5000000000"_s << QByteArray("2147483646");
    QTest::addRow("lowest stays") << u"-2147483648"_s << QByteArray("-2147483648");
    QTest::addRow("one above the lowest") << u"-2147483647"_s << QByteArray("-2147483648");
}

void TestExpiry::countDown()
{
    QFETCH(QString, runs);
    QFETCH(QByteArray, after);
    QCOMPARE(RunsCount::countDown(cp1251(runs)), after);
}

void TestExpiry::expiryExamples_data()
{
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<QList<int>>("removed");
    QTest::addRow("1, 1, 3") << QStringList{u"1|a|r|"_s, u"1|b|r|"_s, u"3|c|r|"_s} << QStringList{u"2|c|r|"_s}
                             << QList<int>{0, 1};
    QTest::addRow("3, 1, 2") << QStringList{u"3|a|r|"_s, u"1|b|r|"_s, u"2|c|r|"_s}
                             << QStringList{u"2|a|r|"_s, u"1|c|r|"_s} << QList<int>{1};
    QTest::addRow("text counts") << QStringList{u"1 раз|a|r|"_s, u"0|b|r|"_s, u"|c|r|"_s, u"abc|d|r|"_s}
                                 << QStringList{u"-1|b|r|"_s, u"-1|c|r|"_s, u"-1|d|r|"_s} << QList<int>{0};
    QTest::addRow("all run out") << QStringList{u"1|a|r|"_s, u"1|b|r|"_s} << QStringList{}
                                 << QList<int>{0, 1};
    QTest::addRow("no ads") << QStringList{} << QStringList{} << QList<int>{};
    QTest::addRow("2 раза becomes a number")
        << QStringList{u"2 раза|a|r|"_s} << QStringList{u"1|a|r|"_s} << QList<int>{};
}

void TestExpiry::expiryExamples()
{
    QFETCH(QStringList, before);
    QFETCH(QStringList, after);
    QFETCH(QList<int>, removed);
    AdList list = listOf(before);
    const Expiry::Result result = Expiry::expire(list);
    QCOMPARE(adLines(list), after);
    QCOMPARE(QList<int>(result.removed.begin(), result.removed.end()), removed);
    QCOMPARE(result.adsBefore, before.size());
    QCOMPARE(list.toFileBytes().count('\n'), after.size());
}

void TestExpiry::selectionAfterExpiry_data()
{
    QTest::addColumn<QStringList>("runs");
    QTest::addColumn<int>("cellRow");
    QTest::addColumn<int>("currentRow");
    QTest::addColumn<int>("expectedCurrentRow");
    QTest::addColumn<int>("expectedCellRow");
    QTest::addColumn<QString>("memo"); // "-" for unchanged

    QTest::addRow("nothing removed") << QStringList{u"3"_s, u"2"_s} << 2 << 2 << 2 << 2 << u"-"_s;
    QTest::addRow("1,1,3 with the cell on row 1")
        << QStringList{u"1"_s, u"1"_s, u"3"_s} << 1 << 1 << 1 << 1 << u"-"_s;
    QTest::addRow("3,1,2 with the cell on the last row")
        << QStringList{u"3"_s, u"1"_s, u"2"_s} << 3 << 3 << 2 << 2 << u"t3"_s;
    QTest::addRow("last row removed, cell elsewhere")
        << QStringList{u"2"_s, u"2"_s, u"1"_s} << 1 << 1 << 3 << 1 << u"-"_s;
    QTest::addRow("all run out, cell on row 2") << QStringList{u"1"_s, u"1"_s} << 2 << 2 << 1 << 0 << u"t2"_s;
    QTest::addRow("all run out, cell on row 1") << QStringList{u"1"_s, u"1"_s} << 1 << 1 << 1 << 0 << u"-"_s;
    QTest::addRow("the only ad runs out") << QStringList{u"1"_s} << 1 << 1 << 1 << 0 << u"-"_s;
    QTest::addRow("no current cell") << QStringList{u"1"_s, u"5"_s} << 0 << 7 << 1 << 0 << u"-"_s;
}

void TestExpiry::selectionAfterExpiry()
{
    QFETCH(QStringList, runs);
    QFETCH(int, cellRow);
    QFETCH(int, currentRow);
    QFETCH(int, expectedCurrentRow);
    QFETCH(int, expectedCellRow);
    QFETCH(QString, memo);
    QStringList lines;
    for (int i = 0; i < runs.size(); ++i)
        lines << runs[i] + u"|t"_s + QString::number(i + 1) + u"|r|"_s;
    AdList list = listOf(lines);
    const Expiry::Result result = Expiry::expire(list);
    const Expiry::Selection selection = Expiry::selectionAfter(result, list, cellRow, currentRow);
    QCOMPARE(selection.currentRow, expectedCurrentRow);
    QCOMPARE(selection.cellRow, expectedCellRow);
    QCOMPARE(selection.memoText.value_or(u"-"_s), memo);
}

// Random lists, against removing the run-out ads one by one as the grid would.
void TestExpiry::matchesRemovingOneByOne()
{
    QRandomGenerator random(20261211);
    const QStringList counts = {u"1"_s, u"1"_s, u"2"_s, u"3"_s, u"0"_s, u"1 раз"_s, u"abc"_s, QString()};
    for (int round = 0; round < 2000; ++round) {
        const int size = random.bounded(0, 9);
        StepByStepGrid grid;
        QStringList lines;
        for (int i = 0; i < size; ++i) {
            grid.runs << counts[random.bounded(counts.size())];
            grid.texts << u"ad "_s + QString::number(i);
            lines << grid.runs.last() + u'|' + grid.texts.last() + u"|r|"_s;
        }
        grid.cellRow = size == 0 ? 0 : random.bounded(0, size + 1);
        grid.currentRow = random.bounded(1, size + 3);

        AdList list = listOf(lines);
        const Expiry::Result result = Expiry::expire(list);
        const Expiry::Selection selection =
            Expiry::selectionAfter(result, list, grid.cellRow, grid.currentRow);
        grid.expire();

        const QString context = lines.join(u' ');
        QCOMPARE(list.count(), grid.runs.size());
        for (int i = 0; i < list.count(); ++i) {
            QCOMPARE(list.field(i, AdList::Runs), grid.runs[i]);
            QCOMPARE(list.field(i, AdList::Text), grid.texts[i]);
        }
        QVERIFY2(selection.currentRow == grid.currentRow, qPrintable(context));
        QVERIFY2(selection.cellRow == grid.cellRow, qPrintable(context));
        QVERIFY2(selection.memoText == grid.memo, qPrintable(context));
    }
}

QTEST_GUILESS_MAIN(TestExpiry)
#include "test_expiry.moc"
