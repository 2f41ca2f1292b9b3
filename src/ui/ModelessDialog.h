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
    // The classic dialog font, 8-point MS Sans Serif or its stand-in.
    void useClassicFont();
    // Names a control (its design name and the name assistive technology
    // announces) and puts it at geometry; returns it.
    template <typename Control>
    static Control *place(Control *control, const char *name, const QString &accessibleName,
                          const QRect &geometry)
    {
        placeControl(control, name, accessibleName, geometry);
        return control;
    }

    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;

    // Tab walks order, each a stop, and the first one starts with the focus.
    void setTabStops(const QList<QWidget *> &order);

private:
    static void placeControl(QWidget *control, const char *name, const QString &accessibleName,
                             const QRect &geometry);

    bool m_escapeHides;
    // The default button as the dialog was built: a button that took over as
    // default while it had the focus gives it back when the dialog is shown.
    QPointer<QPushButton> m_mainDefault;
    bool m_placed = false;
};
