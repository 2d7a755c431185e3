#include "report/StreamCommands.h"

#include "report/RPFPrint.h"
#include "report/RPStream.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <cmath>
#include <cstdio>

namespace sw {

namespace {

int Fail(const QString& message)
{
    std::fprintf(stderr, "stickwell-batch: %s\n", qPrintable(message));
    return 1;
}

int UsageError(const char* usage)
{
    std::fprintf(stderr, "usage: stickwell-batch %s\n", usage);
    return 2;
}

QString Number(double v)
{
    if (v == std::floor(v) && std::abs(v) < 1e15)
        return QString::number(qint64(v));
    return QString::number(v, 'g', 7);
}

// One record as a line: offset, code, name, then name=value for every operand.
QString DumpLine(const TStreamRecord& r)
{
    QString line = QStringLiteral("@%1 %2 %3").arg(r.offset).arg(int(r.code)).arg(QLatin1String(rps::CodeName(r.code)));
    size_t num = 0, point = 0;
    const auto nextPoint = [&] {
        const QPointF p = r.points[point++];
        return QStringLiteral("(%1,%2)").arg(Number(p.x()), Number(p.y()));
    };
    for (const auto& [kind, name] : TStreamReader::Operands(r.code)) {
        QString value;
        switch (kind) {
        case 'b':
        case 'h':
        case 'i':
        case 's': value = Number(r.nums[num++]); break;
        case 't': value = QLatin1Char('"') + QString(r.text).replace(QLatin1Char('"'), QLatin1String("\\\"")) + QLatin1Char('"'); break;
        case 'p': value = nextPoint(); break;
        case 'r': value = nextPoint(); value += nextPoint(); break;
        case 'f':
            if (r.nums[num++] != 1) {
                value = QStringLiteral("none");
                break;
            }
            [[fallthrough]];
        case 'g':
            value = QStringLiteral("%1:%2-bytes")
                        .arg(QLatin1String(r.graphicKind == 1 ? "bitmap" : r.graphicKind == 2 ? "metafile"
                                                  : r.graphicKind == 3 ? "icon" : "picture"))
                        .arg(r.graphic.size());
            break;
        case 'P':
            value = QStringLiteral("%1:").arg(r.points.size());
            while (point < r.points.size())
                value += nextPoint();
            break;
        case 'D': value = QStringLiteral("%1-bytes").arg(r.data.size()); break;
        }
        line += QLatin1Char(' ') + QLatin1String(name) + QLatin1Char('=') + value;
    }
    return line;
}

int StreamDump(const QStringList& args)
{
    if (args.size() != 1)
        return UsageError("stream-dump FILE.rps");
    QFile file(args[0]);
    if (!file.open(QIODevice::ReadOnly))
        return Fail(QStringLiteral("%1: %2").arg(args[0], file.errorString()));
    TStreamReader reader(file.readAll());
    TStreamRecord record;
    try {
        reader.ReadExpecting(rps::Header, record);
        std::printf("%s\n", qPrintable(DumpLine(record)));
        while (!reader.AtEnd()) {
            reader.Read(record);
            std::printf("%s\n", qPrintable(DumpLine(record)));
        }
    } catch (const EReportPrinter& e) {
        std::fflush(stdout);
        return Fail(QStringLiteral("%1: %2").arg(args[0], e.message()));
    }
    return 0;
}

// Reads "--name value" options after the positional arguments.
bool IntOption(const QStringList& args, qsizetype& i, int& value)
{
    if (i + 1 >= args.size())
        return false;
    bool ok = false;
    value = args[++i].toInt(&ok);
    return ok;
}

int StreamRender(const QStringList& args)
{
    const char* usage = "stream-render FILE.rps OUT.png [--page N] [--zoom PERCENT] [--dpi N]";
    if (args.size() < 2)
        return UsageError(usage);
    int page = 1, zoom = 100, dpi = 96;
    for (qsizetype i = 2; i < args.size(); ++i) {
        bool ok = false;
        if (args[i] == QLatin1String("--page"))
            ok = IntOption(args, i, page);
        else if (args[i] == QLatin1String("--zoom"))
            ok = IntOption(args, i, zoom) && zoom >= 10 && zoom <= 200;
        else if (args[i] == QLatin1String("--dpi"))
            ok = IntOption(args, i, dpi) && dpi >= 10 && dpi <= 1200;
        if (!ok)
            return UsageError(usage);
    }
    // A screen replay: no printer takes the header's settings.
    TRPDevice screen(false, false);
    TFilePrinter reader(&screen);
    reader.FileName = args[0];
    try {
        reader.Start();
        if (!reader.SeekPage(page))
            return Fail(QStringLiteral("%1: the stream holds no page").arg(args[0]));
        const QImage image = reader.RenderPage(page, dpi, zoom);
        if (image.isNull()) {
            const QSizeF size = reader.CurrentPageSize();
            return Fail(QStringLiteral("%1: page %2 has an unusable size %3 x %4 inches")
                            .arg(args[0]).arg(page).arg(size.width()).arg(size.height()));
        }
        if (!image.save(args[1], "PNG"))
            return Fail(QStringLiteral("%1: cannot write the picture").arg(args[1]));
    } catch (const EReportPrinter& e) {
        return Fail(QStringLiteral("%1: %2").arg(args[0], e.message()));
    }
    return 0;
}

int StreamPdf(const QStringList& args)
{
    if (args.size() != 2)
        return UsageError("stream-pdf FILE.rps OUT.pdf");
    TRPDevice device(false, true);
    device.SetPdfFileName(args[1]);
    TFilePrinter printer(&device);
    printer.FileName = args[0];
    try {
        printer.Execute();
    } catch (const EReportPrinter& e) {
        return Fail(QStringLiteral("%1: %2").arg(args[0], e.message()));
    }
    if (!printer.LastErrorBox().isEmpty())
        return Fail(printer.LastErrorBox());
    if (printer.StreamPageCount() == 0)
        return Fail(QStringLiteral("%1: the stream holds no page").arg(args[0]));
    return 0;
}

} // namespace

int RunStreamCommand(const QString& command, const QStringList& args)
{
    if (command == QLatin1String("stream-dump"))
        return StreamDump(args);
    if (command == QLatin1String("stream-render"))
        return StreamRender(args);
    if (command == QLatin1String("stream-pdf"))
        return StreamPdf(args);
    std::fprintf(stderr, "stickwell-batch: unknown command %s\n", qPrintable(command));
    return 2;
}

} // namespace sw
