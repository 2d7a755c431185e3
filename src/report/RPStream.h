#pragma once
// The report stream's primitives and records: a buffered writer, and a reader that checks every
// length and count against the bytes that are there before it uses them.
//
// Primitives, little-endian, no padding:
//   byte 1 | int16 2 | int32 4 | single 4 (IEEE 754) | text 1+n (length byte, n bytes)
//   point 8 (single X, single Y, inches from the paper's corner, origin added)
//   rect 16 (two points) | graphic 1+4+n (kind byte: 1 bitmap, 2 metafile, 3 icon, 4 other;
//   int32 n; the picture's own bytes: BMP file bytes or placeable WMF bytes)
//
// Job header: 89, page count h, first page h, last page h, page width s, page height s,
// 4 offsets s, orientation b, paper bin h, collate b, duplex b, copies h, paper code h,
// paper width h, paper length h, printer name t.
// Page record: 80, previous page i, next page i, page number h, page width s, page height s.
// The operands of every other record are listed in the record table of RPStream.cpp.
#include "model/Picture.h"
#include "report/RPBase.h"

#include <QByteArray>
#include <QPointF>
#include <QString>
#include <cstdint>
#include <vector>

class QIODevice;

namespace sw {

namespace rps {
// The record's name in dumps; nullptr for a code that is not a record.
const char* CodeName(int code);

constexpr int kHeaderPageCountPos = 1; // int16 right after the header's code byte
constexpr int kPageNextLinkOffset = 5; // from the page record's code byte
constexpr int kPageRecordSize = 1 + 4 + 4 + 2 + 4 + 4;
} // namespace rps

// Text bytes of a stream: Latin-1 when every character fits, UTF-8 otherwise; at most 255
// bytes, cut on a character boundary.
QByteArray EncodeStreamText(const QString& text);
QString DecodeStreamText(const QByteArray& bytes);

// Writes primitives through a 16 KB buffer. Position() counts buffered bytes.
class TStreamWriter {
public:
    static constexpr int kBufferSize = 16 * 1024;
    explicit TStreamWriter(QIODevice& device);

    void Byte(int v);
    void Int16(int v);
    void Int32(std::int32_t v);
    void Single(double v);
    void Text(const QString& text);
    void Point(const QPointF& p);
    void Rect(const InchRect& r);
    void Graphic(const Picture& picture);
    void Bytes(const char* data, qint64 size);

    qint64 Position() const { return base_ + qint64(buffer_.size()); }
    void Flush();
    // Overwrites an int16 or int32 written earlier; flushes first and returns to the end.
    void PatchInt16(qint64 pos, int v);
    void PatchInt32(qint64 pos, std::int32_t v);

private:
    void Patch(qint64 pos, const char* data, int size);
    void WriteOut(const char* data, qint64 size);

    QIODevice& device_;
    QByteArray buffer_;
    qint64 base_ = 0; // device position of the buffer's first byte
};

// One record as read: its operands in order, by kind.
struct TStreamRecord {
    rps::Code code{};
    qint64 offset = 0;
    std::vector<double> nums;       // bytes, int16, int32 and singles in order
    std::vector<QPointF> points;    // points, rect corners, polygon points in order
    QString text;
    int graphicKind = 0;            // 0 when the record carries no graphic
    QByteArray graphic;
    QByteArray data;                // pass-through data of record 31
    void Clear();
};

// Reads records from the bytes of a whole stream.
class TStreamReader {
public:
    explicit TStreamReader(QByteArray bytes);

    qint64 Size() const { return bytes_.size(); }
    qint64 Position() const { return pos_; }
    void Seek(qint64 pos); // checked: inside the stream
    bool AtEnd() const { return pos_ >= bytes_.size(); }

    // Reads the record at the position; a code outside the tables raises the engine's
    // "Unexpected code" error, damaged operands a message that says where.
    void Read(TStreamRecord& record);
    // Reads the record at the position and requires the code.
    void ReadExpecting(rps::Code code, TStreamRecord& record);

    // Kind letter and name of every operand of a record, for dumps: b byte, h int16, i int32,
    // s single, t text, p point, r rect, g graphic, f flag and graphic, P points, D data.
    static std::vector<std::pair<char, const char*>> Operands(int code);

private:
    [[noreturn]] void Damaged(const char* what) const;
    void Need(qint64 n, const char* what) const;
    int U8();
    int I16();
    std::int32_t I32();
    double F32();

    QByteArray bytes_;
    qint64 pos_ = 0;
    qint64 recordStart_ = 0;
};

} // namespace sw
