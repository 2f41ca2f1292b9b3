// Times the document engine: open a template, append the headings and ads of
// an issue, save. For each size and format a child process runs the builds, so
// that its peak resident memory belongs to that case alone. In the same run it
// times two references on the same paragraphs: python-docx appending directly
// in front of the body's sectPr, and the floor, which only builds the same
// document XML in memory and deflates it with zlib at level 1.
//
//   word_bench [--runs N] [--sizes 1000,10000,100000] [--no-python]

#include "word/DocumentAssembler.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include <zip.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int kRubrics = 50;

QString sourceFile(const QString &relative)
{
    return QStringLiteral(VERMATA_SOURCE_DIR) + u'/' + relative;
}

QString templateFor(const QString &format)
{
    if (format == u"docx"_s)
        return sourceFile(u"tests/fixtures/word/template.docx"_s);
    if (format == u"odt"_s)
        return sourceFile(u"tests/fixtures/word/template.odt"_s);
    return sourceFile(u"examples/Шаблон.doc"_s);
}

// 50 headings and n ads of about 60 Cyrillic characters, the same every run.
QStringList issueTexts(int n)
{
    static const QStringList words = {
        u"продаётся"_s, u"дом"_s,      u"гараж"_s,     u"недорого"_s, u"срочно"_s,   u"комната"_s,
        u"в"_s,         u"центре"_s,   u"телефон"_s,   u"куплю"_s,    u"щенков"_s,   u"сдаётся"_s,
        u"квартира"_s,  u"с"_s,        u"ремонтом"_s,  u"мебель"_s,   u"Заречье"_s,  u"обмен"_s,
        u"велосипед"_s, u"детский"_s,  u"картофель"_s, u"дрова"_s,    u"берёзовые"_s, u"звоните"_s,
    };
    QStringList texts;
    texts.reserve(n + kRubrics);
    quint32 state = 12345;
    for (int r = 0; r < kRubrics; ++r) {
        texts.append(u"Рубрика № %1"_s.arg(r + 1));
        const int ads = n / kRubrics + (r < n % kRubrics ? 1 : 0);
        for (int a = 0; a < ads; ++a) {
            QString text;
            while (text.size() < 56) {
                state = state * 1103515245u + 12345u;
                text += words[(state >> 16) % words.size()] + u' ';
            }
            text += u"8-900-%1"_s.arg(state % 10000, 4, 10, QChar(u'0'));
            texts.append(text);
        }
    }
    return texts;
}

qint64 statusKb(const char *field)
{
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(qsizetype(qstrlen(field))).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values[values.size() / 2];
}

qint64 mainPartSize(const QString &file, const QString &format)
{
    if (format == u"rtf"_s)
        return QFileInfo(file).size();
    int error = 0;
    zip_t *zip = zip_open(QFile::encodeName(file).constData(), ZIP_RDONLY, &error);
    if (!zip)
        return -1;
    zip_stat_t st;
    const char *part = format == u"docx"_s ? "word/document.xml" : "content.xml";
    const qint64 size = zip_stat(zip, part, 0, &st) == 0 ? qint64(st.size) : -1;
    zip_discard(zip);
    return size;
}

// Child: the engine's builds. Prints median seconds, peak RSS growth (kB),
// main part size and file size.
int runEngine(const QString &format, int n, int runs, const QString &dir)
{
    const QStringList texts = issueTexts(n);
    const QString templatePath = templateFor(format);
    const QString output = dir + u"/issue-"_s + format + u'-' + QString::number(n) + u".out"_s;
    QFile clear(u"/proc/self/clear_refs"_s);
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5"); // resets VmHWM to the current RSS
    clear.close();
    const qint64 rssBefore = statusKb("VmRSS:");
    QList<double> times;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        DocumentAssembler assembler;
        Status status = assembler.OpenTemplate(templatePath);
        for (const QString &text : texts) {
            if (status.ok())
                status = assembler.AppendParagraph(text);
        }
        if (status.ok())
            status = assembler.SaveDocumentAs(output);
        (void)assembler.CloseDocument();
        assembler.ReleaseWord();
        times.append(timer.nsecsElapsed() / 1e9);
        if (!status.ok()) {
            std::fprintf(stderr, "%s\n", qPrintable(status.message()));
            return 1;
        }
    }
    std::printf("%.6f %lld %lld %lld\n", median(times), statusKb("VmHWM:") - rssBefore,
                mainPartSize(output, format), QFileInfo(output).size());
    return 0;
}

// The floor: the same document XML built in memory and deflated at level 1.
int runFloor(int n, int runs)
{
    const QStringList texts = issueTexts(n);
    const QByteArray head = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?><w:document "
                            "xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"><w:body>";
    const QByteArray paragraphOpen =
        "<w:p><w:pPr><w:pStyle w:val=\"AdText\" /><w:spacing w:after=\"60\" /><w:jc w:val=\"both\" /><w:rPr>"
        "<w:rFonts w:ascii=\"Arial\" w:hAnsi=\"Arial\" w:cs=\"Arial\" /><w:sz w:val=\"20\" /></w:rPr></w:pPr><w:r><w:rPr>"
        "<w:rFonts w:ascii=\"Arial\" w:hAnsi=\"Arial\" w:cs=\"Arial\" /><w:sz w:val=\"20\" /></w:rPr>"
        "<w:t xml:space=\"preserve\">";
    const QByteArray paragraphClose = "</w:t></w:r></w:p>";
    const QByteArray tail = "<w:sectPr><w:pgSz w:w=\"11906\" w:h=\"16838\" /></w:sectPr></w:body></w:document>";
    QList<double> times;
    qsizetype xmlSize = 0;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        qsizetype most = head.size() + tail.size();
        for (const QString &text : texts)
            most += paragraphOpen.size() + paragraphClose.size() + text.size() * 3;
        QByteArray xml;
        xml.reserve(most);
        xml += head;
        for (const QString &text : texts) {
            xml += paragraphOpen;
            // UTF-8 in place; the generated texts hold nothing to escape and
            // nothing outside the BMP.
            const qsizetype at = xml.size();
            xml.resize(at + text.size() * 3);
            char *p = xml.data() + at;
            for (const QChar ch : text) {
                const char16_t c = ch.unicode();
                if (c < 0x80) {
                    *p++ = char(c);
                } else if (c < 0x800) {
                    *p++ = char(0xC0 | (c >> 6));
                    *p++ = char(0x80 | (c & 0x3F));
                } else {
                    *p++ = char(0xE0 | (c >> 12));
                    *p++ = char(0x80 | ((c >> 6) & 0x3F));
                    *p++ = char(0x80 | (c & 0x3F));
                }
            }
            xml.resize(p - xml.constData());
            xml += paragraphClose;
        }
        xml += tail;
        z_stream z{};
        deflateInit2(&z, 1, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
        QByteArray out(qsizetype(deflateBound(&z, uLong(xml.size()))), Qt::Uninitialized);
        z.next_in = reinterpret_cast<Bytef *>(xml.data());
        z.avail_in = uInt(xml.size());
        z.next_out = reinterpret_cast<Bytef *>(out.data());
        z.avail_out = uInt(out.size());
        deflate(&z, Z_FINISH);
        deflateEnd(&z);
        times.append(timer.nsecsElapsed() / 1e9);
        xmlSize = xml.size();
    }
    std::printf("%.6f %lld\n", median(times), qint64(xmlSize));
    return 0;
}

QStringList runChild(const QStringList &arguments)
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), arguments);
    child.waitForFinished(-1);
    if (child.exitCode() != 0) {
        std::fprintf(stderr, "child %s failed: %s\n", qPrintable(arguments.join(u' ')), child.readAllStandardError().constData());
        return {};
    }
    return QString::fromUtf8(child.readAllStandardOutput()).simplified().split(u' ');
}

double runPython(int n, int runs, const QString &dir)
{
    const QString paragraphs = dir + u"/paragraphs.txt"_s;
    QFile file(paragraphs);
    if (!file.open(QIODevice::WriteOnly))
        return -1;
    for (const QString &text : issueTexts(n))
        file.write(text.toUtf8() + '\n');
    file.close();
    QList<double> times;
    for (int run = 0; run < runs; ++run) {
        QProcess python;
        python.start(u"/usr/bin/python3"_s, {sourceFile(u"bench/docx_direct_append.py"_s), templateFor(u"docx"_s), paragraphs,
                                              dir + u"/python.docx"_s});
        python.waitForFinished(-1);
        if (python.exitCode() != 0) {
            std::fprintf(stderr, "python-docx failed: %s\n", python.readAllStandardError().constData());
            return -1;
        }
        times.append(python.readAllStandardOutput().trimmed().toDouble());
    }
    return median(times);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 6 && args[1] == u"--engine"_s)
        return runEngine(args[2], args[3].toInt(), args[4].toInt(), args[5]);
    if (args.size() == 4 && args[1] == u"--floor"_s)
        return runFloor(args[2].toInt(), args[3].toInt());

    int runs = 5;
    QList<int> sizes = {1000, 10000, 100000};
    bool python = true;
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == u"--runs"_s && i + 1 < args.size()) {
            runs = args[++i].toInt();
        } else if (args[i] == u"--sizes"_s && i + 1 < args.size()) {
            sizes.clear();
            for (const QString &size : args[++i].split(u','))
                sizes.append(size.toInt());
        } else if (args[i] == u"--no-python"_s) {
            python = false;
        }
    }
    QTemporaryDir dir;
    std::printf("word_bench: median of %d runs, paragraphs = ads + %d headings, ~60 Cyrillic characters each\n\n", runs,
                kRubrics);
    std::printf("%-6s %8s %10s %10s %10s %10s %10s %10s %10s\n", "format", "ads", "engine s", "floor s", "x floor",
                "python s", "x faster", "xml MB", "peak/xml");
    for (const int n : sizes) {
        const QStringList floor = runChild({u"--floor"_s, QString::number(n), QString::number(runs)});
        const double pythonTime = python ? runPython(n, std::max(1, std::min(runs, 3)), dir.path()) : -1;
        for (const QString &format : {u"docx"_s, u"odt"_s, u"rtf"_s}) {
            const QStringList r = runChild({u"--engine"_s, format, QString::number(n), QString::number(runs), dir.path()});
            if (r.size() < 4)
                return 1;
            const double seconds = r[0].toDouble();
            const double peakKb = r[1].toDouble();
            const double xml = r[2].toDouble();
            const bool docx = format == u"docx"_s;
            std::printf("%-6s %8d %10.4f %10s %10s %10s %10s %10.1f %10.2f\n", qPrintable(format), n, seconds,
                        docx ? qPrintable(QString::number(floor.value(0).toDouble(), 'f', 4)) : "",
                        docx ? qPrintable(QString::number(seconds / floor.value(0).toDouble(), 'f', 2)) : "",
                        docx && pythonTime > 0 ? qPrintable(QString::number(pythonTime, 'f', 3)) : "",
                        docx && pythonTime > 0 ? qPrintable(QString::number(pythonTime / seconds, 'f', 1)) : "",
                        xml / 1e6, peakKb * 1024 / xml);
        }
    }
    std::printf("\npeak/xml: growth of peak RSS during the builds over the main part's XML size "
                "(RTF: the file size)\n");
    return 0;
}
