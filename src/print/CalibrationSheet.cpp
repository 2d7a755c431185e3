#include "print/CalibrationSheet.h"

#include "model/Units.h"
#include "report/RPrinter.h"

#include <cmath>

namespace sw {

namespace {

constexpr double kMm = 1 / 25.4;   // inches
constexpr int kRulerMm = 12;       // the ruler reaches this far on each side of a crosshair

// One crosshair at c with its ruler: a square frame kRulerMm millimetres out, ticked along all
// four sides at every whole millimetre from the paper's left or top edge (longer every 5 and 10),
// numbered every 5 with that distance, as meant.
void DrawCrosshair(TBaseReport& r, const QPointF& c, int number)
{
    r.ChoosePen(0, psSolid, -1, pmCopy);
    r.ChooseBrush(0x00FFFFFF, bsClear);
    const double reach = kRulerMm * kMm;
    const QRectF frame(c.x() - reach, c.y() - reach, 2 * reach, 2 * reach);
    r.MovePen(frame.left(), c.y());
    r.DrawLineTo(frame.right(), c.y());
    r.MovePen(c.x(), frame.top());
    r.DrawLineTo(c.x(), frame.bottom());
    r.DrawRectangle(frame.left(), frame.top(), frame.right(), frame.bottom());

    r.SelectFont(QStringLiteral("Arial"), 5);
    r.SetTextAnchor(taTop);
    r.RefreshFontMetrics();
    const auto tickLength = [](int mm) { return (mm % 10 == 0 ? 3.0 : mm % 5 == 0 ? 2.0 : 1.0) * kMm; };
    for (int mm = int(std::ceil(frame.left() * 25.4)); mm * kMm < frame.right(); ++mm) {
        const double x = mm * kMm, tick = tickLength(mm);
        r.MovePen(x, frame.top());
        r.DrawLineTo(x, frame.top() + tick);
        r.MovePen(x, frame.bottom());
        r.DrawLineTo(x, frame.bottom() - tick);
        if (mm % 5 == 0) {
            const QString text = QString::number(mm);
            r.PrintTextAt(text, x - r.TextWidth(text) / 2, frame.bottom() + 0.5 * kMm + r.FontAscent());
        }
    }
    for (int mm = int(std::ceil(frame.top() * 25.4)); mm * kMm < frame.bottom(); ++mm) {
        const double y = mm * kMm, tick = tickLength(mm);
        r.MovePen(frame.left(), y);
        r.DrawLineTo(frame.left() + tick, y);
        r.MovePen(frame.right(), y);
        r.DrawLineTo(frame.right() - tick, y);
        if (mm % 5 == 0)
            r.PrintTextAt(QString::number(mm), frame.right() + 0.8 * kMm, y + r.FontAscent() / 2);
    }

    r.SelectFont(QStringLiteral("Arial"), 8);
    r.SetBold(true);
    r.SetTextAnchor(taTop);
    r.RefreshFontMetrics();
    const QString caption = QStringLiteral("Crosshair %1: meant %2 mm (%3 in) from the left, %4 mm (%5 in) from the top")
                                .arg(number)
                                .arg(FormatFixed(c.x() * 25.4, 1), FormatFixed(c.x(), 3),
                                     FormatFixed(c.y() * 25.4, 1), FormatFixed(c.y(), 3));
    const double captionY = number == 1 ? c.y() + reach + 4 * kMm : c.y() - reach - 4 * kMm - r.FontHeightInches();
    const double captionX = number == 1 ? c.x() - reach : c.x() + reach - r.TextWidth(caption);
    r.PrintTextAt(caption, captionX, captionY + r.FontAscent());
}

} // namespace

std::pair<QPointF, QPointF> CalibrationCrosshairs(const QSizeF& paperInches)
{
    // Measured on the sheet as it goes through the printer: portrait.
    const QSizeF paper = paperInches.width() > paperInches.height() ? paperInches.transposed() : paperInches;
    return {QPointF(1, 1), QPointF(paper.width() - 1, paper.height() - 1)};
}

bool PrintCalibrationSheet(TRPDevice& device, QString* error)
{
    // The sheet is printed portrait, as calibrations are measured; the printer's orientation is
    // given back afterwards.
    struct Portrait {
        TRPDevice& d;
        std::int16_t was;
        explicit Portrait(TRPDevice& device) : d(device), was(device.DevMode().Orientation)
        {
            d.DevMode().Orientation = 1;
        }
        ~Portrait() { d.DevMode().Orientation = was; }
    } portrait(device);
    const std::pair<QPointF, QPointF> crosshairs = CalibrationCrosshairs(device.PaperSizeInches());
    const QString printer = device.DeviceName();
    TReportPrinter report(&device);
    report.Title = QStringLiteral("Calibration Sheet");
    report.OnPrint = [&](TBaseReport& r) {
        DrawCrosshair(r, crosshairs.first, 1);
        DrawCrosshair(r, crosshairs.second, 2);
        r.SelectFont(QStringLiteral("Arial"), 11);
        r.SetBold(true);
        r.SetTextAnchor(taTop);
        r.RefreshFontMetrics();
        const QSizeF paper = device.PaperSizeInches();
        double y = paper.height() / 2 - 0.6;
        const auto line = [&](const QString& text) {
            r.PrintTextAt(text, (paper.width() - r.TextWidth(text)) / 2, y + r.FontAscent());
            y += r.FontHeightInches() * 1.4;
        };
        line(QStringLiteral("Stickwell calibration sheet for ") + printer);
        r.SelectFont(QStringLiteral("Arial"), 9);
        r.SetTextAnchor(taTop);
        r.RefreshFontMetrics();
        line(QStringLiteral("Measure from the paper's left edge and from its top edge to the centre of each crosshair,"));
        line(QStringLiteral("then enter the four distances in File > Calibrate Printer."));
        line(QStringLiteral("The numbers on the rulers are millimetres from the paper's edges, as they were meant to print."));
    };
    struct Suspend {
        TRPDevice& d;
        explicit Suspend(TRPDevice& device) : d(device) { d.SetCalibrationSuspended(true); }
        ~Suspend() { d.SetCalibrationSuspended(false); }
    } suspend(device);
    try {
        report.RunReport();
    } catch (const EReportPrinter& e) {
        if (error)
            *error = e.message();
        return false;
    }
    if (!report.LastErrorBox().isEmpty()) {
        if (error)
            *error = report.LastErrorBox();
        return false;
    }
    return true;
}

} // namespace sw
