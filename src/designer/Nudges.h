#pragma once
// The four nudge buttons: each moves the selected item one pixel (or, with "Move All", every
// item), repeating every 50 ms after being held for 100 ms. The grid does not apply.
#include <QObject>

class QCheckBox;
class QToolButton;
class TDesigner;

class TNudges : public QObject {
    Q_OBJECT
public:
    static constexpr int RepeatDelay = 100;    // ms
    static constexpr int RepeatInterval = 50;  // ms
    enum Direction { Up = 0, Down = 1, Left = 2, Right = 3 };

    explicit TNudges(TDesigner& designer);

    void ConnectButtons(QToolButton* up, QToolButton* down, QToolButton* right, QToolButton* left, QCheckBox* moveAll);

    bool MoveAllChecked() const;
    void PosUpButtonClick() { Nudge(Up); }
    void PosDownButtonClick() { Nudge(Down); }
    void PosRightButtonClick() { Nudge(Right); }
    void PosLeftButtonClick() { Nudge(Left); }
    void MoveAllObjects(int direction);

private:
    void Nudge(Direction d);

    TDesigner& designer_;
    QCheckBox* moveAll_ = nullptr;
};
