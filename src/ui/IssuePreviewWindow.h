#pragma once

#include "build/IssuePlan.h"

#include <QAbstractListModel>

#include <QDialog>
#include <vector>

class QLabel;
class QListWidget;
class QListView;
class Workspace;

// The plan as the issue reads: a row per heading, each followed by a row per
// ad. Row texts are made when a view asks for them, so a hundred thousand ads
// cost little until they are scrolled to.
class IssuePlanModel : public QAbstractListModel
{
    Q_OBJECT

public:
    static constexpr int AdRole = Qt::UserRole; // the ad's index in the list, on ad rows

    IssuePlanModel(const AdList &ads, QObject *parent = nullptr);

    void setPlan(const IssuePlan::Plan *plan);

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

private:
    struct Row
    {
        int section;
        int ad; // -1 on a heading
    };

    const AdList &m_ads;
    const IssuePlan::Plan *m_plan = nullptr;
    std::vector<Row> m_rows;
};

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

    QListView *Sections = nullptr;
    QListWidget *Problems = nullptr;
    QLabel *Totals = nullptr;

private:
    void adActivated(const QModelIndex &index);

    Workspace &m_workspace;
    IssuePlan::Plan m_plan;
    IssuePlanModel *m_model = nullptr;
};
