#include "tree/ui/TreeIcons.h"

#include "tree/ItemNodeData.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace zentro {

namespace {

// Every picture is drawn on a 16 x 16 grid and scaled, so one drawing serves
// the normal and the high-density screens.
void folderBack(QPainter &p, const QColor &fill, const QColor &line)
{
    QPainterPath path;
    path.moveTo(1.5, 4);
    path.lineTo(1.5, 2.5);
    path.lineTo(6, 2.5);
    path.lineTo(7.5, 4);
    path.lineTo(14.5, 4);
    path.lineTo(14.5, 13.5);
    path.lineTo(1.5, 13.5);
    path.closeSubpath();
    p.setPen(QPen(line, 1));
    p.setBrush(fill);
    p.drawPath(path);
}

void folderClosed(QPainter &p, const QColor &fill, const QColor &light, const QColor &line)
{
    folderBack(p, fill.darker(115), line);
    p.setBrush(fill);
    p.drawRect(QRectF(1.5, 5.5, 13, 8));
    p.setPen(QPen(light, 1));
    p.drawLine(QPointF(2.5, 6.5), QPointF(13.5, 6.5));
}

void folderOpen(QPainter &p, const QColor &fill, const QColor &light, const QColor &line)
{
    folderBack(p, fill.darker(125), line);
    QPolygonF flap;
    flap << QPointF(4, 7) << QPointF(15.5, 7) << QPointF(13, 13.5) << QPointF(1.5, 13.5);
    p.setPen(QPen(line, 1));
    p.setBrush(light);
    p.drawPolygon(flap);
}

void sheet(QPainter &p, const QColor &fill, const QColor &line, const QColor &lines)
{
    QPainterPath path;
    path.moveTo(2.5, 1.5);
    path.lineTo(9.5, 1.5);
    path.lineTo(12.5, 4.5);
    path.lineTo(12.5, 14.5);
    path.lineTo(2.5, 14.5);
    path.closeSubpath();
    p.setPen(QPen(line, 1));
    p.setBrush(fill);
    p.drawPath(path);
    p.drawLine(QPointF(9.5, 1.5), QPointF(9.5, 4.5));
    p.drawLine(QPointF(9.5, 4.5), QPointF(12.5, 4.5));
    p.setPen(QPen(lines, 1));
    for (qreal y = 6.5; y < 13; y += 2)
        p.drawLine(QPointF(4.5, y), QPointF(10.5, y));
}

void badge(QPainter &p, const QColor &fill)
{
    p.setPen(QPen(Qt::white, 1));
    p.setBrush(fill);
    p.drawEllipse(QRectF(8.5, 8.5, 7, 7));
}

void reader(QPainter &p, bool maintenance)
{
    p.setPen(QPen(QColor(0x22, 0x2a, 0x33), 1));
    p.setBrush(QColor(0x4a, 0x56, 0x64));
    p.drawRoundedRect(QRectF(3.5, 0.5, 9, 15), 2, 2);
    // display
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x9f, 0xd6, 0xf0));
    p.drawRect(QRectF(5, 2, 6, 4));
    // card slot
    p.setBrush(QColor(0x15, 0x1a, 0x20));
    p.drawRect(QRectF(5, 8, 6, 1));
    // light: green when working, red in maintenance
    p.setBrush(maintenance ? QColor(0xe0, 0x30, 0x30) : QColor(0x38, 0xc0, 0x50));
    p.drawEllipse(QRectF(6.5, 11, 3, 3));
    if (maintenance) {
        badge(p, QColor(0xe6, 0x7e, 0x22));
        // spanner: a handle and an open ring
        p.setPen(QPen(Qt::white, 1.3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(10.3, 13.7), QPointF(12.6, 11.4));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(11.6, 9.6, 2.6, 2.6), 100 * 16, 250 * 16);
    }
}

void arrowUp(QPainter &p)
{
    QPolygonF a;
    a << QPointF(12, 9.8) << QPointF(14.4, 12.6) << QPointF(12.8, 12.6) << QPointF(12.8, 14.2) << QPointF(11.2, 14.2)
      << QPointF(11.2, 12.6) << QPointF(9.6, 12.6);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPolygon(a);
}

void tick(QPainter &p)
{
    p.setPen(QPen(Qt::white, 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    QPolygonF t;
    t << QPointF(10.2, 12.1) << QPointF(11.6, 13.5) << QPointF(13.9, 10.5);
    p.drawPolyline(t);
}

void info(QPainter &p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(11.4, 11.4, 1.2, 2.8));
    p.drawEllipse(QRectF(11.4, 9.7, 1.2, 1.2));
}

void table(QPainter &p)
{
    p.setPen(QPen(QColor(0x35, 0x5f, 0x99), 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(1.5, 2.5, 13, 11));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x4a, 0x7e, 0xc2));
    p.drawRect(QRectF(2, 3, 12, 3));
    p.setPen(QPen(QColor(0x9a, 0xb4, 0xd8), 1));
    p.drawLine(QPointF(2, 8.5), QPointF(14, 8.5));
    p.drawLine(QPointF(2, 10.5), QPointF(14, 10.5));
    p.drawLine(QPointF(6.5, 6), QPointF(6.5, 13));
    p.drawLine(QPointF(10.5, 6), QPointF(10.5, 13));
}

void logSheet(QPainter &p, const QColor &fill, const QColor &line, const QColor &band)
{
    sheet(p, fill, line, line.lighter(150));
    p.setPen(Qt::NoPen);
    p.setBrush(band);
    p.drawRect(QRectF(3, 2, 6.5, 3));
    // a clock face: the entries in time order
    p.setPen(QPen(Qt::white, 1));
    p.setBrush(band);
    p.drawEllipse(QRectF(8.5, 8.5, 7, 7));
    p.setPen(QPen(Qt::white, 1, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(12, 12), QPointF(12, 10.2));
    p.drawLine(QPointF(12, 12), QPointF(13.5, 12));
}

const QColor Yellow(0xf2, 0xc6, 0x4d);
const QColor YellowLight(0xfb, 0xe2, 0x8f);
const QColor YellowLine(0x9a, 0x70, 0x20);
const QColor Violet(0x9b, 0x7b, 0xce);
const QColor VioletLight(0xc9, 0xb4, 0xec);
const QColor VioletLine(0x55, 0x3a, 0x86);
const QColor Lavender(0xf1, 0xea, 0xfb);
const QColor Paper(0xff, 0xff, 0xff);
const QColor PaperLine(0x6b, 0x77, 0x84);

bool draw(QPainter &p, int index)
{
    switch (index) {
    case icon::Tabelas:
        table(p);
        return true;
    case icon::FolderOpen:
        folderOpen(p, Yellow, YellowLight, YellowLine);
        return true;
    case icon::FolderClosed:
        folderClosed(p, Yellow, YellowLight, YellowLine);
        return true;
    case icon::ReaderLogs:
        logSheet(p, Paper, PaperLine, QColor(0x1f, 0x8a, 0x9e));
        return true;
    case icon::Reader:
        reader(p, false);
        return true;
    case icon::ReaderMaintenance:
        reader(p, true);
        return true;
    case icon::MasterData:
        sheet(p, Paper, PaperLine, QColor(0xb8, 0xc2, 0xcc));
        badge(p, QColor(0x2e, 0x7b, 0xd6));
        arrowUp(p);
        return true;
    case icon::MasterConfClosed:
        folderClosed(p, Violet, VioletLight, VioletLine);
        return true;
    case icon::MasterConfOpen:
        folderOpen(p, Violet, VioletLight, VioletLine);
        return true;
    case icon::MasterEntry:
        sheet(p, Lavender, VioletLine, Violet);
        return true;
    case icon::Properties:
        sheet(p, Paper, PaperLine, QColor(0xb8, 0xc2, 0xcc));
        badge(p, QColor(0x5d, 0x6d, 0x7e));
        info(p);
        return true;
    case icon::OwnData:
        sheet(p, Paper, PaperLine, QColor(0xb8, 0xc2, 0xcc));
        badge(p, QColor(0x2e, 0x9e, 0x4f));
        tick(p);
        return true;
    case icon::MasterLogs:
        logSheet(p, Lavender, VioletLine, QColor(0x7a, 0x52, 0xb8));
        return true;
    default:
        return false;
    }
}

QPixmap render(int index, int size)
{
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 16.0, size / 16.0);
    draw(p, index);
    return pm;
}

} // namespace

QList<int> TreeIcons::positions()
{
    return {icon::Tabelas,           icon::FolderOpen, icon::FolderClosed,     icon::ReaderLogs,     icon::Reader,
            icon::ReaderMaintenance, icon::MasterData, icon::MasterConfClosed, icon::MasterConfOpen, icon::MasterEntry,
            icon::Properties,        icon::OwnData,    icon::MasterLogs};
}

QIcon TreeIcons::icon(int index)
{
    const auto it = m_cache.constFind(index);
    if (it != m_cache.constEnd())
        return *it;
    QIcon result;
    if (positions().contains(index)) {
        for (int size : {16, 24, 32})
            result.addPixmap(render(index, size));
    }
    m_cache.insert(index, result);
    return result;
}

} // namespace zentro
