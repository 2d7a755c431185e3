// The preview window drawing a letter page of 30 labels (text, rectangle, ellipse, line and
// counter on each) at 200 %, as each press of the zoom button does, and at 100 %.
#include "BenchSupport.h"
#include "../tests/report/ReportSupport.h"
#include "print/FilePreview.h"
#include "print/PreviewForm.h"

#include <QApplication>
#include <QBuffer>
#include <benchmark/benchmark.h>

namespace {

void BM_PreviewPage(benchmark::State& state)
{
    QTemporaryDir dir;
    auto device = sw::test::PdfDevice(dir.filePath(QStringLiteral("unused.pdf")));
    int counter = 1;
    QBuffer stream;
    stream.setData(sw::test::Record(*device, [&](sw::TBaseReport& r) { sw::test::DrawLabels(r, 1, 10, 3, counter); }));
    stream.open(QIODevice::ReadOnly);
    TPreviewForm form;
    form.SetStream(&stream);
    form.show();
    QApplication::processEvents();
    form.FormActivate();
    sw::TFilePreview& preview = *form.FilePreview1;
    preview.SetZoomFactor(double(state.range(0)));
    for (auto _ : state)
        preview.PrintPage(1);
    state.counters["pixels"] = double(preview.PageBitmap().width()) * preview.PageBitmap().height();
}
BENCHMARK(BM_PreviewPage)->Arg(200)->Arg(100)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return RunWidgetBenchmarks(argc, argv);
}
