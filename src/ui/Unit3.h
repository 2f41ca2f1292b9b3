#pragma once

#include "ui/ModelessDialog.h"

// "Директории"
class TAboutBox1 : public ModelessDialog
{
    Q_OBJECT

public:
    explicit TAboutBox1(QWidget *parent = nullptr);
};

extern TAboutBox1 *AboutBox1;
