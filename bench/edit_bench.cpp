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

#include "files/Cp1251.h"
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

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

constexpr int kAds = 100000;

QByteArray cp1251(const QString &text)
{
    return Cp1251::encode(text).value_or(QByteArray());
}

// Ads of about 60 Cyrillic characters under four rubrics.
QByteArray makeAdsFile(int count)
{
    const QByteArray rubrics[] = {cp1251(u"Недвижимость"_s), cp1251(u"Авто"_s), cp1251(u"Работа"_s),
                                  cp1251(u"Услуги"_s)};
    const QByteArray text = cp1251(u"Сдам 1-комн. квартиру в центре, мебель, техника. Тел. 2-14-"_s);
    QByteArray out;
    out.reserve(qsizetype(count) * 90);
    for (int i = 0; i < count; ++i)
        out += QByteArray::number(1 + i % 5) + '|' + text + QByteArray::number(i % 100) + '|' +
               rubrics[i % 4] + "|\r\n";
    return out;
}

struct Figures
{
    double median = 0;
    double min = 0;
    double max = 0;
};

Figures summarise(std::vector<double> ms)
{
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms.front(), ms.back()};
}

// Times `press` once per repetition, after `prepare` (not timed).
Figures timeIt(int repetitions, const std::function<void()> &prepare, const std::function<void()> &press,
               const QStringList &messages)
{
    std::vector<double> ms;
    for (int i = 0; i < repetitions; ++i) {
        prepare();
        QCoreApplication::processEvents();
        QElapsedTimer timer;
        timer.start();
        press();
        ms.push_back(timer.nsecsElapsed() / 1e6);
        if (!messages.isEmpty()) {
            std::fprintf(stderr, "failed: %s\n", qPrintable(messages.join(u'\n')));
            std::exit(1);
        }
    }
    return summarise(ms);
}

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
    CreateWindows();
    Form1->show();
    while (!Form1->windowHandle() || !Form1->windowHandle()->isExposed())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    if (Form1->grid().adCount() != kAds) {
        std::fprintf(stderr, "loaded %d ads\n", Form1->grid().adCount());
        return 1;
    }

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
