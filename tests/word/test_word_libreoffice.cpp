#include <QTest>
class TestLibreOffice : public QObject { Q_OBJECT };
QTEST_GUILESS_MAIN(TestLibreOffice)
#include "test_word_libreoffice.moc"
