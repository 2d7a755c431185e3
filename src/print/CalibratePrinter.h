#pragma once
// "Calibrate Printer": prints the calibration sheet on the chosen printer, takes where its two
// crosshairs landed (millimetres or inches from the paper's left and top edges), shows the
// offsets and scales that put labels back on their places, and stores them for that printer on
// OK. "Reset" returns the printer to no calibration. Readings that would move labels by more
// than an inch, or scale them by more than 5 %, are refused as a likely misreading.
#include "report/RPCalibration.h"

#include <QDialog>
#include <QPointF>

class QComboBox;
class TWindowServices;
class QDoubleSpinBox;
class QLabel;

namespace sw {

class TRPDevice;

class TCalibratePrinter : public QDialog {
    Q_OBJECT
public:
    static constexpr int HelpContext = 2002;

    TCalibratePrinter(TRPDevice& device, QWidget* parent = nullptr);

    // File > Calibrate Printer: the dialog over the main window, for one use.
    static void mnuCalibratePrinterClick(TWindowServices& services, TRPDevice& device);

    // The calibration the readings give now (none while they cannot give one).
    TPrinterCalibration Result() const { return result_; }

    // Controls by role, for the tests.
    QComboBox* PrinterBox() const { return printers_; }
    QComboBox* UnitBox() const { return units_; }
    QDoubleSpinBox* Reading(int crosshair, bool fromTop) const;
    QLabel* ResultLabel() const { return resultLabel_; }

public slots:
    void PrintSheet();
    void Reset();
    void accept() override;
    // Cancel, Escape and the window's close: the session's printer is the one chosen before.
    void reject() override;

private:
    void PrinterChosen(int index);
    void UnitChosen(int index);
    void ReadingsChanged();
    double ToInches(double value) const;
    double FromInches(double inches) const;

    TRPDevice& device_;
    const int sessionPrinter_; // the printer chosen when the dialog opened
    QComboBox* printers_;
    QComboBox* units_;
    QLabel* currentLabel_;
    QLabel* resultLabel_;
    QDoubleSpinBox* readings_[4]; // crosshair 1 left, top; crosshair 2 left, top
    QPointF meant_[2];
    bool inches_ = false;
    bool resultValid_ = true;
    TPrinterCalibration result_;
};

} // namespace sw
