#pragma once

#include "build/IssuePlan.h"

#include <QDialog>

class QLabel;
class QListWidget;
class QTreeWidget;
class QTreeWidgetItem;
class Workspace;

// "Предпросмотр выпуска": what the next "&Создать" would print, read-only,
// worked out by the build's own rules without writing any file. Modeless; it
// is worked out afresh each time it is shown. Double-clicking an ad selects
// it in the main window's grid as a click there would.
class IssuePreviewWindow : public QDialog
{
    Q_OBJECT

public:
    explicit IssuePreviewWindow(Workspace &workspace, QWidget *parent = nullptr);

    // Works the plan out again from the ads, the rubric list and the paths as
    // they are now.
    void refresh();

    const IssuePlan::Plan &plan() const { return m_plan; }

    QTreeWidget *Sections = nullptr;
    QListWidget *Problems = nullptr;
    QLabel *Totals = nullptr;

private:
    void adActivated(QTreeWidgetItem *item);

    Workspace &m_workspace;
    IssuePlan::Plan m_plan;
};
