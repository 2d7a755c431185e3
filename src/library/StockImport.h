#pragma once
// Label stocks from template files into the catalogue as user templates. Reading and choosing
// are separate from writing, so that the import dialog can list what the files hold and the
// command-line import can take all of it.
#include "library/StockFile.h"
#include "library/TemplateCatalogue.h"

#include <QSet>
#include <QStringList>
#include <array>
#include <functional>
#include <vector>

namespace sw::library {

// Why a stock cannot go into the catalogue. None: it can.
enum class TSkipReason {
    None,
    SeveralLayouts,
    CdDvd,
    Continuous,
    OtherOutline,
    NoLayout,
    TooMany,
    TooSmall,
    Overlapping,
    OutOfRange,
    UnknownEquivalent,
    AlreadyThere,
    Count_
};
inline constexpr int kSkipReasonCount = int(TSkipReason::Count_);
// The reason as the summary shows it ("several layouts on one sheet").
QString SkipReasonText(TSkipReason reason);

struct TStockCandidate {
    TTemplateValues Values;  // name and geometry as they would be stored, USERDEF true
    TSkipReason Skip = TSkipReason::None;
    QString File;
    int Line = 0;
};

// Told how far a long piece of work has come; returning false stops it.
using TProgress = std::function<bool(int done, int total)>;

struct TStockSet {
    std::vector<TStockCandidate> Stocks;  // every template of every file, file by file
    QString Error;                        // set: a file could not be read, and Stocks is empty
    bool Stopped = false;                 // the progress callback stopped the reading
};

// The template files a list of paths stands for: files as given, and from each folder its
// "*-templates.xml" and "*.template" files, by name.
QStringList StockFiles(const QStringList& paths);

// Reads every file and turns each template into a candidate: equivalents take the geometry of
// the stock they name (in any of the files), and what the catalogue cannot hold is marked
// with its reason. existing holds the catalogue's names folded by UpperAZ; a name met twice
// is taken once.
TStockSet ReadStocks(const QStringList& files, const QSet<QString>& existing, const TProgress& progress = {});

// The candidates of templates already read, each with the file it came from.
struct TReadTemplate {
    TStockTemplate Template;
    QString File;
};
std::vector<TStockCandidate> MakeCandidates(const std::vector<TReadTemplate>& all, const QSet<QString>& existing);

// Every name in the catalogue, folded by UpperAZ. Leaves the table at its top.
QSet<QString> CatalogueNames(xbase::Table& table);

// Appends the values as user templates, all or none: when a write fails or the progress
// callback stops it, the records already appended are marked deleted again and the error
// (empty when stopped) is returned. Returns the record number of the last one appended.
struct TAppendResult {
    int Appended = 0;
    std::uint32_t LastRecNo = 0;
    QString Error;
    bool Stopped = false;
    bool ok() const { return Error.isEmpty() && !Stopped; }
};
TAppendResult AppendStocks(xbase::Table& table, const std::vector<TTemplateValues>& stocks,
                           const TProgress& progress = {});

// "Imported 3 label stocks." followed by the skipped stocks counted by reason.
QString ImportSummary(int imported, const std::array<int, kSkipReasonCount>& skipped);

} // namespace sw::library
