#pragma once

// What window tests share: a scratch working folder
// with the program's windows on it, and the grid as the operator sees it.

#include "data/AdGridModel.h"
#include "ui/AdGridView.h"
#include "ui/MessageBox.h"
#include "ui/Unit1.h"
#include "ui/Windows.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include "AdLines.h"
#include "TestFiles.h"

namespace WindowTest {

// The grid's ads in the file's line form.
inline QStringList gridAds()
{
    return TestFiles::adLines(Form1->grid().ads());
}

// Clicks a cell of the grid; row 1 is the first ad.
inline void clickCell(int row, int column = AdList::Text)
{
    AdGridView *view = Form1->StringGrid1;
    const QModelIndex index = Form1->grid().index(row - 1, column);
    view->scrollTo(index);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
}

// A temporary folder made the working folder for one test, with failure boxes
// captured instead of shown; the windows, once started, are destroyed with it.
class WorkingFolder
{
public:
    WorkingFolder() : m_previous(QDir::currentPath())
    {
        m_entered = m_dir.isValid() && QDir::setCurrent(m_dir.path());
        MessageBox::captureForTests(&messages);
    }
    ~WorkingFolder()
    {
        DestroyWindows();
        MessageBox::captureForTests(nullptr);
        QDir::setCurrent(m_previous);
    }
    WorkingFolder(const WorkingFolder &) = delete;
    WorkingFolder &operator=(const WorkingFolder &) = delete;

    bool isValid() const { return m_entered; }

    // (Re)starts the windows on an ads file holding adLines and a rubric list
    // of rubrics, with the main window active.
    static void start(const QStringList &adLines, const QString &rubrics)
    {
        DestroyWindows();
        QVERIFY(TestFiles::write(QStringLiteral("Рубрики.txt"), TestFiles::cp1251(rubrics)));
        QVERIFY(TestFiles::write(QStringLiteral("x.txt"), TestFiles::adsFileBytes(adLines)));
        CreateWindows();
        Form1->show();
        Form1->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(Form1));
        QCOMPARE(gridAds(), adLines);
    }

    QStringList messages; // the failure boxes' texts

private:
    QString m_previous;
    QTemporaryDir m_dir;
    bool m_entered = false;
};

} // namespace WindowTest
