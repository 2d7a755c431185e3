#pragma once
// A panel that looks like a small window inside its parent: a title band with a caption, dragged
// anywhere by a free spot, rolled up to its title band and down again by a small button.
#include <QFrame>
#include <QPoint>

class QToolButton;

class TFloatPanel : public QFrame {
    Q_OBJECT
public:
    explicit TFloatPanel(QWidget* parent = nullptr);

    QString TitleCaption() const { return titleCaption_; }
    void SetTitleCaption(const QString& caption);

    bool Rolled() const { return rolled_; }
    void SetRolled(bool rolled);

    // The height when unrolled. Set once the panel has its designed size (the form is loaded).
    int FullHeight() const { return fullHeight_; }
    void SetFullHeight(int height);

    // Bevel width counted once for each bevel drawn (frame width here).
    int BevelWidth() const;
    // (bw, bw) to (width - bw, bw + 20).
    QRect TitleBand() const;

    QToolButton* RollerButton() const { return rollerButton_; }
    bool Dragging() const { return dragging_; }

    // Number of repaints asked for by property changes (lets callers see a no-op setter).
    int RepaintRequests() const { return repaintRequests_; }

    void RollerButtonClick();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void RequestRepaint();
    void ApplyRolledHeight();

    QString titleCaption_;
    bool rolled_ = false;
    int fullHeight_ = 0;
    bool dragging_ = false;
    QPoint dragStart_;
    QToolButton* rollerButton_ = nullptr;
    int repaintRequests_ = 0;
};
