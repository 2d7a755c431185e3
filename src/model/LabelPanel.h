#pragma once
// The design panel's model: the label's size in screen pixels, its outline, the resolution its
// items are laid out at and its child items in drawing order (back to front). It owns the items;
// the same paint path serves the design panel widget, the batch renderer and any preview.
#include "model/LabelShape.h"
#include "model/Placeholders.h"

#include <QColor>
#include <QPoint>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

class QPainter;
class TLabelItem;

class TLabelPanel {
public:
    explicit TLabelPanel(double pixelsPerInch = 96.0);
    ~TLabelPanel();
    TLabelPanel(const TLabelPanel&) = delete;
    TLabelPanel& operator=(const TLabelPanel&) = delete;

    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetSize(int width, int height);
    TLabelShapeType Shape() const { return shape_; }
    // Setting the shape already held does nothing.
    void SetShape(TLabelShapeType shape);
    double PixelsPerInch() const { return ppi_; }

    // Children in drawing order, back first.
    const std::vector<std::unique_ptr<TLabelItem>>& Children() const { return children_; }
    // Takes the item and puts it in front of every item before it.
    TLabelItem& InsertItem(std::unique_ptr<TLabelItem> item);
    // Takes the item off the panel and hands it back (null when not a child).
    std::unique_ptr<TLabelItem> RemoveItem(TLabelItem* item);
    void BringToFront(TLabelItem* item);
    void SendToBack(TLabelItem* item);
    bool Contains(const TLabelItem* item) const;

    // The child with this name, compared case-insensitively as component names are.
    TLabelItem* FindComponent(const QString& name) const;
    // The frontmost child whose box holds the point (panel pixels), or null.
    TLabelItem* ItemAt(QPoint pos) const;

    // The panel as the designer shows it: grey, the label's outline, every item in drawing
    // order. The painter's origin is the panel's top-left; deviceScale as in TLabelItem::Paint.
    void Paint(QPainter& painter, double deviceScale = 1.0) const;

    // The text a text item shows for its caption (a merge label's field values); not set: the
    // caption itself. Stored texts never change through it.
    std::function<QString(const QString& caption)> ShownText;
    // The value a merge field shows on the panel (in a barcode's data), or nothing when the
    // label has no such field. Not set: no merge fields.
    sw::TFieldLookup FieldValue;
    // Lays every text item out again after what ShownText gives has changed.
    void RelayOutTexts();

    // Called whenever something on the panel needs drawing again (the widget repaints).
    std::function<void()> Changed;
    void NotifyChanged() const;

    static QColor BackgroundColor() { return QColor(128, 128, 128); }

private:
    double ppi_;
    int width_ = 0, height_ = 0;
    TLabelShapeType shape_ = lsRoundRect;
    std::vector<std::unique_ptr<TLabelItem>> children_;
};
