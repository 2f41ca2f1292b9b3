#include "ui/MessageBox.h"

#include "files/Status.h"

#include <QMessageBox>

namespace {
QStringList *g_captured = nullptr;
QStringList *g_capturedInformation = nullptr;
} // namespace

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

void showInformation(QWidget *parent, const QString &message)
{
    if (g_capturedInformation) {
        g_capturedInformation->append(message);
        return;
    }
    QMessageBox box(QMessageBox::Information, kApplicationTitle, message, QMessageBox::Ok, parent);
    box.exec();
}

void captureForTests(QStringList *captured)
{
    g_captured = captured;
}

void captureInformationForTests(QStringList *captured)
{
    g_capturedInformation = captured;
}

} // namespace MessageBox
