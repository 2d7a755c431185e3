// What the screen shows is what prints: a label painted by the design panel at 96 pixels per
// inch against the preview stream of the same label replayed at 96 pixels per inch and 100 %.
// Every item's ink is boxed in both pictures and the boxes compared edge by edge.
#include "PrintSupport.h"

#include "model/ItemHost.h"
#include "model/ItemText.h"
#include "model/LabelItems.h"
#include "model/LabelPanel.h"
#include "model/LineShape.h"
#include "model/MoShape.h"
#include "model/Symbol.h"
#include "model/TextLabel.h"
#include "report/RPFPrint.h"

#include <QImage>
#include <QPainter>
#include <cstdio>
#include <map>
#include <string>
#include <gtest/gtest.h>

using namespace sw;
using namespace sw::test;

namespace {

class Host : public IItemHost {
public:
    void TriggerChange() override {}
    void ShowInformation(const QString&) override {}
    bool GetCounterValues(int&, int&) override { return false; }
    bool GetSymbol(int&, TColor&) override { return false; }
    QString BrowseImageFile() override { return QString(); }
};

// The bounding box of every pixel that is not white (nor the panel's grey) inside window.
QRect InkBox(const QImage& image, const QRect& window)
{
    QRect box;
    const QRect w = window.intersected(image.rect());
    for (int y = w.top(); y <= w.bottom(); ++y) {
        for (int x = w.left(); x <= w.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            // Anti-aliased edges lighter than this do not count as ink on either side.
            if (c.red() + c.green() + c.blue() < 3 * 160 || (c.red() > 160 && c.green() < 100))
                box |= QRect(x, y, 1, 1);
        }
    }
    return box;
}

struct Measured {
    const char* kind;
    int allowed;
    QRect screen, print;
    int Worst() const
    {
        return std::max({std::abs(screen.left() - print.left()), std::abs(screen.top() - print.top()),
                         std::abs(screen.right() - print.right()),
                         std::abs(screen.bottom() - print.bottom())});
    }
};

} // namespace

TEST(ScreenVsStream, EveryKindLandsWhereTheDesignPanelShowsIt)
{
    constexpr double ppi = 96;
    TLabelPanel panel(ppi);
    panel.SetSize(320, 200);
    panel.SetShape(lsRectangle);
    Host host;
    TLabelItems items(panel, host);
    const QString font = QStringLiteral("Liberation Sans");
    // Where the print formulas differ from the panel the difference is measured, not hidden:
    // a counter's baseline stands at the font height less the internal leading (the panel uses
    // the ascent), a symbol's likewise, which in the Unicode symbol font is some pixels higher;
    // a line's pen reaches past its ends by half its width.
    const std::map<std::string, int> allowed = {{"counter", 2}, {"symbol", 5}, {"horizontal line", 2}};
    std::vector<std::pair<const char*, TLabelItem*>> placed;
    placed.emplace_back("text", items.CreateTextItem("Hello Print", 15, 20, 0, 0, 0, font, 12, 0, true, false, false));
    placed.emplace_back("counter", items.CreateCounterItem(15, 190, 0, 0, 0, font, 14, 0, false, false, false, 4711, 1));
    placed.emplace_back("rectangle", items.CreateShapeItem(0, 60, 20, 80, 40, 0, 0, 1, 20, 1));
    placed.emplace_back("round rectangle", items.CreateShapeItem(2, 60, 120, 80, 40, 0, 0, 2, 20, 1));
    placed.emplace_back("ellipse", items.CreateShapeItem(4, 60, 220, 70, 40, 255, 0, 1, 20, 0));
    placed.emplace_back("horizontal line", items.CreateLineItem(0, 125, 20, 100, 8, 0, 2));
    placed.emplace_back("vertical line", items.CreateLineItem(1, 115, 150, 8, 60, 0, 1));
    placed.emplace_back("symbol", items.CreateSymbolItem(74, 120, 200, 0, 0, 18, 0));
    placed.emplace_back("turned text", items.CreateTextItem("Up", 110, 280, 0, 0, 90, font, 10, 0, false, false, false));
    for (const auto& [kind, item] : placed)
        ASSERT_NE(item, nullptr) << kind;

    QImage screen(panel.Width(), panel.Height(), QImage::Format_RGB32);
    {
        QPainter p(&screen);
        p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
        panel.Paint(p);
    }

    // The same label as a preview records it: one position at the paper's corner.
    QStringList text;
    SaveItems(items, text);
    auto device = PdfOnlyDevice();
    TPrintJob job = Job(text, 1, TSheetLayout{1, 1, 0, 0, 4, 3, QStringLiteral("LTR")});
    QString problem;
    const QByteArray bytes = StreamOf(*device, job, &problem);
    ASSERT_TRUE(problem.isEmpty()) << problem.toStdString();
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    TRPDevice screenDevice(false, false);
    TFilePrinter replay(&screenDevice);
    replay.StreamMode = smUser;
    replay.Stream = &buffer;
    replay.Start();
    const QImage printed = replay.RenderPage(1, ppi, 100);
    ASSERT_FALSE(printed.isNull());

    if (qEnvironmentVariableIsSet("STICKWELL_SAVE_PICTURES")) {
        screen.save(qEnvironmentVariable("STICKWELL_SAVE_PICTURES") + "/screen.png");
        printed.copy(screen.rect()).save(qEnvironmentVariable("STICKWELL_SAVE_PICTURES") + "/stream.png");
    }
    std::vector<Measured> results;
    for (const auto& [kind, item] : placed) {
        const QRect window = QRect(item->Left(), item->Top(), item->Width(), item->Height()).adjusted(-6, -6, 6, 6);
        const auto a = allowed.find(kind);
        results.push_back({kind, a == allowed.end() ? 1 : a->second, InkBox(screen, window), InkBox(printed, window)});
    }
    std::printf("%-16s %-22s %-22s %s\n", "item", "screen (l,t,r,b)", "stream (l,t,r,b)", "worst edge");
    for (const Measured& m : results) {
        const auto edges = [](const QRect& r) {
            return QStringLiteral("%1,%2,%3,%4").arg(r.left()).arg(r.top()).arg(r.right()).arg(r.bottom());
        };
        std::printf("%-16s %-22s %-22s %d px\n", m.kind, qPrintable(edges(m.screen)), qPrintable(edges(m.print)),
                    m.Worst());
    }
    for (const Measured& m : results) {
        ASSERT_FALSE(m.screen.isEmpty()) << m.kind;
        ASSERT_FALSE(m.print.isEmpty()) << m.kind;
        EXPECT_LE(m.Worst(), m.allowed) << m.kind;
    }
}
