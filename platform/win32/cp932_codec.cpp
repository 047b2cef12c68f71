// Code page 932 through WideCharToMultiByte without best-fit substitutes, checked by the way
// back, so the bytes match the iconv build's for every character either can hold.
#include "platform/cp932_codec.h"

#include <windows.h>

#include "platform/utf16.h"

namespace qm {

std::string Cp932Bytes(std::string_view utf8) {
  const std::u16string wide = Utf8ToUtf16(utf8);
  const auto* w = reinterpret_cast<const wchar_t*>(wide.data());
  const int wlen = static_cast<int>(wide.size());
  char bytes[16];
  BOOL defaulted = FALSE;
  const int n = WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, w, wlen, bytes, sizeof bytes,
                                    nullptr, &defaulted);
  if (n <= 0 || defaulted) return {};
  wchar_t back[8];
  const int m = MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes, n, back, 8);
  if (m != wlen || std::u16string_view(reinterpret_cast<const char16_t*>(back), m) != wide) {
    return {};
  }
  return std::string(bytes, static_cast<size_t>(n));
}

}  // namespace qm
