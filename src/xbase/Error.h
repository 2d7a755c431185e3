#pragma once

#include <stdexcept>
#include <string>

namespace sw::xbase {

// Every failure of the engine is an Error. Its message always names the file and what is
// wrong, so callers can show it as it is or replace it with their own words.
class Error : public std::runtime_error {
public:
    enum class Kind {
        Io,        // the operating system refused a read, write, open or create
        Locked,    // another process holds the table (exclusive open refused)
        Damaged,   // bytes in the file contradict the format: truncated, bad offsets, bad pages
        Encoding,  // text that Windows-1252 cannot hold, or a value that does not fit its field
        Usage,     // a call that makes no sense here: unknown field or tag, no current record...
    };

    Error(Kind kind, std::string file, const std::string& what);

    Kind kind() const noexcept { return kind_; }
    // The path of the file the error is about (may be empty for errors not tied to a file).
    const std::string& file() const noexcept { return file_; }

private:
    Kind kind_;
    std::string file_;
};

}  // namespace sw::xbase
