#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>

namespace xbtest {

// A fresh directory, removed with everything in it at the end of the test.
class TempDir {
public:
    TempDir() {
        char tmpl[] = "/tmp/swxbase-XXXXXX";
        path_ = ::mkdtemp(tmpl);
    }
    ~TempDir() { std::filesystem::remove_all(path_); }
    std::string file(const std::string& name) const { return path_ + "/" + name; }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

inline std::string fixture(const std::string& name) { return std::string(STICKWELL_TEST_DATA) + "/xbase/" + name; }

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

inline void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

// Copies the fixture table base (DBF with its .cdx and .fpt) into dir.
inline void copyFixture(const TempDir& dir, const std::string& base) {
    for (const char* ext : {".DBF", ".cdx", ".fpt"})
        if (std::filesystem::exists(fixture(base + ext)))
            std::filesystem::copy_file(fixture(base + ext), dir.file(base + ext));
}

struct RunResult {
    int status = -1;
    std::string out;
};

// Runs a shell command line and captures its standard output.
inline RunResult run(const std::string& command) {
    RunResult r;
    FILE* p = ::popen(command.c_str(), "r");
    if (!p) return r;
    char buf[65536];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
    const int st = ::pclose(p);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return r;
}

inline std::string tool() { return std::string(STICKWELL_BIN_DIR) + "/stickwell-table"; }

}  // namespace xbtest
