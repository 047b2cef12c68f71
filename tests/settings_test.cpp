// Command-line reading: messages, settings, the visit order and the whole-number conversion.
#include "app/settings.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

struct ConvCase {
  std::string text;
  bool ok;
  int32_t value;   // when ok
  size_t failPos;  // when not ok
};

TEST(ConvertInteger, Table) {
  const ConvCase cases[] = {
      {"0", true, 0, 0},
      {"+7", true, 7, 0},
      {"-3", true, -3, 0},
      {"010", true, 10, 0},
      {" 5", true, 5, 0},
      {"   12", true, 12, 0},
      {"$1E", true, 30, 0},
      {"0x1E", true, 30, 0},
      {"0X1e", true, 30, 0},
      {"x1E", true, 30, 0},
      {"X1e", true, 30, 0},
      {"$FFFFFFFF", true, -1, 0},
      {"$80000000", true, INT32_MIN, 0},
      {"$000000001", true, 1, 0},
      {"2147483647", true, INT32_MAX, 0},
      {"-2147483648", true, INT32_MIN, 0},
      {"2147483648", false, 0, 10},
      {"-2147483649", false, 0, 11},
      {"$100000000", false, 0, 10},
      {"", false, 0, 1},
      {"   ", false, 0, 4},
      {"-", false, 0, 2},
      {"+", false, 0, 2},
      {"$", false, 0, 2},
      {"0x", false, 0, 3},
      {"5 ", false, 0, 2},
      {"abc", false, 0, 1},
      {"1a", false, 0, 2},
      {"-$1", false, 0, 2},
      {"\t5", false, 0, 1},
      {"$G", false, 0, 2},
      {"1.5", false, 0, 2},
  };
  for (const ConvCase& c : cases) {
    int32_t v = 12345;
    size_t pos = 0;
    const bool ok = ConvertInteger(c.text, v, pos);
    EXPECT_EQ(ok, c.ok) << "'" << c.text << "'";
    if (c.ok && ok) {
      EXPECT_EQ(v, c.value) << "'" << c.text << "'";
    }
    if (!c.ok && !ok) {
      EXPECT_EQ(pos, c.failPos) << "'" << c.text << "'";
    }
  }
}

struct ParamCase {
  std::vector<std::string> params;
  std::string message;
};

TEST(ParseParameters, Messages) {
  const ParamCase cases[] = {
      {{}, kHelpHintMessage},
      {{"/h"}, kUsageMessage},
      {{"/?"}, kVersionMessage},
      {{"/H"}, kHelpHintMessage},
      {{"/h", "PATH=C:\\work", "DAYS=5"}, kUsageMessage},
      {{"DAYS=abc", "/h"}, kDaysMessage},
      {{"/h", "DAYS=abc"}, kUsageMessage},
      {{"PATH=C:\\work"}, kHelpHintMessage},
      {{"PATH=C:\\work", "DAYS=-3"}, kHelpHintMessage},
      {{"DAYS="}, kDaysMessage},
      {{"DAYS=5 "}, kDaysMessage},
      {{"DAYS=2147483648"}, kDaysMessage},
      {{"DAYS=$FFFFFFFF"}, kHelpHintMessage},
      {{"DAYS=7"}, ""},
      {{"DAYS=1", "DIRDEL=2"}, kDirDelMessage},
      {{"DAYS=1", "DIRDEL=-1"}, kDirDelMessage},
      {{"DAYS=1", "DIRDEL="}, kDirDelMessage},
      {{"DAYS=1", "DIRDEL=yes"}, kDirDelMessage},
      {{"DAYS=1", "DIRDEL=1x"}, kDirDelMessage},
      {{"DAYS=1", "DIRDEL=-"}, kDirDelMessage},
      {{"DIRDEL=2", "DAYS=abc"}, kDirDelMessage},
      {{"DAYS=1", "FOO=1", "PATH", "=5"}, ""},
      {{"DAYS=1", "/?"}, kVersionMessage},
  };
  for (const ParamCase& c : cases) {
    RunSettings s;
    std::string joined;
    for (const auto& p : c.params) joined += "[" + p + "]";
    EXPECT_EQ(ParseParameters(c.params, s), c.message) << joined;
  }
}

TEST(ParseParameters, AcceptedDirDelValues) {
  for (const char* v : {"0", "1", " 1", "+1", "$1", "0x0", "-0"}) {
    RunSettings s;
    EXPECT_EQ(ParseParameters({"DAYS=1", std::string("DIRDEL=") + v}, s), "") << v;
    EXPECT_TRUE(s.DirDelete == 0 || s.DirDelete == 1);
  }
}

TEST(ParseParameters, Settings) {
  RunSettings s;
  ASSERT_EQ(ParseParameters({"path=C:\\Work", "days=7"}, s), "");
  EXPECT_EQ(s.TargetDir, "C:\\Work");
  EXPECT_EQ(s.DaysCount, 7);
  EXPECT_EQ(s.DebugLevel, 0);
  EXPECT_EQ(s.DirDelete, 0);
  EXPECT_EQ(s.LogLevel, -1);
  EXPECT_EQ(s.LogRenew, -1);
  EXPECT_EQ(s.LogPath, "");

  ASSERT_EQ(ParseParameters({"PATH=C:\\a=b", "DAYS=1"}, s), "");
  EXPECT_EQ(s.TargetDir, "C:\\a=b");

  ASSERT_EQ(ParseParameters({"DAYS= 5", "DEBUG=1", "DEBUG=0"}, s), "");
  EXPECT_EQ(s.DaysCount, 5);
  EXPECT_EQ(s.DebugLevel, 1);
  for (const char* v : {"3", " 1", "01", "0", ""}) {
    ASSERT_EQ(ParseParameters({"DAYS=0", std::string("DEBUG=") + v}, s), "");
    EXPECT_EQ(s.DebugLevel, 0) << v;
  }
  ASSERT_EQ(ParseParameters({"DAYS=1", "DEBUG=2"}, s), "");
  EXPECT_EQ(s.DebugLevel, 2);

  ASSERT_EQ(ParseParameters({"DAYS=1", "LOG=a.log", "LOGX=b.log"}, s), "");
  EXPECT_EQ(s.LogLevel, 1);
  EXPECT_EQ(s.LogPath, "b.log");
  ASSERT_EQ(ParseParameters({"DAYS=1", "LOGX=b.log", "log=a.log"}, s), "");
  EXPECT_EQ(s.LogLevel, 0);
  EXPECT_EQ(s.LogPath, "a.log");
  ASSERT_EQ(ParseParameters({"DAYS=1", "LOG="}, s), "");
  EXPECT_EQ(s.LogLevel, 0);
  EXPECT_EQ(s.LogPath, "");
  ASSERT_EQ(ParseParameters({"DAYS=1", "LOGRENEW="}, s), "");
  EXPECT_EQ(s.LogRenew, 0);
  ASSERT_EQ(ParseParameters({"DAYS=$1E", "DIRDEL=1", "PATH=x", "PATH=y"}, s), "");
  EXPECT_EQ(s.DaysCount, 30);
  EXPECT_EQ(s.DirDelete, 1);
  EXPECT_EQ(s.TargetDir, "y");
}

}  // namespace
}  // namespace qm
