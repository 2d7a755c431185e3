#include "model/LabelPanel.h"
#include "model/TextLabel.h"
#include "model/LabelItem.h"

#include <QPainter>
#include <algorithm>

TLabelPanel::TLabelPanel(double pixelsPerInch)
    : ppi_(pixelsPerInch > 0 ? pixelsPerInch : 96.0)
{
}

TLabelPanel::~TLabelPanel()
{
    for (auto& c : children_)
        c->parent_ = nullptr;
}

void TLabelPanel::SetSize(int width, int height)
{
    if (width == width_ && height == height_)
        return;
    width_ = width;
    height_ = height;
    NotifyChanged();
}

void TLabelPanel::SetShape(TLabelShapeType shape)
{
    if (shape == shape_)
        return;
    shape_ = shape;
    NotifyChanged();
}

TLabelItem& TLabelPanel::InsertItem(std::unique_ptr<TLabelItem> item)
{
    item->parent_ = this;
    children_.push_back(std::move(item));
    children_.back()->ParentChanged();
    NotifyChanged();
    return *children_.back();
}

std::unique_ptr<TLabelItem> TLabelPanel::RemoveItem(TLabelItem* item)
{
    auto it = std::find_if(children_.begin(), children_.end(),
                           [item](const auto& c) { return c.get() == item; });
    if (it == children_.end())
        return nullptr;
    std::unique_ptr<TLabelItem> out = std::move(*it);
    children_.erase(it);
    out->parent_ = nullptr;
    NotifyChanged();
    return out;
}

void TLabelPanel::BringToFront(TLabelItem* item)
{
    if (auto owned = RemoveItem(item))
        InsertItem(std::move(owned));
}

void TLabelPanel::SendToBack(TLabelItem* item)
{
    if (auto owned = RemoveItem(item)) {
        owned->parent_ = this;
        children_.insert(children_.begin(), std::move(owned));
        NotifyChanged();
    }
}

bool TLabelPanel::Contains(const TLabelItem* item) const
{
    return std::any_of(children_.begin(), children_.end(),
                       [item](const auto& c) { return c.get() == item; });
}

TLabelItem* TLabelPanel::FindComponent(const QString& name) const
{
    for (const auto& c : children_)
        if (c->Name().compare(name, Qt::CaseInsensitive) == 0)
            return c.get();
    return nullptr;
}

TLabelItem* TLabelPanel::ItemAt(QPoint pos) const
{
    for (auto it = children_.rbegin(); it != children_.rend(); ++it)
        if ((*it)->BoundsRect().contains(pos))
            return it->get();
    return nullptr;
}

void TLabelPanel::Paint(QPainter& painter, double deviceScale) const
{
    painter.save();
    painter.scale(deviceScale, deviceScale);
    painter.fillRect(QRect(0, 0, width_, height_), BackgroundColor());
    sw::PaintLabelOutline(painter, width_, height_, shape_);
    for (const auto& c : children_) {
        painter.save();
        painter.translate(c->Left(), c->Top());
        // A windowless control draws only inside its own box.
        painter.setClipRect(QRect(0, 0, c->Width(), c->Height()), Qt::IntersectClip);
        c->Paint(painter, 1.0);
        painter.restore();
    }
    painter.restore();
}

void TLabelPanel::NotifyChanged() const
{
    if (Changed)
        Changed();
}

void TLabelPanel::RelayOutTexts()
{
    for (const std::unique_ptr<TLabelItem>& item : children_)
        if (auto* text = dynamic_cast<Tmo3DLabel*>(item.get())) {
            text->LayOut();
            item->Invalidate();
        }
    NotifyChanged();
}
