// Label stock template files (XML) on any bytes: no crash, no hang; what was read is turned
// into catalogue candidates, equivalents followed, as an import would.
#include "library/StockImport.h"

#include <QByteArray>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    sw::library::TStockFile file = sw::library::ReadStockFile(bytes, QStringLiteral("fuzz.xml"));
    if (!file.Error.isEmpty() && !file.Templates.empty())
        __builtin_trap();  // a file is read completely or not at all
    std::vector<sw::library::TReadTemplate> all;
    for (auto& t : file.Templates)
        all.push_back({std::move(t), QStringLiteral("fuzz.xml")});
    const auto stocks = sw::library::MakeCandidates(all, {QStringLiteral("AVERY 5160")});
    for (const auto& c : stocks)
        if (c.Values.Description.size() > 60)
            __builtin_trap();
    return 0;
}
