#pragma once

#include "ui/ModelessDialog.h"

class QFrame;
class Workspace;
class QLabel;
class QPushButton;

// "Удаление записи": confirms deleting the ad at CurrentRow. Modeless, so "OK"
// acts on CurrentRow as it is when pressed.
class TOKBottomDlg : public ModelessDialog
{
    Q_OBJECT

public:
    explicit TOKBottomDlg(Workspace &workspace, QWidget *parent = nullptr);

    QFrame *Bevel1 = nullptr;
    QLabel *Image1 = nullptr;
    QLabel *Label1 = nullptr;
    QPushButton *OKBtn = nullptr;
    QPushButton *CancelBtn = nullptr;

    // Removes the ad at CurrentRow, saves the ads file and hides. Stays open,
    // after telling the operator, when no ad is selected or the save fails.
    void OKBtnClick();
    void CancelBtnClick();

private:
    Workspace &m_workspace;
};

extern TOKBottomDlg *OKBottomDlg;
