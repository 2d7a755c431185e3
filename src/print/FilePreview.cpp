#include "print/FilePreview.h"

#include "ui/BusyCursor.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <algorithm>
#include <cmath>

namespace sw {

namespace {

constexpr double kMinZoom = 10;
constexpr double kMaxZoom = 200;
// A page bitmap larger than this on a side is refused rather than allocated (a damaged
// stream can name any page size).
constexpr int kMaxBitmapSide = 20000;

// Shows the previewer's page bitmap as it is, pixel for pixel.
class TPageImage : public QWidget {
public:
    TPageImage(const QImage& image, QWidget* parent) : QWidget(parent), image_(image)
    {
        setObjectName(QStringLiteral("Image"));
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QPainter p(this);
        p.drawImage(event->rect(), image_, event->rect());
    }

private:
    const QImage& image_;
};

} // namespace

TFilePreview::TFilePreview()
    : TFilePrinter(ScreenDevice.get())
{
    StreamMode = smUser;
}

TFilePreview::~TFilePreview()
{
    Finish();
}

void TFilePreview::SetZoomFactor(double percent)
{
    zoom_ = std::clamp(percent, kMinZoom, kMaxZoom);
    if (OnZoomChange)
        OnZoomChange();
    else if (previewing_)
        PrintPage(CurrentStreamPage());
}

void TFilePreview::SetShadowDepth(int pixels)
{
    if (pixels > 0 && monochrome_) {
        if (OnRefused)
            OnRefused(QString::fromLatin1(kShadowWithMonochrome));
        return;
    }
    shadowDepth_ = std::max(0, pixels);
}

void TFilePreview::SetMonochrome(bool on)
{
    if (on && shadowDepth_ > 0) {
        if (OnRefused)
            OnRefused(QString::fromLatin1(kMonochromeWithShadow));
        return;
    }
    monochrome_ = on;
}

void TFilePreview::MeasureScrollBox()
{
    barV_ = ScrollBox->verticalScrollBar()->sizeHint().width();
    barH_ = ScrollBox->horizontalScrollBar()->sizeHint().height();
    const QRect client = ScrollBox->contentsRect();
    borderX_ = ScrollBox->width() - client.width();
    borderY_ = ScrollBox->height() - client.height();
}

void TFilePreview::Start()
{
    if (previewing_ || Active())
        throw EReportPrinter(rpmsg::kAlreadyPrinting);
    if (!ScrollBox)
        throw EReportPrinter(kNoScrollBox);
    if (OnZoomChange)
        OnZoomChange();
    MeasureScrollBox();
    surface_ = new QWidget;
    surface_->setObjectName(QStringLiteral("PreviewSurface"));
    image_ = new TPageImage(bitmap_, surface_);
    ScrollBox->setWidgetResizable(false);
    ScrollBox->setWidget(surface_);
    ppiX_ = ScrollBox->logicalDpiX();
    ppiY_ = ScrollBox->logicalDpiY();
    TFilePrinter::Start();
    previewing_ = true;
    PrintPage(1);
}

void TFilePreview::Finish()
{
    previewing_ = false;
    if (Active())
        TFilePrinter::Finish();
    if (ScrollBox && surface_ && ScrollBox->widget() == surface_)
        delete ScrollBox->takeWidget();
    bitmap_ = QImage();
}

void TFilePreview::PrintPage(int n)
{
    if (!previewing_)
        return;
    const TBusyCursor busy;
    if (!SeekPage(n))
        return;
    if (OnPageChange)
        OnPageChange();

    QScrollBar* const hbar = ScrollBox->horizontalScrollBar();
    QScrollBar* const vbar = ScrollBox->verticalScrollBar();
    const int h = hbar->value();
    const int v = vbar->value();
    hbar->setValue(0);
    vbar->setValue(0);

    const QSizeF page = CurrentPageSize();
    const double scale = zoom_ / 100;
    margin_ = int(std::lround(ppiX_ * page.width() * MarginPercent / 100 * (MarginMethod == mmScaled ? scale : 1)));
    const double w = std::round(ppiX_ * page.width() * scale);
    const double ht = std::round(ppiY_ * page.height() * scale);
    if (!(w >= 1 && ht >= 1 && w <= kMaxBitmapSide && ht <= kMaxBitmapSide && margin_ >= 0 && margin_ <= kMaxBitmapSide)) {
        aborted_ = true;
        throw EReportPrinter(QStringLiteral("Page %1 is %2 x %3 inches and cannot be shown.")
                                 .arg(CurrentStreamPage())
                                 .arg(page.width())
                                 .arg(page.height()));
    }
    const int pageW = int(w), pageH = int(ht);
    bitmap_ = QImage(pageW + shadowDepth_, pageH + shadowDepth_, QImage::Format_RGB32);
    if (shadowDepth_ > 0) {
        bitmap_.fill(ScrollBox->palette().color(QPalette::Window));
        QPainter shadow(&bitmap_);
        shadow.fillRect(shadowDepth_, shadowDepth_, pageW, pageH, Qt::darkGray);
    }
    {
        QPainter p(&bitmap_);
        p.fillRect(0, 0, pageW, pageH, Qt::white);
        p.setClipRect(0, 0, pageW, pageH);
        // Shapes on whole pixels, as the printer's pixels take them: a one-pixel line stays one
        // sharp pixel instead of two grey ones.
        p.setRenderHints(QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
        DeviceMetrics metrics;
        metrics.ppiX = ppiX_;
        metrics.ppiY = ppiY_;
        metrics.zoom = zoom_;
        try {
            ReplayPage(CurrentStreamPage(), p, metrics);
        } catch (const EReportPrinter&) {
            aborted_ = true;
            throw;
        }
    }
    if (monochrome_)
        bitmap_ = bitmap_.convertToFormat(QImage::Format_Mono, Qt::MonoOnly | Qt::ThresholdDither)
                      .convertToFormat(QImage::Format_RGB32);

    image_->setGeometry(margin_, margin_, bitmap_.width(), bitmap_.height());
    surface_->resize(bitmap_.width() + 2 * margin_, bitmap_.height() + 2 * margin_);
    image_->update();
    hbar->setValue(h);
    vbar->setValue(v);
}

void TFilePreview::ShowNextPage()
{
    if (previewing_ && HasNextPage())
        PrintPage(CurrentStreamPage() + PageInc);
}

void TFilePreview::ShowPreviousPage()
{
    if (previewing_ && HasPreviousPage())
        PrintPage(CurrentStreamPage() - PageInc);
}

double TFilePreview::ZoomPageWidthFactor() const
{
    const QSizeF page = previewing_ ? CurrentPageSize() : StreamPageSize();
    const double pw = ppiX_ * page.width();
    const double ph = ppiY_ * page.height();
    if (!ScrollBox || !(pw > 0))
        return zoom_;
    const double w = ScrollBox->width() - shadowDepth_;
    const double spread = 1 + MarginPercent * 0.02;
    double e = std::round(pw * MarginPercent / 100);
    double z = 0;
    if (MarginMethod == mmFixed) {
        z = (w - (borderX_ + 2 * e)) / pw;
    } else {
        z = (w - borderX_) / (pw * spread);
        e = std::round(pw * MarginPercent / 100 * z);
    }
    // Too tall for the room: the vertical scroll bar will take its width off.
    if (ph * z + 2 * e > ScrollBox->height() - shadowDepth_ - borderY_) {
        if (MarginMethod == mmFixed)
            z = (w - (borderX_ + 2 * e + barV_)) / pw;
        else
            z = (w - borderX_ - barV_) / (pw * spread);
    }
    return z * 100;
}

double TFilePreview::ZoomPageFactor() const
{
    const QSizeF page = previewing_ ? CurrentPageSize() : StreamPageSize();
    const double pw = ppiX_ * page.width();
    const double ph = ppiY_ * page.height();
    if (!ScrollBox || !(pw > 0) || !(ph > 0))
        return zoom_;
    const double a = ScrollBox->width() - shadowDepth_ - 4;
    const double h = ScrollBox->height() - shadowDepth_ - 4;
    double zx = 0, zy = 0;
    if (MarginMethod == mmFixed) {
        const double e = std::round(pw * MarginPercent / 100);
        zx = (a - 2 * e) / pw;
        zy = (h - 2 * e) / ph;
    } else {
        zx = a / (pw * (1 + MarginPercent * 0.02));
        zy = h / (ph + pw * MarginPercent * 0.02);
    }
    return std::min(zx, zy) * 100;
}

} // namespace sw
