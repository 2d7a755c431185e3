#include "app/ToolsPanel.h"

#include <QCheckBox>
#include <QFrame>
#include <QPainter>
#include <QPainterPath>
#include <QToolButton>

namespace {

enum class Glyph { Text, Rect, Ellipse, RoundRect, Symbol, HLine, VLine, Image, Counter, Barcode,
                   Properties, Up, Down, Right, Left, Cut };

QIcon MakeGlyph(Glyph g)
{
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing, g == Glyph::Ellipse || g == Glyph::Symbol);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::NoBrush);
    QFont f(QStringLiteral("Liberation Sans"));
    f.setPixelSize(9);
    f.setBold(true);
    p.setFont(f);
    auto arrow = [&p](QPointF a, QPointF b, QPointF c) {
        p.setBrush(Qt::black);
        const QPointF tri[3] = {a, b, c};
        p.drawPolygon(tri, 3);
    };
    switch (g) {
    case Glyph::Text: p.drawText(QRect(0, 0, 16, 16), Qt::AlignCenter, QStringLiteral("Abc")); break;
    case Glyph::Rect: p.drawRect(2, 3, 11, 9); break;
    case Glyph::Ellipse: p.drawEllipse(QRectF(1.5, 3.5, 13, 9)); break;
    case Glyph::RoundRect: p.drawRoundedRect(QRectF(1.5, 3.5, 12, 9), 3, 3); break;
    case Glyph::Symbol:
        p.drawEllipse(QRectF(2.5, 2.5, 11, 11));
        p.drawPoint(6, 6);
        p.drawPoint(10, 6);
        p.drawArc(QRectF(5, 6, 6, 5), 200 * 16, 140 * 16);
        break;
    case Glyph::HLine: p.fillRect(1, 7, 14, 2, Qt::black); break;
    case Glyph::VLine: p.fillRect(7, 1, 2, 14, Qt::black); break;
    case Glyph::Image:
        p.drawRect(1, 2, 13, 11);
        arrow(QPointF(3, 12), QPointF(7, 6), QPointF(10, 12));
        p.drawEllipse(QPointF(11, 5), 1.5, 1.5);
        break;
    case Glyph::Counter: p.drawText(QRect(0, 0, 16, 16), Qt::AlignCenter, QStringLiteral("123")); break;
    case Glyph::Barcode:
        for (const int x : {1, 3, 6, 7, 9, 12, 14})
            p.fillRect(x, 2, x == 6 || x == 12 ? 2 : 1, 12, Qt::black);
        break;
    case Glyph::Properties:
        p.drawRect(2, 2, 11, 11);
        p.drawLine(4, 5, 11, 5);
        p.drawLine(4, 8, 11, 8);
        p.drawLine(4, 11, 9, 11);
        break;
    case Glyph::Up: arrow(QPointF(8, 3), QPointF(13, 11), QPointF(3, 11)); break;
    case Glyph::Down: arrow(QPointF(8, 12), QPointF(13, 4), QPointF(3, 4)); break;
    case Glyph::Right: arrow(QPointF(12, 8), QPointF(4, 3), QPointF(4, 13)); break;
    case Glyph::Left: arrow(QPointF(3, 8), QPointF(11, 3), QPointF(11, 13)); break;
    case Glyph::Cut:
        p.setPen(QPen(Qt::black, 2));
        p.drawLine(4, 4, 12, 12);
        p.drawLine(12, 4, 4, 12);
        break;
    }
    return QIcon(pm);
}

QToolButton* MakeButton(QWidget* parent, const char* name, Glyph glyph, int left, int top,
                        int width, const QString& tip)
{
    auto* b = new QToolButton(parent);
    b->setObjectName(QLatin1String(name));
    b->setIcon(MakeGlyph(glyph));
    b->setIconSize(QSize(16, 16));
    b->setGeometry(left, top, width, 23);
    b->setFocusPolicy(Qt::NoFocus);
    b->setToolTip(tip);
    return b;
}

} // namespace

TToolsPanel::TToolsPanel(QWidget* parent)
    : TFloatPanel(parent)
{
    setObjectName(QStringLiteral("ToolsPanel"));
    SetTitleCaption(QStringLiteral("Tools"));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(192, 192, 192));
    setPalette(pal);
    resize(161, 179);

    DropTextButton = MakeButton(this, "DropTextButton", Glyph::Text, 16, 31, 23, tr("Text"));
    DropRectButton = MakeButton(this, "DropRectButton", Glyph::Rect, 42, 31, 23, tr("Rectangle"));
    DropEllipseButton = MakeButton(this, "DropEllipseButton", Glyph::Ellipse, 69, 31, 23, tr("Ellipse"));
    DropRoundRectButton = MakeButton(this, "DropRoundRectButton", Glyph::RoundRect, 95, 31, 23,
                                     tr("Round rectangle"));
    DropSymbolButton = MakeButton(this, "DropSymbolButton", Glyph::Symbol, 121, 31, 23, tr("Symbol"));
    DropHLineButton = MakeButton(this, "DropHLineButton", Glyph::HLine, 16, 58, 23, tr("Horizontal line"));
    DropVLineButton = MakeButton(this, "DropVLineButton", Glyph::VLine, 42, 58, 23, tr("Vertical line"));
    DropImageButton = MakeButton(this, "DropImageButton", Glyph::Image, 69, 58, 23, tr("Image"));
    DropCounterButton = MakeButton(this, "DropCounterButton", Glyph::Counter, 95, 58, 23, tr("Counter"));
    DropBarcodeButton = MakeButton(this, "DropBarcodeButton", Glyph::Barcode, 121, 58, 23, tr("Barcode"));

    auto* sep = new QFrame(this);
    sep->setFrameShape(QFrame::HLine);
    sep->setFrameShadow(QFrame::Sunken);
    sep->setGeometry(12, 92, 136, 2);

    PropertiesButton = MakeButton(this, "PropertiesButton", Glyph::Properties, 16, 115, 25,
                                  tr("Properties of the selected item"));
    PosUpButton = MakeButton(this, "PosUpButton", Glyph::Up, 46, 115, 23, tr("Move up"));
    PosDownButton = MakeButton(this, "PosDownButton", Glyph::Down, 70, 115, 23, tr("Move down"));
    PosRightButton = MakeButton(this, "PosRightButton", Glyph::Right, 94, 115, 23, tr("Move right"));
    PosLeftButton = MakeButton(this, "PosLeftButton", Glyph::Left, 118, 115, 23, tr("Move left"));
    for (QToolButton* b : {PosUpButton, PosDownButton, PosRightButton, PosLeftButton}) {
        b->setAutoRepeat(true);
        b->setAutoRepeatDelay(100);
        b->setAutoRepeatInterval(50);
    }
    CutObjectButton = MakeButton(this, "CutObjectButton", Glyph::Cut, 16, 144, 25,
                                 tr("Click here to delete the currently highlighted item on the label"));

    MoveAll = new QCheckBox(tr("Move All"), this);
    MoveAll->setObjectName(QStringLiteral("MoveAll"));
    MoveAll->setGeometry(64, 143, 66, 17);
    MoveAll->setFocusPolicy(Qt::NoFocus);

    SetFullHeight(179);
}

QList<QToolButton*> TToolsPanel::DropButtons() const
{
    return {DropTextButton, DropRectButton, DropEllipseButton, DropRoundRectButton, DropSymbolButton,
            DropHLineButton, DropVLineButton, DropImageButton, DropCounterButton, DropBarcodeButton};
}
