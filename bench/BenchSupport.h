#pragma once

// What the window benchmarks share: the ads file they load, and timing a
// button press repeatedly.

#include "files/Cp1251.h"
#include "ui/Unit1.h"
#include "ui/Windows.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QStringList>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

namespace Bench {

inline QByteArray cp1251(const QString &text)
{
    return Cp1251::encode(text).value_or(QByteArray());
}

// Ads of about 60 Cyrillic characters under four rubrics; the text ends in a
// phone number "2-14-" followed by the ad's number modulo 100.
inline QByteArray makeAdsFile(int count)
{
    const QByteArray rubrics[] = {cp1251(QStringLiteral("Недвижимость")), cp1251(QStringLiteral("Авто")),
                                  cp1251(QStringLiteral("Работа")), cp1251(QStringLiteral("Услуги"))};
    const QByteArray text =
        cp1251(QStringLiteral("Сдам 1-комн. квартиру в центре, мебель, техника. Тел. 2-14-"));
    QByteArray out;
    out.reserve(qsizetype(count) * 90);
    for (int i = 0; i < count; ++i)
        out += QByteArray::number(1 + i % 5) + '|' + text + QByteArray::number(i % 100) + '|' +
               rubrics[i % 4] + "|\r\n";
    return out;
}

inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// A working folder for an issue: `ads` ads of about 60 Cyrillic characters
// spread over `rubrics` rubrics ("Рубрика 1", …) in the rubric list, counts 1
// to 5 (so a fifth of the ads run out), and a template of the engine's tests
// (by default the .docx one) as "Шаблон.doc".
inline bool layDownIssueFolder(const QString &folder, int ads, int rubrics,
                               const QString &templateFixture = QStringLiteral("template.docx"))
{
    auto rubricName = [](int i) -> QByteArray {
        return cp1251(QStringLiteral("Рубрика ")) + QByteArray::number(i + 1);
    };
    QByteArray list;
    for (int i = 0; i < rubrics; ++i) {
        if (i > 0)
            list += "\r\n";
        list += rubricName(i);
    }
    const QByteArray text =
        cp1251(QStringLiteral("Сдам 1-комн. квартиру в центре, мебель, техника. Тел. 2-14-"));
    QByteArray file;
    file.reserve(qsizetype(ads) * 90);
    for (int i = 0; i < ads; ++i)
        file += QByteArray::number(1 + i % 5) + '|' + text + QByteArray::number(i % 100) + '|' +
                rubricName(int((i * 7919LL) % rubrics)) + "|\r\n";
    const QDir dir(folder);
    return writeFile(dir.filePath(QStringLiteral("Рубрики.txt")), list) &&
           writeFile(dir.filePath(QStringLiteral("x.txt")), file) &&
           QFile::copy(QStringLiteral(VERMATA_SOURCE_DIR "/tests/fixtures/word/") + templateFixture,
                       dir.filePath(QStringLiteral("Шаблон.doc")));
}

struct Figures
{
    double median = 0;
    double min = 0;
    double max = 0;
};

inline Figures summarise(std::vector<double> ms)
{
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms.front(), ms.back()};
}

// Times `press` once per repetition, after `prepare` (not timed). A failure
// box shown meanwhile ends the benchmark: nothing was measured.
inline Figures timeIt(int repetitions, const std::function<void()> &prepare,
                      const std::function<void()> &press, const QStringList &messages)
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

// Builds every window in the working folder and waits until the main window
// is on screen; false, with a note, unless its grid holds expectedAds ads.
inline bool startWindows(int expectedAds)
{
    CreateWindows();
    Form1->show();
    while (!Form1->windowHandle() || !Form1->windowHandle()->isExposed())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    if (Form1->grid().adCount() == expectedAds)
        return true;
    std::fprintf(stderr, "loaded %d ads\n", Form1->grid().adCount());
    return false;
}

} // namespace Bench
