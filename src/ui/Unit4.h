#pragma once

#include "ui/ModelessDialog.h"

// "Удаление записи"
class TOKBottomDlg : public ModelessDialog
{
    Q_OBJECT

public:
    explicit TOKBottomDlg(QWidget *parent = nullptr);
};

extern TOKBottomDlg *OKBottomDlg;
