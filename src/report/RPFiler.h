#pragma once
// TReportFiler: a report that records every operation into a report stream instead of drawing,
// measuring text with the chosen printer's metrics so that a recorded job lays out exactly as the
// same job printed.
#include "report/RPBase.h"
#include "report/RPStream.h"

#include <QIODevice>
#include <memory>

namespace sw {

class TReportFiler : public TBaseReport {
public:
    using TBaseReport::TBaseReport;
    ~TReportFiler() override;

    TAccuracyMethod AccuracyMethod = amAppearance;
    QString FileName;
    TStreamMode StreamMode = smMemory;
    QIODevice* Stream = nullptr; // the caller's stream under smUser

    // Not possible on a stream.
    [[noreturn]] void CopyRect();
    // Pages written by the last job.
    int PagesWritten() const { return pagesWritten_; }

protected:
    bool StartJob() override;
    void StartFirstPage() override;
    void FinishJob() override;
    void BreakPage(bool oldSkipped, bool newSkipped) override;

    void OutShape(rps::Code code, const InchRect& r) override;
    void OutRoundRect(const InchRect& r, double cw, double ch) override;
    void OutMoveTo(const QPointF& p) override;
    void OutLineTo(const QPointF& p) override;
    void OutPoly(bool closed, const std::vector<QPointF>& points) override;
    void OutBitmap(const InchRect& r, const Picture& bitmap) override;
    void OutGraphic(const InchRect& r, const Picture& picture) override;
    void OutText(rps::Code code, double x, double y, const QString& text, double width) override;
    void PenChanged() override;
    void BrushChanged() override;
    void FontRealised() override;
    void MetricsRefreshed() override;

private:
    // The attributes as the stream last carries them; singles kept as written.
    struct Written {
        TBrushState brush;
        QString fontName;
        std::int32_t fontColor = 0;
        int pitch = 0;
        std::pair<float, float> fontHeight{0, 0}; // height, sample width
        bool bold = false, underline = false, italic = false, strikeout = false;
        bool superscript = false, subscript = false;
        int rotation = 0, anchor = 0;
        std::int32_t penColor = 0;
        int penMode = 0, penStyle = 0;
        float penWidth = 0;
    };
    bool Recording() const { return pageOpen_ && !skipPage_; }
    void WritePageStart();
    void WriteFullState();
    void WritePen(bool all);
    void WriteBrush(bool all);
    void WriteFont(bool all);
    void CloseStream();

    std::unique_ptr<QIODevice> ownStream_;
    QIODevice* out_ = nullptr;
    std::unique_ptr<TStreamWriter> writer_;
    Written written_;
    bool pageOpen_ = false;
    qint64 prevPagePos_ = 0;
    qint64 pendingLinkPos_ = -1; // next-page field waiting for the next page record
    qint64 openLinkPos_ = -1;
    int pagesWritten_ = 0;
};

} // namespace sw
