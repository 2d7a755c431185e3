#pragma once
// The rotation dialog: a spin field (0..359, step 45) and a dial that shows and sets the angle.
// Every change of the value is handed at once to the target, so the item on the design panel
// turns while the dialog is open. The dialog never undoes that; its caller does on Cancel.
#include <QDialog>
#include <QPoint>
#include <functional>

class QLabel;
class TSpinEdit;

namespace sw {
// Angle that a point (x, y) on a dial of size w x h stands for: 0 right, 90 up, 180 left,
// 270 down, in whole degrees 0..359.
int DialAngleAt(int w, int h, int x, int y);
// End of the dial's pointer for an angle.
QPoint DialPointerEnd(int w, int h, int angle);
} // namespace sw

class TRotateDial : public QWidget {
    Q_OBJECT
public:
    explicit TRotateDial(QWidget* parent = nullptr);

    int Angle() const { return angle_; }
    void SetAngle(int angle);

signals:
    // The user dragged the pointer to a new angle.
    void Dragged(int angle);

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int angle_ = 0;
    bool dragging_ = false;
};

class TSetRotate : public QDialog {
    Q_OBJECT
public:
    static constexpr int HelpContext = 1049;
    // Receives every new angle while the dialog is open (the item's angle setter normalises it).
    using TTarget = std::function<void(int angle)>;

    explicit TSetRotate(QWidget* parent = nullptr);

    void SetTargetLabel(TTarget target) { target_ = std::move(target); }
    int DialAngle() const;

    TSpinEdit* AngleSpin;
    TRotateDial* PaintBox1;
    QLabel* AngleSpinLabel;

private:
    void AngleSpinChange();
    void PaintBox1DragOver(int angle);

    TTarget target_;
};
