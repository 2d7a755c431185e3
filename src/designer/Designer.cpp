#include "designer/Designer.h"

#include "designer/CanvasPanel.h"
#include "designer/DesignHistory.h"
#include "designer/DesignZoom.h"
#include "designer/ItemClipboard.h"
#include "designer/ItemCommands.h"
#include "designer/ItemDialogs.h"
#include "designer/Nudges.h"
#include "designer/ToolDrops.h"
#include "model/LabelItems.h"
#include "model/LabelPanel.h"
#include "model/Symbol.h"
#include "model/Symbols.h"
#include "ui/WindowServices.h"

#include <QAction>
#include <QApplication>
#include <QKeySequence>
#include <QMenu>
#include <QUndoStack>

QRect TItemTarget::Bounds() const
{
    return item_.BoundsRect();
}

void TItemTarget::SetBounds(const QRect& b)
{
    item_.SetBounds(b.x(), b.y(), b.width(), b.height());
}

TDesigner::TDesigner(TWindowServices& services, TCanvasPanel& panel, TItemDialogs& dialogs, QObject* parent)
    : QObject(parent)
    , services_(services)
    , panel_(panel)
    , dialogs_(dialogs)
{
    handle_ = new TStretchHandle;
    connect(handle_, &TStretchHandle::MouseUp, this, [this] { StretchHandle1MouseUp(); });
    connect(handle_, &TStretchHandle::KeyDown, this, [this](int key) { StretchHandle1KeyDown(key); });
    drops_ = std::make_unique<TToolDrops>(*this);
    commands_ = std::make_unique<TItemCommands>(*this);
    nudges_ = std::make_unique<TNudges>(*this);
    history_ = std::make_unique<TDesignHistory>(*this);
    clipboard_ = std::make_unique<TItemClipboard>(*this);
    zoom_ = std::make_unique<TDesignZoom>(*this);
    // The handle shows the selection at the panel's zoom, whoever changes it.
    handle_->SetScale(panel_.Zoom());
    connect(&panel_, &TCanvasPanel::ViewResized, this, [this] {
        if (handle_)
            handle_->SetScale(panel_.Zoom());
    });
    panel_.LabelPanelMouseDown = [this](Qt::MouseButton b, Qt::KeyboardModifiers m, QPoint p) {
        LabelPanelMouseDown(b, m, p);
    };
    drops_->ConnectPanel();
}

TDesigner::~TDesigner()
{
    // The handle lives on the panel while attached; the panel may already have taken it along.
    if (handle_)
        handle_->DetachAll();
    delete handle_.data();
}

void TDesigner::ConnectTools(const TDesignerTools& tools)
{
    drops_->ConnectButtons(tools.DropButtons, tools.CutObjectButton);
    commands_->ConnectPropertiesButton(tools.PropertiesButton);
    nudges_->ConnectButtons(tools.PosUpButton, tools.PosDownButton, tools.PosRightButton, tools.PosLeftButton,
                            tools.MoveAll);
}

void TDesigner::ConnectGridMenu(QAction* none, QAction* grid2, QAction* grid4, QAction* grid8)
{
    gridActions_[0] = none;
    gridActions_[1] = grid2;
    gridActions_[2] = grid4;
    gridActions_[3] = grid8;
    for (QAction* a : gridActions_)
        if (a)
            a->setCheckable(true);
    connect(none, &QAction::triggered, this, [this] { mnuSnapToGridNoneClick(); });
    connect(grid2, &QAction::triggered, this, [this] { mnuSnapToGrid2x2Click(); });
    connect(grid4, &QAction::triggered, this, [this] { mnuSnapToGrid4x4Click(); });
    connect(grid8, &QAction::triggered, this, [this] { mnuSnapToGrid8x8Click(); });
    // The handle starts without snapping; the menu says so.
    SetGrid(1, none);
}

void TDesigner::ConnectEditMenu(QMenu* edit)
{
    QUndoStack& stack = history_->Stack();
    QAction* undo = stack.createUndoAction(edit, QStringLiteral("&Undo"));
    undo->setObjectName(QStringLiteral("mnuUndo"));
    undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    QAction* redo = stack.createRedoAction(edit, QStringLiteral("&Redo"));
    redo->setObjectName(QStringLiteral("mnuRedo"));
    redo->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    edit->addAction(undo);
    edit->addAction(redo);
    edit->addSeparator();
    const struct {
        const char* name;
        const char* caption;
        QKeyCombination key;
        void (TItemClipboard::*run)();
    } entries[] = {
        {"mnuCut", "Cu&t", Qt::CTRL | Qt::Key_X, &TItemClipboard::Cut},
        {"mnuCopy", "&Copy", Qt::CTRL | Qt::Key_C, &TItemClipboard::Copy},
        {"mnuPaste", "&Paste", Qt::CTRL | Qt::Key_V, &TItemClipboard::Paste},
        {"mnuDuplicate", "&Duplicate", Qt::CTRL | Qt::Key_D, &TItemClipboard::Duplicate},
    };
    for (const auto& e : entries) {
        QAction* a = edit->addAction(QString::fromLatin1(e.caption));
        a->setObjectName(QLatin1String(e.name));
        a->setShortcut(QKeySequence(e.key));
        connect(a, &QAction::triggered, clipboard_.get(), e.run);
    }
}

void TDesigner::ConnectViewMenu(QMenu* view, QAbstractScrollArea* area)
{
    zoom_->ConnectViewMenu(view, area);
}

void TDesigner::LabelLoaded(bool keepHistoryIfSame)
{
    history_->LabelLoaded(keepHistoryIfSame);
}

TLabelItem* TDesigner::Selected() const
{
    if (!handle_ || handle_->AttachedCount() == 0 || !target_)
        return nullptr;
    return &target_->Item();
}

QRect TDesigner::ItemBounds(const TLabelItem* item) const
{
    return item ? item->BoundsRect() : QRect();
}

void TDesigner::AttachControl(TLabelItem* item)
{
    history_->CommitPending();
    handle_->DetachAll();
    target_.reset();
    if (!item)
        return;
    target_ = std::make_unique<TItemTarget>(*item, panel_);
    handle_->AttachItem(target_.get());
    attachBounds_ = item->BoundsRect();
}

void TDesigner::DetachControl()
{
    handle_->DetachAll();
    target_.reset();
}

void TDesigner::RefreshAttach(TLabelItem* item)
{
    if (!item)
        return;
    handle_->DetachAll();
    target_.reset();
    panel_.UpdateLabelRect(item->BoundsRect());
    target_ = std::make_unique<TItemTarget>(*item, panel_);
    handle_->AttachItem(target_.get());
}

void TDesigner::StretchMouseDown(TLabelItem& sender, Qt::MouseButton button, Qt::KeyboardModifiers, QPoint)
{
    if (button == Qt::LeftButton)
        AttachControl(&sender);
}

void TDesigner::LabelPanelMouseDown(Qt::MouseButton, Qt::KeyboardModifiers, QPoint)
{
    DetachControl();
}

void TDesigner::StretchHandle1MouseUp()
{
    TLabelItem* item = Selected();
    if (!item)
        return;
    const TDesignStep step(*history_, handle_->DragStyle() == TDragStyle::Move ? QStringLiteral("Move")
                                                                               : QStringLiteral("Resize"));
    if (auto* symbol = dynamic_cast<TSymbol*>(item))
        SymbolResize(symbol);
    item = Selected();
    if (!item)
        return;
    if (item->BoundsRect() != attachBounds_)
        TriggerChange();
    RefreshAttach(item);
}

void TDesigner::StretchHandle1KeyDown(int)
{
    TLabelItem* item = Selected();
    if (!item)
        return;
    const TDesignStep step(*history_, QStringLiteral("Nudge"));
    if (item->BoundsRect() != attachBounds_)
        TriggerChange();
}

void TDesigner::SymbolResize(TSymbol* symbol)
{
    if (!symbol || symbol->Width() < 5 || symbol->Height() < 5)
        return;
    const int s = symbol->Font().Size;
    const QSize ext = sw::SymbolExtent(symbol->Code(), sw::FontPixelHeight(s, symbol->PixelsPerInch()));
    if (ext.width() <= 0 || ext.height() <= 0)
        return;
    const int a = int(static_cast<long long>(symbol->Width()) * s / ext.width());
    const int b = int(static_cast<long long>(symbol->Height()) * s / ext.height());
    const int n = std::min(a, b);
    if (n == s)
        return;
    symbol->SetFontSize(n);
    DetachControl();
    panel_.update();
    AttachControl(symbol);
    TriggerChange();
}

void TDesigner::AlignVertical(TLabelItem* item)
{
    if (!item)
        return;
    const TDesignStep step(*history_, QStringLiteral("Center Vertically"));
    item->SetTop(panel_.Model().Height() / 2 - item->Height() / 2);
    Repaint();
    RefreshAttach(item);
    TriggerChange();
}

void TDesigner::AlignHorizontal(TLabelItem* item)
{
    if (!item)
        return;
    const TDesignStep step(*history_, QStringLiteral("Center Horizontally"));
    item->SetLeft(panel_.Model().Width() / 2 - item->Width() / 2);
    Repaint();
    RefreshAttach(item);
    TriggerChange();
}

void TDesigner::AlignCenter(TLabelItem* item)
{
    if (!item)
        return;
    const TDesignStep step(*history_, QStringLiteral("Center"));
    AlignHorizontal(item);
    AlignVertical(item);
    TriggerChange();
}

void TDesigner::SetGrid(int step, QAction* checked)
{
    handle_->SetSnapToGrid(step > 1);
    if (step > 1) {
        handle_->SetGridX(step);
        handle_->SetGridY(step);
    }
    for (QAction* a : gridActions_)
        if (a)
            a->setChecked(a == checked);
}

void TDesigner::mnuSnapToGridNoneClick()
{
    SetGrid(1, gridActions_[0]);
}

void TDesigner::mnuSnapToGrid2x2Click()
{
    SetGrid(2, gridActions_[1]);
}

void TDesigner::mnuSnapToGrid4x4Click()
{
    SetGrid(4, gridActions_[2]);
}

void TDesigner::mnuSnapToGrid8x8Click()
{
    SetGrid(8, gridActions_[3]);
}

void TDesigner::SetZoom(double zoom)
{
    panel_.SetZoom(zoom);
}

void TDesigner::Repaint()
{
    panel_.update();
    if (handle_)
        handle_->update();
}

void TDesigner::TriggerChange()
{
    // Undo and redo mark the label changed themselves, once, when the items are rebuilt.
    if (history_->Restoring())
        return;
    services_.TriggerChange();
    history_->Changed();
}

void TDesigner::ShowInformation(const QString& text)
{
    services_.ShowInformation(text);
}

bool TDesigner::GetCounterValues(int& startingNumber, int& repeatEach)
{
    return dialogs_.GetCounter(startingNumber, repeatEach, true);
}

bool TDesigner::GetSymbol(int& code, TColor& color)
{
    return dialogs_.GetSymbol(code, color);
}

QString TDesigner::BrowseImageFile()
{
    return commands_->GetImageFile();
}

void TDesigner::ReleaseSelection()
{
    DetachControl();
    commands_->ForgetItems();
}

TItemEvents TDesigner::ItemEvents()
{
    TItemEvents e;
    e.MouseDown = [this](TLabelItem& sender, Qt::MouseButton button, Qt::KeyboardModifiers shift, QPoint pos) {
        if (button == Qt::RightButton)
            commands_->PopupAt(&sender, panel_.mapToGlobal(panel_.ToView(sender.BoundsRect().topLeft() + pos)));
        else
            StretchMouseDown(sender, button, shift, pos);
    };
    e.DragOver = [this](TLabelItem&, const QMimeData* source, QPoint) { return drops_->LabelPanelDragOver(source); };
    e.DragDrop = [this](TLabelItem& sender, const QMimeData* source, QPoint pos) {
        drops_->DeferDrop(&sender, source, pos);
    };
    return e;
}
