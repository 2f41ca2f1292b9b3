#pragma once

#include "ui/ModelessDialog.h"

// "Создание файла"
class TAboutBox2 : public ModelessDialog
{
    Q_OBJECT

public:
    explicit TAboutBox2(QWidget *parent = nullptr);
};

extern TAboutBox2 *AboutBox2;
