// CDX headers, the tag directory and the interior and leaf pages: a sound table with a
// fuzzed structural index.
#include "xbase_fuzz_common.h"

#include <filesystem>

namespace {

const std::string& soundTable() {
    static const std::string image = [] {
        using namespace sw::xbase;
        const std::string dir = xbfuzz::scratchDir() + "/seed";
        std::filesystem::create_directories(dir);
        const std::string path = dir + "/T.DBF";
        std::filesystem::remove(path);
        std::filesystem::remove(dir + "/T.CDX");
        Table::create(path, {{"DESCRIPT", FieldType::Character, 30, 0}, {"H", FieldType::Numeric, 6, 3}});
        Table t(path);
        for (int i = 0; i < 300; ++i) {
            t.appendBlank();
            t.putString("DESCRIPT", "label " + std::to_string(i * 7 % 300));
            t.putNumber("H", i / 100.0);
            t.putRecord();
        }
        t.close();
        std::ifstream in(path, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }();
    return image;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    const std::string& dbf = soundTable();
    const std::string dir = xbfuzz::scratchDir();
    xbfuzz::put(dir + "/X.DBF", dbf.data(), dbf.size());
    xbfuzz::put(dir + "/X.CDX", data, size);
    xbfuzz::exercise(dir + "/X.DBF", size % 2 == 1);
    return 0;
}
