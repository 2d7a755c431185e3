// The template chooser with 2,000 stocks in the catalogue (the supplied ones, the installed
// glabels-data imported, the rest made up): opening it to a painted grid, one keystroke in its
// find line (filter and repaint), reading and importing the installed template files.
//   library_templates_bench [--benchmark_...]   (needs the catalogue in ../bin/QXLTPL.DBF)
#include "BenchSupport.h"
#include "library/SelectTemplate.h"
#include "library/StockImport.h"
#include "library/TableGridModel.h"
#include "library/TemplateCatalogue.h"
#include "ui/WindowServices.h"
#include "xbase/Table.h"

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTableView>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

constexpr int kStocks = 2000;
const QString kInstalled = QStringLiteral("/usr/share/libglabels-3.0/templates");

QString FreshCatalogue(QTemporaryDir& tmp)
{
    const QString dir = tmp.path() + u'/';
    const QString bin = QCoreApplication::applicationDirPath() + QStringLiteral("/../bin/");
    for (const char* name : {"QXLTPL.DBF", "QXLTPL.CDX"}) {
        QFile::copy(bin + QLatin1String(name), dir + QLatin1String(name));
        QFile::setPermissions(dir + QLatin1String(name), QFile::ReadOwner | QFile::WriteOwner);
    }
    return dir;
}

// A catalogue of 2,000 stocks, made once.
const QString& DataDir()
{
    static QTemporaryDir tmp;
    static QString dir;
    if (!dir.isEmpty())
        return dir;
    dir = FreshCatalogue(tmp);
    auto table = sw::library::OpenTemplateTable(dir);
    const auto set = sw::library::ReadStocks(sw::library::StockFiles({kInstalled}), sw::library::CatalogueNames(*table));
    std::vector<TTemplateValues> stocks;
    for (const auto& c : set.Stocks)
        if (c.Skip == sw::library::TSkipReason::None)
            stocks.push_back(c.Values);
    const int have = int(table->recCount());
    for (int i = have + int(stocks.size()); i < kStocks; ++i) {
        TTemplateValues v;
        v.Description = QStringLiteral("Maker%1 %2 Labels %3 x %4 mm").arg(i % 37).arg(10000 + i).arg(20 + i % 80).arg(10 + i % 50);
        v.LblWidth = 2;
        v.LblHeight = 1;
        v.NbrAcross = 3;
        v.NbrDown = 10;
        v.HorizPitch = 2.1f;
        v.VertPitch = 1;
        v.PaperSize = QStringLiteral("A4");
        v.LblShape = QStringLiteral("SR");
        stocks.push_back(v);
    }
    sw::library::AppendStocks(*table, stocks);
    return dir;
}

const QString kCurrent = QStringLiteral("Avery 5160 Address Labels 2.625\" x 1\"");

// LoadTemplate's part: the table opened, the chooser built, shown and painted.
void BM_ChooserOpen(benchmark::State& state)
{
    const QString& dir = DataDir();
    TBenchServices services;
    for (auto _ : state) {
        auto table = sw::library::OpenTemplateTable(dir);
        TSelectTemplate chooser(services, *table, kCurrent);
        chooser.show();
        QCoreApplication::processEvents();
        chooser.LabelGrid->viewport()->repaint();
        state.counters["stocks"] = chooser.Model()->rowCount();
    }
}
BENCHMARK(BM_ChooserOpen)->Unit(benchmark::kMillisecond);

// One keystroke in the find line: typing "herma 4283" and taking it back again, a key at a
// time, each filtered and the grid repainted.
void BM_FindKeystroke(benchmark::State& state)
{
    const QString& dir = DataDir();
    TBenchServices services;
    auto table = sw::library::OpenTemplateTable(dir);
    TSelectTemplate chooser(services, *table, kCurrent);
    chooser.show();
    QCoreApplication::processEvents();
    const QString typed = QStringLiteral("herma 4283");
    int step = 0;
    for (auto _ : state) {
        const int at = step % (2 * typed.size());
        const int key = at < typed.size() ? typed.at(at).toUpper().unicode() : int(Qt::Key_Backspace);
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier,
                        at < typed.size() ? QString(typed.at(at)) : QString());
        QCoreApplication::sendEvent(chooser.FindEdit, &press);
        chooser.LabelGrid->viewport()->repaint();
        ++step;
    }
    state.counters["shown_at_end"] = chooser.Model()->rowCount();
}
BENCHMARK(BM_FindKeystroke)->Unit(benchmark::kMicrosecond);

void BM_ReadInstalledTemplates(benchmark::State& state)
{
    const QStringList files = sw::library::StockFiles({kInstalled});
    for (auto _ : state) {
        const auto set = sw::library::ReadStocks(files, {});
        state.counters["templates"] = double(set.Stocks.size());
    }
}
BENCHMARK(BM_ReadInstalledTemplates)->Unit(benchmark::kMillisecond);

// Everything the installed files hold that the catalogue can take, into a fresh catalogue.
void BM_ImportInstalledTemplates(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir tmp;
        const QString dir = FreshCatalogue(tmp);
        state.ResumeTiming();
        auto table = sw::library::OpenTemplateTable(dir);
        const auto set = sw::library::ReadStocks(sw::library::StockFiles({kInstalled}), sw::library::CatalogueNames(*table));
        std::vector<TTemplateValues> stocks;
        for (const auto& c : set.Stocks)
            if (c.Skip == sw::library::TSkipReason::None)
                stocks.push_back(c.Values);
        const auto r = sw::library::AppendStocks(*table, stocks);
        table->close();
        state.counters["imported"] = r.Appended;
    }
}
BENCHMARK(BM_ImportInstalledTemplates)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv)
{
    return RunWidgetBenchmarks(argc, argv);
}
