#include "print/LabelItemObject.h"

#include "model/ItemText.h"
#include "model/Units.h"

#include <algorithm>
#include <iterator>
#include <cmath>

namespace sw {

namespace {

constexpr double kMaxInches = 10000;
constexpr std::int64_t kMaxHundredths = 100000;

const char* const kKindWords[] = {"TEXT",      "COUNTER",        "SYMBOL",
                                  "RECTANGLE", "ROUNDRECTANGLE", "ELLIPSE",
                                  "IMAGE",     "VERTICALLINE",   "HORIZONTALLINE",
                                  "BARCODE"};

// Fill styles by the platform's numbering (0..7).
const char* const kBrushWords[] = {"SOLID",     "CLEAR",     "HORIZONTAL", "VERTICAL",
                                   "FDIAGONAL", "BDIAGONAL", "CROSS",      "DIAGCROSS"};

// The values collected since the last LABELITEM line.
struct Collected {
    TLabelItemObject values;
    QString kind;
    bool pending = false;
};

class Reader {
public:
    explicit Reader(TItemsList& list) : list_(list) {}

    void Line(int lineNo, const QString& key, const QString& value)
    {
        lineNo_ = lineNo;
        TLabelItemObject& v = c_.values;
        if (double* length = key == QLatin1String("TOP")         ? &v.Top
                             : key == QLatin1String("LEFT")      ? &v.Left
                             : key == QLatin1String("WIDTH")     ? &v.Width
                             : key == QLatin1String("HEIGHT")    ? &v.Height
                             : key == QLatin1String("RELATIVEX") ? &v.RelativeX
                             : key == QLatin1String("RELATIVEY") ? &v.RelativeY
                                                                 : nullptr) {
            // Far beyond any paper, but every device conversion of it stays in range.
            *length = std::clamp(Decimal(value), -kMaxInches, kMaxInches);
        } else if (std::int32_t* number = key == QLatin1String("FONTCOLOR")        ? &v.FontColor
                                          : key == QLatin1String("ANGLE")          ? &v.Angle
                                          : key == QLatin1String("LINECOLOR")      ? &v.LineColor
                                          : key == QLatin1String("ROUNDING")       ? &v.Rounding
                                          : key == QLatin1String("ASCIICHAR")      ? &v.AsciiChar
                                          : key == QLatin1String("COLOR")          ? &v.Color
                                          : key == QLatin1String("STARTINGNUMBER") ? &list_.StartingNumber
                                          : key == QLatin1String("REPEATEACH")     ? &list_.RepeatEach
                                                                                   : nullptr) {
            *number = Integer(value);
        } else if (bool* flag = key == QLatin1String("FONTBOLD")     ? &v.FontBold
                                : key == QLatin1String("FONTITALIC") ? &v.FontItalic
                                : key == QLatin1String("FONTUNDER")  ? &v.FontUnder
                                : key == QLatin1String("STRETCH")    ? &v.Stretch
                                                                     : nullptr) {
            *flag = value == QLatin1String("Y");
        } else if (key == QLatin1String("FONTSIZE")) {
            v.FontSize = Integer(value);
        } else if (key == QLatin1String("LINETHICKNESS")) {
            // Screen pixels at 96 per inch as hundredths of an inch, truncated, negated: the
            // engine takes a negative pen width as hundredths. Integer arithmetic keeps whole
            // inches exact (96 pixels give 100).
            const std::int64_t hundredths = std::int64_t(Integer(value)) * 100 / 96;
            v.LineThickness = std::int32_t(-std::clamp<std::int64_t>(hundredths, -kMaxHundredths, kMaxHundredths));
        } else if (key == QLatin1String("TEXT")) {
            v.Text = value;
        } else if (key == QLatin1String("FONTNAME")) {
            v.FontName = value.left(kMaxFontName);
        } else if (key == QLatin1String("FILENAMEANDPATH")) {
            // Kept whole (up to the line's 99 characters): a shorter cut would lose pictures the
            // design panel shows.
            v.FileNameAndPath = value;
        } else if (key == QLatin1String("ORIENTATION")) {
            v.Orientation = value.isEmpty() ? QChar() : value.at(0);
        } else if (key == QLatin1String("BRUSHSTYLE")) {
            for (int i = 0; i < 8; ++i)
                if (value == QLatin1String(kBrushWords[i]))
                    v.BrushStyle = std::uint8_t(i);
        } else if (key == QLatin1String("DATA")) {
            v.Data = value;
        } else if (key == QLatin1String("SHOWTEXT")) {
            v.ShowText = value == QLatin1String("Y");
        } else if (key == QLatin1String("SYMBOLOGY")) {
            if (const std::optional<TSymbology> s = SymbologyOfWord(value))
                v.Symbology = *s;
        }
    }

    // A LABELITEM line or the end: the pending record is appended, a new one opens.
    void NextRecord(const QString& kind)
    {
        if (c_.pending) {
            TLabelItemObject item = c_.values;
            item.ItemKind = ItemKindOf(c_.kind);
            list_.Items.push_back(item);
        }
        c_.kind = kind;
        c_.values.Text.clear();
        c_.values.FontName.clear();
        c_.values.FileNameAndPath.clear();
        c_.values.Data.clear();
        c_.pending = true;
    }

private:
    double Decimal(const QString& value) const
    {
        bool ok = false;
        const double v = ParseDecimal(value, &ok);
        if (!ok || !std::isfinite(v))
            throw EItemText(lineNo_, QStringLiteral("'%1' is not a valid floating point value").arg(value));
        return v;
    }
    std::int32_t Integer(const QString& value) const
    {
        int v = 0;
        if (!ParseItemInteger(value, v))
            throw EItemText(lineNo_, QStringLiteral("'%1' is not a valid integer value").arg(value));
        return v;
    }

    TItemsList& list_;
    Collected c_;
    int lineNo_ = 0;
};

} // namespace

TItemKind ItemKindOf(const QString& word)
{
    for (int i = 0; i < int(std::size(kKindWords)); ++i)
        if (word == QLatin1String(kKindWords[i]))
            return TItemKind(i);
    return ikText;
}

EItemText::EItemText(int line, const QString& problem)
    : std::runtime_error(problem.toStdString()),
      line_(line),
      message_(QStringLiteral("Line %1 of the label's item text: %2").arg(line).arg(problem))
{
}

int MakeItemsStringList(const QStringList& memo, TItemsList& list)
{
    list = TItemsList{};
    TItemsList read;
    Reader reader(read);
    for (qsizetype n = 0;; ++n) {
        // Past the last line the line is empty, which ends the text like a blank line.
        const QString line = n < memo.size() ? memo[n] : QString();
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq < 0) {
            reader.NextRecord(QString());
            break;
        }
        const QString key = line.left(eq);
        // A code's data is newer than the 99-character cut and keeps what the item holds.
        const QString value = line.mid(eq + 1, key == QLatin1String("DATA") ? kMaxBarcodeData : kMaxItemValue);
        if (key == QLatin1String("LABELITEM"))
            reader.NextRecord(value);
        else
            reader.Line(int(n + 1), key, value);
    }
    list = std::move(read);
    return int(list.Items.size()) - 1;
}

} // namespace sw
