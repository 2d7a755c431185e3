#pragma once
// A label's merge source: the address list (a CSV file or an xBase table) whose records fill the
// label, one record per printed label, through {FIELD} names in its texts.
//
// Stored in the label's item text as key lines before the first record, so that every reader
// that does not know them (the design panel's and the print run's) passes over them like any
// unknown key before the first LABELITEM line, and no record or kind is added:
//   MERGEFILE=addresses.csv        the file; relative to the label table's folder when it lies
//                                  there or below, else absolute; read to the end of the line
//   MERGEFORMAT=CSV | XBASE
//   MERGEDELIMITER=COMMA | SEMICOLON | TAB   CSV only, when the user fixed it (else detected)
#include "model/CsvReader.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace sw {

enum class TMergeFormat { Csv, XBase };

struct TMergeSource {
    QString File; // as stored (see above); empty: the label has no merge source
    TMergeFormat Format = TMergeFormat::Csv;
    bool DelimiterFixed = false;
    TCsvDelimiter Delimiter = TCsvDelimiter::Comma;

    bool IsSet() const { return !File.isEmpty(); }
    bool operator==(const TMergeSource&) const = default;
};

// The format a file name suggests: .DBF (any case) an xBase table, anything else CSV.
TMergeFormat MergeFormatOf(const QString& path);

// The key lines for the head of the item text (none without a source).
QStringList MergeSourceLines(const TMergeSource& source);
// The source named by the key lines before the first record; lines other than those keys are
// left alone. Unknown words keep the defaults.
TMergeSource ReadMergeSource(const QStringList& lines);
// The lines without the merge source's key lines.
QStringList WithoutMergeSource(const QStringList& lines);

// How a chosen file is stored: relative to tableDir when it lies there or below, else absolute.
QString StoredMergePath(const QString& file, const QString& tableDir);
// The file a stored path names (a relative one is taken from tableDir).
QString ResolvedMergePath(const QString& stored, const QString& tableDir);

// The fields and records of a source, ready for a run.
struct TMergeData {
    QStringList Fields;
    std::vector<QStringList> Records; // each as wide as Fields
    TCsvDelimiter Delimiter = TCsvDelimiter::Comma; // CSV: the one used
    bool Utf8 = true;                               // CSV: how its bytes were read

    // 0-based, names compared case-insensitively; -1 when the source has no such field.
    int FieldIndex(const QString& name) const;
};

// A text with its {FIELD} names (compared ignoring case) filled from the record; "{{" writes a
// brace. Names the source lacks stay as written.
QString MergeText(const QString& text, const TMergeData& data, const QStringList& record);

// Reads every record of the file at path (already resolved). An xBase table is opened read-only
// and shared, deleted records are skipped, every field is read (memo text included). Returns
// false with the problem in the program's words, naming the file.
bool LoadMergeData(const QString& path, const TMergeSource& source, TMergeData& out, QString* error);

} // namespace sw
