#pragma once

#include "data/AdSearch.h"
#include "ui/ModelessDialog.h"

class QLabel;
class QLineEdit;
class QPushButton;
class Workspace;

// "Поиск объявления": finds ads by a piece of their text or rubric (AdSearch)
// and makes the ad found the grid's current row, as a click on it would.
// Modeless; what a search has to say (it went round the end of the list,
// nothing matches, how many ads match) is shown in the window, never in a
// message box.
class FindWindow : public ModelessDialog
{
    Q_OBJECT

public:
    explicit FindWindow(Workspace &workspace, QWidget *parent = nullptr);

    QLabel *QueryLabel = nullptr;
    QLineEdit *QueryEdit = nullptr;
    QPushButton *NextButton = nullptr;     // "Найти далее", the default button
    QPushButton *PreviousButton = nullptr; // "Найти ранее"
    QLabel *NoteLabel = nullptr;           // went round the end, or nothing found
    QLabel *CountLabel = nullptr;          // how many ads match

    // Shows the window, or brings it to the front, with the query selected
    // for typing over.
    void open();
    // From the grid's current row to the next (previous) matching ad. With
    // nothing to look for, opens the window instead; a hidden window is shown,
    // without taking the focus, so that its notes can be read.
    void findNext();
    void findPrevious();

private:
    void find(AdSearch::Direction direction);
    void queryEdited();

    Workspace &m_workspace;
};

extern FindWindow *FindWindow1;
