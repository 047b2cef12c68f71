// Code page 932 output: exact bytes of what the page holds, visible escapes for what it does not,
// and no two inputs that come out the same.
#include "platform/text.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>

#include "platform/utf16.h"

namespace qm {
namespace {

std::string Utf8(uint32_t cp) {
  std::string s;
  AppendUtf8(cp, s);
  return s;
}

TEST(EncodeCp932, ExactBytes) {
  const std::pair<std::string, std::string> cases[] = {
      {"", ""},
      {"plain ASCII ~|0", "plain ASCII ~|0"},
      {"○", "\x81\x9B"},
      {"■", "\x81\xA1"},
      {"・", "\x81\x45"},
      {"　", "\x81\x40"},
      {"|○|", "|\x81\x9B|"},
      {"ｱｲｳﾟ", "\xB1\xB2\xB3\xDF"},  // half-width katakana are single bytes
      // Trail bytes that equal "\" belong to their character and are not doubled.
      {"表ソ", "\x95\x5C\x83\x5C"},
      {"検索開始0秒", "\x8C\x9F\x8D\xF5\x8A\x4A\x8E\x6E\x30\x95\x62"},
      {"～", "\x81\x60"},
      {"①ⅰ", "\x87\x40\xFA\x40"},
      {"é", "\\u{E9}"},
      {"😀", "\\u{1F600}"},
      {"¥", "\\u{A5}"},     // would read back as "\"
      {"〜", "\\u{301C}"},  // would read back as U+FF5E
      {"‾", "\\u{203E}"},   // would read back as "~"
      {"a\\b", "a\\\\b"},
      {"\\x{FF}", "\\\\x{FF}"},
      {"\xFF", "\\x{FF}"},
      {"a\xE2\x97", "a\\x{E2}\\x{97}"},                      // cut short
      {"\xE2\x97z", "\\x{E2}\\x{97}z"},                      // broken by an ASCII byte
      {"\xC0\xAF", "\\x{C0}\\x{AF}"},                        // overlong "/"
      {"\xED\xA0\x80", "\\x{ED}\\x{A0}\\x{80}"},             // a surrogate
      {"\xF4\x90\x80\x80", "\\x{F4}\\x{90}\\x{80}\\x{80}"},  // beyond U+10FFFF
      {"\x80○", "\\x{80}\x81\x9B"},
      {std::string("a\0b", 3), "a\\x{00}b"},
      {"name\r\n2026/01/01 00:00:00 fake", "name\\x{0D}\\x{0A}2026/01/01 00:00:00 fake"},
      {"tab\there\x7F\x1B[2J", "tab\there\\x{7F}\\x{1B}[2J"},
  };
  for (const auto& [in, want] : cases) EXPECT_EQ(EncodeCp932(in), want) << in;
}

TEST(EncodeCp932, DistinctInputsStayDistinct) {
  const std::pair<std::string, std::string> pairs[] = {
      {"〜", "～"},        {"¥", "\\"},
      {"\\x{FF}", "\xFF"}, {"\\u{A5}", "¥"},
      {"‖", "∥"},          {"−", "－"},
      {"¬", "￢"},         {"‾", "~"},
      {"\\\\", "\\"},      {"\xE2\x97", "\xE2\x97\x8B"},
      {"表", "\x95\\"},    {"\\x{E2}\\x{97}", "\xE2\x97"},
      {"\\u{301C}", "〜"},
  };
  for (const auto& [a, b] : pairs) EXPECT_NE(EncodeCp932(a), EncodeCp932(b)) << a << " / " << b;
}

// Over every character: an output is either an escape of the character itself (a control
// character as its byte) or bytes of the code page, and no two characters share an output.
TEST(EncodeCp932, EveryCharacterHasItsOwnOutput) {
  std::set<std::string> seen;
  size_t held = 0;
  for (uint32_t cp = 0; cp <= 0x10FFFF; ++cp) {
    if (cp >= 0xD800 && cp <= 0xDFFF) continue;
    if (cp > 0xFFFF && cp != 0x1F600 && cp != 0x10FFFF && cp != 0x20000) continue;
    const std::string out = EncodeCp932(Utf8(cp));
    char escape[16];
    std::snprintf(escape, sizeof escape, "\\u{%X}", cp);
    if (cp == '\\') {
      EXPECT_EQ(out, "\\\\");
    } else if ((cp < 0x20 && cp != '\t') || cp == 0x7F) {
      std::snprintf(escape, sizeof escape, "\\x{%02X}", cp);
      EXPECT_EQ(out, escape);
    } else if (out != escape) {
      ++held;
      EXPECT_TRUE(out.size() == 1 || out.size() == 2) << std::hex << cp;
      EXPECT_NE(out[0], '\\') << std::hex << cp;
    }
    EXPECT_TRUE(seen.insert(out).second) << std::hex << cp << " repeats an earlier output";
  }
  // The page holds some 8,000 characters; a broken converter holds only ASCII.
  EXPECT_GT(held, 7000u);
}

// The console writes UTF-8, so text (Japanese included) passes unchanged; what could drive a
// terminal or pose as something else gets the log's escapes.
TEST(EscapeForConsole, TextStaysAndControlsAreEscaped) {
  const std::pair<std::string, std::string> cases[] = {
      {"", ""},
      {"plain ASCII ~|0\ttab", "plain ASCII ~|0\ttab"},
      {"検索開始0秒 |○|", "検索開始0秒 |○|"},
      {"é😀¥〜\u00A0", "é😀¥〜\u00A0"},  // no code page in between: nothing to escape
      {"a\x1B]0;owned\x07z", "a\\x{1B}]0;owned\\x{07}z"},  // retitles a terminal
      {"name\r\nfake line", "name\\x{0D}\\x{0A}fake line"},
      {std::string("a\0b\x7F", 4), "a\\x{00}b\\x{7F}"},
      {"\xC2\x9B"
       "2J\xC2\x85",
       "\\u{9B}2J\\u{85}"},  // C1 controls: CSI, NEL
      {"a\\b", "a\\\\b"},
      {"\\x{1B}", "\\\\x{1B}"},
      {"\xFF", "\\x{FF}"},
      {"a\xE2\x97", "a\\x{E2}\\x{97}"},
      {"\xC0\xAF", "\\x{C0}\\x{AF}"},
  };
  for (const auto& [in, want] : cases) EXPECT_EQ(EscapeForConsole(in), want) << in;
}

}  // namespace
}  // namespace qm
