// The design panel with 200 items: loading the item text onto it, one frame of the panel
// while the selection handle drags (a full repaint with the band moved, at 50 % to 400 %
// zoom), the undo history's cost per command and one undo or redo step among 1,000.
// With STICKWELL_DESIGNER_SHOTS=DIR set it first writes a picture of the designer with each
// kind of item selected in turn into DIR (STICKWELL_DESIGNER_IMAGE names a picture for the
// image item).
#include "BenchSupport.h"
#include "designer/CanvasPanel.h"
#include "designer/DesignHistory.h"
#include "designer/Designer.h"
#include "designer/ItemDialogs.h"
#include "model/ItemText.h"
#include "model/LabelItems.h"
#include "model/LabelPanel.h"
#include "ui/WindowServices.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QMouseEvent>
#include <QUndoStack>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <memory>

namespace {

struct Designer {
    Designer()
        : panel(&window, 96)
        , designer(services, panel, dialogs)
        , items(panel.Model(), designer)
    {
        designer.SetItems(&items);
        window.resize(700, 500);
        panel.setGeometry(17, 8, 640, 460);
        window.show();
    }
    QWidget window;
    TBenchServices services{false};
    TItemDialogs dialogs{&services};
    TCanvasPanel panel;
    TDesigner designer;
    TLabelItems items;
};

const char* const kBrushWords[] = {"SOLID", "CLEAR", "HORIZONTAL", "VERTICAL",
                                   "FDIAGONAL", "BDIAGONAL", "CROSS", "DIAGCROSS"};

// One record of each kind that needs no file, repeated to n items over the label.
QStringList LabelText(int n)
{
    QStringList lines;
    for (int i = 0; i < n; ++i) {
        const QString top = QString::number(0.1 + (i % 20) * 0.22, 'f', 3);
        const QString left = QString::number(0.1 + (i / 20) * 0.6, 'f', 3);
        switch (i % 6) {
        case 0:
            lines << "LABELITEM=TEXT" << "TEXT=Item " + QString::number(i) << "TOP=" + top << "LEFT=" + left
                  << "WIDTH=0.400" << "HEIGHT=0.200" << "FONTNAME=Arial" << "FONTCOLOR=0" << "FONTSIZE=8"
                  << "FONTBOLD=Y" << "FONTITALIC=N" << "FONTUNDER=N" << "ANGLE=" + QString::number(i % 4 * 90)
                  << "RELATIVEX=0.000" << "RELATIVEY=0.000";
            break;
        case 1:
            lines << "LABELITEM=RECTANGLE" << "TOP=" + top << "LEFT=" + left << "WIDTH=0.300" << "HEIGHT=0.150"
                  << QStringLiteral("BRUSHSTYLE=") + kBrushWords[i % 8] << "COLOR=255" << "LINETHICKNESS=1" << "LINECOLOR=0";
            break;
        case 2:
            lines << "LABELITEM=ROUNDRECTANGLE" << "TOP=" + top << "LEFT=" + left << "WIDTH=0.300"
                  << "HEIGHT=0.150" << "BRUSHSTYLE=CLEAR" << "COLOR=0" << "LINETHICKNESS=2" << "LINECOLOR=16711680"
                  << "ROUNDING=30";
            break;
        case 3:
            lines << "LABELITEM=ELLIPSE" << "TOP=" + top << "LEFT=" + left << "WIDTH=0.300" << "HEIGHT=0.150"
                  << "BRUSHSTYLE=CROSS" << "COLOR=65280" << "LINETHICKNESS=1" << "LINECOLOR=0";
            break;
        case 4:
            lines << "LABELITEM=HORIZONTALLINE" << "TOP=" + top << "LEFT=" + left << "WIDTH=0.400"
                  << "HEIGHT=0.100" << "ORIENTATION=H" << "LINETHICKNESS=2" << "LINECOLOR=0";
            break;
        case 5:
            lines << "LABELITEM=SYMBOL" << "TOP=" + top << "LEFT=" + left << "WIDTH=0.200" << "HEIGHT=0.200"
                  << "FONTSIZE=12" << "FONTCOLOR=0" << "ASCIICHAR=74";
            break;
        }
    }
    return lines;
}

void Move(QWidget* w, QPoint p)
{
    QMouseEvent e(QEvent::MouseMove, QPointF(p), QPointF(w->mapToGlobal(p)), Qt::NoButton, Qt::LeftButton,
                  Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

void BM_LoadLabel200Items(benchmark::State& state)
{
    Designer d;
    const QStringList text = LabelText(200);
    for (auto _ : state) {
        d.items.DeleteAllItems();
        sw::REstoreItems(d.items, text);
        benchmark::DoNotOptimize(d.items.OrderList().size());
    }
}
BENCHMARK(BM_LoadLabel200Items)->Unit(benchmark::kMillisecond);

// The argument is the zoom in percent: the same frame drawn through the painter's scale.
void BM_DragFrame200Items(benchmark::State& state)
{
    Designer d;
    sw::REstoreItems(d.items, LabelText(200));
    d.designer.SetZoom(state.range(0) / 100.0);
    TLabelItem* item = d.items.OrderList().front();
    d.designer.AttachControl(item);
    TStretchHandle* h = d.designer.StretchHandle1();
    const QPoint start = h->rect().center();
    Move(h, start);
    QImage frame(d.window.size(), QImage::Format_ARGB32_Premultiplied);
    int step = 0;
    for (auto _ : state) {
        Move(h, start + QPoint(step % 100, step % 50));
        // The whole window drawn as a repaint would: panel, items, handle and band.
        d.window.render(&frame);
        ++step;
    }
}
BENCHMARK(BM_DragFrame200Items)->Arg(100)->Arg(50)->Arg(200)->Arg(400)->Unit(benchmark::kMillisecond);

// One command's step: the item moved one pixel, the history records the change.
void MoveStep(Designer& d, int i)
{
    const TDesignStep step(d.designer.History(), QStringLiteral("Move"));
    const auto& order = d.items.OrderList();
    TLabelItem* item = order[std::size_t(i) % order.size()];
    item->SetLeft(item->Left() + 1);
    d.designer.TriggerChange();
}

void BM_StepRecord200Items(benchmark::State& state)
{
    Designer d;
    sw::REstoreItems(d.items, LabelText(200));
    d.designer.LabelLoaded(false);
    int i = 0;
    for (auto _ : state)
        MoveStep(d, i++);
}
BENCHMARK(BM_StepRecord200Items)->Unit(benchmark::kMillisecond);

// One iteration is one step of undo (or, back at the start, of redo) among 1,000 steps.
void BM_UndoStep200Items1000Steps(benchmark::State& state)
{
    Designer d;
    sw::REstoreItems(d.items, LabelText(200));
    d.designer.LabelLoaded(false);
    for (int i = 0; i < 1000; ++i)
        MoveStep(d, i);
    QUndoStack& stack = d.designer.History().Stack();
    bool undoing = true;
    for (auto _ : state) {
        if (undoing && !stack.canUndo())
            undoing = false;
        else if (!undoing && !stack.canRedo())
            undoing = true;
        if (undoing)
            stack.undo();
        else
            stack.redo();
    }
    state.counters["steps"] = stack.count();
}
BENCHMARK(BM_UndoStep200Items1000Steps)->Unit(benchmark::kMillisecond)->Iterations(2000);

void WriteScreenshots(const QString& dir)
{
    QDir().mkpath(dir);
    Designer d;
    d.window.resize(420, 240);
    d.panel.setGeometry(17, 8, 384, 216);
    QStringList text;
    text << "LABELITEM=TEXT" << "TEXT=Stickwell" << "TOP=0.150" << "LEFT=0.200" << "WIDTH=0" << "HEIGHT=0"
         << "FONTNAME=Arial" << "FONTCOLOR=0" << "FONTSIZE=14" << "FONTBOLD=Y" << "FONTITALIC=N"
         << "FONTUNDER=N" << "ANGLE=0" << "RELATIVEX=0" << "RELATIVEY=0"
         << "LABELITEM=COUNTER" << "TOP=0.700" << "LEFT=0.200" << "WIDTH=0" << "HEIGHT=0" << "RELATIVEX=0"
         << "RELATIVEY=0" << "STARTINGNUMBER=1001" << "REPEATEACH=1" << "FONTNAME=Arial" << "FONTSIZE=12"
         << "FONTCOLOR=255" << "FONTBOLD=N" << "FONTITALIC=N" << "FONTUNDER=N" << "ANGLE=90"
         << "LABELITEM=SYMBOL" << "TOP=0.700" << "LEFT=0.800" << "WIDTH=0" << "HEIGHT=0" << "FONTSIZE=24"
         << "FONTCOLOR=0" << "ASCIICHAR=74"
         << "LABELITEM=RECTANGLE" << "TOP=1.300" << "LEFT=0.300" << "WIDTH=0.600" << "HEIGHT=0.400"
         << "BRUSHSTYLE=CROSS" << "COLOR=16711680" << "LINETHICKNESS=2" << "LINECOLOR=0"
         << "LABELITEM=ROUNDRECTANGLE" << "TOP=1.300" << "LEFT=1.200" << "WIDTH=0.700" << "HEIGHT=0.400"
         << "BRUSHSTYLE=SOLID" << "COLOR=65535" << "LINETHICKNESS=1" << "LINECOLOR=0" << "ROUNDING=40"
         << "LABELITEM=ELLIPSE" << "TOP=0.200" << "LEFT=2.200" << "WIDTH=0.800" << "HEIGHT=0.500"
         << "BRUSHSTYLE=CLEAR" << "COLOR=0" << "LINETHICKNESS=3" << "LINECOLOR=255"
         << "LABELITEM=HORIZONTALLINE" << "TOP=1.000" << "LEFT=1.400" << "WIDTH=1.000" << "HEIGHT=0.100"
         << "ORIENTATION=H" << "LINETHICKNESS=2" << "LINECOLOR=0"
         << "LABELITEM=VERTICALLINE" << "TOP=0.900" << "LEFT=3.300" << "WIDTH=0.100" << "HEIGHT=1.000"
         << "ORIENTATION=V" << "LINETHICKNESS=2" << "LINECOLOR=0";
    const QString image = QString::fromLocal8Bit(std::getenv("STICKWELL_DESIGNER_IMAGE"));
    if (!image.isEmpty() && QFile::exists(image))
        text << "LABELITEM=IMAGE" << "TOP=1.000" << "LEFT=2.300" << "WIDTH=0.5" << "HEIGHT=0.5" << "STRETCH=N"
             << "FILENAMEANDPATH=" + image;
    QString error;
    if (!sw::REstoreItems(d.items, text, &error))
        qWarning("%s", qPrintable(error));
    const auto order = d.items.OrderList();
    int n = 0;
    for (TLabelItem* item : order) {
        d.designer.AttachControl(item);
        QApplication::processEvents();
        d.window.grab().save(QDir(dir).filePath(QStringLiteral("designer-%1-%2.png").arg(++n).arg(item->Name())));
    }
}

} // namespace

int main(int argc, char** argv)
{
    return RunWidgetBenchmarks(argc, argv, [] {
        if (const char* shots = std::getenv("STICKWELL_DESIGNER_SHOTS"))
            WriteScreenshots(QString::fromLocal8Bit(shots));
    });
}
