#include "xbase/DbfHeader.h"

#include "xbase/Error.h"
#include "xbase/File.h"

#include <cstring>
#include <ctime>

namespace sw::xbase {

// DBF file header (little-endian):
//   0   1  version: 0x03 no memo, 0xF5 FoxPro with memo, 0x30/0x31 Visual FoxPro
//   1   3  date of last update: year-1900, month, day
//   4   4  record count
//   8   2  header size: this header, the descriptors, the 0x0D terminator and padding
//  10   2  record size: 1 (delete mark ' ' or '*') + the sum of the field widths
//  12  16  reserved (zero)
//  28   1  table flags: 0x01 structural CDX present, 0x02 memo, 0x04 database container
//  29   1  code page mark: 0x03 Windows-1252
//  30   2  reserved
// Field descriptor, 32 bytes each, from offset 32 until a 0x0D byte:
//   0  11  name, upper case, NUL padded
//  11   1  type letter C N F L D M; Visual FoxPro also I Y B T (binary, read only)
//  12   4  offset of the field inside the record (FoxPro; other writers leave 0)
//  16   1  width
//  17   1  decimals
//  18   1  flags (Visual FoxPro): 0x01 hidden system field, 0x02 may be null
//  19  13  reserved
// Visual FoxPro adds a 263-byte database container link after the terminator. Records
// follow at the header size; the file ends with 0x1A.
namespace {

constexpr std::size_t kDescriptor = 32;

std::uint16_t le16(const unsigned char* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
std::uint32_t le32(const unsigned char* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
void put16(char* p, std::uint16_t v) {
    p[0] = static_cast<char>(v);
    p[1] = static_cast<char>(v >> 8);
}
void put32(char* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<char>(v >> (8 * i));
}

bool knownVersion(std::uint8_t v) {
    switch (v) {
    case 0x02: case 0x03: case 0x30: case 0x31: case 0x32: case 0x83: case 0x8B: case 0xCB:
    case 0xF5: case 0xFB:
        return true;
    default:
        return false;
    }
}

// Returns an empty string when the definition is sound, else what is wrong with it.
std::string checkField(const FieldDef& f, bool vfp) {
    if (f.name.empty() || f.name.size() > 10) return "a field name must have 1 to 10 characters";
    for (char c : f.name) {
        const bool ok = (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
        if (!ok) return "field name \"" + f.name + "\" holds a character other than A-Z, 0-9 and _";
    }
    if (f.name[0] >= '0' && f.name[0] <= '9') return "field name \"" + f.name + "\" starts with a digit";
    const std::string w = std::to_string(f.width);
    switch (f.type) {
    case FieldType::Character:
        if (f.width < 1 || f.width > 254 || f.decimals != 0)
            return "character field " + f.name + " has width " + w + " (1 to 254, no decimals)";
        break;
    case FieldType::Numeric:
        if (f.width < 1 || f.width > 20 || f.decimals < 0 ||
            (f.decimals > 0 && f.decimals > f.width - 2))
            return "numeric field " + f.name + " has width " + w + " and " +
                   std::to_string(f.decimals) + " decimals";
        break;
    case FieldType::Logical:
        if (f.width != 1 || f.decimals != 0) return "logical field " + f.name + " must have width 1";
        break;
    case FieldType::Date:
        if (f.width != 8 || f.decimals != 0) return "date field " + f.name + " must have width 8";
        break;
    case FieldType::Memo:
        if ((f.width != 10 && !(vfp && f.width == 4)) || f.decimals != 0)
            return "memo field " + f.name + " must have width 10";
        break;
    case FieldType::Integer:
        if (f.width != 4 || f.decimals != 0) return "integer field " + f.name + " must have width 4";
        break;
    case FieldType::NullFlags:
        if (f.width < 1 || f.width > 32 || f.decimals != 0) return "the null flags field " + f.name + " has width " + w;
        break;
    case FieldType::Currency:
    case FieldType::Double:
    case FieldType::DateTime:
        if (f.width != 8 || f.decimals < 0 || f.decimals > 18)
            return "field " + f.name + " of type " + std::string(1, static_cast<char>(f.type)) + " must have width 8";
        break;
    default:
        return "field " + f.name + " has an unknown type";
    }
    return {};
}

}  // namespace

bool DbfHeader::hasMemoField() const {
    for (const auto& f : fields)
        if (f.type == FieldType::Memo) return true;
    return false;
}

void DbfHeader::touch() {
    const std::time_t now = std::time(nullptr);
    std::tm tm {};
    localtime_r(&now, &tm);
    year = static_cast<std::uint8_t>(tm.tm_year % 256);
    month = static_cast<std::uint8_t>(tm.tm_mon + 1);
    day = static_cast<std::uint8_t>(tm.tm_mday);
}

DbfHeader DbfHeader::forFields(const std::string& path, const std::vector<FieldDef>& defs) {
    if (defs.empty()) throw Error(Error::Kind::Usage, path, "a table needs at least one field");
    if (defs.size() > 255) throw Error(Error::Kind::Usage, path, "a table holds at most 255 fields");
    DbfHeader h;
    std::size_t recordSize = 1;
    for (FieldDef f : defs) {
        for (char& c : f.name)
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
        if (f.type == FieldType::Logical) f.width = 1;
        if (f.type == FieldType::Date) f.width = 8;
        if (f.type == FieldType::Memo) f.width = 10;
        if (f.type != FieldType::Character && f.type != FieldType::Numeric && f.type != FieldType::Logical &&
            f.type != FieldType::Date && f.type != FieldType::Memo)
            throw Error(Error::Kind::Usage, path, "field " + f.name + ": a field of type " +
                                                      std::string(1, static_cast<char>(f.type)) + " is only read, never created");
        if (const std::string bad = checkField(f, false); !bad.empty())
            throw Error(Error::Kind::Usage, path, bad);
        for (const auto& g : h.fields)
            if (g.name == f.name) throw Error(Error::Kind::Usage, path, "field " + f.name + " is defined twice");
        h.offsets.push_back(static_cast<std::uint16_t>(recordSize));
        recordSize += static_cast<std::size_t>(f.width);
        h.fields.push_back(f);
    }
    if (recordSize > 65535) throw Error(Error::Kind::Usage, path, "the record is longer than 65535 bytes");
    h.version = h.hasMemoField() ? 0xF5 : 0x03;
    h.recordSize = static_cast<std::uint16_t>(recordSize);
    h.headerSize = static_cast<std::uint16_t>(32 + kDescriptor * h.fields.size() + 2);
    h.touch();
    return h;
}

DbfHeader DbfHeader::read(const File& file, std::string& damage) {
    const std::string& path = file.path();
    const std::uint64_t fileSize = file.size();
    unsigned char fixed[32];
    if (fileSize < 32) throw Error(Error::Kind::Damaged, path, "too short to be a table (" + std::to_string(fileSize) + " bytes)");
    file.readAt(0, fixed, sizeof fixed);
    DbfHeader h;
    h.version = fixed[0];
    if (!knownVersion(h.version))
        throw Error(Error::Kind::Damaged, path, "not an xBase table (version byte " + std::to_string(h.version) + ")");
    h.year = fixed[1];
    h.month = fixed[2];
    h.day = fixed[3];
    h.recordCount = le32(fixed + 4);
    h.headerSize = le16(fixed + 8);
    h.recordSize = le16(fixed + 10);
    h.flags = fixed[28];
    h.codepage = fixed[29];
    if (h.headerSize < 32 + kDescriptor + 1 || h.headerSize > fileSize)
        throw Error(Error::Kind::Damaged, path, "the header size " + std::to_string(h.headerSize) + " is impossible");
    std::string desc(h.headerSize - 32, '\0');
    file.readAt(32, desc.data(), desc.size());
    const bool vfp = h.visualFoxPro();
    int nullable = 0;
    std::size_t pos = 0;
    std::size_t recordSize = 1;
    while (true) {
        if (pos >= desc.size()) throw Error(Error::Kind::Damaged, path, "the field list has no end mark");
        if (desc[pos] == '\x0D') break;
        if (pos + kDescriptor > desc.size()) throw Error(Error::Kind::Damaged, path, "the field list runs past the header");
        const auto* d = reinterpret_cast<const unsigned char*>(desc.data() + pos);
        FieldDef f;
        std::size_t n = 0;
        while (n < 11 && d[n] != 0) ++n;
        f.name.assign(reinterpret_cast<const char*>(d), n);
        for (char& c : f.name)
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
        const char type = static_cast<char>(d[11]);
        f.width = d[16];
        f.decimals = d[17];
        switch (type) {
        case 'C': f.type = FieldType::Character; break;
        case 'N': case 'F': f.type = FieldType::Numeric; break;
        case 'L': f.type = FieldType::Logical; break;
        case 'D': f.type = FieldType::Date; break;
        case 'M': f.type = FieldType::Memo; break;
        case 'I': f.type = FieldType::Integer; break;
        case 'Y': f.type = FieldType::Currency; break;
        case 'B': f.type = FieldType::Double; break;
        case 'T': f.type = FieldType::DateTime; break;
        case '0': f.type = FieldType::NullFlags; break;
        default:
            throw Error(Error::Kind::Damaged, path, "field " + std::to_string(h.fields.size() + 1) +
                                                        " has the unknown type byte " + std::to_string(d[11]));
        }
        // Clipper-style long character fields keep the high byte of the width in decimals.
        if (f.type == FieldType::Character && f.decimals != 0 && !vfp) {
            f.width += f.decimals * 256;
            f.decimals = 0;
        }
        if (const std::string bad = checkField(f, vfp); !bad.empty() &&
            !(f.type == FieldType::Character && f.width > 254 && f.width < 65535 && !f.name.empty()))
            throw Error(Error::Kind::Damaged, path, bad);
        h.offsets.push_back(static_cast<std::uint16_t>(recordSize));
        recordSize += static_cast<std::size_t>(f.width);
        if (f.type == FieldType::NullFlags && h.nullFlags < 0) h.nullFlags = static_cast<int>(h.fields.size());
        h.nullBits.push_back(vfp && (d[18] & 0x02) != 0 && f.type != FieldType::NullFlags ? nullable++ : -1);
        h.fields.push_back(f);
        pos += kDescriptor;
        if (h.fields.size() > 255) throw Error(Error::Kind::Damaged, path, "more than 255 fields");
    }
    if (h.fields.empty()) throw Error(Error::Kind::Damaged, path, "the table has no fields");
    // A bit the flags field has no room for, or flags without their field, mean "never null".
    for (int& bit : h.nullBits)
        if (h.nullFlags < 0 || bit >= 8 * h.fields[static_cast<std::size_t>(h.nullFlags)].width) bit = -1;
    if (recordSize != h.recordSize)
        throw Error(Error::Kind::Damaged, path, "the record size " + std::to_string(h.recordSize) +
                                                    " does not match the fields (" + std::to_string(recordSize) + ")");
    const std::uint64_t room = (fileSize - h.headerSize) / h.recordSize;
    if (h.recordCount > room) {
        damage = "the header counts " + std::to_string(h.recordCount) + " records but the file holds " +
                 std::to_string(room);
        h.recordCount = static_cast<std::uint32_t>(room);
    }
    return h;
}

std::string DbfHeader::encode() const {
    std::string out(headerSize, '\0');
    out[0] = static_cast<char>(version);
    out[1] = static_cast<char>(year);
    out[2] = static_cast<char>(month);
    out[3] = static_cast<char>(day);
    put32(out.data() + 4, recordCount);
    put16(out.data() + 8, headerSize);
    put16(out.data() + 10, recordSize);
    out[28] = static_cast<char>(flags);
    out[29] = static_cast<char>(codepage);
    std::size_t pos = 32;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const FieldDef& f = fields[i];
        std::memcpy(out.data() + pos, f.name.data(), f.name.size());
        out[pos + 11] = static_cast<char>(f.type);
        put32(out.data() + pos + 12, offsets[i]);
        int width = f.width, decimals = f.decimals;
        if (f.type == FieldType::Character && width > 255) {
            decimals = width / 256;
            width %= 256;
        }
        out[pos + 16] = static_cast<char>(width);
        out[pos + 17] = static_cast<char>(decimals);
        pos += kDescriptor;
    }
    out[pos] = '\x0D';
    return out;
}

}  // namespace sw::xbase
