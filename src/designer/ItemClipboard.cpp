#include "designer/ItemClipboard.h"

#include "designer/CanvasPanel.h"
#include "designer/DesignHistory.h"
#include "designer/Designer.h"
#include "model/ItemText.h"
#include "model/LabelItems.h"
#include "model/LabelPanel.h"
#include "ui/WindowServices.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <algorithm>

namespace {

bool HoldsCounter(const QStringList& lines)
{
    return lines.contains(QStringLiteral("LABELITEM=COUNTER"));
}

// How many further steps a paste may take to find a free place before it lands anyway.
constexpr int kMaxCascade = 64;

} // namespace

TItemClipboard::TItemClipboard(TDesigner& designer)
    : designer_(designer)
{
}

QMimeData* TItemClipboard::MimeFor(const QString& itemText)
{
    auto* data = new QMimeData;
    data->setData(QLatin1String(MimeType), itemText.toUtf8());
    data->setText(itemText);
    return data;
}

QString TItemClipboard::ItemTextOf(const QMimeData* data)
{
    if (!data)
        return {};
    if (data->hasFormat(QLatin1String(MimeType)))
        return QString::fromUtf8(data->data(QLatin1String(MimeType)));
    if (data->hasText()) {
        const QString text = data->text();
        if (text.startsWith(QLatin1String("LABELITEM=")))
            return text;
    }
    return {};
}

QString TItemClipboard::SelectedText() const
{
    TLabelItem* item = designer_.Selected();
    if (!item)
        return {};
    QStringList lines;
    sw::SaveItem(*item, designer_.Panel().Model().PixelsPerInch(), lines);
    return sw::JoinItemText(lines);
}

void TItemClipboard::Copy()
{
    const QString text = SelectedText();
    if (text.isEmpty())
        return;
    if (QClipboard* clipboard = QGuiApplication::clipboard())
        clipboard->setMimeData(MimeFor(text));
}

void TItemClipboard::Cut()
{
    TLabelItem* item = designer_.Selected();
    if (!item)
        return;
    Copy();
    const TDesignStep step(designer_.History(), QStringLiteral("Cut"));
    designer_.Items().DeleteObject(item);
}

void TItemClipboard::Paste()
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    const QString text = clipboard ? ItemTextOf(clipboard->mimeData()) : QString();
    if (text.isEmpty())
        return;
    const TDesignStep step(designer_.History(), QStringLiteral("Paste"));
    Place(text);
}

void TItemClipboard::Duplicate()
{
    const QString text = SelectedText();
    if (text.isEmpty())
        return;
    const TDesignStep step(designer_.History(), QStringLiteral("Duplicate"));
    Place(text);
}

TLabelItem* TItemClipboard::Place(const QString& itemText)
{
    // Nothing lands on a label that is not on screen.
    if (designer_.Panel().isHidden())
        return nullptr;
    TLabelItems& items = designer_.Items();
    const QStringList lines = sw::SplitItemText(itemText);
    if (HoldsCounter(lines) && items.AlreadyACounter()) {
        designer_.ShowInformation(QLatin1String(sw::kCounterLimitMessage));
        return nullptr;
    }
    const std::size_t first = items.OrderList().size();
    designer_.DetachControl();
    // A pasted text is taken as it stands: nothing asks (a counter starting at -1 stays so).
    items.SetInteractive(false);
    QString error;
    const bool ok = sw::REstoreItems(items, lines, &error, sw::TReadMode::Whole);
    items.SetInteractive(true);
    if (!ok)
        designer_.ShowInformation(error);
    const auto& order = items.OrderList();
    if (order.size() <= first)
        return nullptr;
    const std::vector<TLabelItem*> made(order.begin() + std::ptrdiff_t(first), order.end());

    TStretchHandle* handle = designer_.StretchHandle1();
    const int stepX = handle && handle->GridX() > 1 ? handle->GridX() : kPasteStep;
    const int stepY = handle && handle->GridY() > 1 ? handle->GridY() : kPasteStep;
    const auto occupied = [&](QRect r) {
        return std::any_of(order.begin(), order.begin() + std::ptrdiff_t(first),
                           [&](const TLabelItem* i) { return i->BoundsRect() == r; });
    };
    QPoint offset(stepX, stepY);
    for (int n = 0; n < kMaxCascade && occupied(made.front()->BoundsRect().translated(offset)); ++n)
        offset += QPoint(stepX, stepY);

    const TLabelPanel& panel = designer_.Panel().Model();
    for (TLabelItem* item : made) {
        const QRect r = item->BoundsRect().translated(offset);
        // On the label: as far as it fits, the top-left corner stays on it in any case.
        const int left = std::clamp(r.x(), 0, std::max(0, panel.Width() - r.width()));
        const int top = std::clamp(r.y(), 0, std::max(0, panel.Height() - r.height()));
        item->SetBounds(left, top, r.width(), r.height());
    }
    designer_.AttachControl(made.back());
    designer_.Repaint();
    designer_.TriggerChange();
    return made.back();
}
