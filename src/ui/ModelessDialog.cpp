#include "ui/ModelessDialog.h"

#include <QKeyEvent>
#include <QScreen>

ModelessDialog::ModelessDialog(const QString &caption, QSize clientSize, bool escapeHides, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      m_escapeHides(escapeHides)
{
    setWindowTitle(caption);
    setModal(false);
    setFixedSize(clientSize);
}

void ModelessDialog::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && !m_escapeHides) {
        event->ignore();
        return;
    }
    QDialog::keyPressEvent(event);
}

void ModelessDialog::showEvent(QShowEvent *event)
{
    if (!m_placed) {
        m_placed = true;
        if (const QScreen *s = screen()) {
            QRect frame(QPoint(), size());
            frame.moveCenter(s->availableGeometry().center());
            move(frame.topLeft());
        }
    }
    QDialog::showEvent(event);
}
