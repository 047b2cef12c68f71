// Code page 932 through iconv, checked by the way back so no look-alike is taken.
#include "platform/cp932_codec.h"

#include <iconv.h>

namespace qm {
namespace {

// Runs iconv over a whole input; false when any of it does not convert.
bool Convert(iconv_t cd, std::string_view in, std::string& out) {
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  char buffer[16];
  char* src = const_cast<char*>(in.data());
  size_t srcLeft = in.size();
  char* dst = buffer;
  size_t dstLeft = sizeof buffer;
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  if (iconv(cd, &src, &srcLeft, &dst, &dstLeft) == static_cast<size_t>(-1) || srcLeft != 0) {
    return false;
  }
  if (iconv(cd, nullptr, nullptr, &dst, &dstLeft) == static_cast<size_t>(-1)) return false;
  out.assign(buffer, sizeof buffer - dstLeft);
  return true;
}

struct Converters {
  Converters() : toCp932(iconv_open("CP932", "UTF-8")), fromCp932(iconv_open("UTF-8", "CP932")) {}
  ~Converters() {
    if (toCp932 != reinterpret_cast<iconv_t>(-1)) iconv_close(toCp932);
    if (fromCp932 != reinterpret_cast<iconv_t>(-1)) iconv_close(fromCp932);
  }
  iconv_t toCp932;
  iconv_t fromCp932;
};

}  // namespace

std::string Cp932Bytes(std::string_view utf8) {
  // The caller (text.cpp) serialises the calls, so one pair of converters serves all.
  static Converters converters;
  std::string bytes;
  std::string back;
  if (!Convert(converters.toCp932, utf8, bytes) || !Convert(converters.fromCp932, bytes, back) ||
      back != utf8) {
    bytes.clear();
  }
  return bytes;
}

}  // namespace qm
