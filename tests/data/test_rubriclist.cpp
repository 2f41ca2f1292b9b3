// The rubric list file: reading and appending a rubric.

#include "data/RubricListFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "TestFiles.h"

using namespace Qt::StringLiterals;
using namespace TestFiles;

namespace {

const QByteArray kAvtoRabota = QByteArray::fromHex("C0E2F2EE0D0AD0E0E1EEF2E0"); // Авто CR LF Работа
const QByteArray kUslugi = QByteArray::fromHex("D3F1EBF3E3E8");                 // Услуги

} // namespace

class TestRubricList : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readsNamesWhole();
    void append_data();
    void append();
    void appendHasNoLineLimit();
    void appendFailures_data();
    void appendFailures();
};

void TestRubricList::readsNamesWhole()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"Рубрики.txt"_s);
    QVERIFY(write(path, kAvtoRabota + "\r\n\r\n \xc0 \r\n\xc0\xe2\xf2\xee\r\n"));
    const auto names = RubricListFile::read(path);
    QVERIFY(names.ok());
    QCOMPARE(names.value(), (QStringList{u"Авто"_s, u"Работа"_s, QString(), u" А "_s, u"Авто"_s}));
}

void TestRubricList::append_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("after");
    const QByteArray twenty = QByteArray::fromHex("C0E2F2EE0D0AD0E0E1EEF2E00D0AD3F1EBF3E3E8");
    QTest::addRow("12 bytes to 20") << kAvtoRabota << u"Услуги"_s << twenty;
    QTest::addRow("trailing CR LF dropped") << kAvtoRabota + "\r\n" << u"Услуги"_s << twenty;
    QTest::addRow("bare LF becomes CR LF")
        << QByteArray(kAvtoRabota).replace("\r\n", "\n") << u"Услуги"_s << twenty;
    QTest::addRow("empty file") << QByteArray() << u"Услуги"_s << kUslugi;
    QTest::addRow("empty line kept") << QByteArray("a\r\n\r\nb") << u"c"_s << QByteArray("a\r\n\r\nb\r\nc");
    QTest::addRow("after a final line end")
        << QByteArray("a\r\nb\r\n") << u"c"_s << QByteArray("a\r\nb\r\nc");
    QTest::addRow("duplicate name") << QByteArray("a") << u"a"_s << QByteArray("a\r\na");
    QTest::addRow("blanks kept") << QByteArray("a") << u"  b "_s << QByteArray("a\r\n  b ");
    // Its bucket file's name is 255 bytes as the file system counts them (two
    // per Cyrillic letter): the longest there may be.
    const QString longest = QString(125, u'Ж') + u'a';
    QTest::addRow("longest name") << QByteArray("a") << longest << "a\r\n" + cp1251(longest);
}

void TestRubricList::append()
{
    QFETCH(QByteArray, before);
    QFETCH(QString, name);
    QFETCH(QByteArray, after);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"Рубрики.txt"_s);
    QVERIFY(write(path, before));
    const Status s = RubricListFile::AppendRubric(path, name);
    QVERIFY2(s.ok(), qPrintable(s.message()));
    QCOMPARE(read(path), after);
}

void TestRubricList::appendHasNoLineLimit()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"Рубрики.txt"_s);
    QByteArray before;
    for (int i = 0; i < 1500; ++i)
        before += "r" + QByteArray::number(i) + "\r\n";
    before.chop(2);
    QVERIFY(write(path, before));
    QVERIFY(RubricListFile::AppendRubric(path, u"new"_s).ok());
    const auto names = RubricListFile::read(path);
    QCOMPARE(names->size(), 1501);
    QCOMPARE(names->first(), u"r0"_s);
    QCOMPARE(names->last(), u"new"_s);
}

void TestRubricList::appendFailures_data()
{
    QTest::addColumn<bool>("exists");
    QTest::addColumn<bool>("writeProtected");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("message");
    QTest::addRow("missing file") << false << false << u"Авто"_s << u"File not found"_s;
    QTest::addRow("write-protected") << true << true << u"Авто"_s << u"File access denied"_s;
    // Refused names: the message names the cause; the file is not touched.
    QTest::addRow("name outside the code page") << true << false << u"Straße ü"_s << u"Windows-1251"_s;
    QTest::addRow("line break in the name") << true << false << u"Авто\nРабота"_s << u"Перевод строки"_s;
    QTest::addRow("CR in the name") << true << false << u"Авто\r"_s << u"Перевод строки"_s;
    QTest::addRow("CR LF and |") << true << false << u"C\r\nD|E"_s << u"«|»"_s;
    QTest::addRow("empty name") << true << false << QString() << u"не задано"_s;
    QTest::addRow("| in the name") << true << false << u"Авто|Мото"_s << u"разделяет поля"_s;
    QTest::addRow("/ in the name") << true << false << u"Авто/Мото"_s << u"«/»"_s;
    QTest::addRow("NUL in the name") << true << false << u"Авто"_s + QChar(0) << u"U+0000"_s;
    QTest::addRow("bucket name too long")
        << true << false << QString(125, u'Ж') + u"ab"_s << u"слишком длинное"_s;
    QTest::addRow("refused on a missing file") << false << false << u"a|b"_s << u"«|»"_s;
}

void TestRubricList::appendFailures()
{
    QFETCH(bool, exists);
    QFETCH(bool, writeProtected);
    QFETCH(QString, name);
    QFETCH(QString, message);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"Рубрики.txt"_s);
    if (exists)
        QVERIFY(write(path, kAvtoRabota));
    if (writeProtected)
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner));

    const Status s = RubricListFile::AppendRubric(path, name);
    QVERIFY(!s.ok());
    if (s.message().startsWith(u"File"_s))
        QCOMPARE(s.message(), message);
    else
        QVERIFY2(s.message().contains(message), qPrintable(s.message()));
    QCOMPARE(read(path), exists ? kAvtoRabota : QByteArray("<missing>"));
}

QTEST_GUILESS_MAIN(TestRubricList)
#include "test_rubriclist.moc"
