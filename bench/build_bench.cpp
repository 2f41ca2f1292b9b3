// Typesetting an issue: "&Создать" with 100,000 and 1,000,000 ads, and
// with 100,000 ads in the template's styles.
//
//   cmake --build build --target build_bench && build/bench/build_bench [runs]
//
// For each size, every run is a fresh process, as the operator's is: it lays
// down a working folder (ads of about 60 Cyrillic characters in 50 rubrics,
// counts 1 to 5, so a fifth of the ads run out; the .docx template of the
// engine's tests), starts the editor's windows on it (offscreen unless
// QT_QPA_PLATFORM says otherwise) and times the click on "&Создать" until its
// handler returns: buckets emptied and refilled, the document laid out and
// saved, expiry, and the ads file rewritten. Laying down the folder and
// starting the windows are not timed. A last row builds 100,000 ads from a
// template with «Рубрика» and «Объявление» paragraph styles.

#include "BenchSupport.h"
#include "ui/MessageBox.h"
#include "ui/Unit1.h"
#include "ui/Unit6.h"
#include "ui/Windows.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

constexpr int kRubrics = 50;

// One timed build; -1 on failure.
double timedBuild(int ads, const QString &templateName)
{
    QTemporaryDir dir;
    if (!dir.isValid() || !Bench::layDownIssueFolder(dir.path(), ads, kRubrics, templateName) ||
        !QDir::setCurrent(dir.path()))
        return -1;
    QStringList messages;
    MessageBox::captureForTests(&messages);
    if (!Bench::startWindows(ads))
        return -1;
    showModeless(AboutBox2);
    AboutBox2->Edit1->setText(u"Выпуск.docx"_s);
    QCoreApplication::processEvents();

    QElapsedTimer timer;
    timer.start();
    AboutBox2->OKButton->click();
    const double ms = timer.nsecsElapsed() / 1e6;

    const int left = Form1->grid().adCount();
    DestroyWindows();
    MessageBox::captureForTests(nullptr);
    QDir::setCurrent(QDir::tempPath());
    if (!messages.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(messages.join(u'\n')));
        return -1;
    }
    if (left != ads - ads / 5) {
        std::fprintf(stderr, "%d ads left of %d\n", left, ads);
        return -1;
    }
    return ms;
}

// Runs one build in a child process; its time, or -1.
double buildInChild(int ads, const QString &templateName)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), {u"--child"_s, QString::number(ads), templateName});
    if (!child.waitForFinished(600000) || child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0)
        return -1;
    bool ok = false;
    const double ms = child.readAllStandardOutput().trimmed().toDouble(&ok);
    return ok ? ms : -1;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc == 4 && qstrcmp(argv[1], "--child") == 0) {
        QApplication app(argc, argv);
        SetUpApplication(app);
        const double ms = timedBuild(atoi(argv[2]), QString::fromLocal8Bit(argv[3]));
        if (ms < 0)
            return 1;
        std::printf("%.3f\n", ms);
        return 0;
    }
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 5;

    std::printf("%d runs each; ms from the click on \"&Создать\" until the ads file is rewritten\n", runs);
    std::printf("%10s %8s %8s %8s\n", "ads", "median", "min", "max");
    double figure100k = 0;
    // The last row: headings and ads in the template's «Рубрика» and «Объявление» styles.
    for (const auto &[ads, templateName] :
         {std::pair{100000, u"template.docx"_s}, std::pair{1000000, u"template.docx"_s},
          std::pair{100000, u"styled.docx"_s}}) {
        std::vector<double> times;
        for (int i = 0; i < runs; ++i) {
            const double ms = buildInChild(ads, templateName);
            if (ms < 0)
                return 1;
            times.push_back(ms);
        }
        const Bench::Figures f = Bench::summarise(times);
        const double median = f.median;
        std::printf("%10d %8.0f %8.0f %8.0f %s\n", ads, median, f.min, f.max, qPrintable(templateName));
        if (ads == 1000000)
            std::printf("1,000,000 / 100,000: %.1f times\n", median / figure100k);
        else if (figure100k == 0)
            figure100k = median;
    }
    return 0;
}
