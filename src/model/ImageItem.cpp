#include "model/ImageItem.h"

#include <QPainter>

TImageItem::TImageItem()
    : TLabelItem(105, 105)
{
    PopupMenu = TItemMenu::PopupMenuImage;
}

void TImageItem::SetStretch(bool stretch)
{
    if (stretch == stretch_)
        return;
    stretch_ = stretch;
    if (AutoSize() && !picture_.isNull()) {
        const QSize s = picture_.naturalSize(PixelsPerInch());
        SetBounds(Left(), Top(), s.width(), s.height());
    }
    Invalidate();
}

void TImageItem::SetPicture(const sw::Picture& picture)
{
    picture_ = picture;
    if (AutoSize() && !picture_.isNull()) {
        const QSize s = picture_.naturalSize(PixelsPerInch());
        SetBounds(Left(), Top(), s.width(), s.height());
    }
    Invalidate();
}

bool TImageItem::LoadPicture(QString* error)
{
    SetPicture(sw::Picture::Load(hint_, error));
    return !picture_.isNull();
}

void TImageItem::DoPaint(QPainter& painter)
{
    if (picture_.isNull())
        return;
    if (stretch_) {
        picture_.Draw(painter, QRectF(0, 0, Width(), Height()));
    } else {
        const QSize s = picture_.naturalSize(PixelsPerInch());
        picture_.Draw(painter, QRectF(0, 0, s.width(), s.height()));
    }
}
