#pragma once
#include <QStringList>

namespace sw {
// stickwell-batch calibrate --table PATH/QXLBLS.DBF --printer NAME [--offset X,Y]
// [--scale SX,SY] [--reset]: sets, resets or (with no values) prints the printer's calibration in
// the QX.INI beside the table. Returns the exit code.
int RunCalibrateCommand(const QStringList& args);
}
