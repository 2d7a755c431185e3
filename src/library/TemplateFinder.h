#pragma once
// Find as you type in the template catalogue: every name is read once, in the table's order,
// and a query keeps the templates whose name holds each of its words, ignoring the case of
// a to z ("avery 5160", "70 x 36", "herma").
#include "xbase/Table.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

namespace sw::library {

// The words of a query, folded by UpperAZ.
QStringList FindWords(const QString& query);
// True when the folded name holds every (folded) word.
bool HoldsAll(const QString& folded, const QStringList& words);

class TTemplateFinder {
public:
    // Reads every visible record's name in the table's controlling order; leaves the table at
    // its top.
    void Load(xbase::Table& table);

    int Count() const { return int(entries_.size()); }
    // Every record, in order.
    std::vector<std::uint32_t> All() const;
    // The records whose name holds every word of the query, in order; all for a blank query.
    std::vector<std::uint32_t> Matching(const QString& query) const;
    // The first record whose name equals the text exactly (case counts); 0 when none does.
    std::uint32_t FirstNamed(const QString& name) const;

private:
    struct Entry {
        std::uint32_t RecNo;
        QString Name;
        QString Folded;
    };
    std::vector<Entry> entries_;
};

} // namespace sw::library
