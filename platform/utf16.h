// UTF-16 (Windows names and command lines) to and from the program's UTF-8. A lone surrogate, which
// Windows names may hold, travels as its three-byte form (WTF-8), so every name survives the
// round trip and the text encoders escape it instead of dropping it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qm {

// Appends code point `cp` (a lone surrogate too) in its UTF-8 form.
void AppendUtf8(uint32_t cp, std::string& out);

std::string Utf16ToUtf8(std::u16string_view text);
// The inverse; a byte that is not part of a UTF-8 (or WTF-8) sequence becomes U+FFFD.
std::u16string Utf8ToUtf16(std::string_view text);

}  // namespace qm
