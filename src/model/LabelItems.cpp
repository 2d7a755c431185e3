#include "model/LabelItems.h"
#include "model/BarcodeItem.h"
#include "model/ImageItem.h"
#include "model/ItemHost.h"
#include "model/LabelPanel.h"
#include "model/LineShape.h"
#include "model/MoShape.h"
#include "model/Picture.h"
#include "model/Symbol.h"
#include "model/TextLabel.h"

#include "model/Symbols.h"

#include <QFileInfo>
#include <algorithm>

namespace sw {
QString LabelFullMessage()
{
    return QStringLiteral("This label holds %1 items, the most a label can hold. Delete an item "
                          "before adding another.")
        .arg(kMaxItems);
}
} // namespace sw

TLabelItems::TLabelItems(TLabelPanel& panel, IItemHost& host)
    : panel_(panel)
    , host_(host)
{
}

QString TLabelItems::FindNextAvailable(const QString& prefix) const
{
    // Component names compare without regard to case; only prefix + a plain number can clash.
    std::vector<bool> taken(size_t(sw::kMaxItems) + 1, false);
    for (const auto& c : panel_.Children()) {
        const QString& name = c->Name();
        if (name.size() <= prefix.size() || name.size() > prefix.size() + 4
            || !name.startsWith(prefix, Qt::CaseInsensitive))
            continue;
        bool ok = false;
        const QStringView digits = QStringView(name).mid(prefix.size());
        const int n = digits.toInt(&ok);
        if (ok && n >= 1 && n <= sw::kMaxItems && digits == QString::number(n))
            taken[size_t(n)] = true;
    }
    for (int i = 1; i <= sw::kMaxItems; ++i)
        if (!taken[size_t(i)])
            return prefix + QString::number(i);
    return QString();
}

template <class T> T* TLabelItems::Place(std::unique_ptr<T> item, TItemMenu menu)
{
    const QString name = FindNextAvailable(QStringLiteral("Special"));
    // Items are recognised by their name: one without a name would vanish at the next save.
    if (name.isEmpty()) {
        host_.ShowInformation(sw::LabelFullMessage());
        return nullptr;
    }
    item->SetName(name);
    item->Events = host_.ItemEvents();
    item->PopupMenu = menu;
    T* raw = item.get();
    panel_.InsertItem(std::move(item));
    return raw;
}

static void SetSizes(TLabelItem& item, int width, int height)
{
    item.SetBounds(item.Left(), item.Top(), width > 0 ? width : item.Width(),
                   height > 0 ? height : item.Height());
}

static TItemFont MakeFont(const QString& name, int size, TColor color, bool bold, bool italic,
                          bool underline)
{
    TItemFont f;
    f.Name = name;
    f.Size = size;
    f.Color = color;
    f.Bold = bold;
    f.Italic = italic;
    f.Underline = underline;
    return f;
}

Tmo3DLabel* TLabelItems::CreateTextItem(const QString& text, int top, int left, int width,
                                        int height, int angle, const QString& fontName,
                                        int fontSize, TColor fontColor, bool bold, bool italic,
                                        bool underline)
{
    auto* item = Place(std::make_unique<Tmo3DLabel>(), TItemMenu::PopupMenuText);
    if (!item)
        return nullptr;
    item->SetCaption(text);
    item->SetBounds(left, top, item->Width(), item->Height());
    item->SetDepth3D(dpNone);
    SetSizes(*item, width, height);
    // Automatic size: the font decides the box from here on.
    item->SetFont(MakeFont(fontName, fontSize, fontColor, bold, italic, underline));
    item->SetAngle(angle);
    item->LayOut();
    OrderListAdd(item);
    return item;
}

TCounterLabel* TLabelItems::CreateCounterItem(int top, int left, int width, int height, int angle,
                                              const QString& fontName, int fontSize,
                                              TColor fontColor, bool bold, bool italic,
                                              bool underline, int startingNumber, int repeatEach)
{
    if (startingNumber == -1 && interactive_) {
        if (AlreadyACounter()) {
            host_.ShowInformation(QLatin1String(sw::kCounterLimitMessage));
            return nullptr;
        }
        int start = 1, repeat = 1;
        if (!host_.GetCounterValues(start, repeat))
            return nullptr;
        startingNumber = start;
        repeatEach = repeat;
    }
    auto* item = Place(std::make_unique<TCounterLabel>(), TItemMenu::PopupMenuCounter);
    if (!item)
        return nullptr;
    item->SetCaption(QString::number(startingNumber));
    item->Tag = repeatEach;
    SetSizes(*item, width, height);
    item->SetBounds(left, top, item->Width(), item->Height());
    item->SetFont(MakeFont(fontName, fontSize, fontColor, bold, italic, underline));
    item->SetAngle(angle);
    item->LayOut();
    OrderListAdd(item);
    return item;
}

TSymbol* TLabelItems::CreateSymbolItem(int asciiChar, int top, int left, int width, int height,
                                       int fontSize, TColor fontColor)
{
    int code = asciiChar & 0xFF;
    if (asciiChar == 0 && interactive_) {
        int chosen = sw::kFirstSymbolCode;
        TColor colour = fontColor;
        if (!host_.GetSymbol(chosen, colour))
            return nullptr;
        code = chosen & 0xFF;
        fontColor = colour;
    }
    auto* item = Place(std::make_unique<TSymbol>(), TItemMenu::PopupMenuSymbol);
    if (!item)
        return nullptr;
    item->SetCode(code);
    item->SetBounds(left, top, item->Width(), item->Height());
    SetSizes(*item, width, height);
    item->SetFontSize(fontSize);
    item->SetFontColor(fontColor);
    item->LayOut();
    OrderListAdd(item);
    return item;
}

TMoShape* TLabelItems::CreateShapeItem(int shapeType, int top, int left, int width, int height,
                                       TColor color, TColor lineColor, int lineThickness,
                                       int rounding, int brushStyle)
{
    auto* item = Place(std::make_unique<TMoShape>(), shapeType == stRoundRect
                                                         ? TItemMenu::PopupMenuRoundRect
                                                         : TItemMenu::PopupMenuShape);
    if (!item)
        return nullptr;
    item->SetShape(TShapeType(std::clamp(shapeType, 0, 5)));
    if (shapeType == stRoundRect)
        item->SetRoundPerc(rounding);
    item->SetBounds(left, top, item->Width(), item->Height());
    SetSizes(*item, width, height);
    item->SetPen(TItemPen{lineThickness, lineColor});
    item->SetBrush(TItemBrush{brushStyle, color});
    OrderListAdd(item);
    return item;
}

TLineShape* TLabelItems::CreateLineItem(int orientation, int top, int left, int width, int height,
                                        TColor lineColor, int lineThickness)
{
    auto* item = Place(std::make_unique<TLineShape>(), TItemMenu::PopupMenuLine);
    if (!item)
        return nullptr;
    item->SetBounds(left, top, item->Width(), item->Height());
    item->SetLineStyle(orientation == 1 ? stVertical : stHorizontal);
    SetSizes(*item, width, height);
    item->SetPen(TItemPen{lineThickness, lineColor});
    OrderListAdd(item);
    return item;
}

TImageItem* TLabelItems::CreateImageItem(int top, int left, int width, int height,
                                         const QString& fileName, bool stretch)
{
    const QString file = fileName.isEmpty() && interactive_ ? host_.BrowseImageFile() : fileName;
    if (file.isEmpty())
        return nullptr;
    const QFileInfo info(file);
    sw::Picture known;
    const bool held = pictureSource_ && pictureSource_(info.absoluteFilePath(), known);
    if (!sw::IsPictureFileName(file) || (!held && !info.isFile()))
        return nullptr;
    auto* item = Place(std::make_unique<TImageItem>(), TItemMenu::PopupMenuImage);
    if (!item)
        return nullptr;
    item->SetBounds(left, top, item->Width(), item->Height());
    SetSizes(*item, width, height);
    item->SetStretch(stretch);
    item->SetHint(info.absoluteFilePath());
    // A damaged picture leaves the item empty: it keeps its place and its file name.
    if (held)
        item->SetPicture(known);
    else
        item->LoadPicture();
    OrderListAdd(item);
    return item;
}

TBarcodeItem* TLabelItems::CreateBarcodeItem(sw::TSymbology symbology, const QString& data,
                                             bool showText, int top, int left, int width,
                                             int height, TColor lineColor, int angle)
{
    auto* item = Place(std::make_unique<TBarcodeItem>(), TItemMenu::PopupMenuBarcode);
    if (!item)
        return nullptr;
    const QSize own = TBarcodeItem::DefaultSize(symbology, panel_.PixelsPerInch());
    item->SetBounds(left, top, own.width(), own.height());
    item->SetSymbology(symbology);
    item->SetData(data.left(sw::kMaxBarcodeData));
    item->SetShowText(showText);
    item->SetLineColor(lineColor);
    item->SetAngle(angle);
    SetSizes(*item, width, height);
    OrderListAdd(item);
    return item;
}

void TLabelItems::DeleteObject(TLabelItem* item)
{
    if (!item)
        return;
    host_.ReleaseSelection();
    OrderListDelete(item);
    panel_.RemoveItem(item);
    host_.TriggerChange();
}

void TLabelItems::DeleteAllItems()
{
    host_.ReleaseSelection();
    for (auto i = order_.size(); i-- > 0;) {
        TLabelItem* item = order_[i];
        if (!item->IsSpecial())
            continue;
        order_.erase(order_.begin() + std::ptrdiff_t(i));
        panel_.RemoveItem(item);
    }
}

bool TLabelItems::AlreadyACounter() const
{
    return std::any_of(order_.begin(), order_.end(),
                       [](TLabelItem* i) { return dynamic_cast<TCounterLabel*>(i) != nullptr; });
}

void TLabelItems::OrderListAdd(TLabelItem* item)
{
    order_.push_back(item);
    host_.TriggerChange();
}

void TLabelItems::OrderListSendToBack(TLabelItem* item)
{
    auto it = std::find(order_.begin(), order_.end(), item);
    if (it == order_.end())
        return;
    order_.erase(it);
    order_.insert(order_.begin(), item);
}

void TLabelItems::OrderListBringToFront(TLabelItem* item)
{
    auto it = std::find(order_.begin(), order_.end(), item);
    if (it == order_.end())
        return;
    order_.erase(it);
    order_.push_back(item);
}

void TLabelItems::OrderListDelete(TLabelItem* item)
{
    auto it = std::find(order_.begin(), order_.end(), item);
    if (it != order_.end())
        order_.erase(it);
}
