// The system's code page 932 converter, one character at a time (iconv on Linux,
// WideCharToMultiByte on Windows); the escaping around it is shared (text.cpp).
#pragma once

#include <string>
#include <string_view>

namespace qm {

// The code page 932 bytes of one character given as its UTF-8 bytes, or empty when the
// character has none that read back as itself (no best-fit substitutes).
std::string Cp932Bytes(std::string_view utf8);

}  // namespace qm
