// Taking ad edits back and making them again through the workspace: the list,
// the ads file byte for byte, CurrentRow, and failed saves on the way.

#include "build/Workspace.h"
#include "files/AtomicFile.h"
#include "word/DocumentAssembler.h"

#include <QAbstractItemModelTester>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include "AdLines.h"
#include "TestFiles.h"

#include <cerrno>
#include <memory>

using namespace Qt::StringLiterals;
using namespace TestFiles;

namespace {

const QString kA = u"1|Сдам комнату|Недвижимость|"_s;
const QString kB = u"2|Продам велосипед|Разное|"_s;
const QString kC = u"3|Ищу работу|Работа|"_s;
const QStringList kThreeAds = {kA, kB, kC};
const QString kComposed = u"5|Сдам гараж|Разное|"_s;

ComposedAd composed(const QString &runs, const QString &text, const QString &rubric)
{
    return {runs, text, rubric};
}

// The edit a data row names: "add", or "change" or "remove" at row.
Status edit(Workspace &workspace, const QString &kind, int row)
{
    workspace.currentRow = row;
    if (kind == u"add"_s)
        return workspace.addAd(composed(u"5"_s, u"Сдам гараж"_s, u"Разное"_s));
    if (kind == u"change"_s)
        return workspace.changeCurrentAd(composed(u"5"_s, u"Сдам гараж"_s, u"Разное"_s));
    return workspace.removeCurrentAd();
}

EditHistory::Edit editOf(const QString &kind)
{
    if (kind == u"add"_s)
        return EditHistory::Edit::Add;
    return kind == u"change"_s ? EditHistory::Edit::Change : EditHistory::Edit::Remove;
}

} // namespace

class TestEditHistory : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void eachEdit_data();
    void eachEdit();
    void longSequenceBackAndForth();
    void newEditDropsWhatWasTakenBack();
    void editsThatChangeNothingAreNotRecorded();
    void failedSaveLeavesTheStep_data();
    void failedSaveLeavesTheStep();
    void editWhoseSaveFailedCanBeTakenBack();
    void buildForgetsTheHistory();
    void loadingForgetsTheHistory();
    void stepHoldsOneVersionOfTheAd();

private:
    void startWith(const QStringList &ads);
    QStringList list() const { return adLines(m_workspace->ads().ads()); }

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_previousDir;
    std::unique_ptr<Workspace> m_workspace;
};

void TestEditHistory::init()
{
    m_previousDir = QDir::currentPath();
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QVERIFY(QDir::setCurrent(m_dir->path()));
    m_workspace = std::make_unique<Workspace>();
    startWith(kThreeAds);
}

void TestEditHistory::cleanup()
{
    m_workspace.reset();
    QDir::setCurrent(m_previousDir);
    m_dir.reset();
}

void TestEditHistory::startWith(const QStringList &ads)
{
    QVERIFY(write(u"x.txt"_s, adsFileBytes(ads)));
    QVERIFY(m_workspace->loadAds().ok());
    QCOMPARE(list(), ads);
}

void TestEditHistory::eachEdit_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("row");
    QTest::addColumn<QStringList>("edited");
    QTest::addColumn<int>("rowAfterUndo");
    QTest::addColumn<int>("rowAfterRedo");

    // An added ad is the last one; taking it back leaves the new last row current.
    QTest::addRow("add") << u"add"_s << 2 << QStringList{kA, kB, kC, kComposed} << 3 << 4;
    QTest::addRow("change the first") << u"change"_s << 1 << QStringList{kComposed, kB, kC} << 1 << 1;
    QTest::addRow("change in the middle") << u"change"_s << 2 << QStringList{kA, kComposed, kC} << 2 << 2;
    QTest::addRow("change the last") << u"change"_s << 3 << QStringList{kA, kB, kComposed} << 3 << 3;
    QTest::addRow("remove the first") << u"remove"_s << 1 << QStringList{kB, kC} << 1 << 1;
    QTest::addRow("remove in the middle") << u"remove"_s << 2 << QStringList{kA, kC} << 2 << 2;
    // Deleting the last row again leaves the new last row current.
    QTest::addRow("remove the last") << u"remove"_s << 3 << QStringList{kA, kB} << 3 << 2;
}

void TestEditHistory::eachEdit()
{
    QFETCH(QString, kind);
    QFETCH(int, row);
    QFETCH(QStringList, edited);
    QFETCH(int, rowAfterUndo);
    QFETCH(int, rowAfterRedo);

    const EditHistory &history = m_workspace->history();
    QCOMPARE(history.nextUndo(), std::nullopt);
    QVERIFY(edit(*m_workspace, kind, row).ok());
    QCOMPARE(list(), edited);
    QCOMPARE(history.nextUndo(), editOf(kind));
    QCOMPARE(history.nextRedo(), std::nullopt);

    m_workspace->currentRow = 1;
    QVERIFY(m_workspace->undo().ok());
    QCOMPARE(list(), kThreeAds);
    QCOMPARE(read(u"x.txt"_s), adsFileBytes(kThreeAds));
    QCOMPARE(m_workspace->currentRow, rowAfterUndo);
    QCOMPARE(history.nextUndo(), std::nullopt);
    QCOMPARE(history.nextRedo(), editOf(kind));

    m_workspace->currentRow = 1;
    QVERIFY(m_workspace->redo().ok());
    QCOMPARE(list(), edited);
    QCOMPARE(read(u"x.txt"_s), adsFileBytes(edited));
    QCOMPARE(m_workspace->currentRow, rowAfterRedo);
    QCOMPARE(history.nextUndo(), editOf(kind));
    QCOMPARE(history.nextRedo(), std::nullopt);

    // With nothing left to make again, redo does nothing and writes nothing.
    QVERIFY(QFile::remove(u"x.txt"_s));
    QVERIFY(m_workspace->redo().ok());
    QCOMPARE(list(), edited);
    QVERIFY(!QFile::exists(u"x.txt"_s));
}

// Many edits of every kind, in rows all over a list that grows and shrinks,
// then all taken back and all made again: each step must give back the file
// exactly as it was at that point.
void TestEditHistory::longSequenceBackAndForth()
{
    QAbstractItemModelTester tester(&m_workspace->ads(),
                                    QAbstractItemModelTester::FailureReportingMode::QtTest);
    QRandomGenerator random(20240611);
    QList<QByteArray> files = {read(u"x.txt"_s)};
    for (int i = 0; i < 200; ++i) {
        const int count = m_workspace->ads().adCount();
        const int pick = count == 0 ? 0 : int(random.bounded(3));
        m_workspace->currentRow = count == 0 ? 1 : 1 + int(random.bounded(count));
        const QString n = QString::number(i);
        std::optional<QString> runs;
        if (random.bounded(4) != 0)
            runs = QString::number(random.bounded(10));
        const ComposedAd ad{runs, u"Объявление "_s + n + QString(int(random.bounded(30)), u'ё'),
                            random.bounded(2) ? QString() : u"Рубрика "_s + n};
        const Status done = pick == 0   ? m_workspace->addAd(ad)
                            : pick == 1 ? m_workspace->changeCurrentAd(ad)
                                        : m_workspace->removeCurrentAd();
        QVERIFY(done.ok());
        files << read(u"x.txt"_s);
    }
    for (qsizetype at = files.size() - 2; at >= 0; --at) {
        QVERIFY(m_workspace->undo().ok());
        QVERIFY2(read(u"x.txt"_s) == files[at], qPrintable(QString::number(at)));
    }
    QCOMPARE(m_workspace->history().nextUndo(), std::nullopt);
    for (qsizetype at = 1; at < files.size(); ++at) {
        QVERIFY(m_workspace->redo().ok());
        QVERIFY2(read(u"x.txt"_s) == files[at], qPrintable(QString::number(at)));
    }
    QCOMPARE(m_workspace->history().nextRedo(), std::nullopt);
}

void TestEditHistory::newEditDropsWhatWasTakenBack()
{
    QVERIFY(edit(*m_workspace, u"remove"_s, 1).ok());
    QVERIFY(edit(*m_workspace, u"change"_s, 1).ok());
    QVERIFY(m_workspace->undo().ok());
    QCOMPARE(m_workspace->history().nextRedo(), EditHistory::Edit::Change);

    QVERIFY(edit(*m_workspace, u"add"_s, 1).ok());
    QCOMPARE(m_workspace->history().nextRedo(), std::nullopt);
    QVERIFY(m_workspace->redo().ok());
    QCOMPARE(list(), (QStringList{kB, kC, kComposed}));

    // What stood before the new edit can still be taken back.
    QVERIFY(m_workspace->undo().ok());
    QCOMPARE(m_workspace->history().nextUndo(), EditHistory::Edit::Remove);
    QVERIFY(m_workspace->undo().ok());
    QCOMPARE(list(), kThreeAds);
    QCOMPARE(read(u"x.txt"_s), adsFileBytes(kThreeAds));
}

void TestEditHistory::editsThatChangeNothingAreNotRecorded()
{
    QVERIFY(edit(*m_workspace, u"change"_s, 2).ok());
    QVERIFY(m_workspace->undo().ok());
    const QByteArray before = read(u"x.txt"_s);

    // The same fields again (no count chosen keeps the count), a refused
    // character, and no ad at CurrentRow: the step taken back stays there to be
    // made again.
    m_workspace->currentRow = 2;
    QVERIFY(m_workspace->changeCurrentAd({std::nullopt, u"Продам велосипед"_s, u"Разное"_s}).ok());
    QVERIFY(!m_workspace->addAd(composed(u"1"_s, u"Сдам|гараж"_s, u"Разное"_s)).ok());
    QVERIFY(!m_workspace->changeCurrentAd(composed(u"1"_s, u"Сдам гараж"_s, u"Раз\nное"_s)).ok());
    m_workspace->currentRow = 4;
    QVERIFY(!m_workspace->removeCurrentAd().ok());
    QVERIFY(!m_workspace->changeCurrentAd(composed(u"1"_s, u"Сдам гараж"_s, u"Разное"_s)).ok());

    QCOMPARE(list(), kThreeAds);
    QCOMPARE(read(u"x.txt"_s), before);
    QCOMPARE(m_workspace->history().nextUndo(), std::nullopt);
    QCOMPARE(m_workspace->history().nextRedo(), EditHistory::Edit::Change);
}

void TestEditHistory::failedSaveLeavesTheStep_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("back");
    for (const QString &kind : {u"add"_s, u"change"_s, u"remove"_s}) {
        QTest::addRow("undo %s", qPrintable(kind)) << kind << true;
        QTest::addRow("redo %s", qPrintable(kind)) << kind << false;
    }
}

// A step whose save fails puts the list back as it was and stays where it
// was, so that the same step can be tried again once the file can be written.
void TestEditHistory::failedSaveLeavesTheStep()
{
    QFETCH(QString, kind);
    QFETCH(bool, back);

    QVERIFY(edit(*m_workspace, kind, 2).ok());
    const QStringList edited = list();
    if (!back)
        QVERIFY(m_workspace->undo().ok());
    const QStringList before = list();
    const QByteArray file = read(u"x.txt"_s);
    m_workspace->currentRow = 1;

    AtomicFile::injectWriteFailureForTests(0, ENOSPC);
    const Status failed = back ? m_workspace->undo() : m_workspace->redo();
    QCOMPARE(failed.message(), u"Disk full"_s);
    QCOMPARE(list(), before);
    QCOMPARE(read(u"x.txt"_s), file);
    QCOMPARE(m_workspace->currentRow, 1);
    const EditHistory &history = m_workspace->history();
    QCOMPARE(back ? history.nextUndo() : history.nextRedo(), editOf(kind));

    QVERIFY((back ? m_workspace->undo() : m_workspace->redo()).ok());
    const QStringList after = back ? kThreeAds : edited;
    QCOMPARE(list(), after);
    QCOMPARE(read(u"x.txt"_s), adsFileBytes(after));
    QCOMPARE(back ? history.nextRedo() : history.nextUndo(), editOf(kind));
}

// An edit that stays in the list while its save failed is a step like any
// other: taking it back writes the list as it was before the edit.
void TestEditHistory::editWhoseSaveFailedCanBeTakenBack()
{
    AtomicFile::injectWriteFailureForTests(0, ENOSPC);
    QVERIFY(!edit(*m_workspace, u"remove"_s, 1).ok());
    QCOMPARE(list(), (QStringList{kB, kC}));
    QVERIFY(QFile::remove(u"x.txt"_s));

    QVERIFY(m_workspace->undo().ok());
    QCOMPARE(list(), kThreeAds);
    QCOMPARE(read(u"x.txt"_s), adsFileBytes(kThreeAds));
}

void TestEditHistory::buildForgetsTheHistory()
{
    QVERIFY(writeCp1251(u"Рубрики.txt"_s, u"Недвижимость\r\nРазное\r\nРабота"_s));
    QVERIFY(QFile::copy(QStringLiteral(VERMATA_FIXTURES "/word/template.rtf"), u"Шаблон.doc"_s));
    QVERIFY(QFile::setPermissions(u"Шаблон.doc"_s, QFile::ReadOwner | QFile::WriteOwner));
    DocumentAssembler engine;
    QVERIFY(edit(*m_workspace, u"add"_s, 1).ok());
    QVERIFY(edit(*m_workspace, u"change"_s, 1).ok());
    QVERIFY(m_workspace->undo().ok());

    // A build that stops charges nothing and forgets nothing.
    QVERIFY(!m_workspace->buildIssue(QString(), engine, 1).document.ok());
    QCOMPARE(m_workspace->history().nextUndo(), EditHistory::Edit::Add);
    QCOMPARE(m_workspace->history().nextRedo(), EditHistory::Edit::Change);

    const Workspace::BuildOutcome built = m_workspace->buildIssue(u"Выпуск.doc"_s, engine, 1);
    QVERIFY2(built.document.ok(), qPrintable(built.document.message()));
    QVERIFY(built.saved.ok());
    QCOMPARE(m_workspace->history().nextUndo(), std::nullopt);
    QCOMPARE(m_workspace->history().nextRedo(), std::nullopt);
    const QByteArray charged = read(u"x.txt"_s);
    QVERIFY(m_workspace->undo().ok());
    QVERIFY(m_workspace->redo().ok());
    QCOMPARE(read(u"x.txt"_s), charged);
}

void TestEditHistory::loadingForgetsTheHistory()
{
    QVERIFY(edit(*m_workspace, u"remove"_s, 1).ok());
    QVERIFY(edit(*m_workspace, u"remove"_s, 1).ok());
    QVERIFY(m_workspace->undo().ok());
    startWith({kC});
    QCOMPARE(m_workspace->history().nextUndo(), std::nullopt);
    QCOMPARE(m_workspace->history().nextRedo(), std::nullopt);
    m_workspace->reset();
    QCOMPARE(m_workspace->history().heapBytes(), 0);
}

// Going back and forth swaps the one stored version of the ad with the
// list's: the step never holds both, and never grows.
void TestEditHistory::stepHoldsOneVersionOfTheAd()
{
    const EditHistory &history = m_workspace->history();
    m_workspace->currentRow = 2;
    QVERIFY(m_workspace->changeCurrentAd(composed(u"1"_s, QString(200, u'я'), u"Разное"_s)).ok());
    const qsizetype holdingBefore = history.heapBytes();
    QVERIFY(holdingBefore < 200);
    QVERIFY(m_workspace->undo().ok());
    const qsizetype holdingAfter = history.heapBytes();
    QVERIFY(holdingAfter >= 200 && holdingAfter < 400);
    for (int i = 0; i < 20; ++i) {
        QVERIFY(m_workspace->redo().ok());
        QCOMPARE(history.heapBytes(), holdingBefore);
        QVERIFY(m_workspace->undo().ok());
        QCOMPARE(history.heapBytes(), holdingAfter);
    }
}

QTEST_GUILESS_MAIN(TestEditHistory)
#include "test_edithistory.moc"
