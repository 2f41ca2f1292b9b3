#include "build/PdfExport.h"

#include "build/IssueArchive.h"
#include "files/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

using namespace Qt::Literals::StringLiterals;

namespace PdfExport {

namespace {

constexpr int kPollMs = 100;

QString lastLine(const QByteArray &output)
{
    const QStringList lines = QString::fromLocal8Bit(output).trimmed().split(u'\n', Qt::SkipEmptyParts);
    return lines.isEmpty() ? QString() : lines.last().trimmed();
}

} // namespace

QString findOffice()
{
    for (const QString &name : {u"soffice"_s, u"libreoffice"_s}) {
        const QString path = QStandardPaths::findExecutable(name);
        if (!path.isEmpty())
            return path;
    }
    return {};
}

QString unavailableReason(const QString &office)
{
    if (!office.isEmpty())
        return {};
    return u"Для сохранения в PDF нужен LibreOffice (программа soffice); установите пакет "
           u"libreoffice-writer-nogui или libreoffice-writer"_s;
}

Result<QString> lastIssueDocument(const QString &adsPath)
{
    const Result<QList<IssueArchive::Record>> records = IssueArchive::list(adsPath);
    if (!records.ok())
        return records.status();
    if (records.value().isEmpty())
        return Status::failure(u"В этой папке ещё не собран ни один выпуск: сначала соберите выпуск"_s);
    const QString document = records.value().last().target;
    if (!QFileInfo(document).isFile())
        return Status::failure(
            u"Документ последнего выпуска «%1» не найден"_s.arg(QDir::toNativeSeparators(document)));
    return document;
}

QString pdfPathFor(const QString &document)
{
    const QFileInfo info(document);
    return info.absoluteDir().filePath(info.completeBaseName() + u".pdf"_s);
}

Result<QString> convert(const QString &document, const Options &options)
{
    if (const QString reason = unavailableReason(options.office); !reason.isEmpty())
        return Status::failure(reason);
    const QFileInfo source(document);
    const QString shown = QDir::toNativeSeparators(source.absoluteFilePath());
    if (!source.isFile())
        return Status::failure(u"Документ выпуска «%1» не найден"_s.arg(shown));
    const QString target = pdfPathFor(document);

    // The profile and the PDF go to a private folder first; the PDF is moved
    // beside the document only when whole.
    QTemporaryDir work;
    if (!work.isValid())
        return Status::failure(u"Не удалось создать временную папку для PDF: %1"_s.arg(work.errorString()));
    // LibreOffice names its output after the document: copy it under a plain
    // name so that the name it picks is known.
    const QString input = work.filePath(u"issue."_s + (IssueArchive::documentFormat(document).isEmpty()
                                                           ? source.suffix()
                                                           : IssueArchive::documentFormat(document)));
    if (!QFile::copy(source.absoluteFilePath(), input))
        return Status::failure(u"Не удалось прочитать документ выпуска «%1»"_s.arg(shown));

    QProcess process;
    process.setProgram(options.office);
    process.setArguments(
        {u"-env:UserInstallation="_s + QUrl::fromLocalFile(work.filePath(u"profile"_s)).toString(),
         u"--headless"_s, u"--norestore"_s, u"--convert-to"_s, u"pdf"_s, u"--outdir"_s,
         work.filePath(u"out"_s), input});
    process.start();
    if (!process.waitForStarted())
        return Status::failure(
            u"Не удалось запустить LibreOffice (%1): %2"_s.arg(options.office, process.errorString()));
    int waited = 0;
    while (!process.waitForFinished(kPollMs)) {
        waited += kPollMs;
        const bool goOn = !options.whileWaiting || options.whileWaiting();
        if (!goOn || waited >= options.timeLimitMs) {
            process.kill();
            process.waitForFinished();
            if (!goOn)
                return Status::failure(u"Сохранение в PDF прервано"_s);
            return Status::failure(
                u"LibreOffice не закончил сохранение «%1» в PDF за %2 с; PDF не сохранён"_s.arg(
                    shown, QString::number(options.timeLimitMs / 1000)));
        }
    }
    QFile pdf(work.filePath(u"out/issue.pdf"_s));
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0 ||
        !pdf.open(QIODevice::ReadOnly)) {
        const QString detail = lastLine(process.readAllStandardError() + process.readAllStandardOutput());
        return Status::failure(u"LibreOffice не смог сохранить «%1» в PDF%2"_s.arg(
            shown, detail.isEmpty() ? QString() : u" (%1)"_s.arg(detail)));
    }
    const QByteArray bytes = pdf.readAll();
    if (!bytes.startsWith("%PDF"))
        return Status::failure(u"LibreOffice не смог сохранить «%1» в PDF"_s.arg(shown));
    if (const Status written = AtomicFile::write(target, bytes); !written.ok())
        return Status::failure(
            u"Не удалось записать «%1»: %2"_s.arg(QDir::toNativeSeparators(target), written.message()));
    return target;
}

} // namespace PdfExport
