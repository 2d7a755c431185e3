#pragma once
// The designer's zoom: the View menu (zoom in and out through fixed steps, actual size, "Fit
// Label", one entry per step), Ctrl+wheel over the design surface and Ctrl+plus/minus. Zooming
// changes only how the label is shown: the label on screen is not changed by it, it is not a
// step of the history, and it stays from label to label for the rest of the run.
#include <QList>
#include <QObject>
#include <QPoint>
#include <QPointer>

class QAbstractScrollArea;
class QAction;
class QActionGroup;
class QMenu;
class TDesigner;

class TDesignZoom : public QObject {
    Q_OBJECT
public:
    // The steps of Zoom In and Zoom Out, in percent.
    static const QList<int>& Levels();
    // The next step above (direction > 0) or below the zoom; the zoom itself at either end.
    static double NextLevel(double zoom, int direction);

    explicit TDesignZoom(TDesigner& designer);

    // Fills the View menu; 'area' is the scrolling surface the design panel stands in (its
    // visible part is what "Fit Label" fills, and Ctrl+wheel over it zooms).
    void ConnectViewMenu(QMenu* view, QAbstractScrollArea* area);

    double Zoom() const;
    // Zooms keeping the label point under 'anchor' (a point of the scroll area's viewport) in
    // place; without an anchor, the middle of the visible part.
    void SetZoom(double zoom);
    void SetZoomAround(double zoom, QPoint anchor);
    void ZoomIn();
    void ZoomOut();
    void ActualSize();
    // The largest zoom at which the whole label is visible, in whole percent.
    void FitLabel();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void UpdateActions();

    TDesigner& designer_;
    QPointer<QAbstractScrollArea> area_;
    QAction* zoomIn_ = nullptr;
    QAction* zoomOut_ = nullptr;
    QActionGroup* levels_ = nullptr;
    int wheelRest_ = 0;
};
