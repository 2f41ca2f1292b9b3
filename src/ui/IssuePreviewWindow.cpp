#include "ui/IssuePreviewWindow.h"

#include "build/Workspace.h"
#include "ui/Unit1.h"

#include <QHeaderView>
#include <QLabel>
#include <QListView>
#include <QListWidget>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

IssuePlanModel::IssuePlanModel(const AdList &ads, QObject *parent) : QAbstractListModel(parent), m_ads(ads) {}

void IssuePlanModel::setPlan(const IssuePlan::Plan *plan)
{
    beginResetModel();
    m_plan = plan;
    m_rows.clear();
    if (plan) {
        m_rows.reserve(size_t(plan->adsPrinted) + plan->sections.size());
        for (size_t s = 0; s < plan->sections.size(); ++s) {
            m_rows.push_back({int(s), -1});
            for (const int ad : plan->sections[s].ads)
                m_rows.push_back({int(s), ad});
        }
    }
    endResetModel();
}

int IssuePlanModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

QVariant IssuePlanModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid) || !m_plan)
        return {};
    const Row &row = m_rows[size_t(index.row())];
    if (row.ad < 0) {
        const IssuePlan::Section &section = m_plan->sections[size_t(row.section)];
        if (role == Qt::DisplayRole)
            return u"%1   (объявлений: %2, слов: %3, знаков: %4)"_s
                .arg(section.rubric.isEmpty() ? u"(пустая строка)"_s : section.rubric)
                .arg(section.ads.size())
                .arg(section.words)
                .arg(section.characters);
        if (role == Qt::FontRole) {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        return {};
    }
    if (row.ad >= m_ads.count())
        return {}; // the list has shrunk since the plan was made
    const bool last = m_plan->lastInsertion[size_t(row.ad)];
    switch (role) {
    case Qt::DisplayRole: {
        QString text = u"    %1. %2"_s.arg(row.ad + 1).arg(m_ads.field(row.ad, AdList::Text));
        if (last)
            text += u"   — последний выход"_s;
        return text;
    }
    case Qt::ForegroundRole:
        return last ? QVariant(QColor(160, 0, 0)) : QVariant();
    case AdRole:
        return row.ad;
    default:
        return {};
    }
}

IssuePreviewWindow::IssuePreviewWindow(Workspace &workspace, QWidget *parent)
    : QDialog(parent, Qt::Window), m_workspace(workspace)
{
    setObjectName(u"IssuePreview"_s);
    setWindowTitle(u"Предпросмотр выпуска"_s);
    setModal(false);
    resize(560, 520);

    auto *layout = new QVBoxLayout(this);
    auto *sectionsLabel = new QLabel(u"&Рубрики и объявления в порядке печати:"_s, this);
    Sections = new QListView(this);
    Sections->setObjectName(u"Sections"_s);
    Sections->setAccessibleName(u"Рубрики и объявления в порядке печати"_s);
    Sections->setUniformItemSizes(true);
    Sections->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_model = new IssuePlanModel(m_workspace.ads().ads(), this);
    Sections->setModel(m_model);
    sectionsLabel->setBuddy(Sections);

    auto *problemsLabel = new QLabel(u"&Замечания:"_s, this);
    Problems = new QListWidget(this);
    Problems->setObjectName(u"Problems"_s);
    Problems->setAccessibleName(u"Замечания"_s);
    Problems->setMaximumHeight(120);
    problemsLabel->setBuddy(Problems);

    Totals = new QLabel(this);
    Totals->setObjectName(u"Totals"_s);
    Totals->setWordWrap(true);
    Totals->setFocusPolicy(Qt::TabFocus);

    layout->addWidget(sectionsLabel);
    layout->addWidget(Sections, 1);
    layout->addWidget(problemsLabel);
    layout->addWidget(Problems);
    layout->addWidget(Totals);

    connect(Sections, &QListView::activated, this, &IssuePreviewWindow::adActivated);
}

void IssuePreviewWindow::refresh()
{
    m_model->setPlan(nullptr);
    m_plan = IssuePlan::make(m_workspace.ads().ads(), {m_workspace.adsPath, m_workspace.rubricsPath,
                                                       m_workspace.templatePath, QString()});

    m_model->setPlan(&m_plan);

    Problems->clear();
    for (const IssuePlan::Problem &problem : m_plan.problems)
        Problems->addItem((problem.stopsBuild() ? u"Сборка остановится: "_s : QString()) + problem.message);
    if (m_plan.problems.empty())
        Problems->addItem(u"Замечаний нет."_s);

    Totals->setText(u"Итого: объявлений в выпуске %1, снимается после выпуска %2, слов %3, знаков %4."_s
                        .arg(m_plan.adsPrinted)
                        .arg(m_plan.runningOut)
                        .arg(m_plan.words)
                        .arg(m_plan.characters));
    Totals->setAccessibleName(Totals->text());
}

void IssuePreviewWindow::adActivated(const QModelIndex &index)
{
    const QVariant ad = index.data(IssuePlanModel::AdRole);
    if (ad.isValid() && ad.toInt() < m_workspace.ads().adCount())
        Form1->selectAdAsClick(ad.toInt() + 1);
}
