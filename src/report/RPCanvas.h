#pragma once
// TCanvasReport: a report that draws every operation with a QPainter, converting inches to the
// painter's device pixels. The printer report and the stream replay draw through it.
#include "report/RPBase.h"

class QPainter;

namespace sw {

class TCanvasReport : public TBaseReport {
public:
    using TBaseReport::TBaseReport;

protected:
    // Device side of a printer job: the no-printer box, the device document, the metrics.
    bool StartDeviceJob();
    void FinishDeviceJob();
    void BreakDevicePage(bool oldSkipped, bool newSkipped);

    void OutShape(rps::Code code, const InchRect& r) override;
    void OutRoundRect(const InchRect& r, double cw, double ch) override;
    void OutMoveTo(const QPointF& p) override;
    void OutLineTo(const QPointF& p) override;
    void OutPoly(bool closed, const std::vector<QPointF>& points) override;
    void OutBitmap(const InchRect& r, const Picture& bitmap) override;
    void OutGraphic(const InchRect& r, const Picture& picture) override;
    void OutText(rps::Code code, double x, double y, const QString& text, double width) override;

    // Draws text at (x, baseline y) in inches; under code 33 (or 32) it spans spanWidth inches.
    void DrawText(rps::Code code, double x, double y, const QString& text, double spanWidth);
    QRectF DeviceRect(const InchRect& r) const;
    QPointF DevicePoint(const QPointF& inches) const;
    QPainter& Painter() const;
    void ApplyPen(bool withBrush);

    QPainter* canvas_ = nullptr;
    QPointF penDevice_;
};

} // namespace sw
