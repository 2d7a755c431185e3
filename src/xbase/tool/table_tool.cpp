// stickwell-table: create, fill, list, check and mend xBase tables from the command line.
// The dump format is read by scripts: keep it stable.

#include "xbase/Record.h"
#include "xbase/Table.h"

#include <charconv>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

using namespace sw::xbase;

namespace {

const char* const kUsage =
    "usage: stickwell-table create TABLE.DBF NAME:TYPE:WIDTH:DECIMALS ...\n"
    "       stickwell-table index TABLE.DBF TAG EXPRESSION\n"
    "       stickwell-table import TABLE.DBF ROWS.tsv\n"
    "       stickwell-table dump TABLE.DBF [--tag TAG] [--deleted]\n"
    "       stickwell-table delete TABLE.DBF RECNO...\n"
    "       stickwell-table pack TABLE.DBF\n"
    "       stickwell-table reindex TABLE.DBF\n"
    "       stickwell-table check TABLE.DBF\n";

struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

void escapeInto(std::string& out, std::string_view s) {
    for (char c : s) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '\t': out += "\\t"; break;
        case '\r': out += "\\r"; break;
        case '\n': out += "\\n"; break;
        default: out += c;
        }
    }
}

std::string unescape(std::string_view s, std::size_t line) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '\\') {
            out += s[i];
            continue;
        }
        if (++i == s.size()) throw UsageError("line " + std::to_string(line) + ": a lone \\ at the end of a value");
        switch (s[i]) {
        case '\\': out += '\\'; break;
        case 't': out += '\t'; break;
        case 'r': out += '\r'; break;
        case 'n': out += '\n'; break;
        default: throw UsageError("line " + std::to_string(line) + ": unknown escape \\" + std::string(1, s[i]));
        }
    }
    return out;
}

std::vector<std::string_view> splitTabs(std::string_view line) {
    std::vector<std::string_view> cols;
    std::size_t start = 0;
    while (true) {
        const std::size_t tab = line.find('\t', start);
        cols.push_back(line.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start));
        if (tab == std::string_view::npos) return cols;
        start = tab + 1;
    }
}

int toInt(std::string_view s, const std::string& what) {
    int v = 0;
    const auto r = std::from_chars(s.data(), s.data() + s.size(), v);
    if (s.empty() || r.ec != std::errc() || r.ptr != s.data() + s.size())
        throw UsageError(what + ": \"" + std::string(s) + "\" is not a whole number");
    return v;
}

int cmdCreate(const std::vector<std::string>& args) {
    if (args.size() < 2) throw UsageError("create needs a table and at least one field");
    std::vector<FieldDef> fields;
    for (std::size_t i = 1; i < args.size(); ++i) {
        std::vector<std::string_view> parts;
        std::string_view text = args[i];
        for (std::size_t start = 0;;) {
            const std::size_t colon = text.find(':', start);
            parts.push_back(text.substr(start, colon == std::string_view::npos ? std::string_view::npos : colon - start));
            if (colon == std::string_view::npos) break;
            start = colon + 1;
        }
        if (parts.size() < 2 || parts.size() > 4 || parts[1].size() != 1)
            throw UsageError("field \"" + args[i] + "\": write NAME:TYPE:WIDTH:DECIMALS");
        FieldDef f;
        f.name = std::string(parts[0]);
        const char t = static_cast<char>(std::toupper(static_cast<unsigned char>(parts[1][0])));
        if (std::string_view("CNLDM").find(t) == std::string_view::npos)
            throw UsageError("field \"" + args[i] + "\": the type is one of C, N, L, D, M");
        f.type = static_cast<FieldType>(t);
        if (parts.size() > 2) f.width = toInt(parts[2], "field " + f.name + " width");
        if (parts.size() > 3) f.decimals = toInt(parts[3], "field " + f.name + " decimals");
        if ((t == 'C' || t == 'N') && parts.size() < 3) throw UsageError("field " + f.name + " needs a width");
        fields.push_back(f);
    }
    Table::create(args[0], fields);
    return 0;
}

int cmdIndex(const std::vector<std::string>& args) {
    if (args.size() != 3) throw UsageError("index needs a table, a tag name and an expression");
    Table t(args[0], OpenMode::Exclusive);
    t.indexTag(args[1], args[2]);
    t.close();
    return 0;
}

int cmdImport(const std::vector<std::string>& args) {
    if (args.size() != 2) throw UsageError("import needs a table and a TSV file");
    std::ifstream in(args[1], std::ios::binary);
    if (!in) throw Error(Error::Kind::Io, args[1], "cannot open");
    std::stringstream ss;
    ss << in.rdbuf();
    const std::string text = ss.str();
    Table t(args[0], OpenMode::Exclusive);
    std::vector<std::string> names;
    int deletedCol = -1;
    std::size_t lineNo = 0;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string_view line(text.data() + start, end - start);
        start = end + 1;
        ++lineNo;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        const auto cols = splitTabs(line);
        if (names.empty()) {
            for (std::size_t c = 0; c < cols.size(); ++c) {
                std::string n(record::trim(cols[c]));
                if (n == "DELETED") deletedCol = static_cast<int>(c);
                if (n != "RECNO" && n != "DELETED" && t.fieldIndex(n) < 0)
                    throw Error(Error::Kind::Usage, args[1], "line 1: the table has no field " + n);
                names.push_back(n);
            }
            continue;
        }
        if (line.empty()) continue;
        if (cols.size() != names.size())
            throw Error(Error::Kind::Usage, args[1], "line " + std::to_string(lineNo) + " has " +
                                                         std::to_string(cols.size()) + " values for " +
                                                         std::to_string(names.size()) + " columns");
        try {
            t.appendBlank();
            for (std::size_t c = 0; c < cols.size(); ++c)
                if (names[c] != "RECNO" && names[c] != "DELETED") t.putRaw(names[c], unescape(cols[c], lineNo));
            t.putRecord();
            if (deletedCol >= 0 && cols[static_cast<std::size_t>(deletedCol)] == "*") t.deleteRecord();
        } catch (const std::exception& e) {
            t.cancel();
            throw Error(Error::Kind::Usage, args[1], "line " + std::to_string(lineNo) + ": " + e.what());
        }
    }
    t.close();
    return 0;
}

std::string dumpValue(const Table& t, const FieldDef& f) {
    const std::string raw = t.getRaw(f.name);
    switch (f.type) {
    case FieldType::Numeric: {
        std::string out;
        if (!record::formatNumber(record::readNumber(raw), f.width, f.decimals, out)) out = raw;
        return std::string(record::trim(out));
    }
    case FieldType::Logical: return std::string_view("TtYy").find(raw[0]) != std::string_view::npos ? "T" : "F";
    case FieldType::Date: return std::string(record::trim(raw));
    case FieldType::Integer:
    case FieldType::Currency:
    case FieldType::Double:
    case FieldType::DateTime:
    case FieldType::NullFlags: return record::binaryText(f, raw);
    default: {
        std::string_view v = raw;
        while (!v.empty() && v.back() == ' ') v.remove_suffix(1);
        return std::string(v);
    }
    }
}

int cmdDump(const std::vector<std::string>& args) {
    if (args.empty()) throw UsageError("dump needs a table");
    std::string tag;
    bool withDeleted = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--deleted")
            withDeleted = true;
        else if (args[i] == "--tag" && i + 1 < args.size())
            tag = args[++i];
        else
            throw UsageError("dump: unknown option " + args[i]);
    }
    Table t(args[0], OpenMode::ReadOnly);
    if (!tag.empty()) {
        const int order = t.tagArea(tag);
        if (order == 0) throw Error(Error::Kind::Usage, args[0], "there is no tag " + tag);
        t.setOrder(order);
    }
    t.setDeleted(!withDeleted);
    std::string out = "RECNO\tDELETED";
    for (const auto& f : t.fields()) out += "\t" + f.name;
    out += '\n';
    for (t.goTop(); !t.eof(); t.skip(1)) {
        out += std::to_string(t.recNo());
        out += t.deleted() ? "\t*" : "\t";
        for (const auto& f : t.fields()) {
            out += '\t';
            escapeInto(out, dumpValue(t, f));
        }
        out += '\n';
        if (out.size() > (1u << 16)) {
            std::fwrite(out.data(), 1, out.size(), stdout);
            out.clear();
        }
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 2;
}

int cmdDelete(const std::vector<std::string>& args) {
    if (args.size() < 2) throw UsageError("delete needs a table and record numbers");
    Table t(args[0], OpenMode::Exclusive);
    for (std::size_t i = 1; i < args.size(); ++i) {
        const int r = toInt(args[i], "record number");
        if (r < 1) throw UsageError("there is no record " + args[i]);
        t.go(static_cast<std::uint32_t>(r));
        t.deleteRecord();
    }
    t.close();
    return 0;
}

int cmdCheck(const std::vector<std::string>& args) {
    if (args.size() != 1) throw UsageError("check needs a table");
    Table t(args[0], OpenMode::ReadOnly);
    const CheckResult r = t.check();
    if (r.ok()) {
        std::printf("ok %u records\n", r.records);
        return 0;
    }
    for (const auto& p : r.problems) std::printf("%s\n", p.c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const std::string cmd = argv[1];
    const std::vector<std::string> args(argv + 2, argv + argc);
    try {
        if (cmd == "create") return cmdCreate(args);
        if (cmd == "index") return cmdIndex(args);
        if (cmd == "import") return cmdImport(args);
        if (cmd == "dump") return cmdDump(args);
        if (cmd == "delete") return cmdDelete(args);
        if (cmd == "check") return cmdCheck(args);
        if (cmd == "pack" || cmd == "reindex") {
            if (args.size() != 1) throw UsageError(cmd + " needs a table");
            Table t(args[0], OpenMode::Exclusive);
            if (cmd == "pack")
                t.pack();
            else
                t.reindex();
            t.close();
            return 0;
        }
        throw UsageError("unknown command " + cmd);
    } catch (const UsageError& e) {
        std::fprintf(stderr, "stickwell-table: %s\n%s", e.what(), kUsage);
        return 2;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "stickwell-table: %s\n", e.what());
        return 2;
    }
}
