#include "app/ui/ProgramIcon.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPixmap>

namespace zentro {

QIcon ProgramIcon()
{
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        const qreal u = size / 16.0;
        QLinearGradient body(0, 0, 0, size);
        body.setColorAt(0, QColor(0x0b, 0x3d, 0x6b));
        body.setColorAt(1, QColor(0x12, 0x7a, 0x8a));
        p.setPen(Qt::NoPen);
        p.setBrush(body);
        p.drawRoundedRect(QRectF(1 * u, 3 * u, 14 * u, 12 * u), 2 * u, 2 * u);
        p.setBrush(Qt::white);
        p.drawRoundedRect(QRectF(4.5 * u, 0.5 * u, 7 * u, 9 * u), 1 * u, 1 * u);
        p.setBrush(QColor(0xe8, 0xb9, 0x3c));
        p.drawRect(QRectF(6 * u, 2 * u, 2.5 * u, 2 * u));
        p.setBrush(QColor(0, 0, 0, 110));
        p.drawRect(QRectF(3 * u, 9.5 * u, 10 * u, 1 * u));
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace zentro
