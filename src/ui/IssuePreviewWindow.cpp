#include "ui/IssuePreviewWindow.h"

#include "build/Workspace.h"
#include "ui/Unit1.h"

#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int kAdRole = Qt::UserRole; // the ad's index in the list, on ad items

} // namespace

IssuePreviewWindow::IssuePreviewWindow(Workspace &workspace, QWidget *parent)
    : QDialog(parent, Qt::Window), m_workspace(workspace)
{
    setObjectName(u"IssuePreview"_s);
    setWindowTitle(u"Предпросмотр выпуска"_s);
    setModal(false);
    resize(560, 520);

    auto *layout = new QVBoxLayout(this);
    auto *sectionsLabel = new QLabel(u"&Рубрики и объявления в порядке печати:"_s, this);
    Sections = new QTreeWidget(this);
    Sections->setObjectName(u"Sections"_s);
    Sections->setAccessibleName(u"Рубрики и объявления в порядке печати"_s);
    Sections->setHeaderHidden(true);
    Sections->setUniformRowHeights(true);
    Sections->setColumnCount(1);
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

    connect(Sections, &QTreeWidget::itemActivated, this, &IssuePreviewWindow::adActivated);
}

void IssuePreviewWindow::refresh()
{
    const AdList &ads = m_workspace.ads().ads();
    m_plan = IssuePlan::make(
        ads, {m_workspace.adsPath, m_workspace.rubricsPath, m_workspace.templatePath, QString()});

    Sections->clear();
    QList<QTreeWidgetItem *> top;
    top.reserve(qsizetype(m_plan.sections.size()));
    for (const IssuePlan::Section &section : m_plan.sections) {
        auto *heading =
            new QTreeWidgetItem({u"%1   (объявлений: %2, слов: %3, знаков: %4)"_s
                                     .arg(section.rubric.isEmpty() ? u"(пустая строка)"_s : section.rubric)
                                     .arg(section.ads.size())
                                     .arg(section.words)
                                     .arg(section.characters)});
        QFont bold = heading->font(0);
        bold.setBold(true);
        heading->setFont(0, bold);
        QList<QTreeWidgetItem *> children;
        children.reserve(qsizetype(section.ads.size()));
        for (const int ad : section.ads) {
            QString text = u"%1. %2"_s.arg(ad + 1).arg(ads.field(ad, AdList::Text));
            if (m_plan.lastInsertion[size_t(ad)])
                text += u"   — последний выход"_s;
            auto *item = new QTreeWidgetItem({text});
            item->setData(0, kAdRole, ad);
            if (m_plan.lastInsertion[size_t(ad)])
                item->setForeground(0, QColor(160, 0, 0));
            children.append(item);
        }
        heading->addChildren(children);
        top.append(heading);
    }
    Sections->addTopLevelItems(top);
    Sections->expandAll();

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

void IssuePreviewWindow::adActivated(QTreeWidgetItem *item)
{
    const QVariant ad = item->data(0, kAdRole);
    if (ad.isValid() && ad.toInt() < m_workspace.ads().adCount())
        Form1->selectAdAsClick(ad.toInt() + 1);
}
