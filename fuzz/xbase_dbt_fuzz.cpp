// DBT memo blocks: a sound dBase table whose records point at blocks of a fuzzed memo file,
// read as dBase III (0x83) or dBase IV (0x8B, block size from the memo header).
#include "xbase_fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    // The records point at the first blocks, a far one and none.
    static const std::vector<std::string> pointers = {"1", "2", "3", "4", "5", "6", "8", "16", "", "4096"};
    static const std::string dBase3 = xbfuzz::dBaseTable(0x83, pointers, {3}), dBase4 = xbfuzz::dBaseTable(0x8B, pointers, {3});
    const std::string& dbf = size % 2 ? dBase4 : dBase3;
    const std::string dir = xbfuzz::scratchDir();
    xbfuzz::put(dir + "/M.DBF", dbf.data(), dbf.size());
    xbfuzz::put(dir + "/M.DBT", data, size);
    xbfuzz::exercise(dir + "/M.DBF", false);
    return 0;
}
