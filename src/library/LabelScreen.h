#pragma once
// What the label library needs of the screen around the label: the description box, the design
// panel and its items, the position selection and the Tools panel. The main window provides it.
#include "model/LabelShape.h"

#include <QString>

class TLabelScreen {
public:
    virtual ~TLabelScreen() = default;

    // The description box `Descript`.
    virtual QString DescriptText() const = 0;
    // Sets the box as a program edit: not cut at the 30 characters typing allows, and it marks
    // the label changed (TriggerChange) unless a load is in progress.
    virtual void SetDescriptText(const QString& text) = 0;
    virtual void FocusDescript() = 0;

    // The design panel `LabelPanel`.
    virtual void SetLabelPanelSize(int width, int height) = 0;
    virtual void SetLabelShape(TLabelShapeType shape) = 0;

    // The items on the panel as item description text, and back: RestoreItems deletes every
    // item, rebuilds them from the text and lets the selection handle go.
    virtual QString SaveItems() = 0;
    virtual void RestoreItems(const QString& objects) = 0;
    virtual void DeleteAllItems() = 0;

    virtual void ClearPositionSelection() = 0;
    // Tools panel at top 60, right-aligned with 10 pixels to spare.
    virtual void ShowToolsPanelAtDefault() = 0;
};
