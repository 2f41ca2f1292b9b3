#pragma once

#include "ui/FileDialog.h"
#include "ui/ModelessDialog.h"
#include "word/DocumentAssembler.h"

class QFrame;
class QLineEdit;
class QPushButton;
class Workspace;

// "Создание файла": typesets an issue into the file named in Edit1 and charges
// it to the ads. Modeless: "&Создать" takes the ads, the rubric list and the
// paths as they are when it is pressed.
class TAboutBox2 : public ModelessDialog
{
    Q_OBJECT

public:
    explicit TAboutBox2(Workspace &workspace, QWidget *parent = nullptr);

    QFrame *Bevel1 = nullptr;
    QLineEdit *Edit1 = nullptr;      // the issue document's file name
    QPushButton *Button1 = nullptr;  // "Сохронить"
    QPushButton *OKButton = nullptr; // "&Создать"
    QPushButton *BitBtn1 = nullptr;  // "&Отмена"
    FileDialog SaveDialog1;
    DocumentAssembler WordApplication1; // the document engine

    // Builds the issue, hides, then runs expiry and rewrites the ads file. A
    // build that fails shows its message and leaves the dialog shown, with no
    // insertion consumed.
    void OKButtonClick();
    // Chooses the file name with the save dialog; a cancel leaves Edit1.
    void Button1Click();
    void BitBtn1Click();

private:
    Workspace &m_workspace;
};

extern TAboutBox2 *AboutBox2;
