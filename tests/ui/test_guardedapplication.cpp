// An exception escaping an event handler reaches the operator as a failure box
// and the program keeps running.

#include "ui/GuardedApplication.h"
#include "ui/MessageBox.h"

#include <QPushButton>
#include <QTest>

#include <stdexcept>

using namespace Qt::StringLiterals;

class TestGuardedApplication : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void escapingExceptionsAreShown_data();
    void escapingExceptionsAreShown();
};

void TestGuardedApplication::escapingExceptionsAreShown_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("shown");
    QTest::addRow("out of memory") << 0 << u"Недостаточно памяти для этой операции."_s;
    QTest::addRow("standard exception") << 1 << u"disk on fire."_s;
    QTest::addRow("anything else") << 2 << u"Непредвиденная ошибка."_s;
}

void TestGuardedApplication::escapingExceptionsAreShown()
{
    QFETCH(int, kind);
    QFETCH(QString, shown);
    QStringList messages;
    MessageBox::captureForTests(&messages);

    QPushButton button;
    int clicks = 0;
    connect(&button, &QPushButton::clicked, &button, [&] {
        ++clicks;
        if (clicks > 1)
            return;
        if (kind == 0)
            throw std::bad_alloc();
        if (kind == 1)
            throw std::runtime_error("disk on fire");
        throw 42;
    });
    QTest::mouseClick(&button, Qt::LeftButton);
    QCOMPARE(messages, QStringList{shown});
    QTest::mouseClick(&button, Qt::LeftButton); // still alive and working
    QCOMPARE(clicks, 2);
    MessageBox::captureForTests(nullptr);
}

int main(int argc, char **argv)
{
    GuardedApplication app(argc, argv);
    TestGuardedApplication test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_guardedapplication.moc"
