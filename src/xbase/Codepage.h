#pragma once

#include <string>
#include <string_view>

namespace sw::xbase {

// Windows-1252, the code page of every table this engine writes (mark 0x03).
// The five bytes that Windows-1252 leaves undefined map to the C1 controls of the same
// value, so that every byte string survives a round trip through UTF-8.
namespace cp1252 {

std::string toUtf8(std::string_view bytes);

// Converts UTF-8 text; returns false (and leaves out untouched up to the failure) when the
// text is not valid UTF-8 or holds a character Windows-1252 has no byte for. bad receives
// that character as text for the error message.
bool fromUtf8(std::string_view utf8, std::string& out, std::string& bad);

}  // namespace cp1252
}  // namespace sw::xbase
