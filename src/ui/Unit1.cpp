#include "ui/Unit1.h"

#include "build/PdfExport.h"
#include "ui/AdGridView.h"
#include "ui/FindWindow.h"
#include "ui/IssuePreviewWindow.h"
#include "ui/MessageBox.h"
#include "ui/Pictures.h"
#include "ui/Unit2.h"
#include "ui/Unit3.h"
#include "ui/Unit4.h"
#include "ui/Unit5.h"
#include "ui/Unit6.h"
#include "ui/Unit7.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QLocale>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QProxyStyle>
#include <QPushButton>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QScreen>
#include <QStyleFactory>

Workspace &applicationWorkspace()
{
    static Workspace workspace;
    return workspace;
}

QString &AdsPath = applicationWorkspace().adsPath;
QString &RubricsPath = applicationWorkspace().rubricsPath;
QString &TemplatePath = applicationWorkspace().templatePath;
int &CurrentRow = applicationWorkspace().currentRow;

TForm1 *Form1 = nullptr;

namespace {

constexpr int kClientWidth = 326;
constexpr int kClientHeight = 406;
constexpr int kGridHeight = 121;
constexpr int kMemoHeight = 118;

// The light blue of a classic active title bar's gradient.
const QColor kAccent(185, 209, 234);
const QColor kButtonFace(240, 240, 240);

// Less room around each title of the menu bar.
class CompactMenuBarStyle : public QProxyStyle
{
public:
    using QProxyStyle::QProxyStyle;

    QSize sizeFromContents(ContentsType type, const QStyleOption *option, const QSize &size,
                           const QWidget *widget) const override
    {
        QSize hint = QProxyStyle::sizeFromContents(type, option, size, widget);
        if (type == CT_MenuBarItem && !hint.isEmpty())
            hint.rwidth() -= 6;
        return hint;
    }
};

} // namespace

QFont mainWindowFont()
{
    QFont font(QStringLiteral("Courier New Cyr"));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPixelSize(13);
    font.setBold(true);
    return font;
}

void showModeless(QWidget *dialog)
{
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

TForm1::TForm1(Workspace &workspace, QWidget *parent) : QMainWindow(parent), m_workspace(workspace)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(MessageBox::kApplicationTitle);
    setWindowIcon(Pictures::programIconSet());
    setFont(mainWindowFont());
    QPalette pal = palette();
    pal.setColor(QPalette::Window, kButtonFace);
    pal.setColor(QPalette::WindowText, Qt::black);
    pal.setColor(QPalette::Text, Qt::black);
    pal.setColor(QPalette::ButtonText, Qt::black);
    setPalette(pal);

    buildMenu();
    buildControls();
    FormCreate();

    connect(StringGrid1->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current) {
                if (current.isValid() && !m_placingCell)
                    StringGrid1SelectCell(current.column(), current.row() + 1);
            });
    connect(StringGrid1, &AdGridView::currentCellClickedAgain, this,
            [this](const QModelIndex &index) { StringGrid1SelectCell(index.column(), index.row() + 1); });

    // The client area below the menu is 326 x 406, whatever height the style
    // gives the menu bar.
    resize(kClientWidth, kClientHeight + menuBar()->sizeHint().height());
    layout()->activate();
    resize(kClientWidth, height() + kClientHeight - centralWidget()->height());
    if (const QScreen *screen = this->screen()) {
        QRect frame(QPoint(), size());
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

TForm1::~TForm1() = default;

void TForm1::buildMenu()
{
    // A main menu is drawn in the desktop's menu font, not the window's bold
    // fixed-pitch one; with a little less room around each title all six fit
    // the window's 326 pixels instead of folding "Справка" away behind "»".
    QFont menuFont(QStringLiteral("MS Sans Serif"));
    menuFont.setStyleHint(QFont::SansSerif);
    menuFont.setPointSize(8);
    menuFont.setBold(false);
    menuBar()->setFont(menuFont);
    auto *barStyle = new CompactMenuBarStyle(QStyleFactory::create(style()->name()));
    barStyle->setParent(menuBar());
    menuBar()->setStyle(barStyle);
    QMenu *N1 = menuBar()->addMenu(QStringLiteral("Файл"));
    N2 = N1->addAction(QStringLiteral("Выход"));
    buildEditMenu();
    QMenu *N3 = menuBar()->addMenu(QStringLiteral("Рубрики"));
    N4 = N3->addAction(QStringLiteral("Добавить"));
    N5 = menuBar()->addAction(QStringLiteral("Директории"));
    QMenu *issueMenu = menuBar()->addMenu(QStringLiteral("Выпуск"));
    issueMenu->setObjectName(QStringLiteral("IssueMenu"));
    PreviewIssueAction = issueMenu->addAction(QStringLiteral("Предпросмотр…"));
    TakeBackIssueAction = issueMenu->addAction(QStringLiteral("Отменить последний выпуск"));
    issueMenu->addSeparator();
    SavePdfAction = issueMenu->addAction(QStringLiteral("Сохранить в PDF…"));
    // Without LibreOffice the item stays in place and says what it needs.
    const QString pdfUnavailable = PdfExport::unavailableReason(PdfExport::findOffice());
    SavePdfAction->setEnabled(pdfUnavailable.isEmpty());
    SavePdfAction->setToolTip(pdfUnavailable.isEmpty()
                                  ? QStringLiteral("Сохранить последний собранный выпуск в PDF рядом с ним")
                                  : messageForDisplay(pdfUnavailable));
    issueMenu->setToolTipsVisible(true);
    QMenu *N6 = menuBar()->addMenu(QStringLiteral("Справка"));
    N7 = N6->addAction(QStringLiteral("О программе"));
    N1->setObjectName(QStringLiteral("N1"));
    N3->setObjectName(QStringLiteral("N3"));
    N6->setObjectName(QStringLiteral("N6"));

    connect(N2, &QAction::triggered, this, &TForm1::N2Click);
    connect(N4, &QAction::triggered, this, &TForm1::N4Click);
    connect(N5, &QAction::triggered, this, &TForm1::N5Click);
    connect(N7, &QAction::triggered, this, &TForm1::N7Click);
    connect(PreviewIssueAction, &QAction::triggered, this, &TForm1::PreviewIssueClick);
    connect(TakeBackIssueAction, &QAction::triggered, this, &TForm1::TakeBackIssueClick);
    connect(SavePdfAction, &QAction::triggered, this, &TForm1::SavePdfClick);
}

namespace {

QString editName(EditHistory::Edit edit)
{
    switch (edit) {
    case EditHistory::Edit::Add:
        return QStringLiteral("добавление объявления");
    case EditHistory::Edit::Change:
        return QStringLiteral("изменение объявления");
    case EditHistory::Edit::Remove:
        return QStringLiteral("удаление объявления");
    }
    return {};
}

} // namespace

void TForm1::buildEditMenu()
{
    QMenu *edit = menuBar()->addMenu(QStringLiteral("Правка"));
    edit->setObjectName(QStringLiteral("EditMenu"));
    UndoItem = edit->addAction(QStringLiteral("Отменить"));
    UndoItem->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    RedoItem = edit->addAction(QStringLiteral("Повторить"));
    RedoItem->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    edit->addSeparator();
    FindItem = edit->addAction(QStringLiteral("Найти…"));
    FindItem->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    FindNextItem = edit->addAction(QStringLiteral("Найти далее"));
    FindNextItem->setShortcut(QKeySequence(Qt::Key_F3));
    FindPreviousItem = edit->addAction(QStringLiteral("Найти ранее"));
    FindPreviousItem->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F3));

    connect(UndoItem, &QAction::triggered, this, &TForm1::UndoItemClick);
    connect(RedoItem, &QAction::triggered, this, &TForm1::RedoItemClick);
    connect(FindItem, &QAction::triggered, this, &TForm1::FindItemClick);
    connect(FindNextItem, &QAction::triggered, this, &TForm1::FindNextItemClick);
    connect(FindPreviousItem, &QAction::triggered, this, &TForm1::FindPreviousItemClick);
    connect(&m_workspace.history(), &EditHistory::changed, this, &TForm1::updateEditMenu);
    updateEditMenu();
}

void TForm1::updateEditMenu()
{
    const EditHistory &history = m_workspace.history();
    const std::optional<EditHistory::Edit> undo = history.nextUndo();
    const std::optional<EditHistory::Edit> redo = history.nextRedo();
    UndoItem->setEnabled(undo.has_value());
    UndoItem->setText(undo ? QStringLiteral("Отменить ") + editName(*undo) : QStringLiteral("Отменить"));
    RedoItem->setEnabled(redo.has_value());
    RedoItem->setText(redo ? QStringLiteral("Повторить ") + editName(*redo) : QStringLiteral("Повторить"));
}

void TForm1::buildControls()
{
    auto *client = new QWidget(this);
    setCentralWidget(client);
    client->installEventFilter(this);

    auto named = [](QWidget *w, const char *name, const QString &accessible) {
        w->setObjectName(QLatin1String(name));
        if (!accessible.isEmpty())
            w->setAccessibleName(accessible);
    };

    StringGrid1 = new AdGridView(client);
    named(StringGrid1, "StringGrid1", QStringLiteral("Объявления"));
    StringGrid1->setModel(&m_workspace.ads());
    StringGrid1->setGeometry(0, 0, kClientWidth, kGridHeight);
    StringGrid1->setColumnWidth(0, 29);
    StringGrid1->setColumnWidth(1, 165);
    StringGrid1->setColumnWidth(2, 221);
    QPalette gridPalette = StringGrid1->palette();
    gridPalette.setColor(QPalette::Base, kAccent);
    gridPalette.setColor(QPalette::Button, kButtonFace);
    StringGrid1->setPalette(gridPalette);
    StringGrid1->horizontalHeader()->setPalette(gridPalette);

    Label1 = new QLabel(QStringLiteral("Кол-во выходов:"), client);
    named(Label1, "Label1", {});
    Label1->move(200, 136);
    Label4 = new QLabel(client);
    named(Label4, "Label4", QStringLiteral("Число объявлений"));
    Label4->setGeometry(104, 144, 80, 16);
    Label3 = new QLabel(QStringLiteral("Рубрика:"), client);
    named(Label3, "Label3", {});
    Label3->move(8, 176);
    Label3->setAutoFillBackground(true);
    QPalette labelPalette = Label3->palette();
    labelPalette.setColor(QPalette::Window, kAccent);
    Label3->setPalette(labelPalette);
    Label2 = new QLabel(QStringLiteral("Текст объявления:"), client);
    named(Label2, "Label2", {});
    Label2->move(8, 264);

    Bevel1 = new QFrame(client);
    named(Bevel1, "Bevel1", {});
    Bevel1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    Bevel1->setGeometry(192, 128, 129, 97);
    Bevel2 = new QFrame(client);
    named(Bevel2, "Bevel2", {});
    Bevel2->setFrameStyle(QFrame::Box | QFrame::Sunken);
    Bevel2->setGeometry(8, 128, 169, 41);
    Bevel1->lower();
    Bevel2->lower();

    ComboBox1 = new QComboBox(client);
    named(ComboBox1, "ComboBox1", QStringLiteral("Рубрика:"));
    ComboBox1->setEditable(true);
    ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    ComboBox1->setGeometry(8, 200, 169, 24);
    Label3->setBuddy(ComboBox1);

    Edit2 = new QLineEdit(client);
    named(Edit2, "Edit2", QStringLiteral("Другое:"));
    Edit2->setGeometry(272, 192, 33, 24);

    Button1 = new QPushButton(QStringLiteral("Добавить"), client);
    named(Button1, "Button1", {});
    Button1->setGeometry(8, 232, 75, 25);
    Button2 = new QPushButton(QStringLiteral("Изменить"), client);
    named(Button2, "Button2", {});
    Button2->setGeometry(88, 232, 75, 25);

    RadioButton1 = new QRadioButton(QStringLiteral("1"), client);
    named(RadioButton1, "RadioButton1", QStringLiteral("Кол-во выходов: 1"));
    RadioButton1->setGeometry(200, 160, 33, 17);
    RadioButton2 = new QRadioButton(QStringLiteral("2"), client);
    named(RadioButton2, "RadioButton2", QStringLiteral("Кол-во выходов: 2"));
    RadioButton2->setGeometry(232, 160, 33, 17);
    RadioButton3 = new QRadioButton(QStringLiteral("3"), client);
    named(RadioButton3, "RadioButton3", QStringLiteral("Кол-во выходов: 3"));
    RadioButton3->setGeometry(272, 160, 33, 17);
    RadioButton4 = new QRadioButton(QStringLiteral("Другое:"), client);
    named(RadioButton4, "RadioButton4", QStringLiteral("Кол-во выходов: другое"));
    RadioButton4->setGeometry(200, 192, 65, 17);

    BitBtn1 = new QPushButton(Pictures::redCross(), QStringLiteral("Удалить"), client);
    named(BitBtn1, "BitBtn1", {});
    BitBtn1->setGeometry(168, 232, 81, 25);
    Button3 = new QPushButton(QStringLiteral("Всего:"), client);
    named(Button3, "Button3", {});
    Button3->setGeometry(16, 136, 73, 25);
    Button4 = new QPushButton(QStringLiteral("Создать"), client);
    named(Button4, "Button4", {});
    Button4->setGeometry(256, 232, 65, 25);

    Memo1 = new QPlainTextEdit(client);
    named(Memo1, "Memo1", QStringLiteral("Текст объявления:"));
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setTabChangesFocus(true);
    Memo1->setGeometry(0, kClientHeight - kMemoHeight, kClientWidth, kMemoHeight);
    Label2->setBuddy(Memo1);

    // Work field for joining the memo's lines; never shown.
    Edit3 = new QLineEdit(client);
    named(Edit3, "Edit3", {});
    Edit3->setGeometry(-200, -200, 121, 21);
    Edit3->hide();

    const QList<QWidget *> tabOrder = {StringGrid1,  ComboBox1,    Edit2,        Button1,      Button2,
                                       RadioButton1, RadioButton2, RadioButton3, RadioButton4, BitBtn1,
                                       Button3,      Button4,      Memo1};
    for (qsizetype i = 0; i + 1 < tabOrder.size(); ++i)
        setTabOrder(tabOrder[i], tabOrder[i + 1]);
    for (QWidget *w :
         {static_cast<QWidget *>(Button1), static_cast<QWidget *>(Button2), static_cast<QWidget *>(BitBtn1),
          static_cast<QWidget *>(Button3), static_cast<QWidget *>(Button4)})
        w->setFocusPolicy(Qt::StrongFocus);

    connect(Button1, &QPushButton::clicked, this, &TForm1::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TForm1::Button2Click);
    connect(BitBtn1, &QPushButton::clicked, this, &TForm1::BitBtn1Click);
    connect(Button3, &QPushButton::clicked, this, &TForm1::Button3Click);
    connect(Button4, &QPushButton::clicked, this, &TForm1::Button4Click);
}

bool TForm1::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == centralWidget() && event->type() == QEvent::Resize) {
        // The grid keeps to the top edge and the memo to the bottom edge; both
        // stretch with the width. Everything else keeps its place.
        const QSize size = centralWidget()->size();
        StringGrid1->setGeometry(0, 0, size.width(), kGridHeight);
        Memo1->setGeometry(0, size.height() - kMemoHeight, size.width(), kMemoHeight);
    }
    return QMainWindow::eventFilter(watched, event);
}

void TForm1::closeEvent(QCloseEvent *event)
{
    // Closing the main window ends the program, whatever dialogs are open.
    event->accept();
    QCoreApplication::quit();
}

void TForm1::reportFailure(const Status &status)
{
    if (!status)
        MessageBox::showError(isVisible() ? this : nullptr, status.message());
}

void TForm1::FormCreate()
{
    m_workspace.currentRow = 1;
    m_workspace.adsPath = Workspace::kDefaultAdsPath;
    m_workspace.rubricsPath = Workspace::kDefaultRubricsPath;
    m_workspace.templatePath = Workspace::kDefaultTemplatePath;

    // A rubric list that cannot be read is reported, and the ads still load:
    // skipping them would let the next save wipe every stored ad.
    const Status rubrics = LoadRubricList();
    WriteHeadings();
    const Status ads = LoadAdsFile();
    reportFailure(rubrics);
    reportFailure(ads);

    if (grid().adCount() > 0)
        placeCurrentCell(1, 0);
}

Status TForm1::LoadRubricList()
{
    auto names = m_workspace.readRubricList();
    if (!names)
        return names.status();
    ComboBox1->addItems(names.value());
    ComboBox1->setCurrentIndex(-1);
    ComboBox1->setEditText(QString());
    return {};
}

void TForm1::WriteHeadings()
{
    grid().setHeadings({QStringLiteral("К/В"), QStringLiteral("Текст"), QStringLiteral("Рубрика")});
}

Status TForm1::LoadAdsFile()
{
    return m_workspace.loadAds();
}

Status TForm1::SaveAdsFile()
{
    return m_workspace.saveAds();
}

void TForm1::N2Click()
{
    close();
}

void TForm1::N4Click()
{
    showModeless(AboutBox);
}

void TForm1::N5Click()
{
    showModeless(AboutBox1);
}

void TForm1::N7Click()
{
    showModeless(AboutBox3);
}

void TForm1::UndoItemClick()
{
    takeHistoryStep(true);
}

void TForm1::RedoItemClick()
{
    takeHistoryStep(false);
}

void TForm1::takeHistoryStep(bool back)
{
    const EditHistory &history = m_workspace.history();
    if (!(back ? history.nextUndo() : history.nextRedo()))
        return;
    const int cellRow = currentCellRow();
    const int column = std::max(0, StringGrid1->currentIndex().column());
    const Status taken = back ? m_workspace.undo() : m_workspace.redo();
    if (!taken) {
        // The list is as it was; the rows that went and came back moved the cell.
        placeCurrentCell(cellRow, column);
        reportFailure(taken);
        return;
    }
    if (m_workspace.currentRow <= grid().adCount())
        selectCell(m_workspace.currentRow, column);
    else
        placeCurrentCell(0, column);
}

void TForm1::FindItemClick()
{
    FindWindow1->open();
}

void TForm1::FindNextItemClick()
{
    FindWindow1->findNext();
}

void TForm1::FindPreviousItemClick()
{
    FindWindow1->findPrevious();
}

void TForm1::Button1Click()
{
    reportFailure(m_workspace.addAd(ComposeAd()));
}

ComposedAd TForm1::ComposeAd()
{
    // Hard line breaks only: the display wrapping depends on the window's width
    // and must not leak into the stored text.
    QString joined = Memo1->toPlainText();
    if (joined.endsWith(u'\n'))
        joined.chop(1);
    joined.replace(u'\n', u' ');
    Edit3->setText(joined);

    ComposedAd composed;
    if (RadioButton1->isChecked())
        composed.runs = QStringLiteral("1");
    else if (RadioButton2->isChecked())
        composed.runs = QStringLiteral("2");
    else if (RadioButton3->isChecked())
        composed.runs = QStringLiteral("3");
    else if (RadioButton4->isChecked())
        composed.runs = Edit2->text();
    composed.text = std::move(joined);
    composed.rubric = ComboBox1->currentText();
    return composed;
}

void TForm1::Button2Click()
{
    showModeless(Form5);
}

void TForm1::BitBtn1Click()
{
    showModeless(OKBottomDlg);
}

void TForm1::Button3Click()
{
    const QString count = QString::number(grid().adCount());
    Label4->setText(count);
    // A label with a name of its own is announced by that name alone: the
    // number has to be part of it.
    Label4->setAccessibleName(QStringLiteral("Число объявлений: ") + count);
}

void TForm1::Button4Click()
{
    showModeless(AboutBox2);
}

void TForm1::StringGrid1SelectCell(int /*column*/, int row)
{
    Memo1->clear();
    Memo1->setPlainText(grid().cell(row - 1, AdList::Text));
    m_workspace.currentRow = row;
}

void TForm1::selectAdAsClick(int row)
{
    const QModelIndex current = StringGrid1->currentIndex();
    const QModelIndex target = grid().index(row - 1, current.isValid() ? current.column() : AdList::Text);
    StringGrid1->scrollTo(target);
    if (target == current)
        StringGrid1SelectCell(target.column(), row); // a click on the current cell runs it again
    else
        StringGrid1->selectionModel()->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect);
}

void TForm1::PreviewIssueClick()
{
    if (!m_preview)
        m_preview = new IssuePreviewWindow(m_workspace, this);
    m_preview->refresh();
    showModeless(m_preview);
}

void TForm1::TakeBackIssueClick()
{
    const Result<std::optional<Workspace::TakeBack>> last = m_workspace.lastIssue();
    if (!last) {
        reportFailure(last.status());
        return;
    }
    if (!last.value()) {
        MessageBox::showInformation(
            this, QStringLiteral("Нет выпуска, который можно отменить: в папке «Выпуски» рядом с "
                                 "файлом объявлений нет записей о выпусках."));
        return;
    }
    const Workspace::TakeBack &takeBack = *last.value();
    QString question =
        QStringLiteral(
            "Отменить выпуск от %1, сохранённый в «%2»?\n\nСписок объявлений и файл объявлений вернутся "
            "к состоянию до этого выпуска (объявлений: %3). Сам документ выпуска не изменится.")
            .arg(QLocale(QLocale::Russian)
                     .toString(takeBack.record.builtAt, QStringLiteral("dd.MM.yyyy HH:mm")),
                 takeBack.record.target)
            .arg(takeBack.adsToRestore);
    if (takeBack.changedSince > 0)
        question += QStringLiteral("\n\nВнимание: после этого выпуска объявления менялись (отличий: %1). "
                                   "Эти изменения будут потеряны.")
                        .arg(takeBack.changedSince);
    if (!MessageBox::ask(this, question))
        return;
    if (Status restored = m_workspace.takeBack(takeBack.record); !restored) {
        reportFailure(restored);
        return;
    }
    if (grid().adCount() > 0)
        placeCurrentCell(1, 0);
}

void TForm1::SavePdfClick()
{
    const Result<QString> document = PdfExport::lastIssueDocument(m_workspace.adsPath);
    if (!document) {
        reportFailure(document.status());
        return;
    }
    QProgressDialog progress(
        QStringLiteral("LibreOffice сохраняет «%1» в PDF…").arg(QFileInfo(document.value()).fileName()),
        QStringLiteral("Прервать"), 0, 0, this);
    progress.setWindowTitle(MessageBox::kApplicationTitle);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    progress.setValue(0);
    PdfExport::Options options;
    options.whileWaiting = [&progress] {
        QCoreApplication::processEvents();
        return !progress.wasCanceled();
    };
    const Result<QString> pdf = PdfExport::convert(document.value(), options);
    const bool canceled = progress.wasCanceled();
    progress.reset();
    if (canceled)
        return;
    if (!pdf) {
        reportFailure(pdf.status());
        return;
    }
    MessageBox::showInformation(this, QStringLiteral("PDF сохранён: «%1».").arg(pdf.value()));
}

int TForm1::currentCellRow() const
{
    const QModelIndex current = StringGrid1->currentIndex();
    return current.isValid() ? current.row() + 1 : 0;
}

void TForm1::placeCurrentCell(int row, int column)
{
    const QModelIndex cell = row >= 1 ? grid().index(row - 1, column) : QModelIndex();
    const QScopedValueRollback placing(m_placingCell, true);
    StringGrid1->selectionModel()->setCurrentIndex(cell, QItemSelectionModel::NoUpdate);
}

void TForm1::selectCell(int row, int column)
{
    const QModelIndex cell = grid().index(row - 1, column);
    StringGrid1->scrollTo(cell);
    if (cell == StringGrid1->currentIndex()) {
        // A click on the current cell selects it again.
        StringGrid1->selectionModel()->select(cell, QItemSelectionModel::ClearAndSelect);
        StringGrid1SelectCell(column, row);
    } else {
        StringGrid1->selectionModel()->setCurrentIndex(cell, QItemSelectionModel::ClearAndSelect);
    }
}
