// The memo decoded and REstoreItems on any bytes: no crash, no hang; what was read is written,
// stored and painted again.
#include "model/ItemHost.h"
#include "model/ItemText.h"
#include "model/LabelItems.h"
#include "model/LabelPanel.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdlib>

namespace {
class RefusingHost : public IItemHost {
public:
    void TriggerChange() override {}
    void ShowInformation(const QString&) override {}
    bool GetCounterValues(int&, int&) override { return false; }
    bool GetSymbol(int&, TColor&) override { return false; }
    QString BrowseImageFile() override { return QString(); }
};
} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = sw::ItemTextFromMemo(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    TLabelPanel panel(96);
    panel.SetSize(200, 100);
    RefusingHost host;
    TLabelItems items(panel, host);
    QString error;
    sw::REstoreItems(items, sw::SplitItemText(text), &error);
    QStringList lines;
    sw::SaveItems(items, lines);
    (void)sw::ItemTextToMemo(sw::JoinItemText(lines));
    QImage image(200, 100, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    panel.Paint(painter);
    return 0;
}
