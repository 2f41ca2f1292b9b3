#include "ui/Pictures.h"

#include <QFont>
#include <QPainter>

namespace Pictures {

QPixmap programIcon()
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    const QColor blue(0, 0, 128);
    p.fillRect(0, 0, 32, 32, blue);
    p.fillRect(2, 2, 28, 28, QColor(255, 255, 0));

    p.setPen(blue);
    QFont big(QStringLiteral("DejaVu Sans"));
    big.setPixelSize(13);
    big.setBold(true);
    p.setFont(big);
    p.drawText(QRect(2, 2, 28, 15), Qt::AlignCenter, QStringLiteral("ВЕ"));
    QFont small(QStringLiteral("DejaVu Sans Condensed"));
    small.setPixelSize(8);
    small.setBold(true);
    p.setFont(small);
    p.drawText(QRect(2, 17, 28, 12), Qt::AlignCenter, QStringLiteral("v 3.0"));
    return pixmap;
}

QIcon programIconSet()
{
    return QIcon(programIcon());
}

QIcon redCross()
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(192, 0, 0), 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(3, 3, 12, 12);
    p.drawLine(12, 3, 3, 12);
    return QIcon(pixmap);
}

} // namespace Pictures
