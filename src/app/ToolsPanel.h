#pragma once
// The designer's Tools: one drop button per item kind, the properties and nudge buttons, the
// cut button and "Move All", on a floating panel titled "Tools".
#include "ui/FloatPanel.h"

class QCheckBox;
class QToolButton;

class TToolsPanel : public TFloatPanel {
    Q_OBJECT
public:
    explicit TToolsPanel(QWidget* parent = nullptr);

    QToolButton* DropTextButton;
    QToolButton* DropRectButton;
    QToolButton* DropEllipseButton;
    QToolButton* DropRoundRectButton;
    QToolButton* DropSymbolButton;
    QToolButton* DropHLineButton;
    QToolButton* DropVLineButton;
    QToolButton* DropImageButton;
    QToolButton* DropCounterButton;
    QToolButton* DropBarcodeButton;
    QToolButton* PropertiesButton;
    QToolButton* PosUpButton;
    QToolButton* PosDownButton;
    QToolButton* PosRightButton;
    QToolButton* PosLeftButton;
    QToolButton* CutObjectButton;
    QCheckBox* MoveAll;

    // The nine drop buttons, in the order of the panel's rows.
    QList<QToolButton*> DropButtons() const;
};
