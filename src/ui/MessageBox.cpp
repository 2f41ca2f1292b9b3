#include "ui/MessageBox.h"

#include "files/Status.h"

#include <QAbstractButton>
#include <QMessageBox>

namespace {
QStringList *g_captured = nullptr;
std::function<bool(const QString &)> g_answer;
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

bool ask(QWidget *parent, const QString &question)
{
    if (g_answer)
        return g_answer(question);
    QMessageBox box(QMessageBox::Question, kApplicationTitle, question, QMessageBox::Yes | QMessageBox::No,
                    parent);
    box.button(QMessageBox::Yes)->setText(QStringLiteral("Да"));
    box.button(QMessageBox::No)->setText(QStringLiteral("Нет"));
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
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

void answerQuestionsForTests(std::function<bool(const QString &question)> answer)
{
    g_answer = std::move(answer);
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
