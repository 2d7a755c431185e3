// Writing and replaying a 100-page report stream of 30 labels a page, five items each (text,
// rectangle, ellipse, line, counter).
#include "../tests/report/ReportSupport.h"
#include "report/RPFPrint.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

namespace {

constexpr int kPages = 100, kRows = 10, kColumns = 3;

QByteArray WriteStream(sw::TRPDevice& device)
{
    int counter = 1;
    return sw::test::Record(device, [&](sw::TBaseReport& r) { sw::test::DrawLabels(r, kPages, kRows, kColumns, counter); });
}

void BM_WriteStream(benchmark::State& state)
{
    QTemporaryDir dir;
    auto device = sw::test::PdfDevice(dir.filePath(QStringLiteral("unused.pdf")));
    qint64 bytes = 0;
    for (auto _ : state)
        bytes = WriteStream(*device).size();
    state.counters["bytes"] = double(bytes);
    state.counters["pages/s"] = benchmark::Counter(double(kPages) * state.iterations(), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_WriteStream)->Unit(benchmark::kMillisecond);

// Every page replayed as the preview shows it: letter paper at 96 pixels per inch.
void BM_ReplayPreview(benchmark::State& state)
{
    QTemporaryDir dir;
    auto device = sw::test::PdfDevice(dir.filePath(QStringLiteral("unused.pdf")));
    QBuffer stream;
    stream.setData(WriteStream(*device));
    sw::TRPDevice screen(false, false);
    sw::TFilePrinter reader(&screen);
    reader.StreamMode = sw::smUser;
    reader.Stream = &stream;
    reader.Start();
    QImage image(816, 1056, QImage::Format_RGB32);
    sw::TBaseReport::DeviceMetrics metrics;
    for (auto _ : state) {
        for (int page = 1; page <= kPages; ++page) {
            image.fill(Qt::white);
            QPainter painter(&image);
            painter.setRenderHint(QPainter::Antialiasing);
            reader.ReplayPage(page, painter, metrics);
        }
    }
    state.counters["pages/s"] = benchmark::Counter(double(kPages) * state.iterations(), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ReplayPreview)->Unit(benchmark::kMillisecond);

// The whole stream replayed onto the PDF printer (what stream-pdf does).
void BM_ReplayPdf(benchmark::State& state)
{
    QTemporaryDir dir;
    auto device = sw::test::PdfDevice(dir.filePath(QStringLiteral("out.pdf")));
    const QString file = dir.filePath(QStringLiteral("job.rps"));
    {
        QFile out(file);
        out.open(QIODevice::WriteOnly);
        out.write(WriteStream(*device));
    }
    for (auto _ : state) {
        sw::TFilePrinter printer(device.get());
        printer.FileName = file;
        printer.Execute();
    }
    state.counters["pages/s"] = benchmark::Counter(double(kPages) * state.iterations(), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ReplayPdf)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
