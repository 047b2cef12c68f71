// UTF-16 <-> UTF-8 with lone surrogates kept (WTF-8); see the header.
#include "platform/utf16.h"

#include <cstdint>

namespace qm {

void AppendUtf8(uint32_t cp, std::string& out) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | cp >> 6);
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | cp >> 12);
    out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | cp >> 18);
    out += static_cast<char>(0x80 | (cp >> 12 & 0x3F));
    out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

std::string Utf16ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    uint32_t cp = text[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    }
    AppendUtf8(cp, out);
  }
  return out;
}

std::u16string Utf8ToUtf16(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  const auto b = [&text](size_t i) { return static_cast<unsigned char>(text[i]); };
  size_t i = 0;
  while (i < text.size()) {
    const unsigned char c = b(i);
    size_t len = 1;
    uint32_t cp = c;
    uint32_t min = 0;
    if (c >= 0xF0 && c < 0xF8) {
      len = 4, cp = c & 0x07, min = 0x10000;
    } else if (c >= 0xE0) {
      len = c < 0xF0 ? 3 : 0, cp = c & 0x0F, min = 0x800;
    } else if (c >= 0xC0) {
      len = 2, cp = c & 0x1F, min = 0x80;
    } else if (c >= 0x80) {
      len = 0;
    }
    bool ok = len != 0 && i + len <= text.size();
    for (size_t k = 1; ok && k < len; ++k) {
      ok = (b(i + k) & 0xC0) == 0x80;
      cp = cp << 6 | (b(i + k) & 0x3F);
    }
    if (!ok || cp < min || cp > 0x10FFFF) {
      out += u'\uFFFD';
      ++i;
      continue;
    }
    if (cp >= 0x10000) {
      out += static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
    } else {
      out += static_cast<char16_t>(cp);
    }
    i += len;
  }
  return out;
}

}  // namespace qm
