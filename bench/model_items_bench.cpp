// Loading a 200-item label description onto the panel model, writing it back and painting it.
#include "model/ItemHost.h"
#include "model/ItemText.h"
#include "model/LabelItems.h"
#include "model/LabelPanel.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>
#include <cstdlib>

namespace {

class QuietHost : public IItemHost {
public:
    void TriggerChange() override {}
    void ShowInformation(const QString&) override {}
    bool GetCounterValues(int&, int&) override { return false; }
    bool GetSymbol(int&, TColor&) override { return false; }
    QString BrowseImageFile() override { return QString(); }
};

// 200 records cycling through texts at several angles, shapes, lines, symbols and a counter.
QStringList TwoHundredItems()
{
    QStringList l;
    for (int i = 0; i < 200; ++i) {
        const QString top = QString::number((i % 20) * 0.1, 'f', 3);
        const QString left = QString::number((i / 20) * 0.4, 'f', 3);
        switch (i % 5) {
        case 0:
            l << "LABELITEM=TEXT" << QStringLiteral("TEXT=Item %1").arg(i) << "TOP=" + top
              << "LEFT=" + left << "FONTNAME=Arial" << "FONTSIZE=10" << "FONTBOLD=Y"
              << QStringLiteral("ANGLE=%1").arg((i * 45) % 360);
            break;
        case 1:
            l << (i % 2 ? "LABELITEM=ROUNDRECTANGLE" : "LABELITEM=ELLIPSE") << "TOP=" + top
              << "LEFT=" + left << "WIDTH=0.300" << "HEIGHT=0.090" << "BRUSHSTYLE=CROSS"
              << "LINETHICKNESS=2" << "ROUNDING=30";
            break;
        case 2:
            l << "LABELITEM=HORIZONTALLINE" << "TOP=" + top << "LEFT=" + left << "WIDTH=0.300"
              << "HEIGHT=0.050" << "LINETHICKNESS=1";
            break;
        case 3:
            l << "LABELITEM=SYMBOL" << "TOP=" + top << "LEFT=" + left << "FONTSIZE=8"
              << QStringLiteral("ASCIICHAR=%1").arg(33 + i % 200);
            break;
        default:
            l << (i == 4 ? "LABELITEM=COUNTER" : "LABELITEM=RECTANGLE") << "TOP=" + top
              << "LEFT=" + left << "WIDTH=0.200" << "HEIGHT=0.080" << "STARTINGNUMBER=1"
              << "BRUSHSTYLE=SOLID" << "COLOR=12632256";
            break;
        }
    }
    return l;
}

void BM_LoadTwoHundredItems(benchmark::State& state)
{
    const QStringList lines = TwoHundredItems();
    for (auto _ : state) {
        TLabelPanel panel(96);
        QuietHost host;
        TLabelItems items(panel, host);
        sw::REstoreItems(items, lines);
        benchmark::DoNotOptimize(items.OrderList().size());
    }
}
BENCHMARK(BM_LoadTwoHundredItems)->Unit(benchmark::kMillisecond);

void BM_SaveTwoHundredItems(benchmark::State& state)
{
    TLabelPanel panel(96);
    QuietHost host;
    TLabelItems items(panel, host);
    sw::REstoreItems(items, TwoHundredItems());
    for (auto _ : state) {
        QStringList out;
        sw::SaveItems(items, out);
        benchmark::DoNotOptimize(out.size());
    }
}
BENCHMARK(BM_SaveTwoHundredItems)->Unit(benchmark::kMillisecond);

void BM_PaintTwoHundredItems(benchmark::State& state)
{
    TLabelPanel panel(96);
    panel.SetSize(400, 200);
    QuietHost host;
    TLabelItems items(panel, host);
    sw::REstoreItems(items, TwoHundredItems());
    QImage image(400, 200, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QPainter p(&image);
        panel.Paint(p);
    }
}
BENCHMARK(BM_PaintTwoHundredItems)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
