#include "app/BatchItems.h"

#include "model/ItemHost.h"
#include "model/ItemText.h"
#include "model/LabelItems.h"
#include "model/LabelPanel.h"
#include "model/Units.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QStringDecoder>
#include <cstdio>

namespace sw {
namespace {

void Say(const QString& text)
{
    std::fprintf(stderr, "stickwell-batch: %s\n", qPrintable(text));
}

// Batch mode has nobody to ask: interactive values are refused, and the refusal is remembered
// so the exit code tells that an item was left out.
class BatchHost : public IItemHost {
public:
    void TriggerChange() override {}
    void ShowInformation(const QString& text) override
    {
        Say(text);
        refused = true;
    }
    bool GetCounterValues(int&, int&) override
    {
        Refuse(QStringLiteral("a counter with starting number -1 asks for its values, which "
                              "batch mode cannot do; the counter was left out"));
        return false;
    }
    bool GetSymbol(int&, TColor&) override
    {
        Refuse(QStringLiteral("a symbol with character code 0 asks for its symbol, which batch "
                              "mode cannot do; the symbol was left out"));
        return false;
    }
    QString BrowseImageFile() override
    {
        Refuse(QStringLiteral("an image without a file name asks for its picture, which batch "
                              "mode cannot do; the image was left out"));
        return QString();
    }
    bool refused = false;

private:
    void Refuse(const QString& text)
    {
        Say(text);
        refused = true;
    }
};

struct Options {
    QString in, out;
    double dpi = 96;
    double width = -1, height = -1;
    TLabelShapeType shape = lsRoundRect;
};

bool ParseNumber(const QString& text, double lo, double hi, double& out)
{
    bool ok = false;
    const double v = ParseDecimal(text, &ok);
    if (!ok || !(v >= lo && v <= hi))
        return false;
    out = v;
    return true;
}

// Returns an empty string when the arguments are good, else what is wrong with them.
QString ParseOptions(const QString& command, const QStringList& args, Options& o)
{
    QStringList plain;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (!a.startsWith(QLatin1String("--"))) {
            plain.append(a);
            continue;
        }
        if (i + 1 >= args.size())
            return QStringLiteral("%1 needs a value").arg(a);
        const QString v = args[++i];
        if (a == QLatin1String("--dpi")) {
            if (!ParseNumber(v, 1, 2400, o.dpi))
                return QStringLiteral("--dpi takes a number from 1 to 2400, not '%1'").arg(v);
        } else if (a == QLatin1String("--width") && command == QLatin1String("render")) {
            if (!ParseNumber(v, 0.01, 100, o.width))
                return QStringLiteral("--width takes inches from 0.01 to 100, not '%1'").arg(v);
        } else if (a == QLatin1String("--height") && command == QLatin1String("render")) {
            if (!ParseNumber(v, 0.01, 100, o.height))
                return QStringLiteral("--height takes inches from 0.01 to 100, not '%1'").arg(v);
        } else if (a == QLatin1String("--shape") && command == QLatin1String("render")) {
            const QString s = v.toUpper();
            if (s != QLatin1String("SR") && s != QLatin1String("RR") && s != QLatin1String("RE"))
                return QStringLiteral("--shape takes SR, RR or RE, not '%1'").arg(v);
            o.shape = ShapeFromCode(s);
        } else {
            return QStringLiteral("unknown option %1").arg(a);
        }
    }
    if (plain.size() != 2)
        return QStringLiteral("%1 takes an input and an output file").arg(command);
    o.in = plain[0];
    o.out = plain[1];
    if (command == QLatin1String("render") && (o.width < 0 || o.height < 0))
        return QStringLiteral("render needs --width and --height");
    return QString();
}

// Item text as the label table's memo holds it (Windows-1252, or UTF-8 after its mark) is
// written back the same way; a file of plain UTF-8 stays plain UTF-8.
struct Text {
    QString text;
    bool utf8 = false;
};

bool ReadText(const QString& path, Text& out)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        Say(QStringLiteral("cannot read %1: %2").arg(path, f.errorString()));
        return false;
    }
    const QByteArray bytes = f.readAll();
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString s = utf8(bytes);
    if (!utf8.hasError() && !bytes.startsWith(kItemTextUtf8Mark)) {
        out.text = s;
        out.utf8 = true;
    } else {
        out.text = ItemTextFromMemo(bytes);
    }
    return true;
}

} // namespace

int RunItemsCommand(const QString& command, const QStringList& args)
{
    Options o;
    const QString bad = ParseOptions(command, args, o);
    if (!bad.isEmpty()) {
        Say(bad);
        return 2;
    }
    Text in;
    if (!ReadText(o.in, in))
        return 1;

    TLabelPanel panel(o.dpi);
    BatchHost host;
    TLabelItems items(panel, host);
    QString error;
    const bool read = REstoreItems(items, SplitItemText(in.text), &error);
    if (!read)
        Say(QStringLiteral("%1: %2").arg(o.in, error));

    if (command == QLatin1String("items")) {
        QStringList lines;
        SaveItems(items, lines);
        const QString text = JoinItemText(lines);
        QFile f(o.out);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)
            || f.write(in.utf8 ? text.toUtf8() : ItemTextToMemo(text)) < 0 || !f.flush()) {
            Say(QStringLiteral("cannot write %1: %2").arg(o.out, f.errorString()));
            return 1;
        }
    } else {
        panel.SetSize(InchesToPixels(float(o.width), o.dpi), InchesToPixels(float(o.height), o.dpi));
        panel.SetShape(o.shape);
        QImage image(std::max(1, panel.Width()), std::max(1, panel.Height()),
                     QImage::Format_ARGB32_Premultiplied);
        image.fill(TLabelPanel::BackgroundColor());
        {
            QPainter p(&image);
            panel.Paint(p);
        }
        if (!image.save(o.out, "PNG")) {
            Say(QStringLiteral("cannot write %1").arg(o.out));
            return 1;
        }
    }
    return read && !host.refused ? 0 : 1;
}

} // namespace sw
