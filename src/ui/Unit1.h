#pragma once

#include "data/AdGridModel.h"
#include "data/AdsFile.h"
#include "files/Status.h"

#include <QMainWindow>

#include <optional>

class AdGridView;
class QAction;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

// Program-wide state: the three file locations and the grid row on which
// changing and deleting act (1 is the first ad; the heading row is never current).
extern QString AdsPath;
extern QString RubricsPath;
extern QString TemplatePath;
extern int CurrentRow;

// An ad as the main window's input controls give it. Runs is absent while no
// count of insertions is checked.
struct ComposedAd
{
    std::optional<QString> runs;
    QString text;
    QString rubric;
};

// Success if the ads file can hold every field of ad and give it back the same:
// no "|" (the file's field separator, which has no escape), no line break, and
// nothing that Windows-1251 lacks. Otherwise the message names the first
// offending character and the field it is in.
Status checkStorable(const ComposedAd &ad);

// The main window: the ad grid, the controls an ad is composed from, the menu.
class TForm1 : public QMainWindow
{
    Q_OBJECT

public:
    explicit TForm1(QWidget *parent = nullptr);
    ~TForm1() override;

    // The one copy of the ad list while the program runs.
    AdGridModel &grid() { return m_grid; }

    // Rewrites the ads file at AdsPath from the grid.
    Status SaveAdsFile();

    // Composes an ad from the memo, the count of insertions and the rubric
    // selector, and leaves the joined text in Edit3. The memo's lines are taken
    // as typed (its hard line breaks, not its display wrapping) and joined with
    // one space; a line break at the very end adds nothing.
    ComposedAd ComposeAd();
    // Writes composed over the ad at index `ad` (0-based): Runs only when present,
    // then Text and Rubric. Expects an ad that checkStorable() accepts.
    void writeAd(int ad, const ComposedAd &composed);
    // The index (0-based) of the ad CurrentRow designates, or a failure telling
    // the operator that no ad is selected.
    Result<int> currentAd() const;

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

    QAction *N2 = nullptr; // Файл > Выход
    QAction *N4 = nullptr; // Рубрики > Добавить
    QAction *N5 = nullptr; // Директории
    QAction *N7 = nullptr; // Справка > О программе

    void N2Click();
    void N4Click();
    void N5Click();
    void N7Click();
    void Button1Click();
    void Button2Click();
    void BitBtn1Click();
    void Button3Click();
    void Button4Click();
    void StringGrid1SelectCell(int column, int row);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    void buildMenu();
    void FormCreate();
    Status LoadRubricList();
    void WriteHeadings();
    Status LoadAdsFile();
    void reportFailure(const Status &status);

    AdGridModel m_grid;
    AdsFile m_adsFile;
};

extern TForm1 *Form1;

// Shows a modeless dialog, or brings it to the front if it is already shown.
void showModeless(QWidget *dialog);

// The main window's font: bold fixed-pitch Cyrillic, 13 pixels high.
QFont mainWindowFont();
