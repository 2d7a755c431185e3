#include "designer/ItemMenus.h"

#include "model/Barcode.h"

#include <QAction>
#include <QMenu>
#include <vector>

namespace {

struct Entry {
    const char* caption;     // nullptr: separator
    const char* name;        // component name
    TItemCommand command;
    int value = 0;
    int submenu = 0;         // 1 line thickness, 2 pattern, 3 rounding
};

constexpr int kThickness = 1, kPattern = 2, kRounding = 3, kSymbology = 4, kQuarterTurn = 5;

const Entry kSep{nullptr, nullptr, TItemCommand::Delete};

QString Prefix(TItemMenu menu)
{
    switch (menu) {
    case TItemMenu::PopupMenuText: return QStringLiteral("PopupMenuText");
    case TItemMenu::PopupMenuCounter: return QStringLiteral("PopupMenuCounter");
    case TItemMenu::PopupMenuSymbol: return QStringLiteral("PopupMenuSymbol");
    case TItemMenu::PopupMenuShape: return QStringLiteral("PopupMenuShape");
    case TItemMenu::PopupMenuRoundRect: return QStringLiteral("PopupMenuRoundRect");
    case TItemMenu::PopupMenuLine: return QStringLiteral("PopupMenuLine");
    case TItemMenu::PopupMenuImage: return QStringLiteral("PopupMenuImage");
    case TItemMenu::PopupMenuBarcode: return QStringLiteral("PopupMenuBarcode");
    }
    return {};
}

std::vector<Entry> Entries(TItemMenu menu)
{
    using C = TItemCommand;
    // The tail every menu ends with; the text and counter menus spell "Center " with a blank.
    auto tail = [](const char* sendToBack, const char* bringToFront, const char* center) {
        return std::vector<Entry>{
            kSep,
            {"Send to Back", sendToBack, C::SendToBack},
            {"Bring to Front", bringToFront, C::BringToFront},
            kSep,
            {center, "Center", C::Center},
            {"Center Vertically", "CenterVertically", C::CenterVertically},
            {"Center Horizontally", "CenterHorizontally", C::CenterHorizontally},
            kSep,
            {"Delete", "Delete", C::Delete},
        };
    };
    std::vector<Entry> e;
    std::vector<Entry> t;
    switch (menu) {
    case TItemMenu::PopupMenuText:
        e = {{"&Text", "Text", C::Text}, {"Font", "Font", C::Font}, {"Font Color", "FontColor", C::FontColor},
             {"Rotation", "Rotation", C::Rotation}};
        t = tail("SendtoBack", "BringtoFont", "Center ");
        break;
    case TItemMenu::PopupMenuCounter:
        e = {{"Counter Values", "CounterValues", C::CounterValues}, kSep, {"Font", "Font", C::Font},
             {"Font Color", "FontColor", C::FontColor}, {"Rotation", "Rotation", C::Rotation}};
        t = tail("SendToBack", "BringToFront", "Center ");
        break;
    case TItemMenu::PopupMenuShape:
        e = {{"Color", "Color", C::Color}, {"Line Color", "LineColor", C::LineColor},
             {"Line Thickness", "LineThickness", C::LineThickness, 0, kThickness},
             {"Pattern", "Transparent", C::Pattern, 0, kPattern}};
        t = tail("Sendtoback", "BringtoFront", "Center");
        break;
    case TItemMenu::PopupMenuRoundRect:
        e = {{"Degree of Rounding", "DegreeofRounding", C::Rounding, 0, kRounding},
             {"Color", "Color", C::Color}, {"Line Color", "LineColor", C::LineColor},
             {"Line Thickness", "LineThickness", C::LineThickness, 0, kThickness},
             {"Pattern", "Pattern1", C::Pattern, 0, kPattern}};
        t = tail("SendToBack", "BringToFront", "Center");
        break;
    case TItemMenu::PopupMenuLine:
        e = {{"Line Color", "Color", C::LineColor},
             {"Line Thickness", "LineThickness", C::LineThickness, 0, kThickness}};
        t = tail("SendToBack", "BringToFront", "Center");
        break;
    case TItemMenu::PopupMenuSymbol:
        e = {{"Symbol", "Symbol", C::Symbol}, {"Color", "Color", C::FontColor}};
        t = tail("SendToBack", "BringToFront", "Center");
        break;
    case TItemMenu::PopupMenuImage:
        e = {{"Image File", "ImageFile", C::ImageFile}, {"Stretch to Fit", "StretchToFit", C::StretchToFit}};
        t = tail("SendToBack", "BringToFront", "Center");
        break;
    case TItemMenu::PopupMenuBarcode:
        e = {{"Barcode Data...", "Data", C::Barcode}, {"Kind of Code", "Symbology", C::Symbology, 0, kSymbology},
             {"Show Text", "ShowText", C::ShowText}, {"Color", "Color", C::LineColor},
             {"Rotation", "Rotation", C::QuarterTurn, 0, kQuarterTurn}};
        t = tail("SendToBack", "BringToFront", "Center");
        break;
    }
    e.insert(e.end(), t.begin(), t.end());
    return e;
}

QAction* AddEntry(QMenu* menu, const QString& caption, const QString& name, TItemCommand command, int value)
{
    QAction* a = menu->addAction(caption);
    a->setObjectName(name);
    a->setData(QVariantList{int(command), value});
    return a;
}

void FillSubmenu(QMenu* sub, TItemMenu menu, const QString& prefix, int kind)
{
    if (kind == kThickness) {
        for (int n = 1; n <= 10; ++n) {
            QString caption = QStringLiteral("%1 Point").arg(n);
            if (menu == TItemMenu::PopupMenuLine && n == 3)
                caption = QStringLiteral("3 point");
            AddEntry(sub, caption, prefix + QStringLiteral("Point%1").arg(n), TItemCommand::LineThickness, n);
        }
    } else if (kind == kPattern) {
        static const struct {
            const char* caption;
            const char* name;
            int style;
        } patterns[] = {
            {"Solid", "Solid", 0},
            {"Clear (Transparent)", "Clear", 1},
            {"45-degree upward hatch (left to right) ", "BDiagonal", 5},
            {"Horizontal and vertical crosshatch", "Cross", 6},
            {"45-degree crosshatch ", "DiagCross", 7},
            {"45-degree downward hatch (left to right) ", "FDiagonal", 4},
            {"Horizontal hatch ", "Horizontal", 2},
            {"Vertical hatch", "Vertical", 3},
        };
        for (const auto& p : patterns)
            AddEntry(sub, QLatin1String(p.caption), prefix + QStringLiteral("Pattern") + QLatin1String(p.name),
                     TItemCommand::Pattern, p.style);
    } else if (kind == kSymbology) {
        for (int i = 0; i < sw::kSymbologyCount; ++i)
            AddEntry(sub, sw::SymbologyCaption(sw::TSymbology(i)), prefix + sw::SymbologyWord(sw::TSymbology(i)),
                     TItemCommand::Symbology, i)->setCheckable(true);
    } else if (kind == kQuarterTurn) {
        for (int a = 0; a < 360; a += 90)
            AddEntry(sub, QStringLiteral("%1\u00b0").arg(a), prefix + QStringLiteral("Angle%1").arg(a),
                     TItemCommand::QuarterTurn, a)->setCheckable(true);
    } else if (kind == kRounding) {
        for (int p = 20; p <= 90; p += 10)
            AddEntry(sub, QStringLiteral("%1%").arg(p), prefix + QString::number(p), TItemCommand::Rounding, p);
    }
}

} // namespace

bool MenuEntryOf(const QAction* action, TItemMenuEntry& entry)
{
    if (!action)
        return false;
    const QVariantList data = action->data().toList();
    if (data.size() != 2)
        return false;
    entry.Command = TItemCommand(data[0].toInt());
    entry.Value = data[1].toInt();
    return true;
}

int MenuIndex(TItemMenu menu)
{
    return int(menu);
}

QMenu* BuildItemMenu(TItemMenu menu, QWidget* parent)
{
    const QString prefix = Prefix(menu);
    auto* m = new QMenu(parent);
    m->setObjectName(prefix);
    for (const Entry& e : Entries(menu)) {
        if (!e.caption) {
            m->addSeparator();
            continue;
        }
        // "Pattern1" is the round rectangle menu's own name for its pattern entry.
        const QString name = QLatin1String(e.name) == QLatin1String("Pattern1") ? QStringLiteral("Pattern1")
                                                                                : prefix + QLatin1String(e.name);
        if (e.submenu) {
            QMenu* sub = m->addMenu(QLatin1String(e.caption));
            sub->setObjectName(name);
            sub->menuAction()->setObjectName(name);
            FillSubmenu(sub, menu, prefix, e.submenu);
            continue;
        }
        QAction* a = AddEntry(m, QLatin1String(e.caption), name, e.command, e.value);
        if (e.command == TItemCommand::StretchToFit || e.command == TItemCommand::ShowText)
            a->setCheckable(true);
    }
    return m;
}
