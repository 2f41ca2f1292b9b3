#include "app/CommandLine.h"

#include "build/IssuePlan.h"
#include "build/PdfExport.h"
#include "build/Workspace.h"
#include "word/DocumentAssembler.h"

#include <QTextStream>

using namespace Qt::Literals::StringLiterals;

namespace CommandLine {

namespace {

const QStringList kCommands = {u"--build"_s, u"--preview"_s, u"--help"_s, u"-h"_s};
const QString kPdf = u"--pdf"_s;
const QStringList kPathOptions = {u"--ads"_s, u"--rubrics"_s, u"--template"_s};

const QString kHelp = uR"(Использование / Usage:
  vermata                       открыть редактор / open the editor
  vermata --build ФАЙЛ [ключи]  собрать выпуск в ФАЙЛ без окна / build the issue into FILE, no window
  vermata --preview [ключи]     показать, что попадёт в выпуск / print what the next issue would hold
  vermata --pdf [--ads ПУТЬ]    сохранить последний собранный выпуск в PDF (нужен LibreOffice) /
                                save the issue last built as PDF beside it (needs LibreOffice)
  vermata --build ФАЙЛ --pdf    собрать выпуск и сохранить его в PDF / build the issue, then its PDF
  vermata --help                эта справка / this help

Ключи / options:
  --ads ПУТЬ        файл объявлений (по умолчанию x.txt) / ads file (default x.txt)
  --rubrics ПУТЬ    список рубрик (по умолчанию Рубрики.txt) / rubric list (default Рубрики.txt)
  --template ПУТЬ   шаблон (по умолчанию Шаблон.doc) / template (default Шаблон.doc)

Сборка работает в текущей папке так же, как кнопка «Создать»: заполняет файлы
рубрик, сохраняет выпуск, записывает его в папку «Выпуски» и снимает с каждого
объявления один выход. Сообщения об ошибках выводятся в стандартный поток ошибок.
The build works in the current folder exactly as the "Создать" button does: it
refills the rubric files, saves the issue, records it in the "Выпуски" folder
and takes one insertion off every ad. Errors go to standard error.

Коды завершения / exit status:
  0  успех / success (--preview: the build would go through)
  1  ошибка, объявления не изменены / failure, no ad charged (--preview: the build would stop)
  2  неверные ключи / usage error
  3  выпуск собран, но файл объявлений не записан / issue built, ads file not rewritten
  4  выпуск собран, но PDF не сохранён / issue built (--build --pdf), its PDF not saved
)"_s;

// A PDF of the issue last built beside the ads file; false after a message.
bool savePdf(const QString &adsPath, QTextStream &out, QTextStream &err)
{
    Result<QString> document = PdfExport::lastIssueDocument(adsPath);
    if (document.ok())
        document = PdfExport::convert(document.value());
    if (!document.ok()) {
        err << messageForDisplay(document.status().message()) << Qt::endl;
        return false;
    }
    out << u"PDF сохранён: %1\n"_s.arg(document.value());
    out.flush();
    return true;
}

} // namespace

bool wanted(const QStringList &arguments)
{
    for (const QString &argument : arguments) {
        if (kCommands.contains(argument) || kPathOptions.contains(argument) || argument == kPdf)
            return true;
    }
    return false;
}

int run(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    Workspace workspace;
    QString command;
    QString target;
    bool pdf = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        const bool takesValue = argument == u"--build"_s || kPathOptions.contains(argument);
        if (takesValue && i + 1 >= arguments.size()) {
            err << u"Ключу %1 нужно значение. Справка: vermata --help"_s.arg(argument) << Qt::endl;
            return UsageError;
        }
        if (kCommands.contains(argument)) {
            if (!command.isEmpty() && command != argument) {
                err << u"Можно выбрать только одно из --build, --preview, --help."_s << Qt::endl;
                return UsageError;
            }
            command = argument;
            if (argument == u"--build"_s)
                target = arguments[++i];
        } else if (argument == kPdf) {
            pdf = true;
        } else if (argument == u"--ads"_s) {
            workspace.adsPath = arguments[++i];
        } else if (argument == u"--rubrics"_s) {
            workspace.rubricsPath = arguments[++i];
        } else if (argument == u"--template"_s) {
            workspace.templatePath = arguments[++i];
        } else {
            err << u"Неизвестный ключ %1. Справка: vermata --help"_s.arg(argument) << Qt::endl;
            return UsageError;
        }
    }

    if (pdf && command == u"--preview"_s) {
        err << u"Ключ --pdf можно дать отдельно или вместе с --build."_s << Qt::endl;
        return UsageError;
    }
    if (pdf && command.isEmpty())
        return savePdf(workspace.adsPath, out, err) ? Success : Failed;

    if (command.isEmpty() || command == u"--help"_s || command == u"-h"_s) {
        out << kHelp;
        out.flush();
        return command.isEmpty() ? UsageError : Success;
    }

    if (Status loaded = workspace.loadAds(); !loaded) {
        err << u"Файл объявлений «%1»: %2"_s.arg(workspace.adsPath, messageForDisplay(loaded.message()))
            << Qt::endl;
        return Failed;
    }

    if (command == u"--preview"_s) {
        const IssuePlan::Plan plan =
            IssuePlan::make(workspace.ads().ads(),
                            {workspace.adsPath, workspace.rubricsPath, workspace.templatePath, QString()});
        out << IssuePlan::toText(plan, workspace.ads().ads());
        out.flush();
        for (const IssuePlan::Problem &problem : plan.problems) {
            if (problem.stopsBuild())
                return Failed;
        }
        return Success;
    }

    DocumentAssembler engine;
    const Workspace::BuildOutcome outcome = workspace.buildIssue(target, engine, 0);
    if (!outcome.document) {
        err << messageForDisplay(outcome.document.message()) << Qt::endl;
        return Failed;
    }
    out << u"Выпуск сохранён: %1\nОбъявлений до выпуска: %2, снято после выпуска: %3, осталось: %4\n"_s
               .arg(target)
               .arg(outcome.expiry.adsBefore)
               .arg(outcome.expiry.removed.size())
               .arg(workspace.ads().adCount());
    out.flush();
    if (!outcome.saved) {
        err << messageForDisplay(outcome.saved.message()) << Qt::endl;
        return AdsFileNotSaved;
    }
    if (pdf && !savePdf(workspace.adsPath, out, err))
        return PdfNotSaved;
    return Success;
}

} // namespace CommandLine
