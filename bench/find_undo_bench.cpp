// Finding ads, and taking ad edits back and making them again, with 100,000
// ads loaded; and the memory that 10,000 edits and their undos leave behind.
//
//   cmake --build build --target find_undo_bench && build/bench/find_undo_bench [repetitions]
//
// Builds every window (offscreen unless QT_QPA_PLATFORM says otherwise) in a
// temporary folder whose ads file holds 100,000 ads (as edit_bench's), then:
//  - presses "Найти далее" in the find window repeatedly for three queries: a
//    phone number written without its hyphens (1,000 ads match), a word every
//    ad holds, and one no ad holds. Each time runs from the click until the
//    handler returns: the pass over the list that finds the next ad and counts
//    them all, the grid's current cell, the memo;
//  - makes an edit (not timed), then times "Отменить" and "Повторить" from the
//    menu item's trigger until the handler returns, the ads file replaced
//    (fsync and rename included): an added ad, a change of the middle ad, and a
//    deletion of the first ad (the worst case: every other ad moves a row).
// Then, without windows, a workspace on the same 100,000 ads (in /dev/shm
// where there is one, so that 20,000 saves of 7.4 MB take seconds, not
// minutes) makes 10,000 edits (added, changed and deleted ads in turn, each
// with a text of its own) and takes them all back, and reports how much the
// heap grew, what the history holds, and the text of the edits.

#include "build/Workspace.h"
#include "ui/AdGridView.h"
#include "ui/FindWindow.h"
#include "ui/MessageBox.h"
#include "ui/Unit1.h"
#include "ui/Unit4.h"
#include "ui/Unit5.h"
#include "ui/Windows.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QWindow>

#include "BenchSupport.h"

#include <malloc.h>

#include <cstdio>
#include <memory>

using namespace Qt::StringLiterals;
using namespace Bench;

namespace {

constexpr int kAds = 100000;
constexpr int kMemoryEdits = 10000;

void selectRow(int row)
{
    Form1->StringGrid1->setCurrentIndex(Form1->grid().index(row - 1, AdList::Text));
}

void print(const char *name, const Figures &f)
{
    std::printf("%-34s %8.1f %8.1f %8.1f\n", name, f.median, f.min, f.max);
}

int windowFigures(int repetitions)
{
    QStringList messages;
    MessageBox::captureForTests(&messages);
    if (!startWindows(kAds))
        return 1;

    std::printf("%d ads, %d repetitions each; ms from the click until the handler returns\n", kAds,
                repetitions);
    std::printf("%-34s %8s %8s %8s\n", "", "median", "min", "max");

    FindWindow1->open();
    const std::pair<const char *, QString> queries[] = {
        {"find next: phone, 1,000 match", u"21457"_s},
        {"find next: every ad matches", u"сдам"_s},
        {"find next: no ad matches", u"самолёт"_s},
    };
    for (const auto &[name, query] : queries) {
        FindWindow1->QueryEdit->setText(query);
        selectRow(1);
        print(name, timeIt(
                        repetitions, [] {}, [] { FindWindow1->NextButton->click(); }, messages));
    }
    if (FindWindow1->CountLabel->text() != u"Найдено объявлений: 0"_s) {
        std::fprintf(stderr, "the count is wrong: %s\n", qPrintable(FindWindow1->CountLabel->text()));
        return 1;
    }
    FindWindow1->hide();

    Form1->Memo1->setPlainText(u"Продам гараж у парка,\nсухой погреб, свет.\nТел. 2-33-71"_s);
    Form1->RadioButton2->setChecked(true);
    Form1->ComboBox1->setCurrentIndex(0);
    const std::pair<const char *, std::function<void()>> edits[] = {
        {"add", [] { Form1->Button1->click(); }},
        {"change (middle ad)",
         [] {
             selectRow(kAds / 2);
             Form1->Memo1->setPlainText(u"Изменённый текст "_s + QString::number(Form1->grid().adCount()));
             showModeless(Form5);
             Form5->Button1->click();
         }},
        {"delete (first ad)",
         [] {
             selectRow(1);
             showModeless(OKBottomDlg);
             OKBottomDlg->OKBtn->click();
         }},
    };
    for (const auto &[name, edit] : edits) {
        std::vector<double> undo, redo;
        for (int i = 0; i < repetitions; ++i) {
            edit();
            QCoreApplication::processEvents();
            for (const auto &[item, ms] :
                 {std::pair{Form1->UndoItem, &undo}, std::pair{Form1->RedoItem, &redo}}) {
                QElapsedTimer timer;
                timer.start();
                item->trigger();
                ms->push_back(timer.nsecsElapsed() / 1e6);
                QCoreApplication::processEvents();
            }
            if (!messages.isEmpty()) {
                std::fprintf(stderr, "failed: %s\n", qPrintable(messages.join(u'\n')));
                return 1;
            }
        }
        print(qPrintable(u"undo "_s + QLatin1StringView(name)), summarise(undo));
        print(qPrintable(u"redo "_s + QLatin1StringView(name)), summarise(redo));
    }

    // The file must hold what the grid holds, or nothing was measured.
    QFile saved(u"x.txt"_s);
    if (!saved.open(QIODevice::ReadOnly) || saved.readAll().count('\n') != Form1->grid().adCount()) {
        std::fprintf(stderr, "the ads file does not match the grid\n");
        return 1;
    }
    DestroyWindows();
    MessageBox::captureForTests(nullptr);
    return 0;
}

qsizetype heapInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return qsizetype(info.uordblks + info.hblkhd);
}

qsizetype fieldBytes(const AdList &ads, int index)
{
    qsizetype bytes = 0;
    for (const AdList::Column column : {AdList::Runs, AdList::Text, AdList::Rubric})
        bytes += ads.rawField(index, column).size();
    return bytes;
}

int memoryFigures(const QByteArray &adsFile)
{
    const QString shm = u"/dev/shm"_s;
    QTemporaryDir dir(QDir(shm).exists() ? shm + u"/find_undo_bench-XXXXXX"_s : QString());
    if (!dir.isValid() || !writeFile(dir.filePath(u"x.txt"_s), adsFile))
        return 1;
    auto workspace = std::make_unique<Workspace>();
    workspace->adsPath = dir.filePath(u"x.txt"_s);
    if (!workspace->loadAds().ok())
        return 1;
    const AdList &ads = workspace->ads().ads();

    malloc_trim(0);
    const qsizetype before = heapInUse();
    QElapsedTimer timer;
    timer.start();
    qsizetype ownText = 0;
    QRandomGenerator rows(1); // the same rows in every run
    auto nextRow = [&] { return 1 + int(rows.bounded(quint32(ads.count()))); };
    for (int i = 0; i < kMemoryEdits; ++i) {
        const ComposedAd ad{QString::number(1 + i % 5),
                            u"Продам гараж у парка, сухой погреб, свет. Тел. 2-33-"_s + QString::number(i),
                            u"Недвижимость"_s};
        Status done;
        switch (i % 3) {
        case 0:
            done = workspace->addAd(ad);
            ownText += fieldBytes(ads, ads.count() - 1);
            break;
        case 1:
            workspace->currentRow = nextRow();
            ownText += fieldBytes(ads, workspace->currentRow - 1);
            done = workspace->changeCurrentAd(ad);
            ownText += fieldBytes(ads, workspace->currentRow - 1);
            break;
        default:
            workspace->currentRow = nextRow();
            ownText += fieldBytes(ads, workspace->currentRow - 1);
            done = workspace->removeCurrentAd();
            break;
        }
        if (!done.ok()) {
            std::fprintf(stderr, "edit failed: %s\n", qPrintable(done.message()));
            return 1;
        }
    }
    for (int i = 0; i < kMemoryEdits; ++i) {
        if (!workspace->undo().ok())
            return 1;
    }
    const double seconds = timer.nsecsElapsed() / 1e9;
    malloc_trim(0);
    const qsizetype after = heapInUse();
    const qsizetype accounted = workspace->history().heapBytes();
    workspace->forgetHistory();
    malloc_trim(0);
    const qsizetype withoutHistory = heapInUse();

    auto kib = [](qsizetype bytes) { return bytes / 1024.0; };
    std::printf("\n%d edits (add, change, delete in turn) and their undos on %d ads, %.0f s\n", kMemoryEdits,
                kAds, seconds);
    std::printf("%-62s %8.1f KiB\n", "the edits' own text (ads added, deleted, changed: both versions)",
                kib(ownText));
    std::printf("%-62s %8.1f KiB\n", "heap growth in all", kib(after - before));
    std::printf("%-62s %8.1f KiB\n", "  the edit history (given back when it is forgotten)",
                kib(after - withoutHistory));
    std::printf("%-62s %8.1f KiB\n", "    of which the bytes its steps hold", kib(accounted));
    std::printf("%-62s %8.1f KiB\n", "  the list (texts written by the edits and the undos)",
                kib(withoutHistory - before));
    return workspace->ads().adCount() == kAds ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    SetUpApplication(app);
    const int repetitions = argc > 1 ? std::max(1, atoi(argv[1])) : 21;

    const QByteArray adsFile = makeAdsFile(kAds);
    QTemporaryDir dir;
    if (!dir.isValid() || !writeFile(dir.filePath(u"x.txt"_s), adsFile) ||
        !writeFile(dir.filePath(u"Рубрики.txt"_s), cp1251(u"Недвижимость\r\nАвто\r\nРабота\r\nУслуги"_s))) {
        std::fprintf(stderr, "cannot prepare the working folder\n");
        return 1;
    }
    QDir::setCurrent(dir.path());
    if (const int failed = windowFigures(repetitions))
        return failed;
    return memoryFigures(adsFile);
}
