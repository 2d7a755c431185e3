#include "xbase/Error.h"

namespace sw::xbase {

Error::Error(Kind kind, std::string file, const std::string& what)
    : std::runtime_error(file.empty() ? what : file + ": " + what), kind_(kind), file_(std::move(file)) {}

}  // namespace sw::xbase
