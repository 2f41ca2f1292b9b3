// A start from the desktop's menu: the working folder follows the desktop's
// documents folder, what was made is told in an information box and what could
// not be made in the failure box, and a folder that cannot be made leaves the
// program where it was started.

#include "ui/DesktopStart.h"
#include "ui/MessageBox.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include "TestFiles.h"

using namespace Qt::StringLiterals;

namespace {

// A home whose desktop names its documents folder in user-dirs.dirs, and the
// boxes the program shows, captured.
struct Desktop
{
    QTemporaryDir home;
    QStringList information;
    QStringList failures;
    QString started = QDir::currentPath();

    explicit Desktop(const QString &documentsEntry)
    {
        qputenv("HOME", QFile::encodeName(home.path()));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(u".config"_s)));
        QDir(home.path()).mkdir(u".config"_s);
        TestFiles::write(home.filePath(u".config/user-dirs.dirs"_s),
                         "XDG_DOCUMENTS_DIR=\"" + documentsEntry.toUtf8() + "\"\n");
        MessageBox::captureInformationForTests(&information);
        MessageBox::captureForTests(&failures);
    }
    ~Desktop()
    {
        MessageBox::captureInformationForTests(nullptr);
        MessageBox::captureForTests(nullptr);
        QDir::setCurrent(started);
    }
    // Starts from the menu; returns the folder the program then works in.
    QString start()
    {
        QDir::setCurrent(started);
        EnterDesktopFolder();
        return QDir::currentPath();
    }
};

// Where the program looks for the installed sample; beside a test there is not
// even its folder.
QString sample()
{
    return QDir::cleanPath(QCoreApplication::applicationDirPath() + u"/../share/vermata/Шаблон.doc"_s);
}

} // namespace

class TestDesktopStart : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void worksInTheDesktopsDocumentsFolder();
    void staysWhereStartedWhenTheFolderCannotBeMade();
};

void TestDesktopStart::worksInTheDesktopsDocumentsFolder()
{
    Desktop desktop(u"$HOME/Мои документы"_s);
    const QString folder = desktop.home.filePath(u"Мои документы/Вермата"_s);
    const QString missingSample =
        u"Не удалось прочитать образец шаблона «%1»: Invalid filename."_s.arg(sample());

    QCOMPARE(desktop.start(), folder);
    QCOMPARE(desktop.information.size(), 1);
    QVERIFY2(desktop.information[0].startsWith(
                 u"Создана рабочая папка «%1». В ней: пустой список рубрик «Рубрики.txt» "
                 u"и пустой файл объявлений «x.txt»."_s.arg(folder)),
             qPrintable(desktop.information[0]));
    QCOMPARE(desktop.failures, QStringList{missingSample});

    // The next start finds the files; only the template is still missing.
    desktop.information.clear();
    desktop.failures.clear();
    QCOMPARE(desktop.start(), folder);
    QCOMPARE(desktop.information, QStringList());
    QCOMPARE(desktop.failures, QStringList{missingSample});
}

void TestDesktopStart::staysWhereStartedWhenTheFolderCannotBeMade()
{
    Desktop desktop(u"$HOME/документы"_s);
    QVERIFY(TestFiles::write(desktop.home.filePath(u"документы"_s), "a file, not a folder"));

    QCOMPARE(desktop.start(), desktop.started);
    QCOMPARE(desktop.information, QStringList());
    QCOMPARE(desktop.failures, QStringList{u"Не удалось создать рабочую папку «%1»: Invalid filename."_s.arg(
                                   desktop.home.filePath(u"документы/Вермата"_s))});
}

QTEST_MAIN(TestDesktopStart)
#include "test_desktopstart.moc"
