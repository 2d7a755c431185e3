#pragma once
// TFilePrinter: reads a report stream and replays its pages, onto the chosen printer (the whole
// stream) or onto any painter at any pixels per inch and zoom (one page, as a preview shows it).
#include "report/RPCanvas.h"
#include "report/RPStream.h"

#include <QIODevice>
#include <QImage>
#include <QSizeF>
#include <functional>
#include <memory>
#include <optional>

namespace sw {

class TFilePrinter : public TCanvasReport {
public:
    using TCanvasReport::TCanvasReport;
    ~TFilePrinter() override;

    QString FileName;
    TStreamMode StreamMode = smFile;
    QIODevice* Stream = nullptr; // the caller's stream under smUser

    // Opens the stream and reads its header; applies the header's settings to the printer when
    // there is one. Errors: "Unexpected code found in report file." for anything but a header.
    void Start();
    void Finish();
    bool Active() const { return reader_ != nullptr; }

    // From the header.
    int StreamPageCount() const { return pageCount_; }
    int StreamFirstPage() const { return streamFirst_; }
    int StreamLastPage() const { return streamLast_; }
    QSizeF StreamPageSize() const { return streamPageSize_; }

    // Goes to page n along the page links from the current page; a page beyond the last stops
    // on the last, before the first on the first. False when the stream holds no page.
    bool SeekPage(int n);
    int CurrentStreamPage() const { return currentNumber_; }
    QSizeF CurrentPageSize() const { return currentSize_; }
    bool HasPreviousPage() const { return currentPrev_ > 0; }
    bool HasNextPage() const { return currentNext_ > 0; }

    // Replays page n onto the painter with these metrics (device origin, zoom).
    void ReplayPage(int n, QPainter& painter, const DeviceMetrics& metrics);
    // Page n replayed onto a white image at dpi and zoom (percent), as a screen shows it; a
    // null image when the page's size is unusable (no side of at least one pixel, or beyond
    // 20000 pixels). Needs Start().
    QImage RenderPage(int n, double dpi, double zoom);
    // Prints pages from..to (0: the last) of the stream on the chosen printer.
    void Execute(int fromPage = 1, int toPage = 0);
    // Told true when Execute starts its work and false when it ends, errors included: the
    // window that started it shows its busy cursor meanwhile (the engine knows no cursors).
    std::function<void(bool busy)> OnBusy;

protected:
    bool StartJob() override { return StartDeviceJob(); }
    void FinishJob() override { FinishDeviceJob(); }
    void BreakPage(bool oldSkipped, bool newSkipped) override { BreakDevicePage(oldSkipped, newSkipped); }

private:
    void ReadPageRecordAt(qint64 pos);
    void ReplayCurrentPage();
    void Apply(const TStreamRecord& r);
    void FitFontHeight(double heightInches, double sampleWidth);
    void ApplyHeader(const TStreamRecord& header);
    double SampleWidthInches(double pixelHeight);

    std::unique_ptr<TStreamReader> reader_;
    TStreamRecord record_;
    int pageCount_ = 0, streamFirst_ = 1, streamLast_ = 9999;
    QSizeF streamPageSize_;
    qint64 firstPagePos_ = 0;
    qint64 currentPos_ = -1, currentPrev_ = 0, currentNext_ = 0;
    int currentNumber_ = 0;
    QSizeF currentSize_;
    std::optional<std::pair<double, double>> pendingFit_; // recorded font height, sample width
};

} // namespace sw
