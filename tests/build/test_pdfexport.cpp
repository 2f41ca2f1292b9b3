// The PDF of an issue document, through LibreOffice: made beside the document
// from each format, and the messages when LibreOffice is missing, fails or
// takes too long, none of which touches an earlier PDF.

#include "build/PdfExport.h"
#include "word/DocumentAssembler.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "TestFiles.h"
#include "word/WordTestSupport.h"

using namespace Qt::StringLiterals;
using namespace TestFiles;

class TestPdfExport : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void convertsTheIssue_data();
    void convertsTheIssue();
    void failures_data();
    void failures();
    void noIssueBuiltYet();

private:
    // Builds an issue from the fixture into "Выпуск.doc" in m_dir.
    QString buildIssue(const QString &templateName);
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestPdfExport::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

QString TestPdfExport::buildIssue(const QString &templateName)
{
    DocumentAssembler engine;
    const QString target = m_dir->filePath(u"Выпуск.doc"_s);
    Status status = engine.OpenTemplate(WordTest::fixture(templateName));
    for (const QString &text : {u"Недвижимость"_s, u"Сдаю гараж у реки"_s}) {
        if (status.ok())
            status = engine.AppendParagraph(text, u"Рубрика"_s);
    }
    if (status.ok())
        status = engine.SaveDocumentAs(target);
    return status.ok() ? target : QString();
}

void TestPdfExport::convertsTheIssue_data()
{
    QTest::addColumn<QString>("templateName");
    for (const char *name : {"styled.docx", "styled.odt", "styled.rtf"})
        QTest::addRow("%s", name) << QString::fromLatin1(name);
}

void TestPdfExport::convertsTheIssue()
{
    QFETCH(QString, templateName);
    const QString office = PdfExport::findOffice();
    if (office.isEmpty())
        QSKIP("LibreOffice (soffice) is not installed; install libreoffice-writer-nogui to make PDFs");
    QVERIFY(PdfExport::unavailableReason(office).isEmpty());
    const QString document = buildIssue(templateName);
    QVERIFY(!document.isEmpty());
    const Result<QString> pdf = PdfExport::convert(document);
    QVERIFY2(pdf.ok(), qPrintable(pdf.status().message()));
    QCOMPARE(pdf.value(), m_dir->filePath(u"Выпуск.pdf"_s));
    const QByteArray bytes = read(pdf.value());
    QVERIFY(bytes.startsWith("%PDF"));
    QVERIFY(bytes.contains("%%EOF"));
    // Only the PDF is added to the folder.
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot),
             (QStringList{u"Выпуск.doc"_s, u"Выпуск.pdf"_s}));
}

void TestPdfExport::failures_data()
{
    QTest::addColumn<QString>("script"); // stands in for LibreOffice; empty: none installed
    QTest::addColumn<int>("timeLimitMs");
    QTest::addColumn<QString>("message");
    QTest::addRow("LibreOffice not installed")
        << QString() << 10000 << u"Для сохранения в PDF нужен LibreOffice"_s;
    QTest::addRow("conversion fails") << u"echo 'Error: source file could not be loaded' >&2; exit 1"_s
                                      << 10000 << u"LibreOffice не смог сохранить «"_s;
    QTest::addRow("succeeds without a PDF") << u"exit 0"_s << 10000 << u"LibreOffice не смог сохранить «"_s;
    QTest::addRow("half a PDF") << u"for a; do o=$a; done; mkdir -p \"$(dirname \"$o\")/out\"; "
                                   u"printf 'garbage' > \"$(dirname \"$o\")/out/issue.pdf\""_s
                                << 10000 << u"LibreOffice не смог сохранить «"_s;
    QTest::addRow("takes too long") << u"exec sleep 30"_s << 1000
                                    << u"LibreOffice не закончил сохранение «"_s;
}

void TestPdfExport::failures()
{
    QFETCH(QString, script);
    QFETCH(int, timeLimitMs);
    QFETCH(QString, message);
    const QString document = buildIssue(u"template.odt"_s);
    QVERIFY(!document.isEmpty());
    const QString earlier = m_dir->filePath(u"Выпуск.pdf"_s);
    QVERIFY(write(earlier, "%PDF-1.4 earlier issue"));

    PdfExport::Options options;
    options.timeLimitMs = timeLimitMs;
    options.office.clear();
    if (!script.isEmpty()) {
        options.office = m_dir->filePath(u"fake-soffice"_s);
        QVERIFY(write(options.office, "#!/bin/sh\n" + script.toUtf8() + '\n'));
        QVERIFY(QFile::setPermissions(options.office, QFile::ReadOwner | QFile::ExeOwner));
    }
    const Result<QString> pdf = PdfExport::convert(document, options);
    QVERIFY(!pdf.ok());
    QVERIFY2(pdf.status().message().startsWith(message), qPrintable(pdf.status().message()));
    QCOMPARE(read(earlier), QByteArray("%PDF-1.4 earlier issue"));
}

void TestPdfExport::noIssueBuiltYet()
{
    const Result<QString> document = PdfExport::lastIssueDocument(m_dir->filePath(u"x.txt"_s));
    QVERIFY(!document.ok());
    QVERIFY(document.status().message().startsWith(u"В этой папке ещё не собран ни один выпуск"_s));
}

QTEST_GUILESS_MAIN(TestPdfExport)
#include "test_pdfexport.moc"
