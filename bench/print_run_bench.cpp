// A print run of the benchmark label (box, bold "Hello world", red ellipse, line, counter) on
// the 3 x 10 letter sheet: into a report stream as a preview records it, and to a PDF as the
// PDF printer writes it. Sheets per run: 1, 10 and 100.
#include "../tests/print/PrintSupport.h"

#include <QApplication>
#include <QFileInfo>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

QStringList BenchLabel()
{
    return {"LABELITEM=RECTANGLE", "TOP=0.050", "LEFT=0.050", "WIDTH=2.000", "HEIGHT=0.800",
            "BRUSHSTYLE=CLEAR", "COLOR=0", "LINETHICKNESS=1", "LINECOLOR=0",
            "LABELITEM=TEXT", "TEXT=Hello world", "TOP=0.100", "LEFT=0.100", "WIDTH=0.800",
            "HEIGHT=0.170", "FONTNAME=Liberation Sans", "FONTCOLOR=0", "FONTSIZE=10", "FONTBOLD=Y",
            "FONTITALIC=N", "FONTUNDER=N", "ANGLE=0", "RELATIVEX=0.000", "RELATIVEY=0.000",
            "LABELITEM=ELLIPSE", "TOP=0.300", "LEFT=1.500", "WIDTH=0.500", "HEIGHT=0.400",
            "BRUSHSTYLE=SOLID", "COLOR=255", "LINETHICKNESS=1", "LINECOLOR=0",
            "LABELITEM=HORIZONTALLINE", "TOP=0.700", "LEFT=0.100", "WIDTH=1.300", "HEIGHT=0.010",
            "ORIENTATION=H", "LINETHICKNESS=1", "LINECOLOR=0",
            "LABELITEM=COUNTER", "TOP=0.450", "LEFT=0.100", "WIDTH=0.300", "HEIGHT=0.200",
            "RELATIVEX=0.000", "RELATIVEY=0.000", "STARTINGNUMBER=1", "REPEATEACH=1",
            "FONTNAME=Liberation Sans", "FONTSIZE=9", "FONTCOLOR=0", "FONTBOLD=N", "FONTITALIC=N",
            "FONTUNDER=N", "ANGLE=0"};
}

sw::TPrintJob BenchJob(int sheets)
{
    sw::TPrintJob job = sw::test::Job(BenchLabel(), sheets,
                                      sw::TSheetLayout{3, 10, 0.5, 0.1875, 2.75, 1.0, QStringLiteral("LTR")});
    return job;
}

void BM_RunIntoStream(benchmark::State& state)
{
    auto device = sw::test::PdfOnlyDevice();
    const sw::TPrintJob job = BenchJob(int(state.range(0)));
    qint64 bytes = 0;
    for (auto _ : state)
        bytes = sw::test::StreamOf(*device, job).size();
    state.counters["bytes"] = double(bytes);
    state.counters["labels/s"] =
        benchmark::Counter(30.0 * double(state.range(0)) * double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_RunIntoStream)->Arg(1)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond);

void BM_RunToPdf(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath("labels.pdf");
    auto device = sw::test::PdfOnlyDevice(pdf);
    const sw::TPrintJob job = BenchJob(int(state.range(0)));
    for (auto _ : state) {
        const QString problem = sw::RunPrintJob(*device, job, nullptr);
        if (!problem.isEmpty())
            state.SkipWithError(problem.toStdString().c_str());
    }
    state.counters["pdf_bytes"] = double(QFileInfo(pdf).size());
    state.counters["labels/s"] =
        benchmark::Counter(30.0 * double(state.range(0)) * double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_RunToPdf)->Arg(1)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
