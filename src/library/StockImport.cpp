#include "library/StockImport.h"
#include "library/StockFile.h"
#include "library/TableLayouts.h"

#include "model/Units.h"
#include "xbase/Codepage.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>

namespace sw::library {

QString SkipReasonText(TSkipReason reason)
{
    switch (reason) {
    case TSkipReason::None: return QString();
    case TSkipReason::SeveralLayouts: return QStringLiteral("several layouts on one sheet");
    case TSkipReason::CdDvd: return QStringLiteral("CD/DVD labels");
    case TSkipReason::Continuous: return QStringLiteral("continuous rolls");
    case TSkipReason::OtherOutline: return QStringLiteral("outlines other than rectangles, rounds and ellipses");
    case TSkipReason::NoLayout: return QStringLiteral("no regular layout");
    case TSkipReason::TooMany: return QStringLiteral("more than 10 across or 30 down");
    case TSkipReason::TooSmall: return QStringLiteral("narrower than 1 inch or lower than 0.3 inch");
    case TSkipReason::Overlapping: return QStringLiteral("pitch smaller than the label");
    case TSkipReason::OutOfRange: return QStringLiteral("lengths the catalogue cannot hold");
    case TSkipReason::UnknownEquivalent: return QStringLiteral("equivalent of a stock the files do not hold");
    case TSkipReason::AlreadyThere: return QStringLiteral("name already in the catalogue");
    case TSkipReason::Count_: break;
    }
    return QString();
}

QStringList StockFiles(const QStringList& paths)
{
    QStringList files;
    for (const QString& path : paths) {
        const QFileInfo info(path);
        if (!info.isDir()) {
            files << path;
            continue;
        }
        const QDir dir(path);
        const QStringList names = dir.entryList({QStringLiteral("*-templates.xml"), QStringLiteral("*.template")},
                                                QDir::Files | QDir::Readable, QDir::Name);
        for (const QString& name : names)
            files << dir.filePath(name);
    }
    return files;
}

namespace {

using Frame = TStockTemplate::Frame;

// Characters Windows-1252 cannot hold become '?': the catalogue stores that code page.
QString Storable(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.unicode() < 0x80) {
            out += c;
            continue;
        }
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            out += u'?';
            ++i;
            continue;
        }
        std::string bytes, bad;
        out += xbase::cp1252::fromUtf8(QString(c).toStdString(), bytes, bad) ? c : QChar(u'?');
    }
    return out;
}

QString Trimmed(double value, int decimals)
{
    QString s = sw::FormatFixed(value, decimals);
    if (s.contains(u'.')) {
        while (s.endsWith(u'0'))
            s.chop(1);
        if (s.endsWith(u'.'))
            s.chop(1);
    }
    return s;
}

// The label's size in the file's own terms: inches for inch files, millimetres otherwise.
QString SizeText(const Frame& f)
{
    if (f.Unit == u"in")
        return Trimmed(f.Width, 3) + QStringLiteral("\" x ") + Trimmed(f.Height, 3) + u'"';
    return Trimmed(f.Width * 25.4, 1) + QStringLiteral(" x ") + Trimmed(f.Height * 25.4, 1) + QStringLiteral(" mm");
}

QString PaperCode(const QString& paper)
{
    if (paper == u"US-Letter")
        return QStringLiteral("LTR");
    if (paper == u"A4")
        return QStringLiteral("A4");
    if (paper == u"A5")
        return QStringLiteral("A5");
    return QStringLiteral("USER");
}

QString Key(const QString& brand, const QString& part)
{
    return UpperAZ(brand) + u'\x1f' + UpperAZ(part);
}

// The geometry of one stock, or why it has none the catalogue can hold.
TSkipReason Geometry(const TStockTemplate& t, TTemplateValues& v)
{
    if (t.Frames.empty())
        return TSkipReason::NoLayout;
    if (t.Frames.size() > 1)
        return TSkipReason::SeveralLayouts;
    const Frame& f = t.Frames.front();
    switch (f.Outline) {
    case TStockOutline::Cd: return TSkipReason::CdDvd;
    case TStockOutline::Continuous: return TSkipReason::Continuous;
    case TStockOutline::Other: return TSkipReason::OtherOutline;
    case TStockOutline::Rectangle: v.LblShape = QStringLiteral("SR"); break;
    case TStockOutline::RoundRect: v.LblShape = QStringLiteral("RR"); break;
    case TStockOutline::Round:
    case TStockOutline::Ellipse: v.LblShape = QStringLiteral("RE"); break;
    }
    if (f.Layouts.empty())
        return TSkipReason::NoLayout;
    if (f.Layouts.size() > 1)
        return TSkipReason::SeveralLayouts;
    const TStockLayout& l = f.Layouts.front();
    if (l.Across < 1 || l.Down < 1)
        return TSkipReason::NoLayout;
    if (l.Across > 10 || l.Down > 30)
        return TSkipReason::TooMany;
    // With one label across (or down) the file need not give a pitch; the editor then keeps
    // the pitch at the label's size.
    const double horiz = l.Across == 1 && l.HorizPitch < f.Width ? f.Width : l.HorizPitch;
    const double vert = l.Down == 1 && l.VertPitch < f.Height ? f.Height : l.VertPitch;
    // Several files give a label a hair larger than its pitch (0.1 pt to 1 pt): within half a
    // millimetre the label is taken as large as its pitch, so that the editor accepts it.
    constexpr double slack = 0.5 / 25.4;
    double width = f.Width, height = f.Height;
    if (width > horiz && width - horiz <= slack)
        width = horiz;
    if (height > vert && height - vert <= slack)
        height = vert;
    for (double length : {width, height, l.Left, l.Top, horiz, vert})
        if (!(length >= 0 && length < 99.9995))
            return TSkipReason::OutOfRange;
    // The values as the catalogue keeps them (three decimals), checked as the editor checks.
    auto stored = [](double inches) { return float(sw::FloatToDBF(float(inches))); };
    v.LblWidth = stored(width);
    v.LblHeight = stored(height);
    v.LeftMarg = stored(l.Left);
    v.TopMarg = stored(l.Top);
    v.HorizPitch = stored(horiz);
    v.VertPitch = stored(vert);
    v.NbrAcross = l.Across;
    v.NbrDown = l.Down;
    v.PaperSize = PaperCode(t.Paper);
    if (v.LblHeight < 0.3f || v.LblWidth < 1.0f)
        return TSkipReason::TooSmall;
    if ((v.NbrAcross > 1 && v.LblWidth > v.HorizPitch) || (v.NbrDown > 1 && v.LblHeight > v.VertPitch))
        return TSkipReason::Overlapping;
    return TSkipReason::None;
}

} // namespace

TStockSet ReadStocks(const QStringList& files, const QSet<QString>& existing, const TProgress& progress)
{
    TStockSet set;
    std::vector<TReadTemplate> all;
    for (int i = 0; i < files.size(); ++i) {
        if (progress && !progress(i, int(files.size()))) {
            set.Stopped = true;
            return set;
        }
        TStockFile file = ReadStockFile(files[i]);
        if (!file.Error.isEmpty()) {
            set.Error = file.Error;
            return set;
        }
        for (TStockTemplate& t : file.Templates)
            all.push_back({std::move(t), files[i]});
    }
    if (progress)
        progress(int(files.size()), int(files.size()));
    set.Stocks = MakeCandidates(all, existing);
    return set;
}

std::vector<TStockCandidate> MakeCandidates(const std::vector<TReadTemplate>& all, const QSet<QString>& existing)
{
    // Equivalents name a part of the same maker, anywhere in the files; the first of a name counts.
    QHash<QString, const TStockTemplate*> byPart;
    for (bool equivalents : {false, true})
        for (const TReadTemplate& r : all)
            if (r.Template.Equiv.isEmpty() != equivalents) {
                const QString key = Key(r.Template.Brand, r.Template.Part);
                if (!byPart.contains(key))
                    byPart.insert(key, &r.Template);
            }

    QSet<QString> taken = existing;
    std::vector<TStockCandidate> stocks;
    stocks.reserve(all.size());
    for (const TReadTemplate& r : all) {
        const TStockTemplate& own = r.Template;
        TStockCandidate c;
        c.File = r.File;
        c.Line = own.Line;
        c.Values.UserDef = true;
        // Follow the chain of equivalents to the stock that has a geometry (a loop has none).
        const TStockTemplate* source = &own;
        for (int hops = 0; source && !source->Equiv.isEmpty() && hops < 8; ++hops)
            source = byPart.value(Key(own.Brand, source->Equiv), nullptr);
        if (source && !source->Equiv.isEmpty())
            source = nullptr;

        QString description = own.Description;
        if (!source) {
            c.Skip = TSkipReason::UnknownEquivalent;
        } else {
            if (description.isEmpty())
                description = source->Description;
            c.Skip = Geometry(*source, c.Values);
        }
        QString name = QStringList{own.Brand, own.Part, description}.join(u' ');
        if (source && !source->Frames.empty() && source->Frames.front().Width > 0 && source->Frames.front().Height > 0)
            name += u' ' + SizeText(source->Frames.front());
        c.Values.Description = TrimRight(CutTo(Storable(name.simplified()), kTemplateCapacity));
        if (c.Skip == TSkipReason::None) {
            const QString key = UpperAZ(c.Values.Description);
            if (taken.contains(key))
                c.Skip = TSkipReason::AlreadyThere;
            else
                taken.insert(key);
        }
        stocks.push_back(std::move(c));
    }
    return stocks;
}

QSet<QString> CatalogueNames(xbase::Table& table)
{
    QSet<QString> names;
    for (table.goTop(); !table.eof(); table.skip(1))
        names.insert(UpperAZ(FieldText(table, "TEMPLATE")));
    table.goTop();
    return names;
}

TAppendResult AppendStocks(xbase::Table& table, const std::vector<TTemplateValues>& stocks, const TProgress& progress)
{
    TAppendResult r;
    const std::uint32_t before = table.recCount();
    const int total = int(stocks.size());
    try {
        for (int i = 0; i < total; ++i) {
            if (progress && i % 16 == 0 && !progress(i, total)) {
                r.Stopped = true;
                break;
            }
            TTemplateValues v = stocks[size_t(i)];
            v.UserDef = true;
            table.appendBlank();
            WriteTemplate(table, v);
            table.putRecord();
            r.LastRecNo = table.recNo();
            ++r.Appended;
        }
    } catch (const std::exception& e) {
        r.Error = QString::fromStdString(e.what());
    }
    if (r.ok()) {
        if (progress)
            progress(total, total);
        return r;
    }
    // Nothing half-imported: what this import appended is marked deleted again (and goes for
    // good with the next "&Rebuild Indexes").
    try {
        table.cancel();
        for (std::uint32_t recno = before + 1; recno <= table.recCount(); ++recno) {
            table.go(recno);
            table.deleteRecord();
        }
        table.goTop();
    } catch (const std::exception& e) {
        if (r.Error.isEmpty())
            r.Error = QString::fromStdString(e.what());
    }
    r.Appended = 0;
    r.LastRecNo = 0;
    return r;
}

QString ImportSummary(int imported, const std::array<int, kSkipReasonCount>& skipped)
{
    QString text = imported == 1 ? QStringLiteral("Imported 1 label stock.")
                                 : QStringLiteral("Imported %1 label stocks.").arg(imported);
    int total = 0;
    for (int n : skipped)
        total += n;
    if (total == 0)
        return text;
    text += QStringLiteral("\n\nSkipped %1:").arg(total);
    for (int i = 1; i < kSkipReasonCount; ++i)
        if (skipped[size_t(i)] > 0)
            text += QStringLiteral("\n%1  %2").arg(skipped[size_t(i)], 5).arg(SkipReasonText(TSkipReason(i)));
    return text;
}

} // namespace sw::library
