// Adding, changing and deleting with 100,000 ads loaded.
//
//   cmake --build build --target edit_bench && build/bench/edit_bench [repetitions]
//
// Builds every window (offscreen unless QT_QPA_PLATFORM says otherwise) in a
// temporary folder whose ads file holds 100,000 ads, then presses each command's
// final button repeatedly: "Добавить", the "OK" of "Изменение записи" on the
// middle ad, and the "OK" of "Удаление записи" on the middle and on the first ad
// (the worst case: every other ad moves up a row). Each time runs from the click
// until the handler returns, that is until the ads file has been replaced,
// fsync and rename included; showing the dialog and repainting are not timed.

#include "ui/AdGridView.h"
#include "ui/MessageBox.h"
#include "ui/Unit1.h"
#include "ui/Unit4.h"
#include "ui/Unit5.h"
#include "ui/Windows.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QWindow>

#include "BenchSupport.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace Qt::StringLiterals;
using namespace Bench;

namespace {

constexpr int kAds = 100000;

void selectRow(int row)
{
    Form1->StringGrid1->setCurrentIndex(Form1->grid().index(row - 1, AdList::Text));
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    SetUpApplication(app);
    const int repetitions = argc > 1 ? std::max(1, atoi(argv[1])) : 21;

    QTemporaryDir dir;
    QFile ads(dir.filePath(u"x.txt"_s));
    QFile rubrics(dir.filePath(u"Рубрики.txt"_s));
    if (!dir.isValid() || !ads.open(QIODevice::WriteOnly) || !rubrics.open(QIODevice::WriteOnly)) {
        std::fprintf(stderr, "cannot prepare the working folder\n");
        return 1;
    }
    ads.write(makeAdsFile(kAds));
    ads.close();
    rubrics.write(cp1251(u"Недвижимость\r\nАвто\r\nРабота\r\nУслуги"_s));
    rubrics.close();
    QDir::setCurrent(dir.path());

    QStringList messages;
    MessageBox::captureForTests(&messages);
    if (!startWindows(kAds))
        return 1;

    Form1->Memo1->setPlainText(u"Продам гараж у парка,\nсухой погреб, свет.\nТел. 2-33-71"_s);
    Form1->RadioButton2->setChecked(true);
    Form1->ComboBox1->setCurrentIndex(0);

    const Figures add = timeIt(
        repetitions, [] {}, [] { Form1->Button1->click(); }, messages);
    const Figures change = timeIt(
        repetitions,
        [] {
            selectRow(kAds / 2);
            showModeless(Form5);
        },
        [] { Form5->Button1->click(); }, messages);
    const Figures removeMiddle = timeIt(
        repetitions,
        [] {
            selectRow(kAds / 2);
            showModeless(OKBottomDlg);
        },
        [] { OKBottomDlg->OKBtn->click(); }, messages);
    const Figures removeFirst = timeIt(
        repetitions,
        [] {
            selectRow(1);
            showModeless(OKBottomDlg);
        },
        [] { OKBottomDlg->OKBtn->click(); }, messages);

    // The file must hold what the grid holds, or nothing was measured.
    QFile saved(u"x.txt"_s);
    if (!saved.open(QIODevice::ReadOnly) || saved.readAll().count('\n') != Form1->grid().adCount()) {
        std::fprintf(stderr, "the ads file does not match the grid\n");
        return 1;
    }

    std::printf("%d ads, %d repetitions each; ms from the click until the ads file is replaced\n", kAds,
                repetitions);
    std::printf("%-24s %8s %8s %8s\n", "", "median", "min", "max");
    const std::pair<const char *, Figures> rows[] = {{"add", add},
                                                     {"change (middle ad)", change},
                                                     {"delete (middle ad)", removeMiddle},
                                                     {"delete (first ad)", removeFirst}};
    for (const auto &[name, f] : rows)
        std::printf("%-24s %8.1f %8.1f %8.1f\n", name, f.median, f.min, f.max);

    DestroyWindows();
    MessageBox::captureForTests(nullptr);
    return 0;
}
