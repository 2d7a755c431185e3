#pragma once
// A player for placeable Windows metafiles: the records drawing programs write for clip-art
// (pens, brushes, fonts, polygons, polylines, lines, rectangles, round rectangles, ellipses,
// arcs, pies, chords, text, device-independent bitmaps, window origin and extent), replayed
// onto any QPainter. Records it does not draw are skipped; object
// creations it does not know still take their slot so later selections stay right.
//
// Placeable header (22 bytes, little-endian):
//   0 u32 key 0x9AC6CDD7 | 4 u16 handle | 6 i16 left, top, right, bottom | 14 u16 units per inch
//   16 u32 reserved | 20 u16 checksum (XOR of the ten words before it)
// Metafile header (18 bytes): u16 type (1 memory, 2 disk), u16 header words (9), u16 version,
//   u32 size in words, u16 object count, u32 largest record in words, u16 unused.
// Record: u32 size in words (header included, at least 3), u16 function, then parameters as
//   16-bit words; function 0 ends the metafile.
#include <QByteArray>
#include <QImage>
#include <QRect>
#include <QRectF>
#include <QString>
#include <QTransform>
#include <cstdint>
#include <vector>

class QPainter;

namespace sw {

class Metafile {
public:
    // Validates the whole file; false with a reason when it cannot be played safely.
    bool Parse(const QByteArray& bytes, QString* error);

    // The placeable bounding box in metafile units, and how many of those make an inch.
    QRect Bounds() const { return bounds_; }
    int UnitsPerInch() const { return inch_; }

    // Plays the records with the bounding box mapped onto target. A target the device cannot
    // hold (see DrawableExtent) draws nothing; records asking for glyphs, pens or points
    // beyond what a device draws are skipped and the rest still drawn.
    void Play(QPainter& painter, const QRectF& target) const;

    // Whether a picture drawn into target through the device transform stays within sizes
    // a device can draw: a few ten thousand pixels across, its corners within reach.
    static bool DrawableExtent(const QTransform& device, const QRectF& target);

private:
    struct Record {
        std::uint16_t function = 0;
        std::vector<std::int16_t> params;
        QImage image;  // the decoded bitmap of a bitmap record
    };
    QRect bounds_;
    int inch_ = 1440;
    int objects_ = 0;
    std::vector<Record> records_;
};

} // namespace sw
