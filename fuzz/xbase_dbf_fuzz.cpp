// The DBF header, field descriptors and records as found on disk.
#include "xbase_fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    const std::string path = xbfuzz::scratchDir() + "/T.DBF";
    xbfuzz::put(path, data, size);
    xbfuzz::exercise(path, size % 2 == 1);
    return 0;
}
