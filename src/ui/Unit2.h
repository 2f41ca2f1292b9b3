#pragma once

#include "ui/ModelessDialog.h"

// "Рубрики"
class TAboutBox : public ModelessDialog
{
    Q_OBJECT

public:
    explicit TAboutBox(QWidget *parent = nullptr);
};

extern TAboutBox *AboutBox;
