#include "ui/Pictures.h"

#include <QFont>
#include <QPainter>
#include <QPolygon>

namespace Pictures {

QPixmap programIcon(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.scale(size / 32.0, size / 32.0);
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

QIcon noGlyph()
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(192, 0, 0), 2));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(2, 2, 12, 12));
    p.drawLine(QPointF(4.5, 4.5), QPointF(11.5, 11.5));
    return QIcon(pixmap);
}

QPixmap deleteWarning()
{
    // Hard edges only: every pixel keeps one of the 16 palette colours.
    const QColor black(0, 0, 0);
    const QColor white(255, 255, 255);
    const QColor grey(128, 128, 128);
    const QColor yellow(255, 255, 0);
    const QColor olive(128, 128, 0);
    const QColor red(255, 0, 0);
    const QColor maroon(128, 0, 0);

    QPixmap pixmap(39, 39);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);

    // The folder's back with its tab.
    p.setPen(black);
    p.setBrush(olive);
    p.drawPolygon(QPolygon({{4, 8}, {14, 8}, {17, 11}, {35, 11}, {35, 33}, {4, 33}}));

    // The document standing in it, its corner folded.
    p.setBrush(white);
    p.drawPolygon(QPolygon({{9, 3}, {25, 3}, {30, 8}, {30, 26}, {9, 26}}));
    p.drawPolyline(QPolygon({{25, 3}, {25, 8}, {30, 8}}));
    p.setPen(grey);
    for (int y = 11; y <= 22; y += 3)
        p.drawLine(12, y, 27, y);

    // The folder's front flap over the document.
    p.setPen(black);
    p.setBrush(yellow);
    p.drawPolygon(QPolygon({{2, 18}, {33, 18}, {36, 34}, {5, 34}}));

    // The warning at the lower left.
    p.setPen(maroon);
    p.setBrush(red);
    p.drawEllipse(QRect(1, 21, 16, 16));
    p.fillRect(8, 24, 3, 7, white);
    p.fillRect(8, 32, 3, 2, white);
    return pixmap;
}

QPixmap redCircle(QSize size)
{
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(QColor(255, 0, 0));
    const int diameter = qMin(size.width(), size.height()) - 1;
    QRectF circle(0, 0, diameter, diameter);
    circle.moveCenter(QRectF(QPointF(), QSizeF(size)).center());
    p.drawEllipse(circle);
    return pixmap;
}

} // namespace Pictures
