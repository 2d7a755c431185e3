#include "ui/TiledScrollArea.h"

#include <QPainter>

TTiledScrollArea::TTiledScrollArea(QWidget* parent)
    : QScrollArea(parent)
{
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(false);
    SetTile(DefaultTile());
}

void TTiledScrollArea::SetTile(const QPixmap& tile)
{
    tile_ = tile;
    QPalette pal = viewport()->palette();
    pal.setBrush(QPalette::Window, QBrush(tile_));
    viewport()->setPalette(pal);
    viewport()->setAutoFillBackground(true);
}

QPixmap TTiledScrollArea::DefaultTile()
{
    QPixmap pm(32, 32);
    pm.fill(QColor(128, 128, 128));
    QPainter p(&pm);
    p.setPen(QColor(120, 120, 120));
    for (int i = 0; i < 32; i += 4)
        p.drawLine(i, 0, 0, i), p.drawLine(31, i, i, 31);
    return pm;
}
