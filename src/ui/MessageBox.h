#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

// The one place where a failure reaches the operator: a modal box titled with
// the application title, with the error icon and a single OK. Beside it, the
// rare news that is no failure, in the same box with the information icon.
namespace MessageBox {

inline const QString kApplicationTitle = QStringLiteral("Вермата v 3.0");

// Shows message (with the full-stop rule applied) and waits for OK.
void showError(QWidget *parent, const QString &message);

// Asks a yes/no question in a box titled with the application title; true for
// "Да". The default button is "Нет".
bool ask(QWidget *parent, const QString &question);

// Test seam: while set, ask() returns answer(question) without a window.
void answerQuestionsForTests(std::function<bool(const QString &question)> answer);

// Shows message as it stands and waits for OK.
void showInformation(QWidget *parent, const QString &message);

// Test seam: while capturing, showError() records the displayed text in
// *captured instead of opening a modal box. Pass nullptr to stop capturing.
void captureForTests(QStringList *captured);
// The same for showInformation().
void captureInformationForTests(QStringList *captured);

} // namespace MessageBox
