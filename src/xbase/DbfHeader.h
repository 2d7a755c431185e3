#pragma once

#include "xbase/Table.h"

#include <cstdint>
#include <string>
#include <vector>

namespace sw::xbase {

class File;

// The fixed header and the field descriptors at the start of a DBF file.
struct DbfHeader {
    std::uint8_t version = 0x03;
    std::uint8_t year = 0, month = 1, day = 1;  // last update; year counts from 1900
    std::uint32_t recordCount = 0;
    std::uint16_t headerSize = 0;
    std::uint16_t recordSize = 0;
    std::uint8_t flags = 0;     // 0x01 structural CDX, 0x02 memo (Visual FoxPro)
    std::uint8_t codepage = 0x03;
    std::vector<FieldDef> fields;
    std::vector<std::uint16_t> offsets;  // of each field inside the record (1: after the mark)
    // Visual FoxPro: each field's bit in the null flags field (-1: the field always has a value),
    // and which field holds those flags (-1: none).
    std::vector<int> nullBits;
    int nullFlags = -1;

    static constexpr std::uint8_t kFlagCdx = 0x01;
    static constexpr std::size_t kCountOffset = 4;
    static constexpr std::size_t kFlagsOffset = 28;

    bool visualFoxPro() const { return version == 0x30 || version == 0x31 || version == 0x32; }
    bool hasMemoField() const;

    // Builds a header for new fields (validated; throws Error of kind Usage naming path).
    static DbfHeader forFields(const std::string& path, const std::vector<FieldDef>& fields);
    // Reads and checks the header of an open file. Sets damage to a description when the
    // record count disagrees with the file size (the count is then cut to what is there).
    static DbfHeader read(const File& file, std::string& damage);
    // The whole header region, headerSize bytes.
    std::string encode() const;
    // Sets the date of last update to today.
    void touch();
};

}  // namespace sw::xbase
