#pragma once
// The label's items as the window works with them: the factories that create each kind (on a
// drop and when a label is read), the names "Special1".."Special1000", the stacking order
// OrderList (back first) and deletion. The items themselves live on the TLabelPanel.
#include "model/Barcode.h"
#include "model/LabelItem.h"

#include <QString>
#include <functional>
#include <memory>
#include <vector>

namespace sw {
class Picture;
}

class IItemHost;
class TLabelPanel;
class Tmo3DLabel;
class TCounterLabel;
class TSymbol;
class TMoShape;
class TLineShape;
class TImageItem;
class TBarcodeItem;

namespace sw {
constexpr int kMaxItems = 1000;
// The refusal when every name is taken.
QString LabelFullMessage();
inline constexpr const char* kCounterLimitMessage = "There is a limit of one Counter per label";
} // namespace sw

class TLabelItems {
public:
    TLabelItems(TLabelPanel& panel, IItemHost& host);

    TLabelPanel& Panel() const { return panel_; }
    IItemHost& Host() const { return host_; }

    // Factories. Width or height 0 (or less) keeps the kind's own size. Each returns the item
    // made, or null when it made none (limit, cancelled dialog, missing picture, label full).
    Tmo3DLabel* CreateTextItem(const QString& text, int top, int left, int width, int height,
                               int angle, const QString& fontName, int fontSize, TColor fontColor,
                               bool bold, bool italic, bool underline);
    // startingNumber -1: ask both values (one counter per label).
    TCounterLabel* CreateCounterItem(int top, int left, int width, int height, int angle,
                                     const QString& fontName, int fontSize, TColor fontColor,
                                     bool bold, bool italic, bool underline, int startingNumber,
                                     int repeatEach);
    // asciiChar 0: ask the symbol chooser.
    TSymbol* CreateSymbolItem(int asciiChar, int top, int left, int width, int height,
                              int fontSize, TColor fontColor);
    // shapeType 0, 2 or 4; rounding used for 2 only; brushStyle 0..7.
    TMoShape* CreateShapeItem(int shapeType, int top, int left, int width, int height,
                              TColor color, TColor lineColor, int lineThickness, int rounding,
                              int brushStyle);
    // orientation 0 horizontal, 1 vertical.
    TLineShape* CreateLineItem(int orientation, int top, int left, int width, int height,
                               TColor lineColor, int lineThickness);
    // Empty fileName: ask the image browser.
    TImageItem* CreateImageItem(int top, int left, int width, int height, const QString& fileName,
                                bool stretch);

    // Width or height 0: the symbology's own size (sides swapped at 90 and 270 degrees).
    TBarcodeItem* CreateBarcodeItem(sw::TSymbology symbology, const QString& data, bool showText,
                                    int top, int left, int width, int height, TColor lineColor,
                                    int angle);

    // The first of prefix+"1" .. prefix+"1000" no child of the panel is named; empty when all
    // are taken.
    QString FindNextAvailable(const QString& prefix) const;
    bool IsFull() const { return FindNextAvailable(QStringLiteral("Special")).isEmpty(); }

    void DeleteObject(TLabelItem* item);
    // Removes every item; no change notification.
    void DeleteAllItems();
    bool AlreadyACounter() const;

    // Off while items are rebuilt from a text the program wrote itself (undo, paste): the
    // values that would open a dialog (starting number -1, character 0, no file) are taken
    // as they are, and nothing is asked.
    void SetInteractive(bool on) { interactive_ = on; }
    bool Interactive() const { return interactive_; }
    // Where image items get their picture: by default the file is read; a history can hand
    // back the picture it already holds (null function: read the file).
    using PictureSource = std::function<bool(const QString& path, sw::Picture& picture)>;
    void SetPictureSource(PictureSource source) { pictureSource_ = std::move(source); }

    const std::vector<TLabelItem*>& OrderList() const { return order_; }
    void OrderListAdd(TLabelItem* item);
    void OrderListSendToBack(TLabelItem* item);
    void OrderListBringToFront(TLabelItem* item);
    void OrderListDelete(TLabelItem* item);

private:
    // Common creation steps: name, panel, events, menu, OrderList. Null when the label is full.
    template <class T> T* Place(std::unique_ptr<T> item, TItemMenu menu);

    TLabelPanel& panel_;
    IItemHost& host_;
    std::vector<TLabelItem*> order_;
    bool interactive_ = true;
    PictureSource pictureSource_;
};
