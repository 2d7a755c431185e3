#pragma once

#include "xbase/DbfHeader.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sw::xbase {

// An index key expression: a field name, upper(FIELD), or character terms joined by '+'
// (names and upper in any case, blanks allowed). A lone numeric or date field gives an
// 8-byte binary key that sorts like the value.
class KeyExpr {
public:
    // Throws Error (Usage) naming path when the expression is not understood.
    KeyExpr(std::string_view text, const DbfHeader& header, const std::string& path);

    std::size_t keyLength() const { return length_; }
    // Blank for text keys, NUL for binary ones: the byte keys are padded with.
    char fill() const { return binary_ ? '\0' : ' '; }
    bool binary() const { return binary_; }
    // The key of a record (record points at the delete mark).
    void eval(const char* record, std::string& key) const;
    // Writes the key into out, which has room for keyLength() bytes.
    void eval(const char* record, char* out) const;

private:
    struct Term {
        std::size_t offset, width;
        bool upper;
    };
    std::vector<Term> terms_;
    std::size_t length_ = 0;
    bool binary_ = false;
    FieldType binaryType_ = FieldType::Character;
};

// The 8-byte key of a number: the IEEE bits, big-endian, arranged to sort as the value.
void numericKey(double value, char* out);

}  // namespace sw::xbase
