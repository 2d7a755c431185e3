#pragma once
// A host for item tests: records what the factories asked and answers the dialogs with preset
// values.
#include "model/ImageItem.h"
#include "model/ItemHost.h"
#include "model/LabelItems.h"
#include "model/LabelPanel.h"
#include "model/LineShape.h"
#include "model/MoShape.h"
#include "model/Symbol.h"
#include "model/TextLabel.h"

#include <QStringList>

class TestHost : public IItemHost {
public:
    void TriggerChange() override { ++changes; }
    void ShowInformation(const QString& text) override { messages.append(text); }
    bool GetCounterValues(int& start, int& repeat) override
    {
        ++counterAsks;
        if (!confirm)
            return false;
        start = counterStart;
        repeat = counterRepeat;
        return true;
    }
    bool GetSymbol(int& code, TColor& colour) override
    {
        ++symbolAsks;
        if (!confirm)
            return false;
        code = symbolCode;
        colour = symbolColour;
        return true;
    }
    QString BrowseImageFile() override { return confirm ? browsed : QString(); }
    void ReleaseSelection() override { ++releases; }

    bool confirm = true;
    int counterStart = 7, counterRepeat = 3;
    int symbolCode = 74;
    TColor symbolColour = 255;
    QString browsed;
    int changes = 0, counterAsks = 0, symbolAsks = 0, releases = 0;
    QStringList messages;
};

inline QString ModelData(const char* name)
{
    return QStringLiteral(STICKWELL_TEST_DATA "/model/") + QLatin1String(name);
}

// A panel, a host and the items, as a window holds them.
struct Label {
    explicit Label(double ppi = 96) : panel(ppi), items(panel, host) { panel.SetSize(384, 192); }
    TLabelPanel panel;
    TestHost host;
    TLabelItems items;
};
