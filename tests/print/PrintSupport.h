#pragma once
// Helpers of the print tests: runs a job into a report stream on a device that has only the PDF
// printer, and reads back what the stream draws, page by page, with the stream reader.
#include "print/PrintJob.h"
#include "report/RPDevice.h"
#include "report/RPStream.h"

#include <QBuffer>
#include <algorithm>
#include <QPointF>
#include <QStringList>
#include <memory>
#include <vector>

namespace sw::test {

inline std::unique_ptr<TRPDevice> PdfOnlyDevice(const QString& pdfPath = QString())
{
    auto device = std::make_unique<TRPDevice>(false, true);
    device->SetPdfFileName(pdfPath);
    device->SetPdfResolution(300);
    return device;
}

// The sheet of the 3 x 10 letter stock most tests use.
inline TSheetLayout LetterSheet(int across = 3, int down = 10)
{
    return TSheetLayout{across, down, 0.5, 0.1875, 2.75, 1.0, QStringLiteral("LTR")};
}

// One drawing record of the stream, with the state it was drawn in.
struct Drawn {
    int page = 0;
    int code = 0;
    QString text;
    QPointF at;                  // text: (x, baseline y); shapes: first corner; lines: end
    QPointF to;                  // shapes: second corner
    int rotation = 0;            // font rotation in force
    QString fontName;
    bool bold = false, italic = false, underline = false;
    double penWidth = 0;         // as the stream carries it
};

struct Replayed {
    TStreamRecord header;
    int pages = 0;
    std::vector<Drawn> items;
    std::vector<Drawn> OfCode(int code) const
    {
        std::vector<Drawn> out;
        for (const Drawn& d : items)
            if (d.code == code)
                out.push_back(d);
        return out;
    }
    QStringList Texts(int page = 0) const
    {
        QStringList out;
        for (const Drawn& d : items)
            if ((d.code == rps::TextLeft || d.code == rps::TextSpan) && (page == 0 || d.page == page))
                out << d.text;
        return out;
    }
};

inline Replayed ReadStream(const QByteArray& bytes)
{
    Replayed out;
    TStreamReader reader(bytes);
    reader.ReadExpecting(rps::Header, out.header);
    TStreamRecord r;
    Drawn state;
    while (!reader.AtEnd()) {
        reader.Read(r);
        switch (r.code) {
        case rps::Page:
            state.page = int(r.nums[2]);
            out.pages = std::max(out.pages, state.page);
            break;
        case rps::Font:
            state.fontName = r.text;
            state.bold = r.nums[3] != 0;
            state.italic = r.nums[4] != 0;
            state.underline = r.nums[5] != 0;
            state.rotation = int(r.nums[7]);
            break;
        case rps::FontName: state.fontName = r.text; break;
        case rps::FontBold: state.bold = r.nums[0] != 0; break;
        case rps::FontItalic: state.italic = r.nums[0] != 0; break;
        case rps::FontUnderline: state.underline = r.nums[0] != 0; break;
        case rps::FontRotation: state.rotation = int(r.nums[0]); break;
        case rps::Pen: state.penWidth = r.nums[3]; break;
        case rps::PenWidth: state.penWidth = r.nums[0]; break;
        case rps::TextSpan:
        case rps::TextLeft:
        case rps::TextCenter:
        case rps::TextRight: {
            Drawn d = state;
            d.code = r.code;
            d.text = r.text;
            d.at = QPointF(r.nums[1], r.nums[0]);
            out.items.push_back(d);
            break;
        }
        case rps::Rectangle:
        case rps::FillRect:
        case rps::Ellipse:
        case rps::RoundRect:
        case rps::StretchBitmap:
        case rps::StretchDraw: {
            Drawn d = state;
            d.code = r.code;
            d.at = r.points.at(0);
            d.to = r.points.at(1);
            out.items.push_back(d);
            break;
        }
        case rps::MoveTo:
        case rps::LineTo: {
            Drawn d = state;
            d.code = r.code;
            d.at = r.points.at(0);
            out.items.push_back(d);
            break;
        }
        default: break;
        }
    }
    return out;
}

// Runs the job into a stream; problem receives RunPrintJob's answer.
inline QByteArray StreamOf(TRPDevice& device, const TPrintJob& job, QString* problem = nullptr)
{
    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    const QString p = RunPrintJob(device, job, &buffer);
    if (problem)
        *problem = p;
    return buffer.data();
}

inline TPrintJob Job(const QStringList& itemText, int sheets = 1, TSheetLayout sheet = LetterSheet())
{
    TPrintJob job;
    job.Sheet = sheet;
    job.ItemText = itemText;
    job.Sheets = sheets;
    return job;
}

inline QStringList Rectangle(double left, double top, double width = 1, double height = 0.5)
{
    return {QStringLiteral("LABELITEM=RECTANGLE"),
            QStringLiteral("TOP=%1").arg(top, 0, 'f', 3),
            QStringLiteral("LEFT=%1").arg(left, 0, 'f', 3),
            QStringLiteral("WIDTH=%1").arg(width, 0, 'f', 3),
            QStringLiteral("HEIGHT=%1").arg(height, 0, 'f', 3),
            QStringLiteral("BRUSHSTYLE=CLEAR"),
            QStringLiteral("COLOR=0"),
            QStringLiteral("LINETHICKNESS=1"),
            QStringLiteral("LINECOLOR=0")};
}

inline QStringList TextItem(const QString& text, int angle = 0, const QString& kind = QStringLiteral("TEXT"))
{
    return {QStringLiteral("LABELITEM=") + kind,
            QStringLiteral("TEXT=") + text,
            QStringLiteral("TOP=0.100"),
            QStringLiteral("LEFT=0.200"),
            QStringLiteral("WIDTH=1.000"),
            QStringLiteral("HEIGHT=0.200"),
            QStringLiteral("FONTNAME=Liberation Sans"),
            QStringLiteral("FONTCOLOR=0"),
            QStringLiteral("FONTSIZE=10"),
            QStringLiteral("FONTBOLD=Y"),
            QStringLiteral("FONTITALIC=N"),
            QStringLiteral("FONTUNDER=N"),
            QStringLiteral("ANGLE=%1").arg(angle),
            QStringLiteral("RELATIVEX=0.000"),
            QStringLiteral("RELATIVEY=0.000")};
}

inline QStringList CounterItem(int start, int repeat, double left = 0.1)
{
    return {QStringLiteral("LABELITEM=COUNTER"),
            QStringLiteral("TOP=0.100"),
            QStringLiteral("LEFT=%1").arg(left, 0, 'f', 3),
            QStringLiteral("WIDTH=0.300"),
            QStringLiteral("HEIGHT=0.200"),
            QStringLiteral("RELATIVEX=0.000"),
            QStringLiteral("RELATIVEY=0.000"),
            QStringLiteral("STARTINGNUMBER=%1").arg(start),
            QStringLiteral("REPEATEACH=%1").arg(repeat),
            QStringLiteral("FONTNAME=Liberation Sans"),
            QStringLiteral("FONTSIZE=12"),
            QStringLiteral("FONTCOLOR=255"),
            QStringLiteral("FONTBOLD=Y"),
            QStringLiteral("FONTITALIC=Y"),
            QStringLiteral("FONTUNDER=N"),
            QStringLiteral("ANGLE=0")};
}

inline QStringList BarcodeItem(const QString& symbology, const QString& data, double left = 0.2,
                               double top = 0.1, double width = 1.5, double height = 0.7,
                               int angle = 0, bool showText = true)
{
    return {QStringLiteral("LABELITEM=BARCODE"),
            QStringLiteral("TOP=%1").arg(top, 0, 'f', 3),
            QStringLiteral("LEFT=%1").arg(left, 0, 'f', 3),
            QStringLiteral("WIDTH=%1").arg(width, 0, 'f', 3),
            QStringLiteral("HEIGHT=%1").arg(height, 0, 'f', 3),
            QStringLiteral("SYMBOLOGY=") + symbology,
            QStringLiteral("DATA=") + data,
            QStringLiteral("SHOWTEXT=") + (showText ? QStringLiteral("Y") : QStringLiteral("N")),
            QStringLiteral("LINECOLOR=0"),
            QStringLiteral("ANGLE=%1").arg(angle)};
}

} // namespace sw::test
