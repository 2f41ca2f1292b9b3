// The text-file layer: Windows-1251 without loss, the reading rule, CR LF on
// write, the file error messages and atomic rewrites.

#include "files/AtomicFile.h"
#include "files/Cp1251.h"
#include "files/FileErrors.h"
#include "files/Status.h"
#include "files/TextFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "TestFiles.h"

#include <cerrno>
#include <sys/stat.h>

using namespace Qt::StringLiterals;
using namespace TestFiles;

namespace {} // namespace

class TestTextFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyByteRoundTrips();
    void knownCharacters_data();
    void knownCharacters();
    void unencodableCharacters_data();
    void unencodableCharacters();
    void readingRule_data();
    void readingRule();
    void writtenLinesEndInCrLf();
    void errorMessages_data();
    void errorMessages();
    void errnoToCodeAndMessage_data();
    void errnoToCodeAndMessage();
    void displayedMessageGetsFullStop_data();
    void displayedMessageGetsFullStop();
    void openFailures_data();
    void openFailures();
    void appendNeverCreates();
    void atomicWriteReplacesAndKeepsMode();
    void atomicWriteRefusals_data();
    void atomicWriteRefusals();
    void failedWriteLeavesOldFileWhole_data();
    void failedWriteLeavesOldFileWhole();
    void createMakesANewFile();
    void createNeverTouchesAnExistingName_data();
    void createNeverTouchesAnExistingName();
    void failedCreateLeavesTheNameFree();
};

void TestTextFile::everyByteRoundTrips()
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    const QString text = Cp1251::decode(all);
    QCOMPARE(text.size(), 256);
    QCOMPARE(QSet<QChar>(text.begin(), text.end()).size(), 256); // no two bytes share a character
    const auto back = Cp1251::encode(text);
    QVERIFY(back.has_value());
    QCOMPARE(*back, all);
}

void TestTextFile::knownCharacters_data()
{
    QTest::addColumn<int>("byte");
    QTest::addColumn<int>("unicode");
    QTest::addRow("A") << 0x41 << 0x41;
    QTest::addRow("capital A") << 0xC0 << 0x0410;
    QTest::addRow("small ya") << 0xFF << 0x044F;
    QTest::addRow("capital Yo") << 0xA8 << 0x0401;
    QTest::addRow("small yo") << 0xB8 << 0x0451;
    QTest::addRow("numero") << 0xB9 << 0x2116;
    QTest::addRow("capital dze") << 0xBD << 0x0405;
    QTest::addRow("small dze") << 0xBE << 0x0455;
    QTest::addRow("euro") << 0x88 << 0x20AC;
    QTest::addRow("en dash") << 0x96 << 0x2013;
    QTest::addRow("guillemet") << 0xAB << 0x00AB;
    QTest::addRow("unassigned 98h") << 0x98 << 0x0098;
}

void TestTextFile::knownCharacters()
{
    QFETCH(int, byte);
    QFETCH(int, unicode);
    QCOMPARE(int(Cp1251::toUnicode(uchar(byte))), unicode);
    QCOMPARE(Cp1251::encode(QString(QChar(unicode))).value(), QByteArray(1, char(byte)));
}

void TestTextFile::unencodableCharacters_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("first");
    QTest::addRow("all fine") << u"Сдам «дачу» № 5 – €"_s << 0;
    QTest::addRow("u umlaut") << u"Müller"_s << 0xFC;
    QTest::addRow("three quarters") << u"¾ л"_s << 0xBE;
    QTest::addRow("ukrainian ghe") << u"ґ"_s << 0; // 0xB4 in the code page
    QTest::addRow("chinese") << u"дом家"_s << 0x5BB6;
    QTest::addRow("emoji") << u"ok 😀"_s << 0x1F600;
}

void TestTextFile::unencodableCharacters()
{
    QFETCH(QString, text);
    QFETCH(int, first);
    const auto found = Cp1251::firstUnencodable(text);
    QCOMPARE(found.has_value() ? int(*found) : 0, first);
    QCOMPARE(Cp1251::encode(text).has_value(), first == 0);
}

void TestTextFile::readingRule_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QList<QByteArray>>("lines");
    using L = QList<QByteArray>;
    QTest::addRow("empty file") << QByteArray() << L{};
    QTest::addRow("one line, no end") << QByteArray("a") << L{"a"};
    QTest::addRow("final CR LF adds no line") << QByteArray("a\r\n") << L{"a"};
    QTest::addRow("LF alone ends a line") << QByteArray("a\nb\n") << L{"a", "b"};
    QTest::addRow("mixed ends") << QByteArray("a\r\nb\nc") << L{"a", "b", "c"};
    QTest::addRow("empty line between") << QByteArray("a\r\n\r\nb") << L{"a", "", "b"};
    QTest::addRow("just a line end") << QByteArray("\r\n") << L{""};
    QTest::addRow("two line ends") << QByteArray("\r\n\r\n") << L{"", ""};
    QTest::addRow("lone CR dropped") << QByteArray("a\rb\r\n") << L{"ab"};
    QTest::addRow("CR before CR LF dropped") << QByteArray("a\r\r\nb") << L{"a", "b"};
    QTest::addRow("CR at end of file") << QByteArray("a\r") << L{"a"};
    QTest::addRow("Ctrl+Z at line start ends file") << QByteArray("a\r\n\x1a"
                                                                  "b\r\n")
                                                    << L{"a"};
    QTest::addRow("Ctrl+Z first") << QByteArray("\x1a"
                                                "abc")
                                  << L{};
    QTest::addRow("Ctrl+Z inside a line kept") << QByteArray("a\x1a"
                                                             "b\r\nc")
                                               << L{"a\x1a"
                                                    "b",
                                                    "c"};
    QTest::addRow("high bytes untouched")
        << QByteArray("\xc0\xe2\xf2\xee\r\n\x98") << L{"\xc0\xe2\xf2\xee", "\x98"};
}

void TestTextFile::readingRule()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QList<QByteArray>, lines);
    QCOMPARE(TextFile::splitLines(bytes), lines);

    QTemporaryDir dir;
    const QString path = dir.filePath(u"f.txt"_s);
    QVERIFY(write(path, bytes));
    const auto read = TextFile::readLines(path);
    QVERIFY(read.ok());
    QCOMPARE(read->size(), lines.size());
    for (qsizetype i = 0; i < lines.size(); ++i)
        QCOMPARE(read.value()[i], Cp1251::decode(lines[i]));
}

void TestTextFile::writtenLinesEndInCrLf()
{
    QByteArray out;
    QVERIFY(TextFile::appendLine(out, u"Авто"_s));
    QVERIFY(TextFile::appendLine(out, QString()));
    QCOMPARE(out, QByteArray("\xc0\xe2\xf2\xee\r\n\r\n"));
    QVERIFY(!TextFile::appendLine(out, u"ü"_s));
}

void TestTextFile::errorMessages_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");
    QTest::addRow("2") << 2 << u"File not found"_s;
    QTest::addRow("3") << 3 << u"Invalid filename"_s;
    QTest::addRow("4") << 4 << u"Too many open files"_s;
    QTest::addRow("5") << 5 << u"File access denied"_s;
    QTest::addRow("100") << 100 << u"Read beyond end of file"_s;
    QTest::addRow("101") << 101 << u"Disk full"_s;
    QTest::addRow("106") << 106 << u"Invalid numeric input"_s;
    QTest::addRow("32") << 32 << u"I/O error 32"_s;
}

void TestTextFile::errorMessages()
{
    QFETCH(int, code);
    QFETCH(QString, message);
    QCOMPARE(FileErrors::messageForCode(code), message);
}

void TestTextFile::errnoToCodeAndMessage_data()
{
    QTest::addColumn<int>("errnoValue");
    QTest::addColumn<bool>("fileDomain"); // a classic file code, not an errno
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");
    QTest::addRow("ENOENT") << int(ENOENT) << true << 2 << u"File not found"_s;
    QTest::addRow("EACCES") << int(EACCES) << true << 5 << u"File access denied"_s;
    QTest::addRow("EROFS") << int(EROFS) << true << 5 << u"File access denied"_s;
    QTest::addRow("EMFILE") << int(EMFILE) << true << 4 << u"Too many open files"_s;
    QTest::addRow("ENOSPC") << int(ENOSPC) << true << 101 << u"Disk full"_s;
    QTest::addRow("ENAMETOOLONG") << int(ENAMETOOLONG) << true << 3 << u"Invalid filename"_s;
    // errno numbers that coincide with classic codes keep their own domain.
    QTest::addRow("EIO") << int(EIO) << false << int(EIO) << u"I/O error 5"_s;
    QTest::addRow("ENXIO") << int(ENXIO) << false << int(ENXIO) << u"I/O error 6"_s;
    QTest::addRow("EXDEV") << int(EXDEV) << false << int(EXDEV) << u"I/O error 18"_s;
}

void TestTextFile::errnoToCodeAndMessage()
{
    QFETCH(int, errnoValue);
    QFETCH(bool, fileDomain);
    QFETCH(int, code);
    QFETCH(QString, message);
    const Status status = FileErrors::fromErrno(errnoValue, QDir::temp().filePath(u"x.txt"_s));
    QVERIFY(!status.ok());
    QCOMPARE(status.message(), message);
    QCOMPARE(status.code().value(), code);
    QCOMPARE(status.code().category() == FileErrors::fileErrorCategory(), fileDomain);
    QCOMPARE(status.code().category() == std::generic_category(), !fileDomain);
    if (!fileDomain)
        QVERIFY(status.code() != FileErrors::Code(code));
}

void TestTextFile::displayedMessageGetsFullStop_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("shown");
    QTest::addRow("plain") << u"File not found"_s << u"File not found."_s;
    QTest::addRow("already a stop") << u"Готово."_s << u"Готово."_s;
    QTest::addRow("ends in blank") << u"Ошибка "_s << u"Ошибка "_s;
    QTest::addRow("ends in bang") << u"Стоп!"_s << u"Стоп!"_s;
    QTest::addRow("ends in dash") << u"a -"_s << u"a -"_s;
    QTest::addRow("ends in slash") << u"a/"_s << u"a/."_s;
    QTest::addRow("ends in question") << u"Как?"_s << u"Как?."_s;
    QTest::addRow("empty") << QString() << u"."_s;
}

void TestTextFile::displayedMessageGetsFullStop()
{
    QFETCH(QString, message);
    QFETCH(QString, shown);
    QCOMPARE(messageForDisplay(message), shown);
}

void TestTextFile::openFailures_data()
{
    QTest::addColumn<QString>("relativePath");
    QTest::addColumn<QString>("message");
    QTest::addRow("missing file") << u"nope.txt"_s << u"File not found"_s;
    QTest::addRow("missing folder") << u"no-folder/x.txt"_s << u"Invalid filename"_s;
    QTest::addRow("a folder") << u"sub"_s << u"File access denied"_s;
    QTest::addRow("empty name") << QString() << u"File not found"_s;
}

void TestTextFile::openFailures()
{
    QFETCH(QString, relativePath);
    QFETCH(QString, message);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(u"sub"_s));
    const QString old = QDir::currentPath();
    QDir::setCurrent(dir.path());
    const auto read = TextFile::readBytes(relativePath);
    QDir::setCurrent(old);
    QVERIFY(!read.ok());
    QCOMPARE(read.status().message(), message);

    const QStringList mapped = {
        FileErrors::fromErrno(EMFILE, {}).message(), FileErrors::fromErrno(ENOSPC, {}).message(),
        FileErrors::fromErrno(EACCES, {}).message(), FileErrors::fromErrno(EIO, {}).message()};
    QCOMPARE(mapped, (QStringList{u"Too many open files"_s, u"Disk full"_s, u"File access denied"_s,
                                  u"I/O error %1"_s.arg(EIO)}));
}

void TestTextFile::appendNeverCreates()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"Авто.txt"_s);
    QCOMPARE(TextFile::appendToExisting(path, "x\r\n").message(), u"File not found"_s);
    QVERIFY(!QFile::exists(path));
    QVERIFY(TextFile::createEmpty(path).ok());
    QVERIFY(TextFile::appendToExisting(path, "a\r\n").ok());
    QVERIFY(TextFile::appendToExisting(path, "b\r\n").ok());
    QCOMPARE(read(path), QByteArray("a\r\nb\r\n"));
    QVERIFY(TextFile::createEmpty(path).ok());
    QCOMPARE(read(path), QByteArray());
}

void TestTextFile::atomicWriteReplacesAndKeepsMode()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"x.txt"_s);
    QVERIFY(write(path, "old content that is longer"));
    QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    QVERIFY(AtomicFile::write(path, "new").ok());
    QCOMPARE(read(path), QByteArray("new"));
    QCOMPARE(QFile::permissions(path) & QFileDevice::Permissions(0x7077),
             QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"x.txt"_s});

    // Relative names resolve against the working directory at the moment of the call.
    const QString old = QDir::currentPath();
    QDir::setCurrent(dir.path());
    const Status relative = AtomicFile::write(u"y.txt"_s, "y");
    QDir::setCurrent(old);
    QVERIFY(relative.ok());
    QCOMPARE(read(dir.filePath(u"y.txt"_s)), QByteArray("y"));
}

void TestTextFile::atomicWriteRefusals_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("message");
    QTest::addRow("write-protected") << u"x.txt"_s << u"File access denied"_s;
    QTest::addRow("a folder") << u"sub"_s << u"File access denied"_s;
    QTest::addRow("missing folder") << u"nowhere/x.txt"_s << u"Invalid filename"_s;
}

void TestTextFile::atomicWriteRefusals()
{
    QFETCH(QString, name);
    QFETCH(QString, message);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(u"sub"_s));
    const QString protectedFile = dir.filePath(u"x.txt"_s);
    QVERIFY(write(protectedFile, "keep me"));
    QVERIFY(QFile::setPermissions(protectedFile, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));

    const Status s = AtomicFile::write(dir.filePath(name), "new");
    QVERIFY(!s.ok());
    QCOMPARE(s.message(), message);
    QCOMPARE(read(protectedFile), QByteArray("keep me"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"x.txt"_s});
}

void TestTextFile::failedWriteLeavesOldFileWhole_data()
{
    QTest::addColumn<qint64>("afterBytes");
    QTest::addColumn<int>("error");
    QTest::addColumn<QString>("message");
    QTest::addRow("disk full at once") << qint64(0) << int(ENOSPC) << u"Disk full"_s;
    QTest::addRow("disk full midway") << qint64(70000) << int(ENOSPC) << u"Disk full"_s;
    QTest::addRow("I/O error midway") << qint64(5) << int(EIO) << u"I/O error %1"_s.arg(EIO);
}

void TestTextFile::failedWriteLeavesOldFileWhole()
{
    QFETCH(qint64, afterBytes);
    QFETCH(int, error);
    QFETCH(QString, message);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"x.txt"_s);
    const QByteArray old = "1|old ad|Авто|\r\n";
    QVERIFY(write(path, old));

    AtomicFile::injectWriteFailureForTests(afterBytes, error);
    const Status s = AtomicFile::write(path, QByteArray(200000, 'n'));
    QCOMPARE(s.message(), message);
    QCOMPARE(read(path), old);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"x.txt"_s});

    // The injection was for one write only.
    QVERIFY(AtomicFile::write(path, "fresh").ok());
    QCOMPARE(read(path), QByteArray("fresh"));
}

void TestTextFile::createMakesANewFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"Шаблон.doc"_s);
    QVERIFY(AtomicFile::create(path, "{\\rtf1}").ok());
    QCOMPARE(read(path), QByteArray("{\\rtf1}"));
    QVERIFY(AtomicFile::create(dir.filePath(u"x.txt"_s), {}).ok());
    QCOMPARE(read(dir.filePath(u"x.txt"_s)), QByteArray());
    // Readable and writable for the user; the umask decides for the others.
    QCOMPARE(QFile::permissions(path) & (QFile::ReadUser | QFile::WriteUser | QFile::ExeUser),
             QFile::ReadUser | QFile::WriteUser);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
             (QStringList{u"x.txt"_s, u"Шаблон.doc"_s}));
}

void TestTextFile::createNeverTouchesAnExistingName_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addRow("file") << u"file"_s;
    QTest::addRow("empty file") << u"empty"_s;
    QTest::addRow("folder") << u"folder"_s;
    QTest::addRow("link to a file") << u"link"_s;
    QTest::addRow("dangling link") << u"dangling"_s;
}

void TestTextFile::createNeverTouchesAnExistingName()
{
    QFETCH(QString, kind);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"x.txt"_s);
    const QString other = dir.filePath(u"other.txt"_s);
    QVERIFY(write(other, "other"));
    if (kind == u"file")
        QVERIFY(write(path, "1|kept|Auto|\r\n"));
    else if (kind == u"empty")
        QVERIFY(write(path, {}));
    else if (kind == u"folder")
        QVERIFY(QDir(dir.path()).mkdir(u"x.txt"_s));
    else if (kind == u"link")
        QVERIFY(QFile::link(other, path));
    else
        QVERIFY(QFile::link(dir.filePath(u"nowhere.txt"_s), path));
    const QStringList before = QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System);
    const QByteArray content = read(path);

    const Status s = AtomicFile::create(path, "new");
    QVERIFY(!s.ok());
    QVERIFY(s.code() == std::errc::file_exists);
    QCOMPARE(read(path), content);
    QCOMPARE(read(other), QByteArray("other"));
    QCOMPARE(QFileInfo(path).isSymLink(), kind == u"link" || kind == u"dangling");
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System), before);
}

void TestTextFile::failedCreateLeavesTheNameFree()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"Шаблон.doc"_s);
    AtomicFile::injectWriteFailureForTests(3, ENOSPC);
    const Status s = AtomicFile::create(path, "template bytes");
    QCOMPARE(s.message(), u"Disk full"_s);
    QVERIFY(QDir(dir.path()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot));
    QCOMPARE(AtomicFile::create(dir.filePath(u"missing/x.txt"_s), {}).message(), u"Invalid filename"_s);
}

QTEST_GUILESS_MAIN(TestTextFile)
#include "test_textfile.moc"
