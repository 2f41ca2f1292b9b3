#pragma once

#include <QApplication>

// The application object. An exception that escapes an event handler (running
// out of memory, say) is shown in the failure box instead of ending the program;
// the program then goes on with the next event.
class GuardedApplication : public QApplication
{
    Q_OBJECT

public:
    using QApplication::QApplication;

    bool notify(QObject *receiver, QEvent *event) override;
};
