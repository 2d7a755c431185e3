#pragma once
// The one bridge between label pixels (what items store) and view pixels (what the zoomed design
// panel shows). A rectangle is mapped edge by edge, so boxes that touch in label pixels still
// touch on screen; a view point maps to the label pixel it lies in.
#include <QPoint>
#include <QRect>
#include <QSize>
#include <cmath>

class TViewScale {
public:
    static constexpr double MinZoom = 0.5;
    static constexpr double MaxZoom = 4.0;

    explicit TViewScale(double zoom = 1.0)
        : zoom_(zoom)
    {
    }
    double Zoom() const { return zoom_; }

    int ToView(int v) const { return int(std::lround(v * zoom_)); }
    QPoint ToView(QPoint p) const { return {ToView(p.x()), ToView(p.y())}; }
    QSize ToView(QSize s) const { return {ToView(s.width()), ToView(s.height())}; }
    QRect ToView(const QRect& r) const
    {
        const int left = ToView(r.x());
        const int top = ToView(r.y());
        return {left, top, ToView(r.x() + r.width()) - left, ToView(r.y() + r.height()) - top};
    }

    int ToLabel(int v) const { return int(std::floor(v / zoom_)); }
    QPoint ToLabel(QPoint p) const { return {ToLabel(p.x()), ToLabel(p.y())}; }
    // A distance on screen (a drag) as label pixels, rounded to the nearest.
    int LengthToLabel(int v) const { return int(std::lround(v / zoom_)); }
    QSize SizeToLabel(QSize s) const { return {LengthToLabel(s.width()), LengthToLabel(s.height())}; }

private:
    double zoom_;
};
