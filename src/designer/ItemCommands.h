#pragma once
// The item command menus and the commands behind them: text, font, colours, line width, fill
// pattern, rounding, angle, symbol, picture, stretching, counter values, stacking order,
// centring and deletion. Every command that changes an item marks the label changed; a
// cancelled dialog changes nothing.
#include "designer/ItemMenus.h"
#include "model/Barcode.h"

#include <QObject>
#include <QPoint>
#include <array>
#include <optional>

class QAction;
class QMenu;
class QToolButton;
class TDesigner;
class TImageItem;
class TBarcodeItem;
class TLabelItem;
class Tmo3DLabel;
class TCounterLabel;

class TItemCommands : public QObject {
    Q_OBJECT
public:
    explicit TItemCommands(TDesigner& designer);
    ~TItemCommands() override;

    QMenu* Menu(TItemMenu menu) const { return menus_[std::size_t(MenuIndex(menu))]; }
    // The item the menu was last opened for (its popup component).
    TLabelItem* PopupComponent(TItemMenu menu) const;

    void ConnectPropertiesButton(QToolButton* button);
    // Opens the item's own menu at a screen point.
    void PopupAt(TLabelItem* item, QPoint globalPos);
    // Opens the selected item's menu at its bottom-right corner; nothing when none is selected.
    void PropertiesButtonClick();
    // Every menu's open event: selects the item it opens for.
    void LabelItemPopup(QMenu* menu);
    // The click event of every entry of a menu.
    void PopupMenuHandler(TItemMenu menu, QAction* entry);
    // Items are about to go away: the menus forget them.
    void ForgetItems();

    void PropText(TLabelItem* item);
    void PropFont(TLabelItem* item);
    void PropColor(TLabelItem* item);
    void PropColorLine(TLabelItem* item);
    void PropLineThickness(TLabelItem* item, int width);
    void PropBrushStyle(TLabelItem* item, int style);
    void PropRounding(TLabelItem* item, int percent);
    void PropAngle(Tmo3DLabel* item);
    void PropSymbol(TLabelItem* item);
    void PropImage(TImageItem* image);
    // Sets the image's stretching from the "Stretch to Fit" check mark, which is one for all
    // images and flips when the entry is chosen.
    void PropStretch(TImageItem* image);
    void PropBringToFront(TLabelItem* item);
    void PropSendToBack(TLabelItem* item);
    void PropCounterValues(TCounterLabel* counter);
    // The barcode dialog on a code; with a symbology, the dialog opens on it (a kind the data
    // does not fit is changed only once the data fits).
    void PropBarcode(TBarcodeItem* code, std::optional<sw::TSymbology> symbology = std::nullopt);
    void PropShowText(TBarcodeItem* code);
    void PropQuarterTurn(TBarcodeItem* code, int angle);
    // The name of a command's undo step ("Font", "Bring to Front", ...).
    static QString StepName(TItemCommand command);
    // The image browser's file when it names a picture file (sw::IsPictureFileName); else empty.
    QString GetImageFile();

private:
    // Fits the handle to a text or counter whose size may have changed.
    void Refit(TLabelItem* item);
    TItemMenu MenuFor(const TLabelItem* item) const;

    TDesigner& designer_;
    std::array<QMenu*, kItemMenuCount> menus_{};
    std::array<TLabelItem*, kItemMenuCount> popupComponents_{};
    QAction* stretchToFit_ = nullptr;
    // Shows the code's symbology, angle and text line as check marks of its menu.
    void MarkBarcodeMenu(QMenu* menu, const TBarcodeItem* code);
};
