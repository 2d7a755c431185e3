#pragma once

// Shared by the xBase fuzz targets and the damaged-file tests: put bytes where a table's
// files belong and run every reading operation over them. Any Error is a fine outcome;
// a crash, a hang or a sanitizer report is not.

#include "xbase/Table.h"

#include <cstdio>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace xbfuzz {

inline std::string scratchDir() {
    static const std::string dir = [] {
        std::string base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        char tmpl[64];
        std::snprintf(tmpl, sizeof tmpl, "%s/swxbfuzz-%d-XXXXXX", base.c_str(), static_cast<int>(getpid()));
        return std::string(mkdtemp(tmpl));
    }();
    return dir;
}

inline void put(const std::string& path, const void* data, std::size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
}

// The bytes of a dBase table with the version byte given and the fields NAME C(8) and NOTE M(10):
// one record per memo pointer (the field's text, right-aligned), named r1, r2...; the records
// whose numbers are in deleted are marked deleted.
inline std::string dBaseTable(unsigned char version, const std::vector<std::string>& pointers,
                              const std::vector<std::size_t>& deleted = {}) {
    std::string dbf(32, '\0');
    dbf[0] = static_cast<char>(version);
    for (int i = 0; i < 4; ++i) dbf[4 + static_cast<std::size_t>(i)] = static_cast<char>(pointers.size() >> (8 * i));
    dbf[8] = 32 + 64 + 1;
    dbf[10] = 1 + 8 + 10;
    const auto field = [&](const std::string& name, char type, int width) {
        std::string d(32, '\0');
        d.replace(0, name.size(), name);
        d[11] = type;
        d[16] = static_cast<char>(width);
        dbf += d;
    };
    field("NAME", 'C', 8);
    field("NOTE", 'M', 10);
    dbf += '\x0D';
    for (std::size_t i = 0; i < pointers.size(); ++i) {
        bool gone = false;
        for (std::size_t d : deleted) gone = gone || d == i + 1;
        std::string name = "r" + std::to_string(i + 1);
        name.resize(8, ' ');
        std::string pointer = pointers[i].substr(0, 10);
        pointer.insert(0, 10 - pointer.size(), ' ');
        dbf += (gone ? "*" : " ") + name + pointer;
    }
    dbf += '\x1A';
    return dbf;
}

// Reads everything the table offers, in record order and in every tag's order.
inline void exercise(const std::string& path, bool write) {
    using namespace sw::xbase;
    try {
        Table t(path, write ? OpenMode::Exclusive : OpenMode::ReadOnly);
        (void)t.check();
        for (int order = 0; order <= static_cast<int>(t.tagNames().size()); ++order) {
            t.setOrder(order);
            int steps = 0;
            for (t.goTop(); !t.eof() && steps < 20000; t.skip(1), ++steps)
                for (const auto& f : t.fields()) (void)t.getString(f.name);
            for (t.goBottom(); !t.bof() && steps < 40000; t.skip(-1), ++steps) (void)t.deleted();
            if (order > 0) (void)t.seek("M");
        }
        if (write && t.recCount() > 0) {
            t.setOrder(t.tagNames().empty() ? 0 : 1);
            t.go(1);
            for (const auto& f : t.fields())
                if (f.type == FieldType::Character) t.putString(f.name, "fuzz");
            t.putRecord();
            t.appendBlank();
            t.putRecord();
            t.deleteRecord();
            (void)t.check();
        }
    } catch (const Error&) {
    }
}

}  // namespace xbfuzz
