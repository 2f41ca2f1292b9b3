// Start-up and save figures for large ads files.
//
//   cmake --build build --target startup_bench && build/bench/startup_bench [runs]
//
// For 1,000, 100,000 and 1,000,000 ads it starts the editor in a child process
// (offscreen unless QT_QPA_PLATFORM says otherwise) and reports the time from
// process start to the main window shown with its grid painted, and the child's
// peak resident memory. For 100,000 ads it also times SaveAdsFile, flush included.

#include "ui/Unit1.h"
#include "ui/Windows.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

QElapsedTimer g_sinceStart;

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

long peakRssKiB()
{
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return -1;
}

// A realistic ad: about 60 Cyrillic characters of text and a rubric.
QByteArray makeAdsFile(int count)
{
    static const char *const rubrics[] = {"\xcd\xe5\xe4\xe2\xe8\xe6\xe8\xec\xee\xf1\xf2\xfc",
                                          "\xc0\xe2\xf2\xee", "\xd0\xe0\xe1\xee\xf2\xe0",
                                          "\xd3\xf1\xeb\xf3\xe3\xe8"};
    const QByteArray text =
        "\xd1\xe4\xe0\xec 1-\xea\xee\xec\xed. \xea\xe2\xe0\xf0\xf2\xe8\xf0\xf3 \xe2 "
        "\xf6\xe5\xed\xf2\xf0\xe5, \xec\xe5\xe1\xe5\xeb\xfc, \xf2\xe5\xf5\xed\xe8\xea\xe0. "
        "\xd2\xe5\xeb. 2-14-";
    QByteArray out;
    out.reserve(qsizetype(count) * 90);
    for (int i = 0; i < count; ++i) {
        out += QByteArray::number(1 + i % 5) + '|' + text + QByteArray::number(i % 100) + '|' +
               rubrics[i % 4] + "|\r\n";
    }
    return out;
}

int child(int argc, char **argv)
{
    QApplication app(argc, argv);
    SetUpApplication(app);
    CreateWindows();
    Form1->show();
    while (!Form1->windowHandle() || !Form1->windowHandle()->isExposed())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    Form1->repaint();
    QCoreApplication::processEvents();
    const double startMs = g_sinceStart.nsecsElapsed() / 1e6;

    std::vector<double> saves;
    if (argc > 2 && qstrcmp(argv[2], "save") == 0) {
        for (int i = 0; i < 7; ++i) {
            QElapsedTimer t;
            t.start();
            const Status s = Form1->SaveAdsFile();
            saves.push_back(t.nsecsElapsed() / 1e6);
            if (!s)
                std::fprintf(stderr, "save failed: %s\n", qPrintable(s.message()));
        }
    }
    std::printf("%d %.1f %ld %.1f\n", Form1->grid().adCount(), startMs, peakRssKiB(), median(saves));
    DestroyWindows();
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    g_sinceStart.start();
    if (argc > 1 && qstrcmp(argv[1], "--child") == 0)
        return child(argc, argv);

    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    QCoreApplication app(argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    std::printf("%10s %14s %14s %16s %18s\n", "ads", "file MB", "start-up ms", "peak RSS MB",
                "SaveAdsFile ms");
    for (int count : {1000, 100000, 1000000}) {
        QTemporaryDir dir;
        const QByteArray file = makeAdsFile(count);
        QFile ads(dir.filePath(u"x.txt"_s));
        ads.open(QIODevice::WriteOnly);
        ads.write(file);
        ads.close();
        QFile rubrics(dir.filePath(u"Рубрики.txt"_s));
        rubrics.open(QIODevice::WriteOnly);
        rubrics.write("\xc0\xe2\xf2\xee");
        rubrics.close();

        std::vector<double> start, rss, save;
        for (int r = 0; r < runs; ++r) {
            QProcess p;
            p.setWorkingDirectory(dir.path());
            QStringList args{u"--child"_s};
            if (count == 100000)
                args << u"save"_s;
            p.start(QCoreApplication::applicationFilePath(), args);
            p.waitForFinished(-1);
            const QList<QByteArray> f = p.readAllStandardOutput().trimmed().split(' ');
            if (f.size() != 4 || f[0].toInt() != count) {
                std::fprintf(stderr, "child failed: %s\n", p.readAllStandardError().constData());
                return 1;
            }
            start.push_back(f[1].toDouble());
            rss.push_back(f[2].toDouble() / 1024.0);
            save.push_back(f[3].toDouble());
        }
        std::printf("%10d %14.1f %14.1f %16.1f %18s\n", count, file.size() / 1e6, median(start), median(rss),
                    count == 100000 ? qPrintable(QString::number(median(save), 'f', 1)) : "-");
    }
    std::printf("(median of %d runs each)\n", runs);
    return 0;
}
