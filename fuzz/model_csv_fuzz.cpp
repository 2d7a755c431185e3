// The CSV reader on any bytes, with the delimiter detected and with each one given: no crash, no
// hang, and every record read is as wide as the header.
#include "model/CsvReader.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const sw::TCsvDelimiter all[] = {sw::TCsvDelimiter::Comma, sw::TCsvDelimiter::Semicolon, sw::TCsvDelimiter::Tab};
    for (int i = -1; i < 3; ++i) {
        sw::TCsvTable table;
        QString error;
        if (!sw::ReadCsv(bytes, i < 0 ? nullptr : &all[i], table, &error))
            continue;
        for (const QStringList& record : table.Records)
            if (record.size() != table.Fields.size())
                std::abort();
    }
    return 0;
}
