#include "xbase/KeyExpr.h"

#include "xbase/Error.h"

#include <cctype>
#include <charconv>
#include <cstring>

namespace sw::xbase {
namespace {

std::string upperAscii(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    return out;
}

struct Parser {
    std::string_view s;
    std::size_t i = 0;
    void blanks() {
        while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
    }
    std::string word() {
        blanks();
        const std::size_t start = i;
        while (i < s.size() && (std::isalnum(static_cast<unsigned char>(s[i])) || s[i] == '_')) ++i;
        return upperAscii(s.substr(start, i - start));
    }
    bool take(char c) {
        blanks();
        if (i < s.size() && s[i] == c) {
            ++i;
            return true;
        }
        return false;
    }
};

double parseNumber(const char* p, std::size_t n) {
    std::size_t a = 0, b = n;
    while (a < b && p[a] == ' ') ++a;
    while (b > a && p[b - 1] == ' ') --b;
    double v = 0;
    if (a < b) std::from_chars(p + a, p + b, v);
    return v;
}

// Julian day number of a "YYYYMMDD" date, 0 when blank or not a date.
double julian(const char* p) {
    int y = 0, m = 0, d = 0;
    if (std::from_chars(p, p + 4, y).ec != std::errc() || std::from_chars(p + 4, p + 6, m).ec != std::errc() ||
        std::from_chars(p + 6, p + 8, d).ec != std::errc())
        return 0;
    const int a = (14 - m) / 12, yy = y + 4800 - a, mm = m + 12 * a - 3;
    return d + (153 * mm + 2) / 5 + 365 * yy + yy / 4 - yy / 100 + yy / 400 - 32045;
}

}  // namespace

void numericKey(double value, char* out) {
    if (value == 0) value = 0;  // one key for -0 and +0
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    bits = (bits >> 63) ? ~bits : bits | (1ull << 63);
    for (int i = 0; i < 8; ++i) out[i] = static_cast<char>(bits >> (56 - 8 * i));
}

KeyExpr::KeyExpr(std::string_view text, const DbfHeader& header, const std::string& path) {
    const auto bad = [&](const std::string& why) -> Error {
        return Error(Error::Kind::Usage, path, "index expression \"" + std::string(text) + "\": " + why);
    };
    Parser p {text};
    bool anyText = false;
    const auto field = [&](bool upper) {
        const std::string name = p.word();
        if (name.empty()) throw bad("a field name is expected");
        for (std::size_t f = 0; f < header.fields.size(); ++f) {
            if (header.fields[f].name != name) continue;
            const FieldDef& def = header.fields[f];
            if (def.type == FieldType::Memo) throw bad("a memo field cannot be indexed");
            if (def.type != FieldType::Character && def.type != FieldType::Logical && def.type != FieldType::Numeric &&
                def.type != FieldType::Date)
                throw bad("a field of type " + std::string(1, static_cast<char>(def.type)) + " cannot be indexed");
            const bool isText = def.type == FieldType::Character || def.type == FieldType::Logical;
            if (!isText) {
                if (upper) throw bad("upper() needs a character field");
                binary_ = true;
                binaryType_ = def.type;
                length_ = 8;
            } else {
                anyText = true;
                length_ += static_cast<std::size_t>(def.width);
            }
            terms_.push_back({header.offsets[f], static_cast<std::size_t>(def.width), upper});
            return;
        }
        throw bad("the table has no field " + name);
    };
    const auto term = [&](bool upper) {
        const std::size_t save = p.i;
        const std::string w = p.word();
        if (w == "UPPER" && p.take('(')) {
            do field(true);
            while (p.take('+'));
            if (!p.take(')')) throw bad("a closing parenthesis is missing");
        } else {
            p.i = save;
            field(upper);
        }
    };
    do term(false);
    while (p.take('+'));
    p.blanks();
    if (p.i != text.size()) throw bad("unexpected text at position " + std::to_string(p.i + 1));
    if (binary_ && (anyText || terms_.size() != 1)) throw bad("only character fields can be joined with +");
    if (length_ > 240) throw bad("the key is longer than 240 bytes");
}

void KeyExpr::eval(const char* record, char* out) const {
    if (binary_) {
        const Term& t = terms_[0];
        const double v = binaryType_ == FieldType::Date ? julian(record + t.offset)
                                                        : parseNumber(record + t.offset, t.width);
        numericKey(v, out);
        return;
    }
    for (const Term& t : terms_) {
        std::memcpy(out, record + t.offset, t.width);
        if (t.upper)
            for (std::size_t i = 0; i < t.width; ++i)
                if (out[i] >= 'a' && out[i] <= 'z') out[i] = static_cast<char>(out[i] - 32);
        out += t.width;
    }
}

void KeyExpr::eval(const char* record, std::string& key) const {
    key.resize(length_);
    eval(record, key.data());
}

}  // namespace sw::xbase
