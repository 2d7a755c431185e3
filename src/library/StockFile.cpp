#include "library/StockFile.h"

#include <QFile>
#include <QXmlStreamReader>
#include <cmath>

namespace sw::library {

namespace {

constexpr qint64 kLargestFile = 64 * 1024 * 1024;

// A fault in the file: reading stops and the file gives no templates.
struct Fault {
    QString Message;
};

std::optional<double> InchesPer(QStringView unit)
{
    if (unit.isEmpty() || unit == u"pt")
        return 1.0 / 72.0;
    if (unit == u"in")
        return 1.0;
    if (unit == u"mm")
        return 1.0 / 25.4;
    if (unit == u"cm")
        return 1.0 / 2.54;
    if (unit == u"pc")
        return 12.0 / 72.0;
    return std::nullopt;
}

class Reader {
public:
    Reader(const QByteArray& bytes, const QString& fileName) : xml_(bytes), file_(fileName) {}

    std::vector<TStockTemplate> Read()
    {
        if (!xml_.readNextStartElement()) {
            if (xml_.hasError())
                throw Malformed();
            throw Fault{QStringLiteral("%1 is not a file of label templates").arg(file_)};
        }
        if (xml_.name() != u"Glabels-templates")
            throw Fault{QStringLiteral("%1 is not a file of label templates (it holds \"%2\")")
                            .arg(file_, xml_.name().toString().left(40))};
        std::vector<TStockTemplate> out;
        while (xml_.readNextStartElement()) {
            if (xml_.name() == u"Template")
                out.push_back(Template());
            else
                xml_.skipCurrentElement();
        }
        // Whatever follows the root element must be well-formed too.
        while (!xml_.atEnd())
            xml_.readNext();
        if (xml_.hasError())
            throw Malformed();
        return out;
    }

private:
    Fault Malformed() const
    {
        return Fault{QStringLiteral("%1, line %2: the XML is malformed (%3)")
                         .arg(file_)
                         .arg(xml_.lineNumber())
                         .arg(xml_.errorString())};
    }

    QString Here() const { return QStringLiteral("%1, line %2").arg(file_).arg(xml_.lineNumber()); }

    QString Text(const char* name) const
    {
        return xml_.attributes().value(QLatin1String(name)).toString().simplified();
    }

    bool Has(const char* name) const { return xml_.attributes().hasAttribute(QLatin1String(name)); }

    double Length(const char* name, QString* unit = nullptr) const
    {
        const QStringView element = xml_.name();
        if (!Has(name))
            throw Fault{QStringLiteral("%1: <%2> has no %3").arg(Here(), element.toString(), QLatin1String(name))};
        const QString text = Text(name);
        bool unknownUnit = false;
        const auto inches = LengthInInches(text, unit, &unknownUnit);
        if (unknownUnit)
            throw Fault{QStringLiteral("%1: unknown unit in %2=\"%3\"").arg(Here(), QLatin1String(name), text.left(40))};
        if (!inches)
            throw Fault{QStringLiteral("%1: %2=\"%3\" is not a length").arg(Here(), QLatin1String(name), text.left(40))};
        return *inches;
    }

    double OptionalLength(const char* name) const { return Has(name) ? Length(name) : 0.0; }

    int Count(const char* name) const
    {
        bool ok = false;
        const int n = Text(name).toInt(&ok);
        if (!ok)
            throw Fault{QStringLiteral("%1: %2=\"%3\" is not a whole number")
                            .arg(Here(), QLatin1String(name), Text(name).left(40))};
        return n;
    }

    TStockTemplate Template()
    {
        TStockTemplate t;
        t.Line = int(xml_.lineNumber());
        t.Brand = Text("brand");
        t.Part = Text("part");
        // Older files name a stock in one attribute ("Avery 5160").
        if (t.Brand.isEmpty() && t.Part.isEmpty())
            t.Part = Text("name");
        t.Description = Has("_description") ? Text("_description") : Text("description");
        t.Paper = Text("size");
        t.Equiv = Text("equiv");
        while (xml_.readNextStartElement()) {
            if (xml_.name().startsWith(u"Label-"))
                t.Frames.push_back(Frame());
            else
                xml_.skipCurrentElement();
        }
        return t;
    }

    TStockTemplate::Frame Frame()
    {
        TStockTemplate::Frame f;
        const QStringView kind = xml_.name();
        if (kind == u"Label-rectangle") {
            f.Width = Length("width", &f.Unit);
            f.Height = Length("height");
            f.Outline = Has("round") && Length("round") > 0 ? TStockOutline::RoundRect : TStockOutline::Rectangle;
        } else if (kind == u"Label-round") {
            f.Width = f.Height = 2 * Length("radius", &f.Unit);
            f.Outline = TStockOutline::Round;
        } else if (kind == u"Label-ellipse") {
            f.Width = Length("width", &f.Unit);
            f.Height = Length("height");
            f.Outline = TStockOutline::Ellipse;
        } else if (kind == u"Label-cd") {
            if (Has("radius"))
                f.Width = f.Height = 2 * Length("radius", &f.Unit);
            f.Outline = TStockOutline::Cd;
        } else if (kind == u"Label-continuous") {
            f.Outline = TStockOutline::Continuous;
        }
        while (xml_.readNextStartElement()) {
            if (xml_.name() == u"Layout") {
                TStockLayout l;
                l.Across = Count("nx");
                l.Down = Count("ny");
                l.Left = OptionalLength("x0");
                l.Top = OptionalLength("y0");
                l.HorizPitch = OptionalLength("dx");
                l.VertPitch = OptionalLength("dy");
                f.Layouts.push_back(l);
            }
            xml_.skipCurrentElement();
        }
        return f;
    }

    QXmlStreamReader xml_;
    QString file_;
};

} // namespace

std::optional<double> LengthInInches(QStringView text, QString* unit, bool* unknownUnit)
{
    text = text.trimmed();
    qsizetype split = text.size();
    while (split > 0 && text.at(split - 1).isLetter())
        --split;
    const QStringView number = text.left(split).trimmed();
    const QStringView suffix = text.mid(split);
    const auto per = InchesPer(suffix);
    if (!per) {
        if (unknownUnit)
            *unknownUnit = !number.isEmpty();
        return std::nullopt;
    }
    // A unit without a number (round="in" in the installed files) is 0, as the files' own
    // reader takes it.
    bool ok = number.isEmpty();
    const double value = ok ? 0.0 : number.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    if (unit)
        *unit = suffix.isEmpty() ? QStringLiteral("pt") : suffix.toString();
    return value * *per;
}

TStockFile ReadStockFile(const QByteArray& bytes, const QString& fileName)
{
    TStockFile out;
    try {
        out.Templates = Reader(bytes, fileName).Read();
    } catch (const Fault& f) {
        out.Templates.clear();
        out.Error = f.Message;
    }
    return out;
}

TStockFile ReadStockFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        TStockFile out;
        out.Error = QStringLiteral("%1 could not be read: %2").arg(path, file.errorString());
        return out;
    }
    if (file.size() > kLargestFile) {
        TStockFile out;
        out.Error = QStringLiteral("%1 is too large to be a file of label templates").arg(path);
        return out;
    }
    return ReadStockFile(file.readAll(), path);
}

} // namespace sw::library
