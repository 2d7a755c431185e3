#pragma once
// TReportPrinter: a report drawn straight onto the chosen printer of the device.
#include "report/RPCanvas.h"

namespace sw {

class TReportPrinter : public TCanvasReport {
public:
    using TCanvasReport::TCanvasReport;

protected:
    bool StartJob() override { return StartDeviceJob(); }
    void FinishJob() override { FinishDeviceJob(); }
    void BreakPage(bool oldSkipped, bool newSkipped) override { BreakDevicePage(oldSkipped, newSkipped); }
};

} // namespace sw
