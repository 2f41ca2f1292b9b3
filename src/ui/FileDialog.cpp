#include "ui/FileDialog.h"

#include <QFileDialog>
#include <QFileInfo>

namespace {

FileDialog::Answerer &testAnswerer()
{
    static FileDialog::Answerer answerer;
    return answerer;
}

} // namespace

FileDialog::FileDialog(Mode mode, QStringList filters, QString defaultSuffix, QString initialFile)
    : m_mode(mode), m_filters(std::move(filters)), m_defaultSuffix(std::move(defaultSuffix)),
      m_lastFile(std::move(initialFile)), m_lastFilter(m_filters.value(0))
{}

void FileDialog::answerForTests(Answerer answer)
{
    testAnswerer() = std::move(answer);
}

std::optional<QString> FileDialog::run(QWidget *parent)
{
    std::optional<Answer> answer;
    if (testAnswerer()) {
        answer = testAnswerer()(*this);
    } else {
        QFileDialog dialog(parent);
        dialog.setAcceptMode(m_mode == Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
        dialog.setNameFilters(m_filters);
        dialog.selectNameFilter(m_lastFilter);
        dialog.setDefaultSuffix(m_defaultSuffix);
        if (!m_lastFile.isEmpty()) {
            const QFileInfo last(m_lastFile);
            if (last.isAbsolute())
                dialog.setDirectory(last.absolutePath());
            dialog.selectFile(last.fileName());
        }
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
            answer = Answer{dialog.selectedFiles().constFirst(), dialog.selectedNameFilter()};
    }
    if (!answer)
        return std::nullopt;
    m_lastFile = QFileInfo(answer->path).absoluteFilePath();
    if (!answer->filter.isEmpty())
        m_lastFilter = answer->filter;
    return m_lastFile;
}
