#pragma once

#include "build/Workspace.h"
#include "files/Status.h"

#include <QMainWindow>

class AdGridView;
class IssuePreviewWindow;
class QAction;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

// The application's one workspace: CreateWindows() resets it and hands it to
// every window.
Workspace &applicationWorkspace();

// Program-wide state, by its traditional names: the three file locations and
// the grid row on which changing and deleting act (1 is the first ad; the
// heading row is never current). They are the application workspace's fields.
extern QString &AdsPath;
extern QString &RubricsPath;
extern QString &TemplatePath;
extern int &CurrentRow;

// The main window: the ad grid, the controls an ad is composed from, the menu.
class TForm1 : public QMainWindow
{
    Q_OBJECT

public:
    explicit TForm1(Workspace &workspace, QWidget *parent = nullptr);
    ~TForm1() override;

    Workspace &workspace() { return m_workspace; }
    // The one copy of the ad list while the program runs.
    AdGridModel &grid() { return m_workspace.ads(); }

    // Rewrites the ads file at AdsPath from the grid.
    Status SaveAdsFile();

    // Composes an ad from the memo, the count of insertions and the rubric
    // selector, and leaves the joined text in Edit3. The memo's lines are taken
    // as typed (its hard line breaks, not its display wrapping) and joined with
    // one space; a line break at the very end adds nothing.
    ComposedAd ComposeAd();

    AdGridView *StringGrid1 = nullptr;
    QComboBox *ComboBox1 = nullptr;
    QLineEdit *Edit2 = nullptr;
    QLineEdit *Edit3 = nullptr;
    QPushButton *Button1 = nullptr;
    QPushButton *Button2 = nullptr;
    QRadioButton *RadioButton1 = nullptr;
    QRadioButton *RadioButton2 = nullptr;
    QRadioButton *RadioButton3 = nullptr;
    QRadioButton *RadioButton4 = nullptr;
    QPushButton *BitBtn1 = nullptr;
    QPushButton *Button3 = nullptr;
    QPushButton *Button4 = nullptr;
    QPlainTextEdit *Memo1 = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label3 = nullptr;
    QLabel *Label4 = nullptr;
    QFrame *Bevel1 = nullptr;
    QFrame *Bevel2 = nullptr;

    QAction *N2 = nullptr;                  // Файл > Выход
    QAction *N4 = nullptr;                  // Рубрики > Добавить
    QAction *N5 = nullptr;                  // Директории
    QAction *N7 = nullptr;                  // Справка > О программе
    QAction *PreviewIssueAction = nullptr;  // Выпуск > Предпросмотр…
    QAction *TakeBackIssueAction = nullptr; // Выпуск > Отменить последний выпуск
    QAction *SavePdfAction = nullptr;       // Выпуск > Сохранить в PDF…

    // Правка: taking edits back and making them again, and finding ads.
    QAction *UndoItem = nullptr;
    QAction *RedoItem = nullptr;
    QAction *FindItem = nullptr;
    QAction *FindNextItem = nullptr;
    QAction *FindPreviousItem = nullptr;

    void N2Click();
    void N4Click();
    void N5Click();
    void N7Click();
    void UndoItemClick();
    void RedoItemClick();
    void FindItemClick();
    void FindNextItemClick();
    void FindPreviousItemClick();
    void Button1Click();
    void Button2Click();
    void BitBtn1Click();
    void Button3Click();
    void Button4Click();
    void StringGrid1SelectCell(int column, int row);
    void PreviewIssueClick();
    void TakeBackIssueClick();
    void SavePdfClick();

    // Makes row (1-based) the grid's current row as a click on it would: the
    // memo shows its text, CurrentRow follows, and the grid scrolls to it.
    void selectAdAsClick(int row);

    // The grid's current row (1-based), 0 when no cell is current.
    int currentCellRow() const;
    // Puts the grid's current cell on row (1-based) in the column it has now,
    // without running the selection handler; row 0 leaves no cell current.
    void placeCurrentCell(int row, int column);
    // Makes the cell at row (1-based) and column the grid's current cell exactly
    // as a click on it would (the memo shows the ad's text, CurrentRow follows)
    // and scrolls the grid to it.
    void selectCell(int row, int column);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    void buildMenu();
    void buildEditMenu();
    void updateEditMenu();
    void takeHistoryStep(bool back);
    void FormCreate();
    Status LoadRubricList();
    void WriteHeadings();
    Status LoadAdsFile();
    void reportFailure(const Status &status);

    Workspace &m_workspace;
    IssuePreviewWindow *m_preview = nullptr;
    bool m_placingCell = false; // placeCurrentCell() is moving the cell: not a selection
};

extern TForm1 *Form1;

// Shows a modeless dialog, or brings it to the front if it is already shown.
void showModeless(QWidget *dialog);

// The main window's font: bold fixed-pitch Cyrillic, 13 pixels high.
QFont mainWindowFont();
