// libFuzzer target: the report stream reader and replay must turn any bytes into pages or into
// an engine error, never into a crash, a hang or undefined behaviour.
#include "report/RPFPrint.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    try {
        sw::TStreamReader reader(bytes);
        sw::TStreamRecord record;
        while (!reader.AtEnd())
            reader.Read(record);
    } catch (const sw::EReportPrinter&) {
    }

    static sw::TRPDevice screen(false, false);
    QBuffer stream;
    stream.setData(bytes);
    sw::TFilePrinter printer(&screen);
    printer.StreamMode = sw::smUser;
    printer.Stream = &stream;
    QImage image(64, 64, QImage::Format_RGB32);
    QPainter painter(&image);
    sw::TBaseReport::DeviceMetrics metrics;
    metrics.ppiX = metrics.ppiY = 12;
    metrics.zoom = 50;
    try {
        printer.Start();
        const int pages = std::min(printer.StreamPageCount(), 3);
        for (int n = 1; n <= pages; ++n)
            printer.ReplayPage(n, painter, metrics);
        printer.ReplayPage(pages + 5, painter, metrics);
    } catch (const sw::EReportPrinter&) {
    }
    return 0;
}
