#pragma once
// Helpers shared by the report tests: a device with only the PDF printer, stream byte access and
// a label-like job.
#include "report/RPFiler.h"
#include "report/RPrinter.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <cstring>

namespace sw::test {

inline std::unique_ptr<TRPDevice> PdfDevice(const QString& path, int dpi = 300)
{
    auto device = std::make_unique<TRPDevice>(false, true);
    device->SetPdfFileName(path);
    device->SetPdfResolution(dpi);
    device->SetPaper(1, 0, 0);
    return device;
}

inline int I16At(const QByteArray& b, int pos)
{
    std::int16_t v;
    std::memcpy(&v, b.constData() + pos, 2);
    return v;
}

inline std::int32_t I32At(const QByteArray& b, int pos)
{
    std::int32_t v;
    std::memcpy(&v, b.constData() + pos, 4);
    return v;
}

inline float F32At(const QByteArray& b, int pos)
{
    float v;
    std::memcpy(&v, b.constData() + pos, 4);
    return v;
}

// Records a job into memory through a filer on the device; returns the stream's bytes.
inline QByteArray Record(TRPDevice& device, const std::function<void(TBaseReport&)>& body,
                         TAccuracyMethod accuracy = amPositioning)
{
    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    TReportFiler filer(&device);
    filer.AccuracyMethod = accuracy;
    filer.StreamMode = smUser;
    filer.Stream = &buffer;
    filer.OnPrint = body;
    filer.RunReport();
    return buffer.data();
}

// Codes of every record in the stream, in order (header included).
inline std::vector<int> Codes(const QByteArray& bytes)
{
    TStreamReader reader(bytes);
    TStreamRecord r;
    std::vector<int> codes;
    while (!reader.AtEnd()) {
        reader.Read(r);
        codes.push_back(r.code);
    }
    return codes;
}

// A sheet of labels in the way a print run draws them: text, rectangle, ellipse, line and a
// counter on each label, rows times columns per page.
inline void DrawLabels(TBaseReport& r, int pages, int rows, int columns, int& counter)
{
    for (int page = 0; page < pages; ++page) {
        if (page > 0)
            r.NextPage();
        for (int row = 0; row < rows; ++row) {
            for (int col = 0; col < columns; ++col) {
                r.SetOriginX(0.1875 + col * 2.75);
                r.SetOriginY(0.5 + row * 1.0);
                r.HomeCursor();
                r.ResetSection();
                r.SelectFont(QStringLiteral("Liberation Sans"), 12);
                r.SetBold(true);
                r.SetTextAnchor(1);
                r.RefreshFontMetrics();
                r.MoveCursor(0.1, 0.05 + r.FontAscent() + r.FontDescent() / 2);
                r.PrintText(QStringLiteral("Stickwell label"));
                r.SetFontRotation(0);
                r.ChoosePen(0x0000FF, 0, -2, 4);
                r.ChooseBrush(0xFFCC00, 0);
                r.DrawRectangle(0.1, 0.35, 1.1, 0.85);
                r.ChooseBrush(0x00FF00, 6);
                r.DrawEllipse(1.3, 0.35, 2.3, 0.85);
                r.ChoosePen(0, 0, -1, 4);
                r.MovePen(0.1, 0.9);
                r.DrawLineTo(2.5, 0.9);
                r.SelectFont(QStringLiteral("DejaVu Serif"), 9);
                r.SetFontColor(0x800000);
                r.SetTextAnchor(1);
                r.PrintTextAt(QString::number(counter++), 2.0, 0.05 + r.FontHeightInches());
                r.SetFontRotation(0);
            }
        }
    }
}

} // namespace sw::test
