#pragma once
// Where a dialog opens: centred over the main window, inside the screen.
#include <QRect>

class QWidget;

namespace sw {

// The frame rectangle of a dialog whose frame has the given size, centred over the window's
// frame (left = window left + (window width - dialog width) div 2, likewise top, division
// rounding toward zero), then moved into the available area, and shrunk to it when larger.
QRect CenteredFrame(const QRect& windowFrame, const QSize& dialogFrame, const QRect& available);

// Centres the dialog over the window by CenteredFrame. A dialog is laid out only when it is
// shown, so it is placed again then, with its final size; before that it is placed by its
// layout's size. The window's frame margins stand for the dialog's, whose frame the window
// system has not made yet.
void CenterOverWindow(QWidget* dialog, const QWidget* window);

} // namespace sw
