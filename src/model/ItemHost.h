#pragma once
// What the item factories need from the window they work for: the change notification, the
// information box, the dialogs of their interactive modes, the selection to release before an
// item goes away, and the event links to give each new item. The program implements it with its
// dialogs; the batch tool refuses the interactive values.
#include "model/LabelItem.h"

#include <QString>

class IItemHost {
public:
    virtual ~IItemHost() = default;

    // Marks the label changed (silent while a label is being loaded).
    virtual void TriggerChange() = 0;
    // The information box (caption "Information").
    virtual void ShowInformation(const QString& text) = 0;

    // The counter values dialog; both numbers come preset (1 and 1). False when not confirmed.
    virtual bool GetCounterValues(int& startingNumber, int& repeatEach) = 0;
    // The symbol chooser, preset with code and colour. False when not confirmed; else the chosen
    // code (33..255) and colour.
    virtual bool GetSymbol(int& code, TColor& color) = 0;
    // The image browser: the chosen file's full path, empty when cancelled.
    virtual QString BrowseImageFile() = 0;

    // Releases the selection handles before items are deleted.
    virtual void ReleaseSelection() {}
    // The three event links every new item gets.
    virtual TItemEvents ItemEvents() { return {}; }
};
