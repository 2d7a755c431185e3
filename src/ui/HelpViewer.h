#pragma once
// The help pages, shown by the program itself and opened at a context number.
#include <QString>

class QWidget;

namespace sw {
// Folder holding index.html and the topic pages (beside the executable, "help/").
QString HelpDirectory();
// Opens the help at the topic of a context number (0 or unknown: the contents page).
void ShowHelp(QWidget* parent, int context);
}
