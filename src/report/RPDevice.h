#pragma once
// The printer device shared by every report component of the process: the printer list (the
// system's printers, plus a "PDF file" printer that is always there and writes a PDF to a chosen
// path), the chosen printer with its settings record, its metrics, and the device document that a
// printer report draws into.
#include "report/RPCalibration.h"
#include "report/RPDefine.h"

#include <QMarginsF>
#include <QSizeF>
#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

class QPainter;
class QPrinter;

namespace sw {

// One entry of the printer list.
struct TRPDeviceItem {
    QString Name;
    QString Driver;
    QString Port;
    bool IsPdf = false;
    QString Listed() const { return Name + QStringLiteral(" on ") + Port; }
};

// The fixed settings record of one printer (paper, orientation, copies and the rest that a
// report stream header carries).
struct TDevMode {
    bool HasPaperSize = true;        // the paper-size field is present: paper can be chosen
    std::int16_t PaperCode = 9;      // 1 letter, 5 legal, 8 A3, 9 A4, 11 A5, 256 custom
    std::int16_t PaperWidth = 0;     // custom paper, tenths of a millimetre
    std::int16_t PaperLength = 0;
    std::int16_t Orientation = 1;    // 1 portrait, 2 landscape
    std::int16_t Copies = 1;
    std::int16_t DefaultSource = 7;  // automatic paper bin
    bool Collate = false;
    std::int16_t Duplex = 1;         // 1 simplex, 2 vertical, 3 horizontal
};

// Paper of a platform paper code in inches (portrait); an empty size for codes without one.
QSizeF PaperCodeSize(int code);

class TRPDevice {
public:
    static constexpr const char* kPdfPrinterName = "PDF file";

    // The process-wide device, created on first use with the system's printers.
    static TRPDevice& Shared();

    // A device of its own (tests): with or without the system's printers and the PDF printer.
    TRPDevice(bool systemPrinters, bool pdfPrinter);
    ~TRPDevice();
    TRPDevice(const TRPDevice&) = delete;
    TRPDevice& operator=(const TRPDevice&) = delete;

    const std::vector<TRPDeviceItem>& Printers() const { return printers_; }
    bool HasPrinters() const { return !printers_.empty(); }
    int PrinterIndex() const { return index_; }
    void SetPrinterIndex(int index);
    // Chooses the printer whose name (or listed name) matches; false when there is none.
    bool SelectPrinter(const QString& name);
    int DefaultPrinterIndex() const { return default_; }
    const TRPDeviceItem* Printer() const;

    // The printer chosen by name through the engine; empty when none was chosen that way.
    const QString& ChosenByName() const { return chosenByName_; }

    // Device, driver and port names of the chosen printer ("Preview Only" without printers).
    QString DeviceName() const;
    QString DriverName() const;
    QString PortName() const;

    TDevMode& DevMode();
    const TDevMode& DevMode() const;

    // The PDF printer's output path, resolution and unprintable border (inches on every side).
    void SetPdfFileName(const QString& path) { pdfFileName_ = path; }
    const QString& PdfFileName() const { return pdfFileName_; }
    void SetPdfResolution(int dpi) { pdfResolution_ = dpi > 0 ? dpi : pdfResolution_; }
    void SetPdfMargins(const QMarginsF& inches) { pdfMargins_ = inches; }

    // The settings file (QX.INI of the data directory) that keeps each printer's calibration and
    // the folder the PDF printer last wrote to; without one nothing is kept.
    void SetSettingsFile(const QString& iniPath) { settingsFile_ = iniPath; }
    const QString& SettingsFile() const { return settingsFile_; }
    // The folder of the last PDF file chosen in a print dialog; empty when none was.
    QString LastPdfFolder() const;

    // The calibration of the chosen printer, applied to every device document while not
    // suspended (the calibration sheet itself is printed as the printer prints).
    TPrinterCalibration Calibration() const;
    void SetCalibrationSuspended(bool suspended) { calibrationSuspended_ = suspended; }

    // Metrics of the chosen printer as set now.
    double PixelsPerInchX() const;
    double PixelsPerInchY() const;
    // Distance from the paper's corner to the printable area, inches.
    QPointF UnprintableOffset() const;
    // Paper size in inches with the orientation applied.
    QSizeF PaperSizeInches() const;

    // Settings; not allowed during a device document.
    bool SetPaper(int code, double widthInches, double heightInches);
    bool PaperSizeSelectable(int code) const;
    void SetOrientation(TOrientation orientation);
    void SetCopies(int copies);
    void ExportDeviceSettings(QPrinter& dialogPrinter) const;
    void ImportDeviceSettings(const QPrinter& dialogPrinter);

    // The device document.
    void BeginDoc(const QString& title);
    void NewPage();
    void EndDoc();
    void AbortDoc();
    bool Printing() const { return painter_ != nullptr; }
    bool DocAborted() const { return docAborted_; }
    QPainter& Canvas();

private:
    void CheckIdle() const;
    void ConfigurePrinter(QPrinter& printer) const;
    // The printer's unprintable border as the printer object lays out its page.
    static QPointF PrintableOffsetOf(const QPrinter& printer);
    void ApplyCalibration();

    std::vector<TRPDeviceItem> printers_;
    std::vector<TDevMode> devModes_;
    int index_ = -1;
    int default_ = -1;
    QString chosenByName_;
    TDevMode noPrinterMode_;
    QSizeF customPaper_;
    QString pdfFileName_;
    int pdfResolution_ = 300;
    QMarginsF pdfMargins_;
    QString settingsFile_;
    bool calibrationSuspended_ = false;
    TPrinterCalibration calibration_; // of the open device document
    std::unique_ptr<QPrinter> printer_;
    std::unique_ptr<QPainter> painter_;
    bool docAborted_ = false;
};

} // namespace sw
