#include "model/ItemText.h"
#include "model/BarcodeItem.h"
#include "model/ImageItem.h"
#include "model/LabelItems.h"
#include "model/LabelPanel.h"
#include "model/LineShape.h"
#include "model/MoShape.h"
#include "model/Symbol.h"
#include "model/TextLabel.h"
#include "model/Units.h"
#include "xbase/Codepage.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace sw {
namespace {

// Fill style words by code 0..7.
const char* const kBrushWords[] = {"SOLID",     "CLEAR",     "HORIZONTAL", "VERTICAL",
                                   "FDIAGONAL", "BDIAGONAL", "CROSS",      "DIAGCROSS"};

constexpr int kMaxValue = 99;

QString Flag(bool on)
{
    return on ? QStringLiteral("Y") : QStringLiteral("N");
}

// One text line per value: a line break inside a caption would split the record.
QString OneLine(QString s)
{
    s.replace(QLatin1Char('\r'), QLatin1Char(' '));
    s.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return s;
}

class Writer {
public:
    Writer(QStringList& lines, double ppi) : lines_(lines), ppi_(ppi) {}
    void Put(const char* key, const QString& value)
    {
        lines_.append(QLatin1String(key) + QLatin1Char('=') + value);
    }
    void Int(const char* key, long long v) { Put(key, QString::number(v)); }
    void Len(const char* key, int pixels) { Put(key, PixelsToInchesToString(pixels, ppi_)); }
    void Bounds(const TLabelItem& i)
    {
        Len("TOP", i.Top());
        Len("LEFT", i.Left());
        Len("WIDTH", i.Width());
        Len("HEIGHT", i.Height());
    }

private:
    QStringList& lines_;
    double ppi_;
};

void WriteText(Writer& w, Tmo3DLabel& t)
{
    w.Put("LABELITEM", QStringLiteral("TEXT"));
    w.Put("TEXT", OneLine(t.Caption()));
    w.Bounds(t);
    w.Put("FONTNAME", OneLine(t.Font().Name));
    w.Int("FONTCOLOR", t.Font().Color);
    w.Int("FONTSIZE", t.Font().Size);
    w.Put("FONTBOLD", Flag(t.Font().Bold));
    w.Put("FONTITALIC", Flag(t.Font().Italic));
    w.Put("FONTUNDER", Flag(t.Font().Underline));
    w.Int("ANGLE", t.Angle() < 0 ? t.Angle() + 360 : t.Angle());
    const QPoint origin = TextOrigin(t);
    w.Len("RELATIVEX", origin.x());
    w.Len("RELATIVEY", origin.y());
}

void WriteCounter(Writer& w, TCounterLabel& c)
{
    const QPoint origin = TextOrigin(c);
    w.Put("LABELITEM", QStringLiteral("COUNTER"));
    w.Bounds(c);
    w.Len("RELATIVEX", origin.x());
    w.Len("RELATIVEY", origin.y());
    w.Put("STARTINGNUMBER", OneLine(c.Caption()));
    w.Int("REPEATEACH", c.Tag);
    w.Put("FONTNAME", OneLine(c.Font().Name));
    w.Int("FONTSIZE", c.Font().Size);
    w.Int("FONTCOLOR", c.Font().Color);
    w.Put("FONTBOLD", Flag(c.Font().Bold));
    w.Put("FONTITALIC", Flag(c.Font().Italic));
    w.Put("FONTUNDER", Flag(c.Font().Underline));
    w.Int("ANGLE", c.Angle());
}

void WriteShape(Writer& w, const TMoShape& s)
{
    const char* kind = s.Shape() == stRoundRect ? "ROUNDRECTANGLE"
                       : s.Shape() == stEllipse ? "ELLIPSE"
                                                : "RECTANGLE";
    w.Put("LABELITEM", QLatin1String(kind));
    w.Bounds(s);
    const int style = s.Brush().Style;
    w.Put("BRUSHSTYLE", QLatin1String(style >= 0 && style <= 7 ? kBrushWords[style] : "CLEAR"));
    w.Int("COLOR", s.Brush().Color);
    w.Int("LINETHICKNESS", s.Pen().Width);
    w.Int("LINECOLOR", s.Pen().Color);
    if (s.Shape() == stRoundRect)
        w.Int("ROUNDING", s.RoundPerc());
}

void WriteLine(Writer& w, const TLineShape& l)
{
    const bool vertical = l.LineStyle() == stVertical;
    w.Put("LABELITEM", vertical ? QStringLiteral("VERTICALLINE") : QStringLiteral("HORIZONTALLINE"));
    w.Bounds(l);
    w.Put("ORIENTATION", vertical ? QStringLiteral("V") : QStringLiteral("H"));
    w.Int("LINETHICKNESS", l.Pen().Width);
    w.Int("LINECOLOR", l.Pen().Color);
}

void WriteImage(Writer& w, const TImageItem& i)
{
    w.Put("LABELITEM", QStringLiteral("IMAGE"));
    w.Bounds(i);
    w.Put("STRETCH", Flag(i.Stretch()));
    w.Put("FILENAMEANDPATH", OneLine(i.Hint()));
}

void WriteSymbol(Writer& w, const TSymbol& s)
{
    w.Put("LABELITEM", QStringLiteral("SYMBOL"));
    w.Bounds(s);
    w.Int("FONTSIZE", s.Font().Size);
    w.Int("FONTCOLOR", s.Font().Color);
    w.Int("ASCIICHAR", s.Code());
}

void WriteBarcode(Writer& w, const TBarcodeItem& b)
{
    w.Put("LABELITEM", QStringLiteral("BARCODE"));
    w.Bounds(b);
    w.Put("SYMBOLOGY", SymbologyWord(b.Symbology()));
    w.Put("DATA", OneLine(b.Data()));
    w.Put("SHOWTEXT", Flag(b.ShowText()));
    w.Int("LINECOLOR", b.LineColor());
    w.Int("ANGLE", b.Angle());
}

// The reader's current values, one per key, kept for the whole text.
struct Current {
    int top = 0, left = 0, width = 0, height = 0;
    int fontSize = 10, fontColor = 0, angle = 0, color = 0, lineThickness = 1, lineColor = 0;
    int rounding = 20, startingNumber = 1, repeatEach = 1, asciiChar = 74;
    bool bold = true, italic = false, under = false, stretch = false;
    int brushStyle = bsClear;
    QString text, fontName, fileName;
    TSymbology symbology = TSymbology::Code128;
    QString data;
    bool showText = true;
};

bool ParseLength(const QString& v, double ppi, int& out)
{
    bool ok = false;
    const double inches = ParseDecimal(v, &ok);
    if (!ok || !std::isfinite(inches))
        return false;
    const float narrowed = static_cast<float>(inches);
    if (!std::isfinite(narrowed))
        return false;
    out = std::clamp(InchesToPixels(narrowed, ppi), -kMaxItemPixels, kMaxItemPixels);
    return true;
}

bool FailFloat(const QString& v, QString* error)
{
    if (error)
        *error = QStringLiteral("'%1' is not a valid floating point value").arg(v);
    return false;
}

bool FailInt(const QString& v, QString* error)
{
    if (error)
        *error = QStringLiteral("'%1' is not a valid integer value").arg(v);
    return false;
}

TLabelItem* CreatePending(TLabelItems& items, const QString& kind, const Current& c)
{
    if (kind == QLatin1String("TEXT"))
        return items.CreateTextItem(c.text, c.top, c.left, c.width, c.height, c.angle, c.fontName,
                                    c.fontSize, TColor(c.fontColor), c.bold, c.italic, c.under);
    if (kind == QLatin1String("COUNTER"))
        return items.CreateCounterItem(c.top, c.left, c.width, c.height, c.angle, c.fontName,
                                       c.fontSize, TColor(c.fontColor), c.bold, c.italic, c.under,
                                       c.startingNumber, c.repeatEach);
    if (kind == QLatin1String("SYMBOL"))
        return items.CreateSymbolItem(c.asciiChar, c.top, c.left, c.width, c.height, c.fontSize,
                                      TColor(c.fontColor));
    if (kind == QLatin1String("RECTANGLE") || kind == QLatin1String("ROUNDRECTANGLE")
        || kind == QLatin1String("ELLIPSE")) {
        const int type = kind == QLatin1String("RECTANGLE") ? stRectangle
                         : kind == QLatin1String("ELLIPSE") ? stEllipse
                                                            : stRoundRect;
        return items.CreateShapeItem(type, c.top, c.left, c.width, c.height, TColor(c.color),
                                     TColor(c.lineColor), c.lineThickness, c.rounding,
                                     c.brushStyle);
    }
    if (kind == QLatin1String("IMAGE"))
        return items.CreateImageItem(c.top, c.left, c.width, c.height, c.fileName, c.stretch);
    if (kind == QLatin1String("VERTICALLINE"))
        return items.CreateLineItem(1, c.top, c.left, c.width, c.height, TColor(c.lineColor),
                                    c.lineThickness);
    if (kind == QLatin1String("HORIZONTALLINE"))
        return items.CreateLineItem(0, c.top, c.left, c.width, c.height, TColor(c.lineColor),
                                    c.lineThickness);
    if (kind == QLatin1String("BARCODE"))
        return items.CreateBarcodeItem(c.symbology, c.data, c.showText, c.top, c.left, c.width,
                                       c.height, TColor(c.lineColor), c.angle);
    return nullptr;
}

bool IsKnownKind(const QString& kind)
{
    static const char* const kinds[] = {"TEXT",    "COUNTER", "SYMBOL",
                                        "RECTANGLE", "ROUNDRECTANGLE", "ELLIPSE",
                                        "IMAGE",   "VERTICALLINE", "HORIZONTALLINE", "BARCODE"};
    for (const char* k : kinds)
        if (kind == QLatin1String(k))
            return true;
    return false;
}

void WriteItem(Writer& w, TLabelItem* item)
{
    if (auto* c = dynamic_cast<TCounterLabel*>(item))
        WriteCounter(w, *c);
    else if (auto* t = dynamic_cast<Tmo3DLabel*>(item))
        WriteText(w, *t);
    else if (auto* s = dynamic_cast<TMoShape*>(item))
        WriteShape(w, *s);
    else if (auto* l = dynamic_cast<TLineShape*>(item))
        WriteLine(w, *l);
    else if (auto* i = dynamic_cast<TImageItem*>(item))
        WriteImage(w, *i);
    else if (auto* y = dynamic_cast<TSymbol*>(item))
        WriteSymbol(w, *y);
    else if (auto* b = dynamic_cast<TBarcodeItem*>(item))
        WriteBarcode(w, *b);
}

} // namespace

void SaveItems(TLabelItems& items, QStringList& lines)
{
    lines.clear();
    Writer w(lines, items.Panel().PixelsPerInch());
    for (TLabelItem* item : items.OrderList())
        if (item->IsSpecial())
            WriteItem(w, item);
}

void SaveItem(TLabelItem& item, double pixelsPerInch, QStringList& lines)
{
    Writer w(lines, pixelsPerInch);
    WriteItem(w, &item);
}

bool REstoreItems(TLabelItems& items, const QStringList& lines, QString* error, TReadMode mode)
{
    const qsizetype valueLimit = mode == TReadMode::Whole ? -1 : kMaxValue;
    const double ppi = items.Panel().PixelsPerInch();
    Current c;
    QString pending;
    auto create = [&]() -> bool {
        if (pending.isEmpty())
            return true;
        // A full label refuses the rest rather than asking once per record.
        if (IsKnownKind(pending) && items.IsFull()) {
            if (error)
                *error = LabelFullMessage();
            return false;
        }
        TLabelItem* made = CreatePending(items, pending, c);
        // Read whole, a box comes back as it was written, also one shrunk to nothing or one
        // that differs from its picture's size; text and counter boxes follow their text.
        if (made && mode == TReadMode::Whole && !dynamic_cast<Tmo3DLabel*>(made))
            made->SetBounds(c.left, c.top, c.width, c.height);
        return true;
    };
    for (qsizetype n = 0;; ++n) {
        const QString line = n < lines.size() ? lines[n] : QString();
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq < 0)
            return create();
        const QString key = line.left(eq);
        // A code's data is newer than the 99-character cut and keeps what the item holds.
        const qsizetype limit = valueLimit > 0 && key == QLatin1String("DATA") ? kMaxBarcodeData : valueLimit;
        QString value = line.mid(eq + 1, limit);
        // The cut keeps a character outside the Basic Multilingual Plane whole or leaves it out.
        if (limit > 0 && value.size() == limit && value.back().isHighSurrogate())
            value.chop(1);
        if (key == QLatin1String("LABELITEM")) {
            if (!create())
                return false;
            pending = value;
        } else if (key == QLatin1String("TOP") || key == QLatin1String("LEFT")
                   || key == QLatin1String("WIDTH") || key == QLatin1String("HEIGHT")) {
            int px = 0;
            if (!ParseLength(value, ppi, px))
                return FailFloat(value, error);
            (key == QLatin1String("TOP")     ? c.top
             : key == QLatin1String("LEFT")  ? c.left
             : key == QLatin1String("WIDTH") ? c.width
                                             : c.height) = px;
        } else if (int* slot = key == QLatin1String("FONTSIZE")         ? &c.fontSize
                               : key == QLatin1String("FONTCOLOR")      ? &c.fontColor
                               : key == QLatin1String("ANGLE")          ? &c.angle
                               : key == QLatin1String("COLOR")          ? &c.color
                               : key == QLatin1String("LINETHICKNESS")  ? &c.lineThickness
                               : key == QLatin1String("LINECOLOR")      ? &c.lineColor
                               : key == QLatin1String("ROUNDING")       ? &c.rounding
                               : key == QLatin1String("STARTINGNUMBER") ? &c.startingNumber
                               : key == QLatin1String("REPEATEACH")     ? &c.repeatEach
                               : key == QLatin1String("ASCIICHAR")      ? &c.asciiChar
                                                                        : nullptr) {
            if (!ParseItemInteger(value, *slot))
                return FailInt(value, error);
        } else if (bool* flag = key == QLatin1String("FONTBOLD")     ? &c.bold
                                : key == QLatin1String("FONTITALIC") ? &c.italic
                                : key == QLatin1String("FONTUNDER")  ? &c.under
                                : key == QLatin1String("STRETCH")    ? &c.stretch
                                                                     : nullptr) {
            *flag = value == QLatin1String("Y");
        } else if (key == QLatin1String("TEXT")) {
            c.text = value;
        } else if (key == QLatin1String("FONTNAME")) {
            c.fontName = value;
        } else if (key == QLatin1String("FILENAMEANDPATH")) {
            c.fileName = value;
        } else if (key == QLatin1String("BRUSHSTYLE")) {
            for (int i = 0; i < 8; ++i)
                if (value == QLatin1String(kBrushWords[i]))
                    c.brushStyle = i;
        } else if (key == QLatin1String("DATA")) {
            c.data = value;
        } else if (key == QLatin1String("SHOWTEXT")) {
            c.showText = value == QLatin1String("Y");
        } else if (key == QLatin1String("SYMBOLOGY")) {
            // An unknown word (a newer program's code) keeps the symbology before it.
            if (const std::optional<TSymbology> s = SymbologyOfWord(value))
                c.symbology = *s;
        }
    }
}

bool ParseItemInteger(const QString& v, int& out)
{
    // Leading blanks are allowed, as the runtime's conversion allows them; nothing else is.
    const QByteArray b = v.toLatin1();
    qsizetype i = 0;
    while (i < b.size() && b[i] == ' ')
        ++i;
    if (i == b.size())
        return false;
    bool neg = false;
    if (b[i] == '+' || b[i] == '-') {
        neg = b[i] == '-';
        ++i;
    }
    if (i == b.size())
        return false;
    long long n = 0;
    for (; i < b.size(); ++i) {
        if (b[i] < '0' || b[i] > '9')
            return false;
        n = n * 10 + (b[i] - '0');
        if (n > 2147483648LL)
            return false;
    }
    if (neg)
        n = -n;
    if (n > std::numeric_limits<int>::max() || n < std::numeric_limits<int>::min())
        return false;
    out = int(n);
    return true;
}

QStringList SplitItemText(const QString& text)
{
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString& l : lines)
        if (l.endsWith(QLatin1Char('\r')))
            l.chop(1);
    // The line break after the last line opens no line of its own.
    if (!lines.isEmpty() && lines.last().isEmpty() && text.endsWith(QLatin1Char('\n')))
        lines.removeLast();
    return lines;
}

QString JoinItemText(const QStringList& lines)
{
    QString out;
    for (const QString& l : lines) {
        out += l;
        out += QLatin1String("\r\n");
    }
    return out;
}

// --- the stored bytes

QByteArray ItemTextToMemo(const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    std::string bytes, bad;
    if (xbase::cp1252::fromUtf8(std::string_view(utf8.constData(), size_t(utf8.size())), bytes, bad))
        return QByteArray(bytes.data(), qsizetype(bytes.size()));
    return QByteArray(kItemTextUtf8Mark) + "\r\n" + utf8;
}

QString ItemTextFromMemo(const QByteArray& bytes)
{
    if (bytes.startsWith(kItemTextUtf8Mark)) {
        const qsizetype mark = qsizetype(sizeof kItemTextUtf8Mark) - 1;
        if (bytes.mid(mark, 2) == "\r\n")
            return QString::fromUtf8(bytes.mid(mark + 2));
        if (bytes.mid(mark, 1) == "\n")
            return QString::fromUtf8(bytes.mid(mark + 1));
    }
    const std::string utf8 = xbase::cp1252::toUtf8(std::string_view(bytes.constData(), size_t(bytes.size())));
    return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
}

} // namespace sw
