// The Windows command line split by the program's rule: blanks separate, quotes group and go,
// a backslash is an ordinary character (a quoted folder may end in one).
#include "app/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/utf16.h"

namespace qm {
namespace {

TEST(SplitCommandLine, Table) {
  using P = std::vector<std::string>;
  const std::pair<const char*, P> cases[] = {
      {R"(q.exe)", P{}},
      {R"(q.exe   )", P{}},
      {R"("C:\Program Files\q.exe" DAYS=5)", P{"DAYS=5"}},
      {R"("C:\a b\q.exe"DAYS=5)", P{"DAYS=5"}},
      {R"(q.exe PATH="C:\Program Files\old logs\" DAYS=5)",
       P{R"(PATH=C:\Program Files\old logs\)", "DAYS=5"}},
      {R"(q.exe PATH=C:\work\ DAYS=5)", P{R"(PATH=C:\work\)", "DAYS=5"}},
      {R"(q.exe "DAYS= 5")", P{"DAYS= 5"}},
      {R"(q.exe a""b "" c)", P{"ab", "", "c"}},
      {"q.exe\tPATH=x\t\tDAYS=1", P{"PATH=x", "DAYS=1"}},
      {R"(q.exe "PATH=a b)", P{"PATH=a b"}},
      {R"(q.exe \"a b\")", P{R"(\a b\)"}},
      {R"(q.exe x"y z"w)", P{"xy zw"}},
  };
  for (const auto& [line, want] : cases) EXPECT_EQ(SplitCommandLine(line), want) << line;
}

TEST(Utf16, RoundTripsEveryNameIncludingLoneSurrogates) {
  const std::u16string names[] = {u"plain",    u"日本語.txt", u"\U0001F600",
                                  u"a\xD800z", u"\xDC00",     u"\xD800\xD800"};
  for (const auto& name : names) EXPECT_EQ(Utf8ToUtf16(Utf16ToUtf8(name)), name);
  EXPECT_EQ(Utf16ToUtf8(u"日"), "日");
  EXPECT_EQ(Utf16ToUtf8(u"\xD800"), "\xED\xA0\x80");
  EXPECT_EQ(Utf8ToUtf16("a\xFF"), u"a\uFFFD");
}

}  // namespace
}  // namespace qm
