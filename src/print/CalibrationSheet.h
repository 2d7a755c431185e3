#pragma once
// The calibration sheet: two fine crosshairs at known places near opposite corners of the
// paper, each inside a millimetre ruler, printed on the chosen printer exactly as that printer
// prints (its own calibration is left out), so that where the crosshairs land tells how the
// printer shifts and scales.
#include <QPointF>
#include <QSizeF>
#include <QString>
#include <utility>

namespace sw {

class TRPDevice;

// Where the two crosshairs are meant to be on paper of the size (inches from the top-left
// corner of the sheet held portrait): an inch in from the top-left and from the bottom-right
// corner.
std::pair<QPointF, QPointF> CalibrationCrosshairs(const QSizeF& paperInches);

// Prints the sheet portrait on the device's chosen printer and paper; on failure returns false
// with the engine's message.
bool PrintCalibrationSheet(TRPDevice& device, QString* error);

} // namespace sw
