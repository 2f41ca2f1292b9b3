#pragma once

#include <QDialog>
#include <QPointer>
#include <QPushButton>

// A fixed-size, modeless dialog of the program: created once, hidden, centred on
// the screen when first shown; its close box hides it. Esc presses the cancel
// button only where the dialog has one (escapeHides).
class ModelessDialog : public QDialog
{
    Q_OBJECT

public:
    ModelessDialog(const QString &caption, QSize clientSize, bool escapeHides, QWidget *parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    bool m_escapeHides;
    // The default button as the dialog was built: a button that took over as
    // default while it had the focus gives it back when the dialog is shown.
    QPointer<QPushButton> m_mainDefault;
    bool m_placed = false;
};
