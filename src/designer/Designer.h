#pragma once
// The label designer: selection of one item at a time with the selection handle, change
// detection after drags and keys, symbol font fitting, centring and the grid. It owns the
// handle, the tool drops, the item commands and the nudges, and is the item host the item
// factories work for (event links, interactive dialogs, releasing the selection).
#include "designer/StretchHandle.h"
#include "model/ItemHost.h"

#include <QObject>
#include <QPointer>
#include <QRect>
#include <memory>

class QAbstractScrollArea;
class QAction;
class QCheckBox;
class QMenu;
class TDesignHistory;
class TDesignZoom;
class TItemClipboard;
class QToolButton;
class TCanvasPanel;
class TItemCommands;
class TItemDialogs;
class TLabelItem;
class TLabelItems;
class TNudges;
class TSymbol;
class TToolDrops;
class TWindowServices;

// An item of the design panel as the handle sees it.
class TItemTarget : public TStretchTarget {
public:
    TItemTarget(TLabelItem& item, QWidget& panel)
        : item_(item), panel_(panel)
    {
    }
    QRect Bounds() const override;
    void SetBounds(const QRect& bounds) override;
    QWidget* ParentWidget() const override { return &panel_; }
    TLabelItem& Item() const { return item_; }

private:
    TLabelItem& item_;
    QWidget& panel_;
};

// The Tools panel's controls the designer drives.
struct TDesignerTools {
    QList<QToolButton*> DropButtons; // named after their kind (DropTextButton, ...)
    QToolButton* PropertiesButton = nullptr;
    QToolButton* PosUpButton = nullptr;
    QToolButton* PosDownButton = nullptr;
    QToolButton* PosRightButton = nullptr;
    QToolButton* PosLeftButton = nullptr;
    QToolButton* CutObjectButton = nullptr;
    QCheckBox* MoveAll = nullptr;
};

class TDesigner : public QObject, public IItemHost {
    Q_OBJECT
public:
    TDesigner(TWindowServices& services, TCanvasPanel& panel, TItemDialogs& dialogs, QObject* parent = nullptr);
    ~TDesigner() override;

    // The item model the designer edits (owned by the window; set once, before use).
    void SetItems(TLabelItems* items) { items_ = items; }
    TLabelItems& Items() const { return *items_; }
    bool HasItems() const { return items_ != nullptr; }
    TCanvasPanel& Panel() const { return panel_; }
    TWindowServices& Services() const { return services_; }
    TItemDialogs& Dialogs() const { return dialogs_; }
    TStretchHandle* StretchHandle1() const { return handle_; }
    TToolDrops& Drops() const { return *drops_; }
    TItemCommands& Commands() const { return *commands_; }
    TNudges& Nudges() const { return *nudges_; }
    TDesignHistory& History() const { return *history_; }
    TItemClipboard& Clipboard() const { return *clipboard_; }
    TDesignZoom& ZoomControl() const { return *zoom_; }

    // Wires the Tools panel and the Grid menu's four entries (none, 2, 4, 8).
    void ConnectTools(const TDesignerTools& tools);
    void ConnectGridMenu(QAction* none, QAction* grid2, QAction* grid4, QAction* grid8);
    // Fills the Edit menu: undo and redo (named after the step), cut, copy, paste, duplicate.
    void ConnectEditMenu(QMenu* edit);
    // Fills the View menu with the zoom commands; 'area' scrolls the design panel.
    void ConnectViewMenu(QMenu* view, QAbstractScrollArea* area);
    // The label on screen was replaced: its history starts afresh, unless the load brought
    // back the very items of the last step (the reload after Save).
    void LabelLoaded(bool keepHistoryIfSame);

    // Selection.
    TLabelItem* Selected() const;
    void AttachControl(TLabelItem* item);
    void DetachControl();
    void RefreshAttach(TLabelItem* item);
    QRect AttachBounds() const { return attachBounds_; }
    void StretchMouseDown(TLabelItem& sender, Qt::MouseButton button, Qt::KeyboardModifiers shift, QPoint pos);
    void LabelPanelMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, QPoint pos);
    void StretchHandle1MouseUp();
    void StretchHandle1KeyDown(int key);
    void SymbolResize(TSymbol* symbol);

    // Centring on the label (halves truncated).
    void AlignVertical(TLabelItem* item);
    void AlignHorizontal(TLabelItem* item);
    void AlignCenter(TLabelItem* item);

    // Grid menu.
    void mnuSnapToGridNoneClick();
    void mnuSnapToGrid2x2Click();
    void mnuSnapToGrid4x4Click();
    void mnuSnapToGrid8x8Click();

    // Shows the label at this zoom (clamped to 50 % to 400 %); stored positions and sizes stay.
    void SetZoom(double zoom);

    // Repaints the panel and the handle.
    void Repaint();

    // IItemHost
    void TriggerChange() override;
    void ShowInformation(const QString& text) override;
    bool GetCounterValues(int& startingNumber, int& repeatEach) override;
    bool GetSymbol(int& code, TColor& color) override;
    QString BrowseImageFile() override;
    void ReleaseSelection() override;
    TItemEvents ItemEvents() override;

private:
    void SetGrid(int step, QAction* checked);
    QRect ItemBounds(const TLabelItem* item) const;

    TWindowServices& services_;
    TCanvasPanel& panel_;
    TItemDialogs& dialogs_;
    TLabelItems* items_ = nullptr;
    QPointer<TStretchHandle> handle_;
    std::unique_ptr<TItemTarget> target_;
    QRect attachBounds_;
    std::unique_ptr<TToolDrops> drops_;
    std::unique_ptr<TItemCommands> commands_;
    std::unique_ptr<TNudges> nudges_;
    std::unique_ptr<TDesignHistory> history_;
    std::unique_ptr<TItemClipboard> clipboard_;
    std::unique_ptr<TDesignZoom> zoom_;
    QAction* gridActions_[4] = {};
};
