#pragma once
// TBaseReport: what every report component shares - units and the coordinate system, the
// cursor and line height, the font state with its lazily realised platform fonts, pen and brush,
// the job lifecycle and the status line. Descendants supply the output: TCanvasReport draws with a
// QPainter, TReportFiler records a report stream.
#include "model/Picture.h"
#include "report/RPDefine.h"
#include "report/RPDevice.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPointF>
#include <QRect>
#include <QRectF>
#include <QStringList>
#include <QDateTime>
#include <functional>
#include <list>
#include <vector>

class QPrinter;

namespace sw {

// The attributes a platform font is created for.
struct TFontKey {
    QString name;
    int pitch = 0;
    int pixelHeight = 0;
    bool bold = false, italic = false, underline = false, strikeout = false;
    int rotation = 0;
    bool operator==(const TFontKey&) const = default;
};

// Platform fonts made during one job, most recently used first.
class TFontCache {
public:
    struct Entry {
        TFontKey key;
        QFont font;
        QFontMetricsF metrics;
    };
    const Entry& Get(const TFontKey& key);
    void Clear() { entries_.clear(); }
    int Size() const { return int(entries_.size()); }

private:
    std::list<Entry> entries_;
};

// The whole font state of a report.
struct TFontState {
    QString name = QStringLiteral("Arial");
    double size = 10;             // points
    std::int32_t color = 0;
    int pitch = 0;                // 0 default, 1 fixed, 2 variable
    bool bold = false, italic = false, underline = false, strikeout = false;
    bool superscript = false, subscript = false;
    int rotation = 0;             // degrees, -359..359
    int anchor = taBaseline;
    double pixelHeight = 0;       // on the measuring device at its zoom
};

// A rectangle in inches by its two corners as given (not normalised).
struct InchRect {
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};

// The text a font is measured against when a stream records or replays a font height.
inline const char* const kFontSampleText =
    "abcdefg hijklmnop qrstuv wxyz ABCDEFG HIJKLMNOP QRSTUV WXYZ 0123456789";

class TBaseReport {
public:
    using Event = std::function<void(TBaseReport&)>;
    using PageEvent = std::function<bool(TBaseReport&, int& pageNum)>;

    explicit TBaseReport(TRPDevice* device = nullptr);
    virtual ~TBaseReport();
    TBaseReport(const TBaseReport&) = delete;
    TBaseReport& operator=(const TBaseReport&) = delete;

    // Where error boxes of the engine go (the application shows a message box); the default
    // writes them to the standard error stream.
    static void SetErrorBoxHandler(std::function<void(const QString&)> handler);
    const QString& LastErrorBox() const { return lastErrorBox_; }

    // --- properties
    int FirstPage = 1;
    int LastPage = 9999;
    std::function<void(const QString&)> StatusLabel; // the caption of the status label
    QString StatusFormat = QStringLiteral("Printing page %p");
    QStringList StatusText;
    TLineHeightMethod LineHeightMethod = lhmLinesPerInch;
    double LinesPerInch = 6;
    double UserLineHeight = 1.0 / 6; // inches, under lhmUser
    double MarginLeft = 0, MarginRight = 0, MarginTop = 0, MarginBottom = 0; // report units
    int TabShade = 0;
    QString Title;
    TBKMode TextBKMode = bkTransparent;
    std::int32_t TextBKColor = 0x00FFFFFF; // behind opaque text
    double ScaleX = 100, ScaleY = 100;

    Event OnPrint, OnBeforePrint, OnAfterPrint, OnNewPage, OnNewColumn, OnPrintHeader,
        OnPrintFooter, OnEndOfSection;
    PageEvent OnPrintPage;

    TPrintUnits Units() const { return units_; }
    void SetUnits(TPrintUnits units);
    double UnitsFactor() const { return unitsFactor_; }
    void SetUnitsFactor(double factor);

    int Copies() const { return copies_; }
    void SetCopies(int copies);
    TOrientation Orientation() const { return orientation_; }
    void SetOrientation(TOrientation orientation);

    // --- job control
    void RunReport();
    void NextPage();
    void AbortReport();
    bool Aborted() const { return aborted_; }
    bool Printing() const { return printing_; }
    int CurrentPage() const { return page_; }
    bool SkipPage() const { return skipPage_; }
    void UpdateStatus();
    // StatusFormat with its codes replaced.
    QString ExpandStatus(const QString& format) const;

    // --- device settings (idle only)
    TRPDevice& Device() const { return *device_; }
    bool SetPaper(int code, double widthInches, double heightInches);
    bool PaperSizeSelectable(int code) const;
    void ExportDeviceSettings(QPrinter& dialogPrinter) const;
    void ImportDeviceSettings(const QPrinter& dialogPrinter);

    // --- positioning (report units)
    void SetOriginX(double x);
    void SetOriginY(double y);
    double OriginX() const { return originX_ * unitsFactor_; }
    double OriginY() const { return originY_ * unitsFactor_; }
    void HomeCursor();
    void ResetSection();
    void MoveCursor(double x, double y);
    double XPos() const { return cursorX_ * unitsFactor_; }
    double YPos() const { return cursorY_ * unitsFactor_; }
    int LineNum() const { return lineNum_; }
    int ColumnNum() const { return columnNum_; }
    double LineHeight() const { return lineHeight_ * unitsFactor_; }
    double SectionLeft() const { return sectionLeft_ * unitsFactor_; }
    double SectionTop() const { return sectionTop_ * unitsFactor_; }
    double PageWidth() const { return pageWidth_ * unitsFactor_; }
    double PageHeight() const { return pageHeight_ * unitsFactor_; }

    // --- fonts and text
    void SelectFont(const QString& name, double size);
    void SetBold(bool on);
    void SetItalic(bool on);
    void SetUnderline(bool on);
    void SetStrikeout(bool on);
    void SetSuperscript(bool on);
    void SetSubscript(bool on);
    void SetFontColor(std::int32_t color);
    void SetFontPitch(int pitch);
    void SetFontRotation(int degrees);
    void SetTextAnchor(int anchor);
    const TFontState& Font() const { return font_; }
    void RefreshFontMetrics();
    double FontAscent();
    double FontDescent();
    double FontHeightInches() const;
    double TextWidth(const QString& text); // report units
    void PrintText(const QString& text);
    void PrintTextAt(const QString& text, double x, double y);
    void PrintCenter(const QString& text, double x);
    void PrintRight(const QString& text, double x);
    int FontCacheSize() const { return fontCache_.Size(); }

    // --- pen, brush, shapes, lines and pictures (report units)
    void ChoosePen(std::int32_t color, int style, int width, int mode);
    void ChooseBrush(std::int32_t color, int style, const Picture* pattern = nullptr);
    const TPenState& Pen() const { return pen_; }
    const TBrushState& Brush() const { return brush_; }
    void DrawRectangle(double x1, double y1, double x2, double y2);
    void DrawEllipse(double x1, double y1, double x2, double y2);
    void DrawRoundRect(double x1, double y1, double x2, double y2, double cw, double ch);
    void FillRect(double x1, double y1, double x2, double y2);
    void FrameRect(double x1, double y1, double x2, double y2);
    void MovePen(double x, double y);
    void DrawLineTo(double x, double y);
    void DrawPolygon(const std::vector<QPointF>& points);
    void DrawPolyline(const std::vector<QPointF>& points);
    void DrawBitmap(double x1, double y1, double x2, double y2, const Picture& bitmap);
    void DrawGraphic(const QRect& deviceRect, const Picture& picture);
    QRect InchRectToDevice(double x1, double y1, double x2, double y2) const;

    // The device conversion of report units (origin added).
    int UnitsToDeviceX(double x) const;
    int UnitsToDeviceY(double y) const;

    // Pixels per inch, unprintable offset, zoom and device origin of the device the report
    // draws on or measures with.
    struct DeviceMetrics {
        double ppiX = 96, ppiY = 96;
        double offX = 0, offY = 0; // inches
        double zoom = 100;         // percent
        double devX0 = 0, devY0 = 0;
    };
    const DeviceMetrics& Metrics() const { return metrics_; }

protected:
    // Device or stream side of the job's start; false when the job does not start (an error
    // box was shown). Sets the page size and metrics.
    virtual bool StartJob() = 0;
    // After the opening defaults are set: the first page's device or stream records.
    virtual void StartFirstPage() {}
    // Finish step: always runs once a job started.
    virtual void FinishJob() = 0;
    // A page break between the current and the next page; skipped pages are not output.
    virtual void BreakPage(bool oldSkipped, bool newSkipped) = 0;
    virtual QString StatusDevice(char which) const;

    // Output of one operation; positions in inches from the paper's corner, origin added.
    // FocusRect, Ellipse, FillRect, FrameRect or Rectangle.
    virtual void OutShape(rps::Code code, const InchRect& r) = 0;
    virtual void OutRoundRect(const InchRect& r, double cw, double ch) = 0;
    virtual void OutMoveTo(const QPointF& p) = 0;
    virtual void OutLineTo(const QPointF& p) = 0;
    virtual void OutPoly(bool closed, const std::vector<QPointF>& points) = 0;
    virtual void OutBitmap(const InchRect& r, const Picture& bitmap) = 0;
    virtual void OutGraphic(const InchRect& r, const Picture& picture) = 0;
    // Text at (x, baseline y): TextLeft, TextCenter (centred on x), TextRight (ending at x),
    // TextSpan (left, spanning width inches); the width is the measured one.
    virtual void OutText(rps::Code code, double x, double y, const QString& text, double width) = 0;
    // Pen, brush or font state changed / font metrics refreshed (for recording).
    virtual void PenChanged() {}
    virtual void BrushChanged() {}
    virtual void FontRealised() {}
    virtual void MetricsRefreshed() {}

    // Checks before any drawing, text or paging call of a job.
    void RequirePrinting() const;
    void ShowErrorBox(const QString& text);
    // Realises the font when an attribute changed since the last realisation.
    const TFontCache::Entry& RealiseFont();
    const TFontCache::Entry& FontEntryFor(double pixelHeight);
    void ComputeMetrics(const TFontCache::Entry& entry);
    void SetPixelHeightFromSize();
    InchRect ToInchRect(double x1, double y1, double x2, double y2) const;
    double ToInchesX(double units) const { return units / unitsFactor_ + originX_; }
    double ToInchesY(double units) const { return units / unitsFactor_ + originY_; }
    // Device pixel of an absolute inch position (origin already added).
    double DeviceXOf(double inches) const;
    double DeviceYOf(double inches) const;
    // Device pixels of a length in inches.
    double DeviceLengthX(double inches) const;
    double DeviceLengthY(double inches) const;
    // The text extent in inches and in device pixels (at least one pixel).
    double MeasureWidthInches(const QString& text);
    void ResetDrawingDefaults();
    void ApplyMargins();
    void PrintAligned(rps::Code code, const QString& text, double x);
    void AdvanceCursor(double widthInches);

    TRPDevice* device_;
    DeviceMetrics metrics_;
    double pageWidth_ = 8.5, pageHeight_ = 11; // inches
    TFontState font_;
    bool fontChanged_ = true;
    const TFontCache::Entry* currentFont_ = nullptr;
    TFontCache fontCache_;
    double ascent_ = 0, descent_ = 0, internalLeading_ = 0, lineHeight_ = 1.0 / 6; // inches
    TPenState pen_;
    TBrushState brush_;
    bool printing_ = false;
    bool aborted_ = false;
    int page_ = 0;
    bool skipPage_ = false;
    QDateTime startTime_;

private:
    void SetFontAttr(bool& field, bool value);
    void Shape(rps::Code code, double x1, double y1, double x2, double y2);
    void Poly(bool closed, const std::vector<QPointF>& points);

    TPrintUnits units_ = unInch;
    double unitsFactor_ = 1.0;
    int copies_ = 1;
    TOrientation orientation_ = poDefault;
    double originX_ = 0, originY_ = 0;
    double cursorX_ = 0, cursorY_ = 0;
    double sectionLeft_ = 0, sectionRight_ = 8.5, sectionTop_ = 0, sectionBottom_ = 11;
    int lineNum_ = 1, columnNum_ = 1;
    QPointF penPos_;
    QString lastErrorBox_;
};

} // namespace sw
