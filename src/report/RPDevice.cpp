#include "report/RPDevice.h"

#include "model/IniFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScreen>
#include <QTransform>
#include <cmath>

namespace sw {

namespace {

struct PaperEntry {
    int code;
    QPageSize::PageSizeId id;
};

constexpr PaperEntry kPapers[] = {
    {1, QPageSize::Letter}, {5, QPageSize::Legal}, {8, QPageSize::A3},
    {9, QPageSize::A4},     {11, QPageSize::A5},
};

constexpr int kCustomPaperCode = 256;

// Where the PDF printer's last folder is kept in the settings file.
const QString kPdfSection = QStringLiteral("PDF file");
const QString kPdfFolderKey = QStringLiteral("Folder");
const QString kDefaultPdfName = QStringLiteral("Labels.pdf");

QPageSize::PageSizeId PageIdOf(int code)
{
    for (const PaperEntry& p : kPapers)
        if (p.code == code)
            return p.id;
    return QPageSize::Custom;
}

int CodeOfPage(const QPageSize& size)
{
    for (const PaperEntry& p : kPapers)
        if (p.id == size.id())
            return p.code;
    return kCustomPaperCode;
}

double ScreenDpi()
{
    if (QGuiApplication::instance())
        if (QScreen* s = QGuiApplication::primaryScreen())
            return s->logicalDotsPerInch();
    return 96.0;
}

} // namespace

QSizeF PaperCodeSize(int code)
{
    const QPageSize::PageSizeId id = PageIdOf(code);
    if (id == QPageSize::Custom)
        return {};
    return QPageSize(id).size(QPageSize::Inch);
}

TRPDevice& TRPDevice::Shared()
{
    static TRPDevice device(true, true);
    return device;
}

TRPDevice::TRPDevice(bool systemPrinters, bool pdfPrinter)
{
    noPrinterMode_.PaperCode = 1;
    TDevMode base;
    base.PaperCode = 1;
    if (systemPrinters) {
        const QString defaultName = QPrinterInfo::defaultPrinterName();
        for (const QPrinterInfo& info : QPrinterInfo::availablePrinters()) {
            if (info.printerName().contains(QLatin1String("RENDERING SUBSYSTEM"), Qt::CaseInsensitive))
                continue;
            TRPDeviceItem item{info.printerName(), info.makeAndModel(), QStringLiteral("CUPS"), false};
            if (info.printerName() == defaultName)
                default_ = int(printers_.size());
            printers_.push_back(item);
            TDevMode mode = base;
            const QPageSize size = info.defaultPageSize();
            if (size.isValid() && CodeOfPage(size) != kCustomPaperCode)
                mode.PaperCode = std::int16_t(CodeOfPage(size));
            devModes_.push_back(mode);
        }
    }
    if (pdfPrinter) {
        printers_.push_back({QString::fromLatin1(kPdfPrinterName), QStringLiteral("Qt PDF"),
                             QStringLiteral("FILE:"), true});
        devModes_.push_back(base);
        if (default_ < 0)
            default_ = int(printers_.size()) - 1;
    }
    index_ = default_;
}

TRPDevice::~TRPDevice()
{
    if (painter_)
        AbortDoc();
}

void TRPDevice::CheckIdle() const
{
    if (painter_)
        throw EReportPrinter(rpmsg::kDeviceAlreadyPrinting);
}

void TRPDevice::SetPrinterIndex(int index)
{
    CheckIdle();
    if (index >= 0 && index < int(printers_.size()))
        index_ = index;
}

bool TRPDevice::SelectPrinter(const QString& name)
{
    for (int i = 0; i < int(printers_.size()); ++i) {
        if (printers_[i].Name == name || printers_[i].Listed() == name) {
            SetPrinterIndex(i);
            chosenByName_ = printers_[i].Name;
            return true;
        }
    }
    return false;
}

const TRPDeviceItem* TRPDevice::Printer() const
{
    return index_ >= 0 ? &printers_[index_] : nullptr;
}

QString TRPDevice::DeviceName() const
{
    return Printer() ? Printer()->Name : QStringLiteral("Preview Only");
}

QString TRPDevice::DriverName() const
{
    return Printer() ? Printer()->Driver : QStringLiteral("Preview Only");
}

QString TRPDevice::PortName() const
{
    return Printer() ? Printer()->Port : QStringLiteral("Preview");
}

TDevMode& TRPDevice::DevMode()
{
    return index_ >= 0 ? devModes_[index_] : noPrinterMode_;
}

const TDevMode& TRPDevice::DevMode() const
{
    return index_ >= 0 ? devModes_[index_] : noPrinterMode_;
}

double TRPDevice::PixelsPerInchX() const
{
    if (!Printer())
        return ScreenDpi();
    if (printer_)
        return printer_->resolution();
    if (Printer()->IsPdf)
        return pdfResolution_;
    QPrinter p(QPrinterInfo::printerInfo(Printer()->Name), QPrinter::HighResolution);
    return p.resolution();
}

double TRPDevice::PixelsPerInchY() const
{
    return PixelsPerInchX();
}

QPointF TRPDevice::PrintableOffsetOf(const QPrinter& printer)
{
    const QRectF paper = printer.paperRect(QPrinter::Inch);
    const QRectF page = printer.pageRect(QPrinter::Inch);
    return page.topLeft() - paper.topLeft();
}

QPointF TRPDevice::UnprintableOffset() const
{
    if (!Printer())
        return {};
    // During a document, the border of the page the painter actually draws on.
    if (printer_)
        return PrintableOffsetOf(*printer_);
    if (Printer()->IsPdf)
        return {pdfMargins_.left(), pdfMargins_.top()};
    QPrinter p(QPrinterInfo::printerInfo(Printer()->Name), QPrinter::HighResolution);
    ConfigurePrinter(p);
    return PrintableOffsetOf(p);
}

QString TRPDevice::LastPdfFolder() const
{
    if (settingsFile_.isEmpty())
        return {};
    return IniTextToUnicode(TIniFile(settingsFile_).Value(kPdfSection, kPdfFolderKey));
}

TPrinterCalibration TRPDevice::Calibration() const
{
    if (!Printer())
        return {};
    return ReadCalibration(settingsFile_, Printer()->Name);
}

QSizeF TRPDevice::PaperSizeInches() const
{
    const TDevMode& m = DevMode();
    QSizeF size;
    if (!Printer() && customPaper_.isValid())
        size = customPaper_;
    else if (m.PaperCode == kCustomPaperCode && m.PaperWidth > 0 && m.PaperLength > 0)
        size = QSizeF(m.PaperWidth / 254.0, m.PaperLength / 254.0);
    else
        size = PaperCodeSize(m.PaperCode);
    if (!size.isValid())
        size = PaperCodeSize(1);
    return m.Orientation == 2 ? size.transposed() : size;
}

bool TRPDevice::SetPaper(int code, double widthInches, double heightInches)
{
    CheckIdle();
    if (widthInches == 0 && heightInches == 0) {
        if (!Printer() || !DevMode().HasPaperSize || PageIdOf(code) == QPageSize::Custom)
            return false;
        DevMode().PaperCode = std::int16_t(code);
        return true;
    }
    if (!(widthInches > 0 && heightInches > 0))
        return false;
    if (!Printer()) {
        customPaper_ = QSizeF(widthInches, heightInches);
        return true;
    }
    const long w = std::lround(widthInches * 254);
    const long h = std::lround(heightInches * 254);
    QSizeF minimum(1, 1), maximum(200, 200); // what the PDF printer takes, inches
    if (!Printer()->IsPdf) {
        const QPrinterInfo info = QPrinterInfo::printerInfo(Printer()->Name);
        if (!info.supportsCustomPageSizes())
            return false;
        minimum = info.minimumPhysicalPageSize().size(QPageSize::Inch);
        maximum = info.maximumPhysicalPageSize().size(QPageSize::Inch);
    }
    if (w < std::lround(minimum.width() * 254) || w > std::lround(maximum.width() * 254)
        || h < std::lround(minimum.height() * 254) || h > std::lround(maximum.height() * 254)
        || w > INT16_MAX || h > INT16_MAX)
        return false;
    TDevMode& m = DevMode();
    m.PaperCode = kCustomPaperCode;
    m.PaperWidth = std::int16_t(w);
    m.PaperLength = std::int16_t(h);
    return true;
}

bool TRPDevice::PaperSizeSelectable(int) const
{
    return Printer() && DevMode().HasPaperSize;
}

void TRPDevice::SetOrientation(TOrientation orientation)
{
    if (!Printer() || orientation == poDefault)
        return;
    CheckIdle();
    DevMode().Orientation = orientation == poLandScape ? 2 : 1;
}

void TRPDevice::SetCopies(int copies)
{
    CheckIdle();
    if (Printer() && copies > 0)
        DevMode().Copies = std::int16_t(std::min(copies, int(INT16_MAX)));
}

void TRPDevice::ConfigurePrinter(QPrinter& printer) const
{
    const TDevMode& m = DevMode();
    QPageSize size;
    if (m.PaperCode == kCustomPaperCode && m.PaperWidth > 0 && m.PaperLength > 0)
        size = QPageSize(QSizeF(m.PaperWidth / 10.0, m.PaperLength / 10.0), QPageSize::Millimeter);
    else
        size = QPageSize(PageIdOf(m.PaperCode) == QPageSize::Custom ? QPageSize::Letter
                                                                    : PageIdOf(m.PaperCode));
    printer.setPageSize(size);
    printer.setPageOrientation(m.Orientation == 2 ? QPageLayout::Landscape : QPageLayout::Portrait);
    printer.setCopyCount(m.Copies);
    printer.setCollateCopies(m.Collate);
    printer.setDuplex(m.Duplex == 2   ? QPrinter::DuplexLongSide
                      : m.Duplex == 3 ? QPrinter::DuplexShortSide
                                      : QPrinter::DuplexNone);
    printer.setFullPage(false);
    if (Printer() && Printer()->IsPdf) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdfFileName_);
        printer.setResolution(pdfResolution_);
        printer.setPageMargins(pdfMargins_, QPageLayout::Inch);
    }
}

void TRPDevice::ExportDeviceSettings(QPrinter& dialogPrinter) const
{
    if (!Printer())
        return;
    CheckIdle();
    if (Printer()->IsPdf) {
        QString file = pdfFileName_;
        if (file.isEmpty()) {
            const QString folder = LastPdfFolder();
            if (!folder.isEmpty() && QFileInfo(folder).isDir())
                file = QDir(folder).filePath(kDefaultPdfName);
        }
        // Qt's dialog shows its own "Print to File (PDF)" entry for this printer, with the file.
        dialogPrinter.setOutputFormat(QPrinter::PdfFormat);
        dialogPrinter.setOutputFileName(file);
    } else {
        dialogPrinter.setOutputFormat(QPrinter::NativeFormat);
        dialogPrinter.setPrinterName(Printer()->Name);
    }
    const TDevMode& m = DevMode();
    dialogPrinter.setPageOrientation(m.Orientation == 2 ? QPageLayout::Landscape : QPageLayout::Portrait);
    if (PageIdOf(m.PaperCode) != QPageSize::Custom)
        dialogPrinter.setPageSize(QPageSize(PageIdOf(m.PaperCode)));
    dialogPrinter.setCopyCount(m.Copies);
}

void TRPDevice::ImportDeviceSettings(const QPrinter& dialogPrinter)
{
    if (!Printer())
        return;
    CheckIdle();
    int chosen = -1;
    for (int i = 0; i < int(printers_.size()); ++i) {
        const bool pdf = dialogPrinter.outputFormat() == QPrinter::PdfFormat;
        if (pdf ? printers_[i].IsPdf : printers_[i].Name == dialogPrinter.printerName())
            chosen = i;
    }
    if (chosen < 0)
        return;
    index_ = chosen;
    if (printers_[chosen].IsPdf && !dialogPrinter.outputFileName().isEmpty()) {
        pdfFileName_ = dialogPrinter.outputFileName();
        const QString folder = QFileInfo(pdfFileName_).absolutePath();
        if (!settingsFile_.isEmpty() && folder != LastPdfFolder()) {
            TIniFile ini(settingsFile_);
            ini.SetValue(kPdfSection, kPdfFolderKey, IniTextFromUnicode(folder));
            ini.Save(); // a folder that cannot be remembered is no reason to refuse the print
        }
    }
    TDevMode& m = DevMode();
    const QPageLayout layout = dialogPrinter.pageLayout();
    const int code = CodeOfPage(layout.pageSize());
    if (code != kCustomPaperCode) {
        m.PaperCode = std::int16_t(code);
    } else {
        const QSizeF mm = layout.pageSize().size(QPageSize::Millimeter);
        m.PaperCode = kCustomPaperCode;
        m.PaperWidth = std::int16_t(std::clamp(std::lround(mm.width() * 10), 1L, long(INT16_MAX)));
        m.PaperLength = std::int16_t(std::clamp(std::lround(mm.height() * 10), 1L, long(INT16_MAX)));
    }
    m.Orientation = layout.orientation() == QPageLayout::Landscape ? 2 : 1;
    m.Copies = std::int16_t(std::clamp(dialogPrinter.copyCount(), 1, int(INT16_MAX)));
    m.Collate = dialogPrinter.collateCopies();
}

void TRPDevice::BeginDoc(const QString& title)
{
    CheckIdle();
    if (!Printer())
        throw EReportPrinter(rpmsg::kInvalidPrinter);
    if (Printer()->IsPdf) {
        if (pdfFileName_.isEmpty())
            throw EReportPrinter(rpmsg::kInvalidPrinter);
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    } else {
        printer_ = std::make_unique<QPrinter>(QPrinterInfo::printerInfo(Printer()->Name),
                                              QPrinter::HighResolution);
    }
    ConfigurePrinter(*printer_);
    printer_->setDocName(title);
    painter_ = std::make_unique<QPainter>();
    docAborted_ = false;
    if (!painter_->begin(printer_.get())) {
        painter_.reset();
        printer_.reset();
        throw EReportPrinter(rpmsg::kInvalidPrinter);
    }
    calibration_ = calibrationSuspended_ ? TPrinterCalibration{} : Calibration();
    ApplyCalibration();
}

void TRPDevice::ApplyCalibration()
{
    painter_->resetTransform();
    if (calibration_.IsNone())
        return;
    // The calibration maps points of the sheet as it goes through the printer, portrait, from
    // its top-left corner. A landscape page reaches a printer turned a quarter left (the page's
    // top-left corner at the sheet's bottom-left); the PDF printer's page is the sheet itself.
    QTransform paperMap(calibration_.ScaleX / 100, 0, 0, calibration_.ScaleY / 100,
                        calibration_.OffsetX, calibration_.OffsetY);
    const QPageLayout layout = printer_->pageLayout();
    if (layout.orientation() == QPageLayout::Landscape
        && printer_->outputFormat() == QPrinter::NativeFormat) {
        const double width = layout.fullRect(QPageLayout::Inch).width();
        const QTransform toSheet(0, -1, 1, 0, 0, width);
        paperMap = toSheet * paperMap * toSheet.inverted();
    }
    // The painter's origin is the printable area's corner, off inches in from the paper's, so
    // device point d is paper point d/ppi + off.
    const QPointF off = PrintableOffsetOf(*printer_);
    const double ppi = PixelsPerInchX();
    painter_->setWorldTransform(QTransform::fromScale(1 / ppi, 1 / ppi)
                                * QTransform::fromTranslate(off.x(), off.y()) * paperMap
                                * QTransform::fromTranslate(-off.x(), -off.y())
                                * QTransform::fromScale(ppi, ppi));
}

void TRPDevice::NewPage()
{
    if (!painter_)
        throw EReportPrinter(rpmsg::kDeviceNotPrinting);
    printer_->newPage();
    ApplyCalibration();
}

void TRPDevice::EndDoc()
{
    if (!painter_)
        throw EReportPrinter(rpmsg::kDeviceNotPrinting);
    painter_->end();
    painter_.reset();
    printer_.reset();
}

void TRPDevice::AbortDoc()
{
    if (!painter_)
        throw EReportPrinter(rpmsg::kDeviceNotPrinting);
    const bool pdf = printer_->outputFormat() == QPrinter::PdfFormat;
    const QString file = printer_->outputFileName();
    printer_->abort();
    painter_->end();
    painter_.reset();
    printer_.reset();
    // The PDF engine cannot take a document back: discard the file it wrote instead.
    if (pdf && !file.isEmpty())
        QFile::remove(file);
    docAborted_ = true;
}

QPainter& TRPDevice::Canvas()
{
    if (!painter_)
        throw EReportPrinter(rpmsg::kCanvasNotActive);
    return *painter_;
}

} // namespace sw
