#pragma once
// TFilePreview: shows the pages of a report stream in a scroll area at a zoom. Each page is
// replayed by the stream printer's own replay onto a white page bitmap, so that what the
// preview shows at 100 % is what the printer prints.
#include "report/RPFPrint.h"

#include <QImage>
#include <QPointer>
#include <functional>
#include <memory>

class QScrollArea;
class QWidget;

namespace sw {

enum TMarginMethod { mmScaled, mmFixed };
enum TRulerType { rtNone, rtHorizCm, rtVertCm, rtBothCm, rtHorizIn, rtVertIn, rtBothIn };

inline const char* const kNoScrollBox = "ScrollBox must be assigned for FilePreview component";
inline const char* const kMonochromeWithShadow =
    "Monochrome not allowed while shadows are in effect.\rChange ShadowDepth to 0 first";
inline const char* const kShadowWithMonochrome =
    "Shadows not allowed while monochrome in effect.\rChange Monochrome to false first";

// The previewer's own screen device: made before the stream printer that draws with it.
struct TScreenDeviceHolder {
    std::unique_ptr<TRPDevice> ScreenDevice = std::make_unique<TRPDevice>(false, false);
};

class TFilePreview : private TScreenDeviceHolder, public TFilePrinter {
public:
    // A previewer draws on the screen only: it never hands the stream's settings to a printer.
    TFilePreview();
    ~TFilePreview() override;

    QScrollArea* ScrollBox = nullptr;
    double ZoomInc = 10;
    TMarginMethod MarginMethod = mmFixed;
    double MarginPercent = 0;
    TRulerType RulerType = rtNone;
    int PageInc = 1;
    std::function<void()> OnZoomChange;
    std::function<void()> OnPageChange;
    // Where refusals of a setting are reported (the application shows a message box).
    std::function<void(const QString&)> OnRefused;

    double ZoomFactor() const { return zoom_; }
    // Kept within 10..200; redraws the page (or tells OnZoomChange).
    void SetZoomFactor(double percent);
    void ZoomIn() { SetZoomFactor(zoom_ + ZoomInc); }
    void ZoomOut() { SetZoomFactor(zoom_ - ZoomInc); }
    // The zooms at which the page is exactly as wide as the scroll area, or wholly inside it.
    double ZoomPageWidthFactor() const;
    double ZoomPageFactor() const;

    int ShadowDepth() const { return shadowDepth_; }
    void SetShadowDepth(int pixels);
    bool Monochrome() const { return monochrome_; }
    void SetMonochrome(bool on);

    // Opens the stream, reads its header and shows page 1. Errors: the stream printer's, and
    // kNoScrollBox.
    void Start();
    // Lets go of the page bitmap (and of the stream unless it is the caller's).
    void Finish();
    bool Previewing() const { return previewing_; }

    // Shows page n; a page beyond the last shows the last, before the first the first.
    void PrintPage(int n);
    // The next or previous page (PageInc pages on), when the current page has one.
    void ShowNextPage();
    void ShowPreviousPage();

    // The screen's pixels per inch the page is drawn at; taken when the previewer starts.
    double PixelsPerInchX() const { return ppiX_; }
    double PixelsPerInchY() const { return ppiY_; }
    // The margin round the page in the scroll area, in pixels.
    int MarginPixels() const { return margin_; }
    const QImage& PageBitmap() const { return bitmap_; }
    // The control inside the scroll area that shows the page bitmap.
    QWidget* Image() const { return image_; }
    // The scroll area's parts, as measured at the start.
    int VerticalBarWidth() const { return barV_; }
    int HorizontalBarHeight() const { return barH_; }
    int BorderWidth() const { return borderX_; }
    int BorderHeight() const { return borderY_; }

private:
    void MeasureScrollBox();

    double zoom_ = 100;
    int shadowDepth_ = 0;
    bool monochrome_ = false;
    bool previewing_ = false;
    double ppiX_ = 96, ppiY_ = 96;
    int margin_ = 0;
    int barV_ = 0, barH_ = 0, borderX_ = 0, borderY_ = 0;
    QImage bitmap_;
    QPointer<QWidget> surface_; // inside the scroll area: the page with its margin
    QPointer<QWidget> image_;
};

} // namespace sw
