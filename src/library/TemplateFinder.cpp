#include "library/TemplateFinder.h"
#include "library/TemplateCatalogue.h"


namespace sw::library {

void TTemplateFinder::Load(xbase::Table& table)
{
    entries_.clear();
    entries_.reserve(table.recCount());
    for (table.goTop(); !table.eof(); table.skip(1)) {
        QString name = FieldText(table, "TEMPLATE");
        QString folded = UpperAZ(name);
        entries_.push_back({table.recNo(), std::move(name), std::move(folded)});
    }
    table.goTop();
}

std::vector<std::uint32_t> TTemplateFinder::All() const
{
    std::vector<std::uint32_t> out;
    out.reserve(entries_.size());
    for (const Entry& e : entries_)
        out.push_back(e.RecNo);
    return out;
}

QStringList FindWords(const QString& query)
{
    return UpperAZ(query).simplified().split(u' ', Qt::SkipEmptyParts);
}

bool HoldsAll(const QString& folded, const QStringList& words)
{
    for (const QString& w : words)
        if (!folded.contains(w))
            return false;
    return true;
}

std::vector<std::uint32_t> TTemplateFinder::Matching(const QString& query) const
{
    const QStringList words = FindWords(query);
    if (words.isEmpty())
        return All();
    std::vector<std::uint32_t> out;
    for (const Entry& e : entries_)
        if (HoldsAll(e.Folded, words))
            out.push_back(e.RecNo);
    return out;
}

std::uint32_t TTemplateFinder::FirstNamed(const QString& name) const
{
    for (const Entry& e : entries_)
        if (e.Name == name)
            return e.RecNo;
    return 0;
}

} // namespace sw::library
