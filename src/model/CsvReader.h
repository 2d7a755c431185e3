#pragma once
// Comma-separated values as address lists come: a header row naming the fields, then one record
// per row. Fields are separated by a comma, a semicolon or a tab (detected from the header row,
// or given). A field may be quoted with '"'; inside quotes a doubled quote is one quote, and
// delimiters and line breaks are part of the field. Rows end with CR LF, LF or CR. The bytes are
// UTF-8 (with or without a byte-order mark) when they are valid UTF-8, else Windows-1252.
#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

namespace sw {

enum class TCsvDelimiter { Comma, Semicolon, Tab };

char CsvDelimiterChar(TCsvDelimiter d);
// "Comma", "Semicolon", "Tab".
QString CsvDelimiterName(TCsvDelimiter d);

struct TCsvTable {
    QStringList Fields;               // the header row, names trimmed
    std::vector<QStringList> Records; // each as wide as Fields (missing fields are empty)
    TCsvDelimiter Delimiter = TCsvDelimiter::Comma;
    bool Utf8 = true;  // false: the bytes were read as Windows-1252
    int WideRows = 0;  // rows with more fields than the header names (the extra ones are dropped)
};

// The delimiter of the first row outside quotes that occurs most often (comma on a tie or when
// there is none).
TCsvDelimiter DetectCsvDelimiter(const QByteArray& bytes);

// Reads the whole text. delimiter: null to detect. Rows that are empty are skipped. Returns false
// with the problem in error for a quote that is never closed ("a quote opened on line 12 is
// never closed") or a text without a header row.
bool ReadCsv(const QByteArray& bytes, const TCsvDelimiter* delimiter, TCsvTable& out, QString* error);

} // namespace sw
