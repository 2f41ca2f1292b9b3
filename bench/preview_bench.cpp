// Opening the issue preview with 100,000 ads.
//
//   cmake --build build --target preview_bench && build/bench/preview_bench [runs]
//
// Lays down a working folder (100,000 ads of about 60 Cyrillic characters in
// 50 rubrics, the .docx template of the engine's tests), starts the editor's
// windows on it (offscreen unless QT_QPA_PLATFORM says otherwise) and times
// "Выпуск" > "Предпросмотр…" from the click until the window is shown with
// every rubric and ad in it and the events that showing it posted are handled.

#include "BenchSupport.h"
#include "ui/IssuePreviewWindow.h"
#include "ui/MessageBox.h"
#include "ui/Unit1.h"
#include "ui/Windows.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QListView>
#include <QTemporaryDir>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

constexpr int kAds = 100000;
constexpr int kRubrics = 50;

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    SetUpApplication(app);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 9;

    QTemporaryDir dir;
    if (!dir.isValid() || !Bench::layDownIssueFolder(dir.path(), kAds, kRubrics) ||
        !QDir::setCurrent(dir.path())) {
        std::fprintf(stderr, "cannot prepare the working folder\n");
        return 1;
    }

    QStringList messages;
    MessageBox::captureForTests(&messages);
    if (!Bench::startWindows(kAds))
        return 1;

    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        Form1->PreviewIssueAction->trigger();
        QCoreApplication::processEvents();
        times.push_back(timer.nsecsElapsed() / 1e6);
        IssuePreviewWindow *preview = Form1->findChild<IssuePreviewWindow *>();
        const int shown = preview->Sections->model()->rowCount() - kRubrics;
        if (shown != kAds || !messages.isEmpty()) {
            std::fprintf(stderr, "the preview shows %d ads\n", shown);
            return 1;
        }
        preview->hide();
        QCoreApplication::processEvents();
    }
    const Bench::Figures f = Bench::summarise(times);
    std::printf("%d ads, %d runs; ms from the menu command until the preview is shown\n", kAds, runs);
    std::printf("median %.0f  min %.0f  max %.0f\n", f.median, f.min, f.max);
    DestroyWindows();
    MessageBox::captureForTests(nullptr);
    return 0;
}
