#pragma once

#include "ui/FileDialog.h"
#include "ui/ModelessDialog.h"

class QLabel;
class QLineEdit;
class QPushButton;
class Workspace;

// "Директории": the paths of the ads file, the rubric list and the template.
// The fields are copied from the paths at creation and back only by "OK";
// nothing is reloaded, each path takes effect at the next access to its file.
class TAboutBox1 : public ModelessDialog
{
    Q_OBJECT

public:
    explicit TAboutBox1(Workspace &workspace, QWidget *parent = nullptr);

    QLabel *Label1 = nullptr; // "Объявления:"
    QLabel *Label2 = nullptr; // "Рубрики:"
    QLabel *Label3 = nullptr; // "Шаблон:"
    QLineEdit *Edit1 = nullptr;
    QLineEdit *Edit2 = nullptr;
    QLineEdit *Edit3 = nullptr;
    QPushButton *Button1 = nullptr; // "Открыть" for Edit1
    QPushButton *Button2 = nullptr; // "Открыть" for Edit2
    QPushButton *Button4 = nullptr; // "Открыть" for Edit3
    QPushButton *OKButton = nullptr;
    QPushButton *Button3 = nullptr; // "Отмена"
    // Rows 1 and 2 share OpenDialog1, and with it the file last chosen.
    FileDialog OpenDialog1;
    FileDialog OpenDialog2;

    void Button1Click();
    void Button2Click();
    void Button4Click();
    // Sets AdsPath, RubricsPath and TemplatePath from the fields, as they
    // stand, and hides.
    void OKButtonClick();
    void Button3Click();

private:
    void FormCreate();
    QLineEdit *addRow(int top, const QString &caption, const char *number, QLabel *&label,
                      QPushButton *&button, const char *buttonName, const QString &opens);
    void chooseInto(FileDialog &dialog, QLineEdit *field);

    Workspace &m_workspace;
};

extern TAboutBox1 *AboutBox1;
