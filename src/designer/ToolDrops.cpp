#include "designer/ToolDrops.h"

#include "designer/CanvasPanel.h"
#include "designer/DesignHistory.h"
#include "designer/Designer.h"
#include "designer/DragCursors.h"
#include "designer/ItemDialogs.h"
#include "model/BarcodeItem.h"
#include "model/LabelItems.h"
#include "model/Symbols.h"
#include "ui/WindowServices.h"

#include <QBitmap>
#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>
#include <QTimer>
#include <QToolButton>

namespace {

const QStringList& ToolNames()
{
    // The order in which a drop branches on its source.
    static const QStringList names{
        QStringLiteral("DropTextButton"),      QStringLiteral("DropCounterButton"),
        QStringLiteral("DropSymbolButton"),    QStringLiteral("DropRectButton"),
        QStringLiteral("DropRoundRectButton"), QStringLiteral("DropEllipseButton"),
        QStringLiteral("DropImageButton"),     QStringLiteral("DropVLineButton"),
        QStringLiteral("DropHLineButton"),     QStringLiteral("DropBarcodeButton"),
    };
    return names;
}

constexpr TColor kBlack = 0;

} // namespace

QMimeData* TToolDrops::ToolMime(const QString& buttonName)
{
    auto* data = new QMimeData;
    data->setData(QLatin1String(MimeType), buttonName.toUtf8());
    return data;
}

QString TToolDrops::ToolName(const QMimeData* data)
{
    if (!data || !data->hasFormat(QLatin1String(MimeType)))
        return {};
    const QString name = QString::fromUtf8(data->data(QLatin1String(MimeType)));
    return ToolNames().contains(name) ? name : QString();
}

TToolDrops::TToolDrops(TDesigner& designer)
    : designer_(designer)
{
}

void TToolDrops::ConnectPanel()
{
    TCanvasPanel& panel = designer_.Panel();
    panel.LabelPanelDragOver = [this](const QMimeData* source, QPoint) { return LabelPanelDragOver(source); };
    panel.LabelPanelDragDrop = [this](const QMimeData* source, QPoint pos) { DeferDrop(nullptr, source, pos); };
}

void TToolDrops::ConnectButtons(const QList<QToolButton*>& dropButtons, QToolButton* cutButton)
{
    buttons_ = dropButtons;
    for (QToolButton* b : buttons_) {
        b->setFocusPolicy(Qt::NoFocus);
        b->installEventFilter(this);
    }
    if (cutButton)
        connect(cutButton, &QToolButton::clicked, this, &TToolDrops::CutObjectButtonClick);
}

bool TToolDrops::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress) {
        if (auto* b = qobject_cast<QToolButton*>(watched); b && buttons_.contains(b)) {
            DropButtonDown(b);
            return true;
        }
    }
    return false;
}

void TToolDrops::DropButtonDown(QToolButton* button)
{
    if (button->objectName() == QLatin1String("DropSymbolButton") && !sw::SymbolFontAvailable()) {
        designer_.Services().ShowInformation(
            QStringLiteral("This option requires the Windows font WINGDINGS to be installed"));
        return;
    }
    designer_.DetachControl();
    auto* drag = new QDrag(button);
    drag->setMimeData(ToolMime(button->objectName()));
    // The picture rides with its top-left corner at the mouse point, which is where the item's
    // corner lands; the pointer itself is hidden so the picture is the cursor.
    drag->setPixmap(sw::ToolDragPicture(sw::DragCursorName(button->objectName())));
    drag->setHotSpot(QPoint(0, 0));
    QPixmap none(1, 1);
    none.fill(Qt::transparent);
    drag->setDragCursor(none, Qt::CopyAction);
    drag->setDragCursor(none, Qt::MoveAction);
    drag->exec(Qt::CopyAction);
}

bool TToolDrops::LabelPanelDragOver(const QMimeData* source) const
{
    return !ToolName(source).isEmpty();
}

void TToolDrops::DeferDrop(TLabelItem* sender, const QMimeData* source, QPoint pos)
{
    const QString tool = ToolName(source);
    if (tool.isEmpty())
        return;
    // Converted now: the item may be gone by the time the drop is handled.
    if (sender)
        pos += sender->BoundsRect().topLeft();
    QTimer::singleShot(0, this, [this, tool, pos] { LabelPanelDragDrop(nullptr, tool, pos); });
}

void TToolDrops::LabelPanelDragDrop(TLabelItem* sender, const QString& tool, QPoint pos)
{
    if (sender)
        pos += sender->BoundsRect().topLeft();
    const int x = pos.x();
    const int y = pos.y();
    const TDesignStep step(designer_.History(), QStringLiteral("Drop"));
    designer_.DetachControl();
    TLabelItems& items = designer_.Items();
    const QString arial = QStringLiteral("Arial");
    if (tool == QLatin1String("DropTextButton")) {
        QString text = QStringLiteral("Text");
        if (!designer_.Dialogs().QueryText(QStringLiteral("Text"), QStringLiteral("Enter text"), text))
            return;
        items.CreateTextItem(text, y, x, 0, 0, 0, arial, 10, kBlack, true, false, false);
    } else if (tool == QLatin1String("DropCounterButton")) {
        items.CreateCounterItem(y, x, 0, 0, 0, arial, 10, kBlack, true, false, false, -1, -1);
    } else if (tool == QLatin1String("DropSymbolButton")) {
        items.CreateSymbolItem(0, y, x, 0, 0, 18, kBlack);
    } else if (tool == QLatin1String("DropRectButton")) {
        items.CreateShapeItem(0, y, x, 0, 0, kBlack, kBlack, 1, 0, 1);
    } else if (tool == QLatin1String("DropRoundRectButton")) {
        items.CreateShapeItem(2, y, x, 0, 0, kBlack, kBlack, 1, 20, 1);
    } else if (tool == QLatin1String("DropEllipseButton")) {
        items.CreateShapeItem(4, y, x, 0, 0, kBlack, kBlack, 1, 0, 1);
    } else if (tool == QLatin1String("DropImageButton")) {
        items.CreateImageItem(y, x, 0, 0, QString(), false);
    } else if (tool == QLatin1String("DropVLineButton")) {
        items.CreateLineItem(1, y, x, 20, 60, kBlack, 1);
    } else if (tool == QLatin1String("DropHLineButton")) {
        items.CreateLineItem(0, y, x, 60, 20, kBlack, 1);
    } else if (tool == QLatin1String("DropBarcodeButton")) {
        TBarcodeValues values;
        values.Data = QStringLiteral("12345");
        if (!designer_.Dialogs().GetBarcode(values, sw::PanelDataValues(designer_.Panel().Model())))
            return;
        items.CreateBarcodeItem(values.Symbology, values.Data, values.ShowText, y, x, 0, 0, kBlack, 0);
    } else {
        return;
    }
    if (!items.OrderList().empty())
        designer_.AttachControl(items.OrderList().back());
}

void TToolDrops::CutObjectButtonClick()
{
    if (TLabelItem* item = designer_.Selected()) {
        const TDesignStep step(designer_.History(), QStringLiteral("Delete"));
        designer_.Items().DeleteObject(item);
    }
}
