// The program's UTF-8 text made safe for its outputs: code page 932 bytes for the log, UTF-8
// for the console, with the same visible escapes for what either must not carry raw.
#pragma once

#include <string>
#include <string_view>

namespace qm {

// Every character code page 932 holds (and reads back as the same character) becomes its
// bytes. Anything else stays visible and distinct: a character as \u{HEX}, a byte that is not
// valid UTF-8 and a control character other than tab (a line end in a name, say) as \x{HH}, and a
// backslash itself as \\ so that no name can pose as an escape.
std::string EncodeCp932(std::string_view utf8);

// The console's text: UTF-8 as it is (Japanese included), with the same escapes for control
// characters, invalid bytes and backslashes, and U+0080..U+009F (controls) as \u{HEX}, so a
// name cannot retitle or redraw the terminal.
std::string EscapeForConsole(std::string_view utf8);

}  // namespace qm
