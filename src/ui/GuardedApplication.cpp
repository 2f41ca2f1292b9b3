#include "ui/GuardedApplication.h"

#include "ui/MessageBox.h"

#include <exception>
#include <new>

bool GuardedApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::bad_alloc &) {
        MessageBox::showError(nullptr, QStringLiteral("Недостаточно памяти для этой операции"));
    } catch (const std::exception &e) {
        MessageBox::showError(nullptr, QString::fromLocal8Bit(e.what()));
    } catch (...) {
        MessageBox::showError(nullptr, QStringLiteral("Непредвиденная ошибка"));
    }
    return false;
}
