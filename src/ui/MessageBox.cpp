#include "ui/MessageBox.h"

#include "files/Status.h"

#include <QMessageBox>

namespace {
QStringList *g_captured = nullptr;
}

namespace MessageBox {

void showError(QWidget *parent, const QString &message)
{
    const QString text = messageForDisplay(message);
    if (g_captured) {
        g_captured->append(text);
        return;
    }
    QMessageBox box(QMessageBox::Critical, kApplicationTitle, text, QMessageBox::Ok, parent);
    box.exec();
}

void captureForTests(QStringList *captured)
{
    g_captured = captured;
}

} // namespace MessageBox
