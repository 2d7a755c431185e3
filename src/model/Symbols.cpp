#include "model/Symbols.h"

#include <QCoreApplication>
#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <array>
#include <mutex>

// Resources of a static library must be registered by name, outside any namespace.
static void InitModelResources()
{
    Q_INIT_RESOURCE(model_resources);
}

namespace sw {
namespace {

constexpr int kCodes = kLastSymbolCode + 1;
const char* const kUnicodeFamilies[] = {"Symbola", "DejaVu Sans"};

struct SymbolTable {
    std::array<char32_t, kCodes> unicode{};
    QString wingdings;
    bool unicodeFontInstalled = false;
};

// Lines "code<TAB>U+XXXX"; '#' starts a comment. Bad lines are skipped.
void ParseTable(const QByteArray& bytes, SymbolTable& t)
{
    for (const QByteArray& raw : bytes.split('\n')) {
        const QByteArray line = raw.trimmed();
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const QList<QByteArray> cols = line.split('\t');
        if (cols.size() < 2)
            continue;
        bool ok1 = false, ok2 = false;
        const int code = cols[0].trimmed().toInt(&ok1);
        QByteArray u = cols[1].trimmed();
        if (u.startsWith("U+") || u.startsWith("u+"))
            u = u.mid(2);
        const uint cp = u.toUInt(&ok2, 16);
        if (ok1 && ok2 && code >= kFirstSymbolCode && code <= kLastSymbolCode && cp <= 0x10FFFF)
            t.unicode[size_t(code)] = char32_t(cp);
    }
}

const SymbolTable& Table()
{
    static SymbolTable table;
    static std::once_flag once;
    std::call_once(once, [] {
        InitModelResources();
        QFile f(QStringLiteral(":/stickwell/wingdings-unicode.tsv"));
        (void)f.open(QIODevice::ReadOnly);
        // Without the built-in copy: the program's own files, then the executable's folder.
        for (const QString& name : {QStringLiteral("stickwell:wingdings-unicode.tsv"),
                                    QCoreApplication::applicationDirPath() + QStringLiteral("/wingdings-unicode.tsv")}) {
            if (f.isOpen())
                break;
            f.setFileName(name);
            (void)f.open(QIODevice::ReadOnly);
        }
        if (f.isOpen())
            ParseTable(f.readAll(), table);
        const QStringList families = QFontDatabase::families();
        for (const QString& fam : families) {
            if (fam.toUpper().contains(QLatin1String("WINGDING"))) {
                table.wingdings = fam;
                break;
            }
        }
        for (const char* want : kUnicodeFamilies)
            if (families.contains(QLatin1String(want), Qt::CaseInsensitive))
                table.unicodeFontInstalled = true;
    });
    return table;
}

bool IsCode(int code)
{
    return code >= kFirstSymbolCode && code <= kLastSymbolCode;
}

QString Ucs4Text(char32_t cp)
{
    return QString::fromUcs4(&cp, 1);
}

void DrawWindowLogo(QPainter& p, const QRectF& cell, const QColor& colour)
{
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    for (const QRectF& pane : WindowLogoPanes(cell))
        p.drawRect(pane);
    p.restore();
}

} // namespace

std::array<QRectF, 4> WindowLogoPanes(const QRectF& cell)
{
    const double side = std::min(cell.width(), cell.height()) * 0.8;
    const QRectF box(cell.center().x() - side / 2, cell.center().y() - side / 2, side, side);
    const double gap = side * 0.08;
    const double pane = (side - gap) / 2;
    std::array<QRectF, 4> panes;
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 2; ++c)
            panes[size_t(r * 2 + c)] = QRectF(box.left() + c * (pane + gap),
                                              box.top() + r * (pane + gap), pane, pane);
    return panes;
}

SymbolSource SymbolSourceInUse()
{
    const SymbolTable& t = Table();
    if (!t.wingdings.isEmpty())
        return SymbolSource::WingdingsFont;
    if (t.unicodeFontInstalled && t.unicode[74] != 0)
        return SymbolSource::UnicodeFont;
    return SymbolSource::None;
}

bool SymbolFontAvailable()
{
    return SymbolSourceInUse() != SymbolSource::None;
}

QString InstalledWingdingsFamily()
{
    return Table().wingdings;
}

char32_t WingdingsToUnicode(int code)
{
    return IsCode(code) ? Table().unicode[size_t(code)] : 0;
}

QFont SymbolFontFor(int code, int pixelHeight)
{
    const SymbolTable& t = Table();
    QFont f;
    f.setPixelSize(std::max(1, pixelHeight));
    f.setHintingPreference(QFont::PreferNoHinting);
    if (!t.wingdings.isEmpty()) {
        f.setFamily(t.wingdings);
        return f;
    }
    // Which family covers a code is looked up once per code: symbols are laid out often.
    static std::array<signed char, kCodes> chosen = [] {
        std::array<signed char, kCodes> a;
        a.fill(-1);
        return a;
    }();
    const size_t slot = IsCode(code) ? size_t(code) : 0;
    if (chosen[slot] < 0) {
        const char32_t cp = WingdingsToUnicode(code);
        chosen[slot] = 2;
        for (int i = 0; i < 2; ++i) {
            QFont candidate = f;
            candidate.setFamily(QLatin1String(kUnicodeFamilies[i]));
            if (cp == 0 || QFontMetrics(candidate).inFontUcs4(uint(cp))) {
                chosen[slot] = char(i);
                break;
            }
        }
    }
    if (chosen[slot] < 2) {
        f.setFamily(QLatin1String(kUnicodeFamilies[int(chosen[slot])]));
        return f;
    }
    f.setFamilies({QLatin1String(kUnicodeFamilies[0]), QLatin1String(kUnicodeFamilies[1])});
    return f;
}

QString SymbolText(int code)
{
    if (!InstalledWingdingsFamily().isEmpty())
        return QString(QChar(code & 0xFF));
    const char32_t cp = WingdingsToUnicode(code);
    return cp ? Ucs4Text(cp) : QString();
}

QSize SymbolExtent(int code, int pixelHeight)
{
    const QFont font = SymbolFontFor(code, pixelHeight);
    const QFontMetrics fm(font);
    const QString text = SymbolText(code);
    // A hand-drawn window takes an em square; a missing glyph still gets a box to select.
    const int w = text.isEmpty() ? std::max(1, pixelHeight) : fm.horizontalAdvance(text);
    return QSize(std::max(1, w), std::max(1, fm.height()));
}

void DrawSymbol(QPainter& painter, const QPoint& topLeft, int code, int pixelHeight,
                const QColor& color)
{
    const QFont font = SymbolFontFor(code, pixelHeight);
    const QFontMetrics fm(font);
    const QString text = SymbolText(code);
    if (text.isEmpty()) {
        if (code == kLastSymbolCode)
            DrawWindowLogo(painter, QRectF(topLeft, QSizeF(SymbolExtent(code, pixelHeight))),
                           color);
        return;
    }
    painter.save();
    painter.setFont(font);
    painter.setPen(color);
    painter.drawText(QPointF(topLeft.x(), topLeft.y() + fm.ascent()), text);
    painter.restore();
}

void DrawSymbolCentred(QPainter& painter, const QRect& cell, int code, int pixelHeight,
                       const QColor& color)
{
    const QSize ext = SymbolExtent(code, pixelHeight);
    DrawSymbol(painter,
               QPoint(cell.left() + (cell.width() - ext.width()) / 2,
                      cell.top() + (cell.height() - ext.height()) / 2),
               code, pixelHeight, color);
}

} // namespace sw
