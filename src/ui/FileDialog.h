#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QWidget;

// A file dialog of the program: its file type entries, default extension and
// initial file name are fixed when it is made, and it remembers the file last
// chosen with it and the file type entry then in use, offering both the next
// time. It accepts names that do not exist yet, does not ask before an
// existing file is named, and never changes the working folder.
class FileDialog
{
public:
    enum Mode
    {
        Open,
        Save
    };

    // filters as Qt writes them ("MSO (*.doc)"); defaultSuffix without a dot.
    FileDialog(Mode mode, QStringList filters, QString defaultSuffix = {}, QString initialFile = {});

    // Runs the dialog: the chosen file's full path, or nothing when cancelled.
    std::optional<QString> run(QWidget *parent);

    Mode mode() const { return m_mode; }
    const QStringList &filters() const { return m_filters; }
    const QString &defaultSuffix() const { return m_defaultSuffix; }
    // What the next run offers.
    const QString &offeredFile() const { return m_lastFile; }
    const QString &offeredFilter() const { return m_lastFilter; }

    // Test seam: while set, run() asks answer instead of opening a window.
    // answer sees the dialog as it would have opened and returns the chosen
    // path and file type entry, or nothing for a cancel.
    struct Answer
    {
        QString path;
        QString filter;
    };
    using Answerer = std::function<std::optional<Answer>(const FileDialog &)>;
    static void answerForTests(Answerer answer);

private:
    Mode m_mode;
    QStringList m_filters;
    QString m_defaultSuffix;
    QString m_lastFile;
    QString m_lastFilter;
};
