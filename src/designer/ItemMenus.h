#pragma once
// The eight item command menus with their exact captions and component names. Every entry
// carries its command in its data (TItemCommand, with the line width, fill style or rounding
// percentage it sets).
#include "model/LabelItem.h"

#include <QString>
#include <array>

class QAction;
class QMenu;
class QWidget;

enum class TItemCommand {
    Text, Font, FontColor, Rotation, CounterValues, Color, LineColor, LineThickness, Pattern,
    Rounding, Symbol, ImageFile, StretchToFit, SendToBack, BringToFront, Center,
    CenterVertically, CenterHorizontally, Delete, Barcode, Symbology, ShowText, QuarterTurn
};

struct TItemMenuEntry {
    TItemCommand Command;
    int Value = 0; // width, style or percent
};

// Reads an entry's command; false for separators and submenu titles.
bool MenuEntryOf(const QAction* action, TItemMenuEntry& entry);

constexpr int kItemMenuCount = 8;
int MenuIndex(TItemMenu menu);

// Builds the menu of a kind (object name "PopupMenuText" etc.) as a child of parent.
QMenu* BuildItemMenu(TItemMenu menu, QWidget* parent);
