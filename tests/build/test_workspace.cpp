// Adding a rubric through the workspace: the rubric list and the bucket file,
// and every name refused before anything is touched.

#include "build/Workspace.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include "TestFiles.h"

#include <memory>
#include <sys/stat.h>

using namespace Qt::StringLiterals;
using namespace TestFiles;

namespace {

const QByteArray kRubrics = cp1251(u"Авто\r\nРабота"_s);

} // namespace

class TestWorkspace : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void addRubric_data();
    void addRubric();
    void refusedRubrics_data();
    void refusedRubrics();
    void missingRubricList();
    void bucketCannotBeCreated();

private:
    std::unique_ptr<ScratchWorkingFolder> m_dir;
    std::unique_ptr<Workspace> m_workspace;
};

void TestWorkspace::init()
{
    m_dir = std::make_unique<ScratchWorkingFolder>();
    QVERIFY(m_dir->isValid());
    m_workspace = std::make_unique<Workspace>();
    QVERIFY(write(u"Рубрики.txt"_s, kRubrics));
    QVERIFY(write(u"x.txt"_s, "1|a|Авто|\r\n"));
}

void TestWorkspace::cleanup()
{
    m_workspace.reset();
    m_dir.reset();
}

void TestWorkspace::addRubric_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("oldBucket"); // "<missing>" for none
    QTest::addRow("new bucket") << u"Услуги"_s << QByteArray("<missing>");
    QTest::addRow("bucket of an earlier build emptied") << u"Услуги"_s << QByteArray("old\r\n");
    QTest::addRow("a name already listed") << u"Авто"_s << QByteArray("old\r\n");
    // 255 bytes of file name, the most the name check lets through: the file
    // system must take it.
    QTest::addRow("longest name") << QString(125, u'Ж') + u'a' << QByteArray("<missing>");
    QTest::addRow("blanks and a backslash") << u" a\\b "_s << QByteArray("<missing>");
}

void TestWorkspace::addRubric()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, oldBucket);
    const QString bucket = name + u".txt"_s;
    if (oldBucket != "<missing>")
        QVERIFY(write(bucket, oldBucket));
    QVERIFY(m_workspace->checkNewRubric(name).ok());
    const Status added = m_workspace->addRubric(name);
    QVERIFY2(added.ok(), qPrintable(added.message()));
    QCOMPARE(read(u"Рубрики.txt"_s), kRubrics + "\r\n" + cp1251(name));
    QCOMPARE(read(bucket), QByteArray());
}

void TestWorkspace::refusedRubrics_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("adsPath");
    QTest::addColumn<QString>("templatePath");
    QTest::addColumn<QString>("message"); // the start of it
    const QString x = u"x.txt"_s;
    const QString tpl = u"Шаблон.doc"_s;
    QTest::addRow("empty") << QString() << x << tpl << u"Название рубрики не задано"_s;
    QTest::addRow("|") << u"a|b"_s << x << tpl << u"Символ «|»"_s;
    QTest::addRow("line break") << u"a\r\nb"_s << x << tpl << u"Перевод строки"_s;
    QTest::addRow("outside Windows-1251") << u"Café ü"_s << x << tpl << u"Символ «é»"_s;
    QTest::addRow("/") << u"a/b"_s << x << tpl << u"Символ «/»"_s;
    QTest::addRow("NUL") << u"a"_s + QChar(0) << x << tpl << u"Нулевой символ"_s;
    QTest::addRow("the ads file")
        << u"x"_s << x << tpl
        << u"Рубрику «x» нельзя добавить: её рабочий файл «x.txt» — это файл объявлений"_s;
    QTest::addRow("the ads file by another name")
        << u"x"_s << u"./x.txt"_s << tpl << u"Рубрику «x» нельзя добавить"_s;
    QTest::addRow("the rubric list")
        << u"Рубрики"_s << x << tpl
        << u"Рубрику «Рубрики» нельзя добавить: её рабочий файл «Рубрики.txt» — это список рубрик"_s;
    QTest::addRow("the template")
        << u"tpl"_s << x << u"tpl.txt"_s
        << u"Рубрику «tpl» нельзя добавить: её рабочий файл «tpl.txt» — это шаблон"_s;
    QTest::addRow("the ads file, not yet written")
        << u"new"_s << u"new.txt"_s << tpl << u"Рубрику «new» нельзя добавить"_s;
    QTest::addRow("a folder") << u"Папка"_s << x << tpl
                              << u"Рубрику «Папка» нельзя добавить: «Папка.txt» — не обычный файл"_s;
    QTest::addRow("a pipe") << u"pipe"_s << x << tpl
                            << u"Рубрику «pipe» нельзя добавить: «pipe.txt» — не обычный файл"_s;
}

// Refused before the rubric list or any bucket is touched.
void TestWorkspace::refusedRubrics()
{
    QFETCH(QString, name);
    QFETCH(QString, adsPath);
    QFETCH(QString, templatePath);
    QFETCH(QString, message);
    m_workspace->adsPath = adsPath;
    m_workspace->templatePath = templatePath;
    QVERIFY(write(u"tpl.txt"_s, "template"));
    QVERIFY(QDir().mkdir(u"Папка.txt"_s));
    QCOMPARE(::mkfifo("pipe.txt", 0600), 0);
    const QMap<QString, QByteArray> before = snapshot(m_dir->path());

    const Status checked = m_workspace->checkNewRubric(name);
    const Status added = m_workspace->addRubric(name);
    QVERIFY(!checked.ok());
    QVERIFY2(checked.message().startsWith(message), qPrintable(checked.message()));
    QCOMPARE(added.message(), checked.message());
    QCOMPARE(snapshot(m_dir->path()), before);
}

// The list cannot take the name: no bucket either.
void TestWorkspace::missingRubricList()
{
    m_workspace->rubricsPath = u"Нет такого.txt"_s;
    const Status added = m_workspace->addRubric(u"Услуги"_s);
    QCOMPARE(added.message(), u"File not found"_s);
    QVERIFY(!QFile::exists(u"Услуги.txt"_s));
    QVERIFY(!QFile::exists(u"Нет такого.txt"_s));
}

// The rubric is listed; that its bucket could not be made is said, not
// passed over. Here the bucket's name is a link into a missing folder.
void TestWorkspace::bucketCannotBeCreated()
{
    QVERIFY(QFile::link(m_dir->filePath(u"нет такой папки/Услуги.txt"_s), u"Услуги.txt"_s));
    const Status added = m_workspace->addRubric(u"Услуги"_s);
    QVERIFY2(added.message().startsWith(u"Рубрика «Услуги» добавлена в список рубрик, но её рабочий файл "
                                        u"«Услуги.txt» создать не удалось: "_s),
             qPrintable(added.message()));
    QCOMPARE(read(u"Рубрики.txt"_s), kRubrics + "\r\n" + cp1251(u"Услуги"_s));
    QVERIFY(!QFile::exists(m_dir->filePath(u"нет такой папки"_s)));
}

QTEST_GUILESS_MAIN(TestWorkspace)
#include "test_workspace.moc"
