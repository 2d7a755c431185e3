// The label library with 10,000 labels in the table: start-up to a shown label, Save (with the
// uniqueness walk) and Rebuild Indexes.
//   library_labels_bench [--benchmark_...]   (needs the catalogue in ../bin/QXLTPL.DBF)
#include "BenchSupport.h"
#include "library/LabelLibrary.h"
#include "library/LabelScreen.h"
#include "library/Preferences.h"
#include "library/TableLayouts.h"
#include "ui/WindowServices.h"
#include "xbase/Table.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <random>

namespace {

constexpr int kLabels = 10000;

class Screen : public TLabelScreen {
public:
    QString descript, items;
    QString DescriptText() const override { return descript; }
    void SetDescriptText(const QString& t) override { descript = t; }
    void FocusDescript() override {}
    void SetLabelPanelSize(int, int) override {}
    void SetLabelShape(TLabelShapeType) override {}
    QString SaveItems() override { return items; }
    void RestoreItems(const QString& o) override { items = o; }
    void DeleteAllItems() override { items.clear(); }
    void ClearPositionSelection() override {}
    void ShowToolsPanelAtDefault() override {}
};

class NoDialogs : public TLibraryDialogs {
public:
    bool ChooseLabel(sw::xbase::Table&) override { return false; }
    std::optional<TTemplateValues> ChooseTemplate(sw::xbase::Table&, const QString&) override { return {}; }
};

// A data directory with 10,000 labels, made once.
const QString& DataDir()
{
    static QTemporaryDir tmp;
    static QString dir;
    if (!dir.isEmpty())
        return dir;
    dir = tmp.path() + u'/';
    const QString bin = QCoreApplication::applicationDirPath() + QStringLiteral("/../bin/");
    QFile::copy(bin + "QXLTPL.DBF", dir + "QXLTPL.DBF");
    QFile::copy(bin + "QXLTPL.CDX", dir + "QXLTPL.CDX");
    const std::string path = (dir + "QXLBLS.DBF").toStdString();
    sw::xbase::Table::create(path, sw::library::LabelTableFields());
    sw::xbase::Table t(path);
    std::mt19937 random(7);
    std::string items;
    for (int i = 0; i < 6; ++i)
        items += "LABELITEM=TEXT\r\nTEXT=Line of text\r\nTOP=0.104\r\nLEFT=0.104\r\nWIDTH=2.000\r\nHEIGHT=0.200\r\n";
    for (int i = 0; i < kLabels; ++i) {
        t.appendBlank();
        t.putString("DESCRIPT", "Label " + std::to_string(random() % 1000000) + " " + std::to_string(i));
        t.putString("TEMPLATE", "Avery 5160/8160 Address 1\" x 2-5/8\", 30 per sheet");
        t.putNumber("LBLHEIGHT", 1);
        t.putNumber("LBLWIDTH", 2.625);
        t.putNumber("NBRACROSS", 3);
        t.putNumber("NBRDOWN", 10);
        t.putString("PAPERSIZE", "LTR");
        t.putString("LBLSHAPE", "RR");
        t.putMemo("OBJECTS", items);
        t.putRecord();
    }
    t.indexTag(sw::library::kDescriptTag, sw::library::kDescriptKey);
    t.close();
    sw::library::WriteLastUse(dir + "QX.INI", kLabels / 2);
    return dir;
}

// One run of the program on the 10,000 labels, started.
struct Run {
    TBenchServices services;
    Screen screen;
    NoDialogs dialogs;
    TLabelLibrary lib{services, screen, DataDir(), &dialogs};
    explicit Run(benchmark::State& state)
    {
        if (!lib.FormActivate())
            state.SkipWithError("start-up failed");
    }
};

void BM_StartUpToShownLabel(benchmark::State& state)
{
    DataDir();
    for (auto _ : state) {
        Run run(state);
        if (run.screen.items.isEmpty())
            state.SkipWithError("no label shown");
        benchmark::DoNotOptimize(run.screen.descript);
    }
}
BENCHMARK(BM_StartUpToShownLabel)->Unit(benchmark::kMillisecond);

void BM_SaveWithUniquenessWalk(benchmark::State& state)
{
    Run run(state);
    int n = 0;
    for (auto _ : state) {
        run.screen.descript = QStringLiteral("Label bench %1").arg(n++ % 2);
        run.services.pending = true;
        run.lib.Commands().SaveButtonClick();
        if (run.services.pending)
            state.SkipWithError("save refused");
    }
}
BENCHMARK(BM_SaveWithUniquenessWalk)->Unit(benchmark::kMillisecond);

void BM_RebuildIndexes(benchmark::State& state)
{
    Run run(state);
    TLabelStore& store = run.lib.Store();
    for (auto _ : state) {
        state.PauseTiming();
        // Something for the pack to remove each time.
        store.Table()->appendBlank();
        store.Table()->putString("DESCRIPT", "doomed");
        store.Table()->putRecord();
        store.Table()->deleteRecord();
        store.GoTop();
        state.ResumeTiming();
        store.mnuRebuildIndexesClick();
    }
    state.counters["labels"] = double(store.Table()->recCount());
}
BENCHMARK(BM_RebuildIndexes)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char** argv)
{
    return RunWidgetBenchmarks(argc, argv);
}
