#pragma once
// Calibration of one printer: what the device adds to, and multiplies, every position on the
// paper by, so that a printer whose feed is off to one side or whose scale drifts over the page
// still puts every item on its label. A point (x, y) inches from the top-left corner of the sheet,
// held portrait as it goes through the printer, is drawn at (OffsetX + x × ScaleX / 100,
// OffsetY + y × ScaleY / 100); landscape pages are turned onto the sheet first.
//
// Stored in the data directory's QX.INI, one section per printer:
//   [Calibration NAME]
//   OffsetX=0.0472      inches
//   OffsetY=-0.0315
//   ScaleX=100.4016     percent
//   ScaleY=99.7009
// A printer without a section is not calibrated.
#include <QPointF>
#include <QString>

namespace sw {

struct TPrinterCalibration {
    double OffsetX = 0, OffsetY = 0; // inches
    double ScaleX = 100, ScaleY = 100; // percent

    bool IsNone() const;
    QPointF Apply(const QPointF& paperInches) const;
    bool operator==(const TPrinterCalibration&) const = default;
};

// Readings beyond these are taken for a misreading rather than a printer's error.
inline constexpr double kMaxCalibrationOffset = 1.0;      // inches
inline constexpr double kMaxCalibrationScaleChange = 5.0; // percent either way

// Empty when the calibration is plausible, else the message that refuses it.
QString CalibrationRefusal(const TPrinterCalibration& calibration);

// The calibration that undoes what a printer did to two points: where they were meant to be and
// where they landed, inches from the paper's corner. The points must differ in both directions;
// ok is false otherwise.
TPrinterCalibration CalibrationFromReadings(const QPointF& meant1, const QPointF& landed1,
                                            const QPointF& meant2, const QPointF& landed2,
                                            bool* ok);

// The printer's calibration in the INI file; none when the file has no plausible one.
TPrinterCalibration ReadCalibration(const QString& iniPath, const QString& printerName);
// Stores the calibration (none removes the printer's section); false when the file cannot be
// written.
bool WriteCalibration(const QString& iniPath, const QString& printerName,
                      const TPrinterCalibration& calibration);

// "offset 0.0472, -0.0315 in; scale 100.4016 %, 99.7009 %" or "none".
QString DescribeCalibration(const TPrinterCalibration& calibration);

} // namespace sw
