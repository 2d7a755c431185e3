// FPT memo blocks: a sound table whose records point at blocks of a fuzzed memo file.
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
        std::filesystem::remove(dir + "/T.FPT");
        Table::create(path, {{"NAME", FieldType::Character, 8, 0}, {"OBJECTS", FieldType::Memo, 10, 0}});
        Table t(path);
        for (int i = 0; i < 6; ++i) {
            t.appendBlank();
            t.putString("NAME", "n" + std::to_string(i));
            t.putMemo("OBJECTS", std::string(static_cast<std::size_t>(i * 40), 'm'));
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
    xbfuzz::put(dir + "/M.DBF", dbf.data(), dbf.size());
    xbfuzz::put(dir + "/M.FPT", data, size);
    xbfuzz::exercise(dir + "/M.DBF", size % 2 == 1);
    return 0;
}
