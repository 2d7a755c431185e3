#include "designer/DragCursors.h"

#include <QBitmap>
#include <QPainter>
#include <QPainterPath>

namespace sw {

namespace {

// Draws the picture of a cursor; pen widths grow by 'halo' for the mask.
void DrawPicture(QPainter& p, const QString& name, int halo)
{
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::color1, 1 + halo, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    if (name == QLatin1String("DRAG_TEXT") || name == QLatin1String("DRAG_COUNTER")) {
        QFont f(QStringLiteral("DejaVu Sans"));
        f.setPixelSize(13);
        f.setBold(true);
        QPainterPath path;
        path.addText(1, 14, f, name == QLatin1String("DRAG_TEXT") ? QStringLiteral("Text") : QStringLiteral("123"));
        if (halo)
            p.strokePath(path, QPen(Qt::color1, 1 + 2 * halo));
        p.fillPath(path, Qt::color1);
    } else if (name == QLatin1String("DRAG_RECT")) {
        p.drawRect(1, 1, 20, 14);
    } else if (name == QLatin1String("DRAG_ROUNDRECT")) {
        p.drawRoundedRect(1, 1, 20, 14, 5, 5);
    } else if (name == QLatin1String("DRAG_ELLIPSE")) {
        p.drawEllipse(1, 1, 20, 14);
    } else if (name == QLatin1String("DRAG_HLINE")) {
        p.fillRect(QRect(1 - halo, 1 - halo, 22 + 2 * halo, 4 + 2 * halo), Qt::color1);
    } else if (name == QLatin1String("DRAG_VLINE")) {
        p.fillRect(QRect(1 - halo, 1 - halo, 4 + 2 * halo, 22 + 2 * halo), Qt::color1);
    } else if (name == QLatin1String("DRAG_GRAPHIC")) {
        // A pencil from its point at the hot spot up to the right.
        const QPolygon body({QPoint(1, 1), QPoint(7, 3), QPoint(22, 18), QPoint(18, 22), QPoint(3, 7)});
        p.drawPolygon(body);
        p.drawLine(QPoint(5, 9), QPoint(9, 5));
        p.drawLine(QPoint(16, 24), QPoint(24, 16));
    } else if (name == QLatin1String("DRAG_BARCODE")) {
        // Bars of two widths over a short base line.
        for (const int x : {1, 4, 6, 10, 13, 15, 19, 22})
            p.fillRect(QRect(x - halo, 1 - halo, (x == 6 || x == 15 ? 2 : 1) + 2 * halo, 16 + 2 * halo), Qt::color1);
    } else if (name == QLatin1String("DRAG_SYMBOL")) {
        p.drawEllipse(1, 1, 18, 18);
        p.drawPoint(7, 7);
        p.drawPoint(13, 7);
        p.drawArc(5, 6, 10, 9, 200 * 16, 140 * 16);
    }
}

} // namespace

QPixmap ToolDragPicture(const QString& name)
{
    QBitmap ink(32, 32);
    ink.fill(Qt::color0);
    QBitmap mask(32, 32);
    mask.fill(Qt::color0);
    {
        QPainter p(&ink);
        DrawPicture(p, name, 0);
    }
    {
        QPainter p(&mask);
        DrawPicture(p, name, 1);
        DrawPicture(p, name, 0);
    }
    QPixmap pix(32, 32);
    pix.fill(Qt::transparent);
    QImage img(32, 32, QImage::Format_ARGB32);
    const QImage inkImg = ink.toImage();
    const QImage maskImg = mask.toImage();
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const bool opaque = maskImg.pixelIndex(x, y) == 1 || inkImg.pixelIndex(x, y) == 1;
            img.setPixel(x, y, !opaque ? 0 : (inkImg.pixelIndex(x, y) == 1 ? 0xFF000000 : 0xFFFFFFFF));
        }
    return QPixmap::fromImage(img);
}

QCursor ToolDragCursor(const QString& name)
{
    if (!name.startsWith(QLatin1String("DRAG_")))
        return QCursor(Qt::ArrowCursor);
    return QCursor(ToolDragPicture(name), 0, 0);
}

QString DragCursorName(const QString& buttonName)
{
    static const struct {
        const char* button;
        const char* cursor;
    } table[] = {
        {"DropTextButton", "DRAG_TEXT"},       {"DropRectButton", "DRAG_RECT"},
        {"DropRoundRectButton", "DRAG_ROUNDRECT"}, {"DropEllipseButton", "DRAG_ELLIPSE"},
        {"DropHLineButton", "DRAG_HLINE"},     {"DropVLineButton", "DRAG_VLINE"},
        {"DropImageButton", "DRAG_GRAPHIC"},   {"DropCounterButton", "DRAG_COUNTER"},
        {"DropSymbolButton", "DRAG_SYMBOL"},   {"DropBarcodeButton", "DRAG_BARCODE"},
    };
    for (const auto& row : table)
        if (buttonName == QLatin1String(row.button))
            return QLatin1String(row.cursor);
    return {};
}

} // namespace sw
