// Tree listing: the pieces of each line, indenting by tree level, line i against entry i,
// rebuilding, a date that is no date, and a chain far deeper than any stack.
#include <gtest/gtest.h>

#include "platform/dos_time_text.h"
#include "tests/example_tree.h"
#include "tree/entry_list.h"
#include "tree/file_info.h"

namespace qm {
namespace {

// The separator the listing joins paths with on this system.
const std::string kSep(1, kPathSeparator);

const std::string kBlank = "       |                  ";

TEST(Listing, ExampleTree) {
  struct Case {
    bool indent;
    bool showDates;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {false,
       true,
       {"R|D:/share/tmp       |2009/03/01 10:15   |   |0",
        " |D:/share/tmp" + kSep + "old.log       |2008/12/24 18:30   |DEL|0",
        "D|D:/share/tmp" + kSep + "sub       |2009/02/02 11:11   |   |1"}},
      {true,
       false,
       {"R|D:/share/tmp" + kBlank + " |   |0", " |   old.log" + kBlank + " |DEL|0",
        "D|   sub" + kBlank + " |   |1"}},
      {true,
       true,
       {"R|D:/share/tmp       |2009/03/01 10:15   |   |0",
        " |   old.log       |2008/12/24 18:30   |DEL|0",
        "D|   sub       |2009/02/02 11:11   |   |1"}},
  };
  const TFileInfo root = test::ExampleTree();
  for (const Case& c : cases) {
    TStringList lines;
    root.MakeListing(lines, c.indent, c.showDates);
    EXPECT_EQ(lines, c.lines) << c.indent << c.showDates;
  }
}

// Attribute words 1, 16, 17, 18 and 32 at several levels; a hidden folder keeps its subtree.
class ListingKinds : public ::testing::Test {
 protected:
  void SetUp() override {
    const uint32_t oldDate = PackDos({2008, 5, 6, 7, 8, 0, 0});
    const uint32_t newDate = PackDos({2009, 2, 3, 4, 5, 0, 0});
    root.Name = std::string("T");  // assigning the literal trips a false -Wrestrict in GCC 12
    root.FileDate = PackDos({2009, 3, 1, 0, 0, 0, 0});
    root.CutoffDate = PackDos({2009, 1, 1, 0, 0, 0, 0});
    root.AddChild("a.txt", oldDate, 1);
    TFileInfo& hid = test::AddFolder(root, "hid", oldDate, 18);
    test::AddFolder(hid, "deep", newDate).AddChild("f", newDate, 32);
    test::AddFolder(hid, "ro", oldDate, 17);
    test::AddFolder(root, "plain", newDate).AddChild("x", oldDate, 32);
    root.AddChild("last", newDate, 32);
  }
  TFileInfo root;
};

TEST_F(ListingKinds, IndentCountsTreeLevelsNotDepth) {
  TStringList lines;
  root.MakeListing(lines, true, false);
  const TStringList want = {
      "R|T" + kBlank + " |   |0",          "D|   a.txt" + kBlank + " |DEL|0",
      " |   hid" + kBlank + " |   |1",     "D|      deep" + kBlank + " |   |2",
      " |         f" + kBlank + " |   |2", " |      ro" + kBlank + " |   |2",
      "D|   plain" + kBlank + " |   |1",   " |      x" + kBlank + " |DEL|1",
      " |   last" + kBlank + " |   |0",
  };
  EXPECT_EQ(lines, want);
}

TEST_F(ListingKinds, LineIDescribesEntryI) {
  TStringList lines;
  root.MakeListing(lines, false, true);
  TEntryList entries;
  ASSERT_TRUE(root.FillEntryList(entries));
  ASSERT_EQ(lines.size(), entries.size());
  for (size_t i = 0; i < entries.size(); ++i) {
    const EFRec& e = entries[i];
    std::string want = e.Kind == "ROOT" ? "R|" : e.Kind == "TRUE" ? "D|" : " |";
    want += PathOf(entries, i) + "       |";
    AppendDosMinute(want, e.FileDate());
    want += e.DelMark ? "   |DEL|" : "   |   |";
    want += std::to_string(e.Depth());
    EXPECT_EQ(lines[i], want) << i;
  }
  EXPECT_EQ(lines[4],
            " |T" + kSep + "hid" + kSep + "deep" + kSep + "f       |2009/02/03 04:05   |   |2");
}

TEST(Listing, MakingAgainReplacesAndAddingAppends) {
  const TFileInfo root = test::ExampleTree();
  TStringList lines = {"left over"};
  root.MakeListing(lines, false, true);
  root.MakeListing(lines, true, false);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], "R|D:/share/tmp" + kBlank + " |   |0");

  (*root.Children)[1].AddListingLines("X/", lines, false, false);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[3], "D|X/sub" + kBlank + " |   |1");
}

TEST(Listing, DateThatIsNoDateFailsAfterTheLinesBeforeIt) {
  TFileInfo root = test::ExampleTree();
  const uint32_t monthZero = PackDos({2009, 1, 5, 0, 0, 0, 0}) & ~(15u << 21);
  root.AddChild("bad", monthZero, 32);
  root.AddChild("after", PackDos({2009, 1, 5, 0, 0, 0, 0}), 32);
  TStringList lines;
  EXPECT_THROW(root.MakeListing(lines, false, true), InvalidDosDate);
  EXPECT_EQ(lines.size(), 3u);
  // Without dates nothing needs converting.
  root.MakeListing(lines, false, false);
  EXPECT_EQ(lines.size(), 5u);
}

// 10,000 nested folders: every line is made, the deepest shows all its digits and full path.
TEST(Listing, DeepChain) {
  constexpr int kDepth = 10000;
  TFileInfo root;
  root.Name = "T";
  root.FileDate = PackDos({2009, 3, 1, 0, 0, 0, 0});
  const uint32_t date = PackDos({2009, 2, 3, 4, 5, 0, 0});
  TFileInfo* node = &root;
  for (int i = 0; i < kDepth; ++i) node = &test::AddFolder(*node, "d", date);
  node->AddChild("leaf", date, 32);

  TStringList lines;
  root.MakeListing(lines, false, true);
  ASSERT_EQ(lines.size(), static_cast<size_t>(kDepth + 2));
  std::string path = "T";
  for (int i = 0; i < kDepth; ++i) path += kSep + "d";
  EXPECT_EQ(lines.back(), " |" + path + kSep + "leaf       |2009/02/03 04:05   |   |10000");
  EXPECT_EQ(lines[10].substr(lines[10].size() - 8), " |   |10");
}

}  // namespace
}  // namespace qm
