#pragma once
// The common part of every label item: a windowless box on the design panel, positioned in
// screen pixels from the panel's top-left corner, named "Special" + number, drawing itself
// into any QPainter. Items know nothing of widgets; the designer reaches them through the
// event hooks and the pop-up menu identifier that the factories attach.
#include "model/Colors.h"

#include <QColor>
#include <QPoint>
#include <QRect>
#include <QString>
#include <cstdint>
#include <functional>

class QMimeData;
class QPainter;

namespace sw {
constexpr int kMaxFontPixels = 4000;
// Item positions and sizes stay within this many pixels of the label's corner, so that box
// arithmetic never overflows whatever a stored text says.
constexpr int kMaxItemPixels = 1 << 24;
constexpr int ClampToInt(long long v)
{
    return v > 2147483647LL ? 2147483647 : v < -2147483648LL ? -2147483647 - 1 : int(v);
}
// Font height in pixels for a size in points at a resolution (-MulDiv(size, ppi, 72), negated).
int FontPixelHeight(int pointSize, double pixelsPerInch);
// Qt's pattern for a fill style code 0..7; any other code fills nothing.
Qt::BrushStyle QtBrushStyle(int style);
// Qt's aliased drawing lights the pixel right of and below a coordinate, where a pixel-centre
// geometry means the pixel around it: shifts the painter half a device pixel back.
void AlignToDevicePixels(QPainter& painter);
} // namespace sw

// Fill styles in the order of their codes 0..7.
enum TBrushStyle {
    bsSolid = 0, bsClear = 1, bsHorizontal = 2, bsVertical = 3,
    bsFDiagonal = 4, bsBDiagonal = 5, bsCross = 6, bsDiagCross = 7
};

struct TItemPen {
    int Width = 1;     // pixels
    TColor Color = 0;
    bool operator==(const TItemPen&) const = default;
};

struct TItemBrush {
    int Style = bsClear;  // TBrushStyle code
    TColor Color = 0;
    bool operator==(const TItemBrush&) const = default;
};

struct TItemFont {
    QString Name = QStringLiteral("Arial");
    int Size = 10;      // points
    TColor Color = 0;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;
    bool operator==(const TItemFont&) const = default;
};

// The command menu a kind of item opens (the menus themselves belong to the designer).
enum class TItemMenu {
    PopupMenuText, PopupMenuCounter, PopupMenuSymbol, PopupMenuShape,
    PopupMenuRoundRect, PopupMenuLine, PopupMenuImage, PopupMenuBarcode
};

class TLabelItem;
class TLabelPanel;

// The three event links of an item. Positions are item-relative pixels. The design panel
// widget calls them for the item under the mouse; empty links do nothing (drag-over refuses).
struct TItemEvents {
    std::function<void(TLabelItem& sender, Qt::MouseButton button, Qt::KeyboardModifiers shift,
                       QPoint pos)> MouseDown;
    std::function<bool(TLabelItem& sender, const QMimeData* source, QPoint pos)> DragOver;
    std::function<void(TLabelItem& sender, const QMimeData* source, QPoint pos)> DragDrop;
};

class TLabelItem {
public:
    virtual ~TLabelItem();
    TLabelItem(const TLabelItem&) = delete;
    TLabelItem& operator=(const TLabelItem&) = delete;

    const QString& Name() const { return name_; }
    void SetName(const QString& name) { name_ = name; }
    // Every walk over the items recognises one by its upper-cased name containing "SPECIAL".
    bool IsSpecial() const;

    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    QRect BoundsRect() const { return QRect(left_, top_, width_, height_); }
    void SetLeft(int v) { SetBounds(v, top_, width_, height_); }
    void SetTop(int v) { SetBounds(left_, v, width_, height_); }
    void SetWidth(int v) { SetBounds(left_, top_, v, height_); }
    void SetHeight(int v) { SetBounds(left_, top_, width_, v); }
    virtual void SetBounds(int left, int top, int width, int height);

    // Draws the item with its box's top-left corner at the painter's origin. deviceScale is
    // device pixels per screen pixel (1 on the design panel; more on a printer).
    void Paint(QPainter& painter, double deviceScale = 1.0);

    // Screen pixels per inch the item's fonts are measured at: the panel's, or 96 alone.
    double PixelsPerInch() const;

    TLabelPanel* Parent() const { return parent_; }

    TItemEvents Events;
    TItemMenu PopupMenu = TItemMenu::PopupMenuText;

protected:
    TLabelItem(int width, int height);
    // Drawing in item-local screen pixels; the painter is already scaled.
    virtual void DoPaint(QPainter& painter) = 0;
    // Asks the panel to draw the item again.
    void Invalidate();
    // The item went onto a panel (its resolution may have changed).
    virtual void ParentChanged() {}

private:
    friend class TLabelPanel;
    QString name_;
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    TLabelPanel* parent_ = nullptr;
};
