#pragma once

#include "ui/ModelessDialog.h"

// "Изменение записи"
class TForm5 : public ModelessDialog
{
    Q_OBJECT

public:
    explicit TForm5(QWidget *parent = nullptr);
};

extern TForm5 *Form5;
