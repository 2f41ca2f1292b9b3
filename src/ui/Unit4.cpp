#include "ui/Unit4.h"

TOKBottomDlg *OKBottomDlg = nullptr;

TOKBottomDlg::TOKBottomDlg(QWidget *parent) : ModelessDialog(QStringLiteral("Удаление записи"), QSize(313, 128), true, parent)
{
    setObjectName(QStringLiteral("OKBottomDlg"));
}
