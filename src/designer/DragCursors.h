#pragma once
// The nine tool drag cursors: 32 x 32 monochrome outline pictures of the item kinds with the hot
// spot at the top-left corner, so a new item's top-left corner lands where the picture's was.
#include <QCursor>
#include <QPixmap>
#include <QString>

namespace sw {
// Cursor names: "DRAG_TEXT", "DRAG_RECT", "DRAG_ROUNDRECT", "DRAG_ELLIPSE", "DRAG_HLINE",
// "DRAG_VLINE", "DRAG_GRAPHIC", "DRAG_COUNTER", "DRAG_SYMBOL". Unknown names give the arrow.
QCursor ToolDragCursor(const QString& name);
// The same picture as a pixmap (black outline, white halo, transparent elsewhere).
QPixmap ToolDragPicture(const QString& name);
// The cursor name of a drop button ("DropRectButton" -> "DRAG_RECT"); empty for others.
QString DragCursorName(const QString& buttonName);
} // namespace sw
