#pragma once

#include "ui/ModelessDialog.h"

class QFrame;
class Workspace;
class QLabel;
class QPushButton;

// "Изменение записи": confirms overwriting the ad at CurrentRow with the one the
// main window's input controls compose. Modeless, so "OK" acts on CurrentRow and
// the controls as they are when pressed.
class TForm5 : public ModelessDialog
{
    Q_OBJECT

public:
    explicit TForm5(Workspace &workspace, QWidget *parent = nullptr);

    QLabel *Shape1 = nullptr;
    QFrame *Bevel1 = nullptr;
    QLabel *Label1 = nullptr;
    QPushButton *Button1 = nullptr; // OK
    QPushButton *Button2 = nullptr; // Cancel

    // Composes an ad, writes it over the ad at CurrentRow, saves the ads file
    // and hides. Stays open, after telling the operator, when no ad is
    // selected, the ad cannot be stored or the save fails.
    void Button1Click();
    void Button2Click();

private:
    Workspace &m_workspace;
};

extern TForm5 *Form5;
