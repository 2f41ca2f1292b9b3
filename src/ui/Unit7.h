#pragma once

#include "ui/ModelessDialog.h"

class QFrame;
class QLabel;
class QPushButton;

// "About": the program's name, version and icon.
class TAboutBox3 : public ModelessDialog
{
    Q_OBJECT

public:
    explicit TAboutBox3(QWidget *parent = nullptr);

    QFrame *Panel1 = nullptr;
    QLabel *ProductName = nullptr;
    QLabel *Version = nullptr;
    QLabel *Image1 = nullptr;
    QPushButton *OKButton = nullptr;

    void OKButtonClick();
};

extern TAboutBox3 *AboutBox3;
