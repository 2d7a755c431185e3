#include "model/Barcode.h"

#include "model/Placeholders.h"

#include <zint.h>

#include <QRegularExpression>
#include <algorithm>
#include <functional>
#include <map>
#include <tuple>
#include <memory>

namespace sw {
namespace {

struct SymbologyInfo {
    const char* word;
    const char* caption;
    int zint;
};

const SymbologyInfo kSymbologies[kSymbologyCount] = {
    {"CODE128", "Code 128", BARCODE_CODE128}, {"CODE39", "Code 39", BARCODE_CODE39},
    {"EAN13", "EAN-13", BARCODE_EANX},        {"EAN8", "EAN-8", BARCODE_EANX},
    {"UPCA", "UPC-A", BARCODE_UPCA},          {"ITF14", "ITF-14", BARCODE_ITF14},
    {"QRCODE", "QR Code", BARCODE_QRCODE},    {"DATAMATRIX", "Data Matrix", BARCODE_DATAMATRIX},
    {"PDF417", "PDF417", BARCODE_PDF417},
};

const SymbologyInfo& Info(TSymbology s)
{
    return kSymbologies[std::min(int(s), kSymbologyCount - 1)];
}

struct SymbolDeleter {
    void operator()(zint_symbol* s) const { ZBarcode_Delete(s); }
};
using Symbol = std::unique_ptr<zint_symbol, SymbolDeleter>;

bool AllDigits(const QString& s)
{
    return std::all_of(s.begin(), s.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

// The digit counts a fixed-length numeric code takes: without and with its check digit.
struct DigitRule {
    int bare;
    const char* message;
};

std::optional<DigitRule> DigitRuleOf(TSymbology s)
{
    switch (s) {
    case TSymbology::Ean13: return DigitRule{12, "EAN-13 takes 12 or 13 digits"};
    case TSymbology::Ean8: return DigitRule{7, "EAN-8 takes 7 or 8 digits"};
    case TSymbology::UpcA: return DigitRule{11, "UPC-A takes 11 or 12 digits"};
    case TSymbology::Itf14: return DigitRule{13, "ITF-14 takes 13 or 14 digits"};
    default: return std::nullopt;
    }
}

// zint's message without its number, as a sentence.
QString Worded(TSymbology s, const char* errtxt)
{
    QString text = QString::fromUtf8(errtxt);
    text.remove(QRegularExpression(QStringLiteral("^(Error|Warning) \\d+: ")));
    if (!text.isEmpty())
        text[0] = text[0].toUpper();
    return QString::fromLatin1(Info(s).caption) + QStringLiteral(": ") + text;
}

bool Fail(QString* error, const QString& message)
{
    if (error)
        *error = message;
    return false;
}

// zint joins the dark modules of a row; runs of the same width standing on each other in the
// next rows become one rectangle too, so a 2D code takes fewer shapes to draw and to store.
void MergeColumns(std::vector<QRectF>& bars)
{
    std::sort(bars.begin(), bars.end(), [](const QRectF& a, const QRectF& b) {
        return std::make_tuple(a.left(), a.width(), a.top()) < std::make_tuple(b.left(), b.width(), b.top());
    });
    std::vector<QRectF> merged;
    merged.reserve(bars.size());
    for (const QRectF& r : bars) {
        if (!merged.empty()) {
            QRectF& last = merged.back();
            if (last.left() == r.left() && last.width() == r.width() && last.bottom() == r.top()) {
                last.setBottom(r.bottom());
                continue;
            }
        }
        merged.push_back(r);
    }
    bars = std::move(merged);
}

// The most frequent value (the smallest of equals); fallback when there is none.
double Mode(const std::vector<double>& values, double fallback)
{
    std::map<double, int> counts;
    for (double v : values)
        ++counts[v];
    double best = fallback;
    int most = 0;
    for (const auto& [v, n] : counts)
        if (n > most) {
            most = n;
            best = v;
        }
    return best;
}

} // namespace

QString SymbologyWord(TSymbology s)
{
    return QString::fromLatin1(Info(s).word);
}

QString SymbologyCaption(TSymbology s)
{
    return QString::fromLatin1(Info(s).caption);
}

std::optional<TSymbology> SymbologyOfWord(const QString& word)
{
    for (int i = 0; i < kSymbologyCount; ++i)
        if (word == QLatin1String(kSymbologies[i].word))
            return TSymbology(i);
    return std::nullopt;
}

bool IsSquareSymbology(TSymbology s)
{
    return s == TSymbology::QrCode || s == TSymbology::DataMatrix;
}

bool IsTwoDimensional(TSymbology s)
{
    return IsSquareSymbology(s) || s == TSymbology::Pdf417;
}

int QuarterTurn(int angle)
{
    const int a = ((angle % 360) + 360) % 360;
    return ((a + 45) / 90 % 4) * 90;
}

namespace {

// Encodes data; with vector the geometry is filled in too, without it only the verdict counts.
TBarcode Encode(TSymbology symbology, const QString& data, bool showText, QString* error,
                bool vector, bool* valid)
{
    *valid = false;
    TBarcode code;
    code.Symbology = symbology;
    const QString caption = SymbologyCaption(symbology);
    if (data.isEmpty()) {
        Fail(error, caption + QStringLiteral(" needs data to encode"));
        return code;
    }
    if (data.size() > kMaxBarcodeData) {
        Fail(error, QStringLiteral("A code holds at most %1 characters").arg(kMaxBarcodeData));
        return code;
    }
    // The fixed-length numeric codes are checked here: zint would take other lengths as other
    // codes (EAN-8 data given for EAN-13) or only in part.
    QString input = data;
    QChar givenCheck;
    if (const std::optional<DigitRule> rule = DigitRuleOf(symbology)) {
        if (!AllDigits(data) || (data.size() != rule->bare && data.size() != rule->bare + 1)) {
            Fail(error, QString::fromLatin1(rule->message));
            return code;
        }
        if (data.size() == rule->bare + 1) {
            givenCheck = data.back();
            input.chop(1);
        }
    }
    if (symbology == TSymbology::Code39) {
        static const QRegularExpression valid(QStringLiteral("^[0-9A-Z \\-.$/+%]*$"));
        if (!valid.match(data).hasMatch()) {
            Fail(error, QStringLiteral("Code 39 takes capital letters, digits, blanks and - . $ / + %"));
            return code;
        }
    }

    Symbol symbol(ZBarcode_Create());
    if (!symbol) {
        Fail(error, QStringLiteral("Not enough memory to encode the code"));
        return code;
    }
    symbol->symbology = Info(symbology).zint;
    symbol->input_mode = UNICODE_MODE;
    symbol->show_hrt = showText && !IsTwoDimensional(symbology) ? 1 : 0;
    const QByteArray utf8 = input.toUtf8();
    int result = ZBarcode_Encode(symbol.get(), reinterpret_cast<const unsigned char*>(utf8.constData()),
                                 int(utf8.size()));
    if (result >= ZINT_ERROR) {
        Fail(error, Worded(symbology, symbol->errtxt));
        return code;
    }
    if (!givenCheck.isNull()) {
        // zint's human-readable text ends with the check digit it computed.
        const QString full = QString::fromUtf8(reinterpret_cast<const char*>(symbol->text));
        if (full.isEmpty() || full.back() != givenCheck) {
            Fail(error, QStringLiteral("The last digit of this %1 should be its check digit, %2")
                            .arg(caption, full.isEmpty() ? QStringLiteral("?") : QString(full.back())));
            return code;
        }
    }
    if (!vector) {
        *valid = true;
        return code;
    }
    result = ZBarcode_Buffer_Vector(symbol.get(), 0);
    if (result >= ZINT_ERROR || !symbol->vector) {
        Fail(error, Worded(symbology, symbol->errtxt));
        return code;
    }
    const zint_vector& v = *symbol->vector;
    code.Size = QSizeF(v.width, v.height);
    for (const zint_vector_rect* r = v.rectangles; r; r = r->next)
        if (r->colour == -1 && r->width > 0 && r->height > 0)
            code.Bars.emplace_back(r->x, r->y, r->width, r->height);
    MergeColumns(code.Bars);
    for (const zint_vector_string* s = v.strings; s; s = s->next) {
        TBarcodeText t;
        t.Pos = QPointF(s->x, s->y);
        t.Size = s->fsize;
        t.Text = QString::fromUtf8(reinterpret_cast<const char*>(s->text), s->length);
        t.Align = s->halign;
        code.Texts.push_back(t);
    }
    if (code.Bars.empty())
        Fail(error, caption + QStringLiteral(" could not be drawn"));
    *valid = !code.Bars.empty();
    return code;
}

} // namespace

TBarcode EncodeBarcode(TSymbology symbology, const QString& data, bool showText, QString* error)
{
    bool valid = false;
    return Encode(symbology, data, showText, error, true, &valid);
}

QString CheckKey(TSymbology symbology, const QString& data)
{
    // A given check digit is right or wrong by the other digits' values.
    if (DigitRuleOf(symbology))
        return data;
    // Elsewhere digits are one class of character: which digits they are changes neither the
    // characters a code accepts nor how long its encoding is.
    QString key = data;
    for (QChar& c : key)
        if (c >= u'1' && c <= u'9')
            c = u'0';
    return key;
}

bool CheckBarcode(TSymbology symbology, const QString& data, QString* error)
{
    bool valid = false;
    Encode(symbology, data, false, error, false, &valid);
    return valid;
}

TBarcodeLayout LayOutBarcode(const TBarcode& code, QSizeF box, int angle)
{
    TBarcodeLayout out;
    if (code.IsNull() || code.Size.width() <= 0 || code.Size.height() <= 0)
        return out;
    angle = QuarterTurn(angle);
    const bool sideways = angle == 90 || angle == 270;
    // The box as the code sees it before turning.
    const double w = sideways ? box.height() : box.width();
    const double h = sideways ? box.width() : box.height();
    const double vw = code.Size.width(), vh = code.Size.height();

    // Vertical map from zint's units: a square code scales evenly and stands centred; PDF417
    // stretches both ways; a linear code keeps the proportion of its width above the bars
    // (bearers) and below them (text), and its bars take the rest of the height.
    double offX = 0, offY = 0, sx = w / vw;
    std::function<double(double)> mapY;
    if (IsSquareSymbology(code.Symbology)) {
        const double s = std::min(w / vw, h / vh);
        sx = s;
        offX = (w - vw * s) / 2;
        offY = (h - vh * s) / 2;
        mapY = [s, offY](double y) { return offY + y * s; };
    } else if (IsTwoDimensional(code.Symbology)) {
        const double sy = h / vh;
        mapY = [sy](double y) { return y * sy; };
    } else {
        std::vector<double> tops, bottoms;
        for (const QRectF& r : code.Bars) {
            tops.push_back(r.top());
            bottoms.push_back(r.bottom());
        }
        const double top = Mode(tops, 0), bottom = std::max(Mode(bottoms, vh), top + 1e-6);
        const double fixed = (top + (vh - bottom)) * sx;
        double sy = (h - fixed) / (bottom - top);
        double s = sx;
        if (sy <= 0) {
            // No room for the bars at this width: everything scales evenly instead.
            s = sx = std::min(w / vw, h / vh);
            sy = s;
        }
        mapY = [=](double y) {
            if (y <= top)
                return y * s;
            if (y <= bottom)
                return top * s + (y - top) * sy;
            return top * s + (bottom - top) * sy + (y - bottom) * s;
        };
    }
    // Turns a point of the unturned code into the box, counter-clockwise.
    const auto turn = [&](QPointF p) {
        switch (angle) {
        case 90: return QPointF(p.y(), w - p.x());
        case 180: return QPointF(w - p.x(), h - p.y());
        case 270: return QPointF(h - p.y(), p.x());
        default: return p;
        }
    };
    out.Bars.reserve(code.Bars.size());
    for (const QRectF& r : code.Bars) {
        const QPointF a(offX + r.left() * sx, mapY(r.top()));
        const QPointF b(offX + r.right() * sx, mapY(r.bottom()));
        out.Bars.push_back(QRectF(turn(a), turn(b)).normalized());
    }
    for (const TBarcodeText& t : code.Texts) {
        TBarcodeText placed = t;
        placed.Pos = turn(QPointF(offX + t.Pos.x() * sx, mapY(t.Pos.y())));
        placed.Size = t.Size * sx;
        placed.Angle = angle;
        out.Texts.push_back(placed);
    }
    return out;
}

} // namespace sw

namespace sw {

std::optional<QString> ExpandBarcodeData(const QString& data, const TDataValues& values, QString* error)
{
    if (!data.contains(u'{'))
        return data;
    const long long counter = values.Counter;
    const TExpansion e = ExpandPlaceholders(data, [&](const TPlaceholder& p) -> std::optional<QString> {
        if (p.Name != QLatin1String("COUNTER"))
            return values.Field && !p.HasArg ? values.Field(p.Name) : std::nullopt;
        const QString digits = QString::number(counter < 0 ? -(counter + 1) + 1ULL : counter + 0ULL);
        const QString sign = counter < 0 ? QStringLiteral("-") : QString();
        if (!p.HasArg)
            return sign + digits;
        bool ok = false;
        const int width = p.Arg.toInt(&ok);
        if (!ok || width < 1 || width > 40)
            return std::nullopt;
        return sign + digits.rightJustified(width, u'0');
    });
    if (e.Ok())
        return e.Text;
    if (error) {
        const QString& name = e.Unknown.first();
        *error = name == QLatin1String("COUNTER")
                     ? QStringLiteral("The code's data names {%1}, which is not known here").arg(name)
                     : QStringLiteral("The code's data names {%1}, which is not a field of the label's address list")
                           .arg(name);
    }
    return std::nullopt;
}

} // namespace sw
