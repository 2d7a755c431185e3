// A print run of the benchmark label (box, bold "Hello world", red ellipse, line, counter) on
// the 3 x 10 letter sheet: into a report stream as a preview records it, and to a PDF as the
// PDF printer writes it. Sheets per run: 1, 10 and 100. And a merge run of an address label
// (name, street, zip and city, a counter): 10,000 records of a CSV file on 334 sheets, read and
// printed to a PDF as stickwell-batch print --merge does, and the CSV reading alone. The
// same for a sheet of serial-numbered QR codes.
#include "BenchSupport.h"
#include "../tests/print/PrintSupport.h"

#include "model/Barcode.h"
#include "model/MergeSource.h"

#include <QApplication>
#include <QFile>
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

// A job run to PDF per iteration; labels/s counts every label of it.
void RunToPdf(benchmark::State& state, const sw::TPrintJob& job)
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath("labels.pdf");
    auto device = sw::test::PdfOnlyDevice(pdf);
    for (auto _ : state) {
        const QString problem = sw::RunPrintJob(*device, job, nullptr);
        if (!problem.isEmpty())
            state.SkipWithError(problem.toStdString().c_str());
    }
    state.counters["pdf_bytes"] = double(QFileInfo(pdf).size());
    state.counters["labels/s"] =
        benchmark::Counter(30.0 * double(job.Sheets) * double(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_RunToPdf(benchmark::State& state)
{
    RunToPdf(state, BenchJob(int(state.range(0))));
}
BENCHMARK(BM_RunToPdf)->Arg(1)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond);

QStringList Text(const QString& text, double top, bool bold)
{
    return {"LABELITEM=TEXT", "TEXT=" + text, QStringLiteral("TOP=%1").arg(top, 0, 'f', 3), "LEFT=0.150",
            "WIDTH=2.000", "HEIGHT=0.200", "FONTNAME=Liberation Sans", "FONTCOLOR=0", "FONTSIZE=10",
            bold ? "FONTBOLD=Y" : "FONTBOLD=N", "FONTITALIC=N", "FONTUNDER=N", "ANGLE=0", "RELATIVEX=0.000",
            "RELATIVEY=0.000"};
}

QStringList AddressLabel()
{
    return Text("{Name}", 0.10, true) + Text("{Street}", 0.32, false) + Text("{Zip} {City}", 0.54, false)
           + sw::test::CounterItem(1, 1, 2.2);
}

// Records with quoted fields, accented and non-Latin names, as address lists have them.
QString WriteCsv(const QTemporaryDir& dir, int records)
{
    const QString path = dir.filePath("addresses.csv");
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write("\xEF\xBB\xBFName;Street;Zip;City\r\n");
    const char* const names[] = {"M\xC3\xBCller, Anna", "\"O\"\"Brien\", Pat", "\xCE\x95\xCE\xBB\xCE\xAD\xCE\xBD\xCE\xB7",
                                 "Jos\xC3\xA9 Garc\xC3\xAD" "a"};
    for (int i = 0; i < records; ++i)
        f.write(QStringLiteral("%1 %2;%3 Elm Road;%4;Springfield\r\n")
                    .arg(QString::fromUtf8(names[i % 4]))
                    .arg(i)
                    .arg(i % 500 + 1)
                    .arg(10000 + i)
                    .toUtf8());
    return path;
}

sw::TMergeSource Csv(const QString& path)
{
    sw::TMergeSource s;
    s.File = path;
    return s;
}

void BM_ReadCsv(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = WriteCsv(dir, int(state.range(0)));
    for (auto _ : state) {
        sw::TMergeData data;
        if (!sw::LoadMergeData(path, Csv(path), data, nullptr))
            state.SkipWithError("unreadable");
        benchmark::DoNotOptimize(data.Records.size());
    }
    state.counters["records/s"] =
        benchmark::Counter(double(state.range(0)) * double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ReadCsv)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_MergeToPdf(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = WriteCsv(dir, int(state.range(0)));
    const QString pdf = dir.filePath("labels.pdf");
    auto device = sw::test::PdfOnlyDevice(pdf);
    for (auto _ : state) {
        sw::TPrintJob job = sw::test::Job(AddressLabel(), 1, sw::test::LetterSheet());
        sw::TMergeRun merge;
        if (!sw::LoadMergeData(path, Csv(path), merge.Data, nullptr))
            state.SkipWithError("unreadable");
        merge.ChooseAll();
        job.Merge = std::move(merge);
        const QString problem = sw::RunPrintJob(*device, job, nullptr);
        if (!problem.isEmpty())
            state.SkipWithError(problem.toStdString().c_str());
    }
    state.counters["pdf_bytes"] = double(QFileInfo(pdf).size());
    state.counters["labels/s"] =
        benchmark::Counter(double(state.range(0)) * double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_MergeToPdf)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(3);

// Serial-numbered QR codes: one to a label, each carrying the counter (target: 100 sheets in
// under a second).
sw::TPrintJob SerialJob(int sheets)
{
    QStringList text = sw::test::BarcodeItem(QStringLiteral("QRCODE"), QStringLiteral("ASSET-{COUNTER:6}"),
                                             0.1, 0.1, 0.8, 0.8);
    text += sw::test::CounterItem(1, 1, 1.2);
    return sw::test::Job(text, sheets, sw::test::LetterSheet());
}

void BM_SerialQrToPdf(benchmark::State& state)
{
    RunToPdf(state, SerialJob(int(state.range(0))));
}
BENCHMARK(BM_SerialQrToPdf)->Arg(1)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond);

void BM_SerialQrIntoStream(benchmark::State& state)
{
    auto device = sw::test::PdfOnlyDevice();
    const sw::TPrintJob job = SerialJob(int(state.range(0)));
    qint64 bytes = 0;
    for (auto _ : state)
        bytes = sw::test::StreamOf(*device, job).size();
    state.counters["bytes"] = double(bytes);
}
BENCHMARK(BM_SerialQrIntoStream)->Arg(100)->Unit(benchmark::kMillisecond);

// zint's encoding and the layout of one code; the check a run makes before it prints.
void BM_EncodeQr(benchmark::State& state)
{
    int n = 0;
    for (auto _ : state) {
        const sw::TBarcode code = sw::EncodeBarcode(sw::TSymbology::QrCode,
                                                    QStringLiteral("ASSET-%1").arg(++n, 6, 10, QLatin1Char('0')), false);
        benchmark::DoNotOptimize(sw::LayOutBarcode(code, QSizeF(0.8, 0.8), 0));
    }
}
BENCHMARK(BM_EncodeQr)->Unit(benchmark::kMicrosecond);

void BM_CheckQr(benchmark::State& state)
{
    int n = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(
            sw::CheckBarcode(sw::TSymbology::QrCode, QStringLiteral("ASSET-%1").arg(++n, 6, 10, QLatin1Char('0'))));
}
BENCHMARK(BM_CheckQr)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    return RunWidgetBenchmarks(argc, argv);
}
