#pragma once

// The xBase table engine: FoxPro-compatible DBF tables with a structural compound CDX index
// and an FPT memo file. Tables of dBase III and IV (and of Clipper and Harbour) with a DBT memo
// file are read too, never written.
//
// Text crosses this interface as UTF-8; the files hold Windows-1252 (code page mark 0x03).
// Text that Windows-1252 cannot hold is refused with an Error of kind Encoding.
//
// Record numbers are 1-based. A table has one current record; the put* calls change a
// buffer of that record, and putRecord() posts it (memo blocks, then the record, then the
// header, then every index tag). Moving to another record, appending or closing posts a
// pending change first, as xBase engines do.

#include "xbase/Error.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace sw::xbase {

enum class FieldType : char {
    Character = 'C',
    Numeric = 'N',
    Logical = 'L',
    Date = 'D',
    Memo = 'M',
    // Binary fields of Visual FoxPro tables: read (as text), never written or created.
    Integer = 'I',   // 4 bytes, signed
    Currency = 'Y',  // 8 bytes, signed, in ten-thousandths
    Double = 'B',    // 8 bytes, IEEE
    DateTime = 'T',  // 4 bytes Julian day, 4 bytes milliseconds since midnight
    NullFlags = '0', // _NULLFLAGS, a hidden field: one bit per field that may hold no value
};

struct FieldDef {
    std::string name;  // at most 10 characters, letters, digits and '_'; stored upper case
    FieldType type = FieldType::Character;
    int width = 0;     // C: 1..254, N: 1..20; L, D and M have fixed widths (1, 8, 10), as do I, Y, B, T
    int decimals = 0;  // N only: 0..width-2 when non-zero (B: the digits shown)
};

enum class OpenMode {
    Shared,     // others may open the table shared or read-only at the same time; changes
                // (and index work) need Exclusive
    ReadOnly,   // nothing is written; others may read too
    Exclusive,  // an OS lock keeps every other process out until close
};

// Whether the structural index is opened with the table. A reader in record order may leave it
// closed (ReadOnly only): a table whose tags this engine cannot keep (a condition, descending
// order, functions other than upper()) then reads as well.
enum class IndexUse { Open, Closed };

// What check() found. Empty problems means the table and every tag are sound.
struct CheckResult {
    std::uint32_t records = 0;
    std::vector<std::string> problems;
    bool ok() const { return problems.empty(); }
};

class Table {
public:
    // Writes a new empty table: version 0xF5 with a memo file (NAME.FPT, block size 64) when a
    // field is of type M, 0x03 without. Refuses to overwrite an existing file.
    static void create(const std::string& path, const std::vector<FieldDef>& fields);

    // Opens the table and, when present, its structural index NAME.CDX and memo file NAME.FPT
    // or, for a dBase table, NAME.DBT (either case of extension). A table with a DBT memo file
    // opens ReadOnly or Shared only (Usage otherwise). Throws Error on failure (kind Locked
    // when another process holds the table).
    explicit Table(const std::string& path, OpenMode mode = OpenMode::Exclusive, IndexUse index = IndexUse::Open);
    ~Table();
    Table(Table&&) noexcept;
    Table& operator=(Table&&) noexcept;
    Table(const Table&) = delete;
    Table& operator=(const Table&) = delete;

    // Posts a pending change, writes everything out and releases the files and the lock.
    // The destructor does the same but swallows errors; call close() to see them.
    void close();
    bool isOpen() const;

    const std::string& path() const;
    OpenMode mode() const;

    // --- Structure ---
    const std::vector<FieldDef>& fields() const;
    int fieldIndex(std::string_view name) const;  // 0-based; -1 when there is no such field
    bool hasMemoFile() const;
    // The code page mark of the header (0x03 Windows-1252; 0x01 and 0x02 the DOS code pages 437
    // and 850 that Clipper and dBase tables hold; 0 when the writer left none). Text crosses this
    // interface as Windows-1252 whatever it says; a caller may read the raw bytes by it.
    std::uint8_t codepage() const;

    // --- Deleted switch ---
    // On: records marked deleted are skipped by every move. Off (the default): visible.
    void setDeleted(bool skipDeleted);
    bool deletedSkipped() const;

    // --- Index tags of the structural CDX (orders are 1-based; 0 is record-number order) ---
    // Creates the tag, replacing one of the same name, from the key expression: a field name
    // or upper(FIELD), optionally joined by '+'. Ascending, non-unique, no condition.
    // The new tag becomes the controlling order and the table goes to its top. Returns the order.
    int indexTag(const std::string& tag, const std::string& expression);
    int tagArea(std::string_view tag) const;  // 0 when there is no such tag
    void setOrder(int order);
    int indexOrd() const;
    std::vector<std::string> tagNames() const;  // in order, tag 1 first
    std::string tagExpression(int order) const;
    // Path of the structural index file, empty when none is open.
    std::string indexName() const;
    // Closes the structural index (the table then runs in record order and clears its
    // structural-index flag), so that the caller may delete the file.
    void closeIndexes();

    // --- Moves (in the controlling order) ---
    void goTop();
    void goBottom();
    void skip(std::int64_t count = 1);
    void go(std::uint32_t recno);
    // Positions at the first key >= key in the controlling order (key as text, UTF-8; the
    // tag's expression is not applied, so pass upper-case text for an upper() tag).
    // Returns true when that key starts with the given text. Needs a controlling tag.
    bool seek(std::string_view key);
    bool eof() const;
    bool bof() const;
    // The current record number; recCount()+1 when there is no current record (at eof).
    std::uint32_t recNo() const;
    std::uint32_t recCount() const;

    // --- Reading the current record ---
    // C: trailing blanks removed. N: the digits as stored, trimmed, with a point ("" when
    // blank). L: "T", "F" or "" when blank. D: "YYYYMMDD" or "". M: the memo text.
    // I: the integer. Y: the amount with four decimals. B: the number with the field's decimals,
    // or in its shortest form (2.5, 1e+300) when it has none. T: "YYYYMMDDhhmmss" or "".
    // A field whose null flag is set (Visual FoxPro) and the null flags themselves give "".
    std::string getString(std::string_view field) const;
    std::string getTrimString(std::string_view field) const;  // also leading blanks removed
    double getNumber(std::string_view field) const;            // N, I, Y, B; blank reads as 0
    bool getLogical(std::string_view field) const;             // T, t, Y, y are true
    std::string getMemo(std::string_view field) const;
    bool isBlank(std::string_view field) const;
    bool deleted() const;
    // The field's bytes as stored (no transcoding, no trimming; M gives the memo's bytes).
    std::string getRaw(std::string_view field) const;

    // --- Writing ---
    // A table with fields of types I, Y, B, T or null flags is only read: every change is refused.
    // Starts a new blank record at recCount()+1 and makes it current; written by putRecord().
    void appendBlank();
    // C: cut nowhere, refused when longer than the field. N: a number with a point, or "".
    // L: "T"/"F"/"Y"/"N"/"". D: "YYYYMMDD" or "". M: the memo text.
    void putString(std::string_view field, std::string_view value);
    // Right-aligned in the width with the field's decimals (rounded); refused if it does not fit.
    void putNumber(std::string_view field, double value);
    void putLogical(std::string_view field, bool value);
    void putMemo(std::string_view field, std::string_view text);
    // Stores the bytes as they are (no transcoding); padded or refused like putString.
    void putRaw(std::string_view field, std::string_view bytes);
    // Posts the current record's pending changes (a no-op when nothing is pending).
    void putRecord();
    // Drops the pending changes of the current record (a pending append disappears).
    void cancel();

    void deleteRecord();  // marks the current record deleted (written at once)
    void recall();        // removes the mark

    // --- Maintenance ---
    // Removes deleted records, rewrites the memo file without dead blocks and rebuilds every
    // tag. Needs Exclusive mode. The table goes to its top.
    void pack();
    // Rebuilds every tag of the structural index from the table.
    void reindex();
    // Verifies header, fields, memo pointers and that every tag holds each record exactly once
    // in key order. Posts a pending change first; changes nothing else.
    CheckResult check() const;
    // Writes buffered data to the files (the OS may still hold it).
    void flush();

    struct Impl;

private:
    std::unique_ptr<Impl> d_;
};

}  // namespace sw::xbase
