#pragma once

#include "ui/ModelessDialog.h"

class QLineEdit;
class QListWidget;
class QPushButton;
class Workspace;

// "Рубрики": adds rubrics. The list is the dialog's own copy of the rubric
// selector's names, taken at creation and extended by each addition; the
// dialog stays open for more.
class TAboutBox : public ModelessDialog
{
    Q_OBJECT

public:
    explicit TAboutBox(Workspace &workspace, QWidget *parent = nullptr);

    QListWidget *ListBox1 = nullptr;
    QLineEdit *Edit1 = nullptr;      // the new rubric's name
    QPushButton *OKButton = nullptr; // "Добавить"
    QPushButton *Button1 = nullptr;  // "Отмена"

    // Adds the name in Edit1: to the list, to the main window's selector
    // (keeping the text it shows), to the rubric list file, and creates its
    // bucket file. A name the workspace refuses changes nothing; a failure of
    // the file changes after the lists were extended is shown and leaves them
    // extended.
    void OKButtonClick();
    void Button1Click();

private:
    void FormCreate();

    Workspace &m_workspace;
};

extern TAboutBox *AboutBox;
