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

void ModelessDialog::useClassicFont()
{
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(8);
    setFont(font);
}

void ModelessDialog::placeControl(QWidget *control, const char *name, const QString &accessibleName,
                                  const QRect &geometry)
{
    control->setObjectName(QLatin1String(name));
    control->setAccessibleName(accessibleName);
    control->setGeometry(geometry);
}

void ModelessDialog::setTabStops(const QList<QWidget *> &order)
{
    for (qsizetype i = 0; i + 1 < order.size(); ++i)
        setTabOrder(order[i], order[i + 1]);
    for (QWidget *w : order)
        w->setFocusPolicy(Qt::StrongFocus);
    if (!order.isEmpty())
        order.first()->setFocus();
}

void ModelessDialog::keyPressEvent(QKeyEvent *event)
{
    // Enter presses the focused button, or else the dialog's own default
    // button, whichever button last took over as default while focused.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        auto *focused = qobject_cast<QPushButton *>(focusWidget());
        QPushButton *target = focused ? focused : m_mainDefault.data();
        if (target && target->isVisible() && target->isEnabled()) {
            target->click();
            return;
        }
    }
    if (event->key() == Qt::Key_Escape && !m_escapeHides) {
        event->ignore();
        return;
    }
    QDialog::keyPressEvent(event);
}

void ModelessDialog::showEvent(QShowEvent *event)
{
    if (m_mainDefault)
        m_mainDefault->setDefault(true);
    if (!m_placed) {
        m_placed = true;
        for (QPushButton *button : findChildren<QPushButton *>()) {
            if (button->isDefault())
                m_mainDefault = button;
        }
        if (const QScreen *s = screen()) {
            QRect frame(QPoint(), size());
            frame.moveCenter(s->availableGeometry().center());
            move(frame.topLeft());
        }
    }
    QDialog::showEvent(event);
}
