#include "designer/ItemCommands.h"

#include "designer/CanvasPanel.h"
#include "designer/DesignHistory.h"
#include "designer/Designer.h"
#include "designer/ImageBrowse.h"
#include "designer/ItemDialogs.h"
#include "model/BarcodeItem.h"
#include "model/ImageItem.h"
#include "model/LabelItems.h"
#include "model/LabelPanel.h"
#include "model/LineShape.h"
#include "model/MoShape.h"
#include "model/Symbol.h"
#include "model/TextLabel.h"
#include "ui/WindowServices.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QToolButton>

namespace {
constexpr TColor kWhite = 0xFFFFFF;
constexpr TColor kBlack = 0;
} // namespace

QString TItemCommands::StepName(TItemCommand command)
{
    switch (command) {
    case TItemCommand::Text: return QStringLiteral("Text");
    case TItemCommand::Font: return QStringLiteral("Font");
    case TItemCommand::FontColor: return QStringLiteral("Font Color");
    case TItemCommand::Rotation: return QStringLiteral("Rotation");
    case TItemCommand::CounterValues: return QStringLiteral("Counter Values");
    case TItemCommand::Color: return QStringLiteral("Color");
    case TItemCommand::LineColor: return QStringLiteral("Line Color");
    case TItemCommand::LineThickness: return QStringLiteral("Line Thickness");
    case TItemCommand::Pattern: return QStringLiteral("Pattern");
    case TItemCommand::Rounding: return QStringLiteral("Degree of Rounding");
    case TItemCommand::Symbol: return QStringLiteral("Symbol");
    case TItemCommand::ImageFile: return QStringLiteral("Image File");
    case TItemCommand::StretchToFit: return QStringLiteral("Stretch to Fit");
    case TItemCommand::SendToBack: return QStringLiteral("Send to Back");
    case TItemCommand::BringToFront: return QStringLiteral("Bring to Front");
    case TItemCommand::Center: return QStringLiteral("Center");
    case TItemCommand::CenterVertically: return QStringLiteral("Center Vertically");
    case TItemCommand::CenterHorizontally: return QStringLiteral("Center Horizontally");
    case TItemCommand::Delete: return QStringLiteral("Delete");
    case TItemCommand::Barcode: return QStringLiteral("Barcode Data");
    case TItemCommand::Symbology: return QStringLiteral("Kind of Code");
    case TItemCommand::ShowText: return QStringLiteral("Show Text");
    case TItemCommand::QuarterTurn: return QStringLiteral("Rotation");
    }
    return QStringLiteral("Change");
}

TItemCommands::TItemCommands(TDesigner& designer)
    : designer_(designer)
{
    const TItemMenu kinds[] = {TItemMenu::PopupMenuText,  TItemMenu::PopupMenuCounter, TItemMenu::PopupMenuSymbol,
                               TItemMenu::PopupMenuShape, TItemMenu::PopupMenuRoundRect, TItemMenu::PopupMenuLine,
                               TItemMenu::PopupMenuImage, TItemMenu::PopupMenuBarcode};
    for (TItemMenu kind : kinds) {
        QMenu* menu = BuildItemMenu(kind, &designer_.Panel());
        menus_[std::size_t(MenuIndex(kind))] = menu;
        connect(menu, &QMenu::aboutToShow, this, [this, menu] { LabelItemPopup(menu); });
        const auto actions = menu->findChildren<QAction*>();
        for (QAction* a : actions) {
            TItemMenuEntry entry;
            if (!MenuEntryOf(a, entry))
                continue;
            connect(a, &QAction::triggered, this, [this, kind, a] { PopupMenuHandler(kind, a); });
            if (entry.Command == TItemCommand::StretchToFit)
                stretchToFit_ = a;
        }
    }
}

TItemCommands::~TItemCommands() = default;

TLabelItem* TItemCommands::PopupComponent(TItemMenu menu) const
{
    return popupComponents_[std::size_t(MenuIndex(menu))];
}

void TItemCommands::ForgetItems()
{
    popupComponents_.fill(nullptr);
}

void TItemCommands::ConnectPropertiesButton(QToolButton* button)
{
    if (button)
        connect(button, &QToolButton::clicked, this, &TItemCommands::PropertiesButtonClick);
}

TItemMenu TItemCommands::MenuFor(const TLabelItem* item) const
{
    if (dynamic_cast<const TCounterLabel*>(item))
        return TItemMenu::PopupMenuCounter;
    if (dynamic_cast<const Tmo3DLabel*>(item))
        return TItemMenu::PopupMenuText;
    if (auto* shape = dynamic_cast<const TMoShape*>(item))
        return shape->Shape() == stRoundRect ? TItemMenu::PopupMenuRoundRect : TItemMenu::PopupMenuShape;
    if (dynamic_cast<const TLineShape*>(item))
        return TItemMenu::PopupMenuLine;
    if (dynamic_cast<const TImageItem*>(item))
        return TItemMenu::PopupMenuImage;
    if (dynamic_cast<const TBarcodeItem*>(item))
        return TItemMenu::PopupMenuBarcode;
    return TItemMenu::PopupMenuSymbol;
}

void TItemCommands::PopupAt(TLabelItem* item, QPoint globalPos)
{
    if (!item)
        return;
    const TItemMenu kind = item->PopupMenu;
    popupComponents_[std::size_t(MenuIndex(kind))] = item;
    Menu(kind)->popup(globalPos);
}

void TItemCommands::PropertiesButtonClick()
{
    TLabelItem* item = designer_.Selected();
    if (!item)
        return;
    const TItemMenu kind = MenuFor(item);
    popupComponents_[std::size_t(MenuIndex(kind))] = item;
    const QRect b = item->BoundsRect();
    const TCanvasPanel& panel = designer_.Panel();
    Menu(kind)->popup(panel.mapToGlobal(panel.ToView(QPoint(b.x() + b.width(), b.y() + b.height()))));
}

void TItemCommands::LabelItemPopup(QMenu* menu)
{
    for (std::size_t i = 0; i < menus_.size(); ++i) {
        if (menus_[i] != menu)
            continue;
        TLabelItem* item = popupComponents_[i];
        if (item && item->IsSpecial() && designer_.Panel().Model().Contains(item)) {
            designer_.DetachControl();
            designer_.AttachControl(item);
            MarkBarcodeMenu(menu, dynamic_cast<const TBarcodeItem*>(item));
        }
    }
}

void TItemCommands::PopupMenuHandler(TItemMenu menu, QAction* action)
{
    TItemMenuEntry entry;
    if (!MenuEntryOf(action, entry))
        return;
    TLabelItem* item = PopupComponent(menu);
    // A menu may outlive the item it was opened for.
    if (item && !designer_.Panel().Model().Contains(item))
        item = nullptr;
    if (!item)
        item = designer_.Selected();
    if (!item)
        return;
    const TDesignStep step(designer_.History(), StepName(entry.Command));
    auto* text = dynamic_cast<Tmo3DLabel*>(item);
    switch (entry.Command) {
    case TItemCommand::Text:
        PropText(item);
        Refit(item);
        break;
    case TItemCommand::Font:
        PropFont(item);
        Refit(item);
        break;
    case TItemCommand::Rotation:
        if (text) {
            PropAngle(text);
            Refit(item);
        }
        break;
    case TItemCommand::FontColor:
    case TItemCommand::Color:
        PropColor(item);
        break;
    case TItemCommand::CounterValues:
        PropCounterValues(dynamic_cast<TCounterLabel*>(item));
        break;
    case TItemCommand::LineColor:
        PropColorLine(item);
        break;
    case TItemCommand::LineThickness:
        PropLineThickness(item, entry.Value);
        break;
    case TItemCommand::Pattern:
        PropBrushStyle(item, entry.Value);
        break;
    case TItemCommand::Rounding:
        PropRounding(item, entry.Value);
        break;
    case TItemCommand::Symbol:
        PropSymbol(item);
        break;
    case TItemCommand::ImageFile:
        PropImage(dynamic_cast<TImageItem*>(item));
        break;
    case TItemCommand::StretchToFit:
        PropStretch(dynamic_cast<TImageItem*>(item));
        break;
    case TItemCommand::SendToBack:
        PropSendToBack(item);
        break;
    case TItemCommand::BringToFront:
        PropBringToFront(item);
        break;
    case TItemCommand::Center:
        designer_.AlignCenter(item);
        break;
    case TItemCommand::CenterVertically:
        designer_.AlignVertical(item);
        break;
    case TItemCommand::CenterHorizontally:
        designer_.AlignHorizontal(item);
        break;
    case TItemCommand::Delete:
        designer_.Items().DeleteObject(item);
        break;
    case TItemCommand::Barcode:
        PropBarcode(dynamic_cast<TBarcodeItem*>(item));
        Refit(item);
        break;
    case TItemCommand::Symbology:
        PropBarcode(dynamic_cast<TBarcodeItem*>(item), sw::TSymbology(std::clamp(entry.Value, 0, sw::kSymbologyCount - 1)));
        Refit(item);
        break;
    case TItemCommand::ShowText:
        PropShowText(dynamic_cast<TBarcodeItem*>(item));
        break;
    case TItemCommand::QuarterTurn:
        PropQuarterTurn(dynamic_cast<TBarcodeItem*>(item), entry.Value);
        Refit(item);
        break;
    }
}

void TItemCommands::MarkBarcodeMenu(QMenu* menu, const TBarcodeItem* code)
{
    if (!code)
        return;
    for (QAction* a : menu->findChildren<QAction*>()) {
        TItemMenuEntry entry;
        if (!MenuEntryOf(a, entry))
            continue;
        if (entry.Command == TItemCommand::Symbology)
            a->setChecked(entry.Value == int(code->Symbology()));
        else if (entry.Command == TItemCommand::QuarterTurn)
            a->setChecked(entry.Value == code->Angle());
        else if (entry.Command == TItemCommand::ShowText) {
            a->setChecked(code->ShowText());
            a->setEnabled(!sw::IsTwoDimensional(code->Symbology()));
        }
    }
}

void TItemCommands::PropBarcode(TBarcodeItem* code, std::optional<sw::TSymbology> symbology)
{
    if (!code)
        return;
    TBarcodeValues values{code->Symbology(), code->Data(), code->ShowText()};
    const sw::TDataValues shownValues = sw::PanelDataValues(designer_.Panel().Model());
    if (symbology) {
        if (*symbology == code->Symbology())
            return;
        values.Symbology = *symbology;
        // Data the new kind can hold changes at once; other data is asked for first.
        const std::optional<QString> shown = sw::ExpandBarcodeData(values.Data, shownValues);
        if (!shown || !sw::CheckBarcode(values.Symbology, *shown)) {
            if (!designer_.Dialogs().GetBarcode(values, shownValues))
                return;
        }
    } else if (!designer_.Dialogs().GetBarcode(values, shownValues)) {
        return;
    }
    const bool becameSquare = sw::IsSquareSymbology(values.Symbology) && !sw::IsSquareSymbology(code->Symbology());
    const bool leftSquare = !sw::IsSquareSymbology(values.Symbology) && sw::IsSquareSymbology(code->Symbology());
    code->SetSymbology(values.Symbology);
    code->SetData(values.Data);
    code->SetShowText(values.ShowText);
    // A code that changes between square and long takes the new kind's own box.
    if (becameSquare || leftSquare) {
        QSize own = TBarcodeItem::DefaultSize(values.Symbology, designer_.Panel().Model().PixelsPerInch());
        if (code->Angle() == 90 || code->Angle() == 270)
            own.transpose();
        code->SetBounds(code->Left(), code->Top(), own.width(), own.height());
    }
    designer_.Repaint();
    designer_.TriggerChange();
}

void TItemCommands::PropShowText(TBarcodeItem* code)
{
    if (!code || sw::IsTwoDimensional(code->Symbology()))
        return;
    code->SetShowText(!code->ShowText());
    designer_.Repaint();
    designer_.TriggerChange();
}

void TItemCommands::PropQuarterTurn(TBarcodeItem* code, int angle)
{
    if (!code || sw::QuarterTurn(angle) == code->Angle())
        return;
    code->SetAngle(angle);
    designer_.Repaint();
    designer_.TriggerChange();
}

void TItemCommands::Refit(TLabelItem* item)
{
    if (!designer_.Panel().Model().Contains(item))
        return;
    designer_.Panel().update();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    designer_.RefreshAttach(item);
}

void TItemCommands::PropText(TLabelItem* item)
{
    auto* text = dynamic_cast<Tmo3DLabel*>(item);
    if (!text)
        return;
    QString value = text->Caption();
    if (!designer_.Dialogs().QueryText(QStringLiteral("Text"), QStringLiteral("Enter text"), value))
        return;
    text->SetCaption(value);
    designer_.Repaint();
    designer_.TriggerChange();
}

void TItemCommands::PropFont(TLabelItem* item)
{
    auto* text = dynamic_cast<Tmo3DLabel*>(item);
    if (!text)
        return;
    TItemFont font = text->Font();
    if (designer_.Dialogs().ChooseFont(font)) {
        text->SetFont(font);
        designer_.TriggerChange();
    }
    designer_.Repaint();
}

void TItemCommands::PropColor(TLabelItem* item)
{
    if (auto* shape = dynamic_cast<TMoShape*>(item)) {
        TItemBrush brush = shape->Brush();
        if (!designer_.Dialogs().ChooseColor(brush.Color))
            return;
        if (brush.Style == bsClear)
            brush.Style = bsSolid;
        shape->SetBrush(brush);
    } else if (auto* symbol = dynamic_cast<TSymbol*>(item)) {
        TColor c = symbol->Font().Color;
        if (!designer_.Dialogs().ChooseColor(c))
            return;
        symbol->SetFontColor(c);
    } else if (auto* text = dynamic_cast<Tmo3DLabel*>(item)) {
        TItemFont font = text->Font();
        if (!designer_.Dialogs().ChooseColor(font.Color))
            return;
        text->SetFont(font);
    } else {
        return;
    }
    designer_.Repaint();
    designer_.TriggerChange();
}

void TItemCommands::PropColorLine(TLabelItem* item)
{
    if (auto* code = dynamic_cast<TBarcodeItem*>(item)) {
        TColor c = code->LineColor();
        if (!designer_.Dialogs().ChooseColor(c))
            return;
        code->SetLineColor(c);
        designer_.Repaint();
        designer_.TriggerChange();
        return;
    }
    auto* shape = dynamic_cast<TMoShape*>(item);
    auto* line = dynamic_cast<TLineShape*>(item);
    if (!shape && !line)
        return;
    TItemPen pen = shape ? shape->Pen() : line->Pen();
    if (!designer_.Dialogs().ChooseColor(pen.Color))
        return;
    if (shape)
        shape->SetPen(pen);
    else
        line->SetPen(pen);
    designer_.Repaint();
    designer_.TriggerChange();
}

void TItemCommands::PropLineThickness(TLabelItem* item, int width)
{
    if (auto* shape = dynamic_cast<TMoShape*>(item)) {
        TItemPen pen = shape->Pen();
        pen.Width = width;
        shape->SetPen(pen);
        designer_.Repaint();
    } else if (auto* line = dynamic_cast<TLineShape*>(item)) {
        TItemPen pen = line->Pen();
        pen.Width = width;
        line->SetPen(pen);
        designer_.Repaint();
    }
    designer_.TriggerChange();
}

void TItemCommands::PropBrushStyle(TLabelItem* item, int style)
{
    auto* shape = dynamic_cast<TMoShape*>(item);
    if (!shape)
        return;
    TItemBrush brush = shape->Brush();
    brush.Style = style;
    // A white hatch would not show on the white label.
    if (style != bsSolid && style != bsClear && (brush.Color & 0xFFFFFF) == kWhite)
        brush.Color = kBlack;
    shape->SetBrush(brush);
    designer_.TriggerChange();
}

void TItemCommands::PropRounding(TLabelItem* item, int percent)
{
    auto* shape = dynamic_cast<TMoShape*>(item);
    if (!shape || shape->Shape() != stRoundRect)
        return;
    shape->SetRoundPerc(percent);
    designer_.Repaint();
    designer_.TriggerChange();
}

void TItemCommands::PropAngle(Tmo3DLabel* item)
{
    if (!item)
        return;
    int a = item->Angle();
    if (a < 0)
        a += 360;
    const int width = item->Width();
    const int height = item->Height();
    int chosen = a;
    TCanvasPanel& panel = designer_.Panel();
    const bool ok = designer_.Dialogs().GetAngle(chosen, [item, &panel](int v) {
        item->SetAngle(v);
        TextOrigin(*item);
        panel.repaint();
    });
    if (!ok) {
        item->SetAngle(a);
        item->SetBounds(item->Left(), item->Top(), width, height);
    } else {
        item->SetAngle(chosen);
        designer_.TriggerChange();
    }
    designer_.Repaint();
}

void TItemCommands::PropSymbol(TLabelItem* item)
{
    auto* symbol = dynamic_cast<TSymbol*>(item);
    if (!symbol)
        return;
    int code = symbol->Code();
    TColor color = symbol->Font().Color;
    if (!designer_.Dialogs().GetSymbol(code, color))
        return;
    symbol->SetCode(code);
    symbol->SetFontColor(color);
    designer_.Repaint();
    designer_.RefreshAttach(symbol);
    designer_.TriggerChange();
}

QString TItemCommands::GetImageFile()
{
    const QString f = designer_.Dialogs().BrowseImage();
    return sw::IsPictureFileName(f) ? f : QString();
}

void TItemCommands::PropImage(TImageItem* image)
{
    if (!image)
        return;
    const QString f = GetImageFile();
    if (f.isEmpty())
        return;
    // Read the picture before touching the item, so a file that cannot be read leaves it as
    // it was.
    QString error;
    const sw::Picture picture = sw::Picture::Load(f, &error);
    if (picture.isNull()) {
        designer_.ShowInformation(error.isEmpty() ? QStringLiteral("The picture '%1' cannot be read").arg(f) : error);
        return;
    }
    image->SetHint(f);
    image->SetPicture(picture);
    designer_.TriggerChange();
    designer_.Repaint();
    designer_.RefreshAttach(image);
}

void TItemCommands::PropStretch(TImageItem* image)
{
    if (!image || !stretchToFit_)
        return;
    // The entry is checkable: choosing it has already flipped its check mark.
    const bool stretch = stretchToFit_->isChecked();
    image->SetStretch(stretch);
    designer_.RefreshAttach(image);
    designer_.Repaint();
    designer_.TriggerChange();
}

void TItemCommands::PropBringToFront(TLabelItem* item)
{
    designer_.Panel().Model().BringToFront(item);
    designer_.Items().OrderListBringToFront(item);
    designer_.Repaint();
    designer_.TriggerChange();
}

void TItemCommands::PropSendToBack(TLabelItem* item)
{
    designer_.Panel().Model().SendToBack(item);
    designer_.Items().OrderListSendToBack(item);
    designer_.Repaint();
    designer_.TriggerChange();
}

void TItemCommands::PropCounterValues(TCounterLabel* counter)
{
    if (!counter)
        return;
    bool ok = false;
    int start = counter->Caption().trimmed().toInt(&ok);
    if (!ok) {
        designer_.Services().ShowMessage(QStringLiteral("'%1' is not a valid integer value").arg(counter->Caption()));
        return;
    }
    int repeat = counter->Tag;
    if (!designer_.Dialogs().GetCounter(start, repeat, false))
        return;
    counter->SetCaption(QString::number(start));
    counter->Tag = repeat;
    designer_.TriggerChange();
    Refit(counter);
}
