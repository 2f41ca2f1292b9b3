// Draws the README's pictures: the main window on the sample folder, with an
// ad selected, beside "Создание файла" with an issue name typed in; and, when
// a second name is given, the issue preview of the same folder.
//
//   cmake --build build --target screenshot && build/tools/screenshot docs/screenshot.png docs/preview.png
//
// Renders offscreen (no display needed) in a scratch copy of examples/.

#include "ui/AdGridView.h"
#include "ui/IssuePreviewWindow.h"
#include "ui/Unit1.h"
#include "ui/Unit6.h"
#include "ui/Windows.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPainter>
#include <QTemporaryDir>

#include <cstdio>

int main(int argc, char **argv)
{
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: screenshot OUTPUT.png [PREVIEW.png]\n");
        return 2;
    }
    const QString output = QFile::decodeName(argv[1]);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    SetUpApplication(app);
    const QString target = QFileInfo(output).absoluteFilePath();
    const QString previewTarget = argc == 3 ? QFileInfo(QFile::decodeName(argv[2])).absoluteFilePath() : QString();

    QTemporaryDir dir;
    const QDir examples(QStringLiteral(VERMATA_SOURCE_DIR "/examples"));
    for (const QString &name : examples.entryList(QDir::Files))
        QFile::copy(examples.filePath(name), QDir(dir.path()).filePath(name));
    QDir::setCurrent(dir.path());

    CreateWindows();
    Form1->show();
    Form1->StringGrid1->setCurrentIndex(Form1->grid().index(6, AdList::Text));
    showModeless(AboutBox2);
    AboutBox2->Edit1->setText(QStringLiteral("Выпуск 12.doc"));
    QCoreApplication::processEvents();

    const QPixmap main = Form1->grab();
    const QPixmap dialog = AboutBox2->grab();
    const int gap = 16;
    QPixmap picture(main.width() + gap + dialog.width(), main.height());
    picture.fill(QColor(200, 200, 200));
    QPainter painter(&picture);
    painter.drawPixmap(0, 0, main);
    painter.drawPixmap(main.width() + gap, 0, dialog);
    painter.end();
    bool saved = picture.save(target, "PNG");
    if (argc == 3) {
        Form1->PreviewIssueAction->trigger();
        QCoreApplication::processEvents();
        auto *preview = Form1->findChild<IssuePreviewWindow *>();
        saved = saved && preview && preview->grab().save(previewTarget, "PNG");
    }
    DestroyWindows();
    return saved ? 0 : 1;
}
