// Conversion of the program's UTF-8 text to the bytes of code page 932 that the log holds.
#pragma once

#include <string>
#include <string_view>

namespace qm {

// Every character code page 932 holds (and reads back as the same character) becomes its
// bytes. Anything else stays visible and distinct: a character as \u{HEX}, a byte that is not
// valid UTF-8 and a control character other than tab (a line end in a name, say) as \x{HH}, and a
// backslash itself as \\ so that no name can pose as an escape.
std::string EncodeCp932(std::string_view utf8);

}  // namespace qm
