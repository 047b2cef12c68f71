// One escaping walk for both outputs. Code page 932 comes from the system's converter, one
// distinct character at a time, cached: the result listing encodes millions of paths that share few
// characters.
#include "platform/text.h"

#include <cstdint>
#include <cstdio>
#include <mutex>
#include <unordered_map>

#include "platform/cp932_codec.h"

namespace qm {
namespace {

class Cp932Table {
 public:
  // The code page 932 bytes of one character given as its UTF-8 bytes, or empty when the
  // character has none that read back as itself.
  const std::string& Lookup(uint32_t codePoint, std::string_view utf8) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = cache_.find(codePoint);
    if (it != cache_.end()) return it->second;
    return cache_.emplace(codePoint, Cp932Bytes(utf8)).first->second;
  }

 private:
  std::mutex mutex_;
  std::unordered_map<uint32_t, std::string> cache_;
};

Cp932Table& Table() {
  static Cp932Table table;
  return table;
}

// Length of the valid UTF-8 sequence at the start of `s` and its code point; 0 when invalid.
size_t DecodeUtf8(std::string_view s, uint32_t& cp) {
  const auto b = [&s](size_t i) { return static_cast<unsigned char>(s[i]); };
  const unsigned char c = b(0);
  size_t len;
  uint32_t min;
  if (c < 0x80) {
    cp = c;
    return 1;
  } else if ((c & 0xE0) == 0xC0) {
    len = 2, cp = c & 0x1F, min = 0x80;
  } else if ((c & 0xF0) == 0xE0) {
    len = 3, cp = c & 0x0F, min = 0x800;
  } else if ((c & 0xF8) == 0xF0) {
    len = 4, cp = c & 0x07, min = 0x10000;
  } else {
    return 0;
  }
  if (s.size() < len) return 0;
  for (size_t i = 1; i < len; ++i) {
    if ((b(i) & 0xC0) != 0x80) return 0;
    cp = cp << 6 | (b(i) & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return len;
}

// The escapes both outputs share: a control character other than tab and a byte that is not
// valid UTF-8 as \x{HH}, a backslash as \\. Every valid character from U+0080 on goes to
// `character` with its code point and UTF-8 bytes.
template <typename Character>
std::string Escape(std::string_view utf8, Character character) {
  std::string out;
  out.reserve(utf8.size());
  char escape[16];
  size_t i = 0;
  while (i < utf8.size()) {
    const unsigned char c = static_cast<unsigned char>(utf8[i]);
    if ((c < 0x20 && c != '\t') || c == 0x7F) {
      // A line end or other control inside a name must not split or fake a line, nor drive a
      // terminal.
      std::snprintf(escape, sizeof escape, "\\x{%02X}", c);
      out += escape;
      ++i;
      continue;
    }
    if (c < 0x80 && c != '\\') {
      out += static_cast<char>(c);
      ++i;
      continue;
    }
    if (c == '\\') {
      out += "\\\\";
      ++i;
      continue;
    }
    uint32_t cp = 0;
    const size_t len = DecodeUtf8(utf8.substr(i), cp);
    if (len == 0) {
      std::snprintf(escape, sizeof escape, "\\x{%02X}", c);
      out += escape;
      ++i;
      continue;
    }
    character(cp, utf8.substr(i, len), out);
    i += len;
  }
  return out;
}

void AppendCodePoint(uint32_t cp, std::string& out) {
  char escape[16];
  std::snprintf(escape, sizeof escape, "\\u{%X}", cp);
  out += escape;
}

}  // namespace

std::string EncodeCp932(std::string_view utf8) {
  return Escape(utf8, [](uint32_t cp, std::string_view bytes, std::string& out) {
    const std::string& cp932 = Table().Lookup(cp, bytes);
    if (cp932.empty()) {
      AppendCodePoint(cp, out);
    } else {
      out += cp932;
    }
  });
}

std::string EscapeForConsole(std::string_view utf8) {
  return Escape(utf8, [](uint32_t cp, std::string_view bytes, std::string& out) {
    // U+0080..U+009F are controls too: a terminal may take U+009B as the start of a sequence.
    if (cp <= 0x9F) {
      AppendCodePoint(cp, out);
    } else {
      out += bytes;
    }
  });
}

}  // namespace qm
