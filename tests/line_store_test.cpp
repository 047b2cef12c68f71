// The compact line store and the list box built on it: lines read back as added across block
// boundaries, adoption, appended marks, lines replaced whole, and clearing.
#include "platform/line_store.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/forms.h"

namespace qm {
namespace {

// Lines of varied lengths, some empty, one longer than a block, enough to fill several blocks.
std::vector<std::string> VariedLines() {
  std::vector<std::string> lines;
  for (size_t i = 0; i < 40000; ++i)
    lines.push_back(std::string(i % 97, static_cast<char>('a' + i % 26)));
  lines.insert(lines.begin() + 20000, std::string((size_t{1} << 20) + 3, 'L'));
  lines.push_back("");
  return lines;
}

TEST(LineStore, ReadsBackEveryLineAcrossBlocks) {
  const std::vector<std::string> want = VariedLines();
  LineStore store;
  for (const std::string& line : want) store.push_back(line);
  ASSERT_EQ(store.size(), want.size());
  for (size_t i = 0; i < want.size(); ++i) ASSERT_EQ(store[i], want[i]) << i;
  store.clear();
  EXPECT_TRUE(store.empty());
  store.push_back("again");
  EXPECT_EQ(store[0], "again");
}

class ListBoxLines : public ::testing::Test {
 protected:
  struct Recorder : ModelObserver {
    void ModelChanged(Change what, size_t first, size_t count) override {
      changes.push_back({what, first, count});
    }
    struct Entry {
      Change what;
      size_t first, count;
    };
    std::vector<Entry> changes;
  };
  void SetUp() override {
    box.Observer = &rec;
    LineStore listing;
    for (const char* line : {"zero", "one", "two"}) listing.push_back(line);
    box.AddLines(std::move(listing));
    EXPECT_TRUE(listing.empty());
  }
  std::vector<std::string> All() const {
    std::vector<std::string> lines;
    for (const std::string& line : box.Lines()) lines.push_back(line);
    return lines;
  }
  TListBox box;
  Recorder rec;
};

TEST_F(ListBoxLines, MarksAppendAndOtherTextAfterThem) {
  box.AppendToLine(1, TListBox::kMark);
  box.AppendToLine(1, TListBox::kMark);
  box.AppendToLine(2, "!");
  box.AppendToLine(2, TListBox::kMark);
  EXPECT_EQ(All(), (std::vector<std::string>{"zero", "one○○", "two!○"}));
  ASSERT_EQ(rec.changes.size(), 5u);
  EXPECT_EQ(rec.changes.back().what, Change::kListLine);
  EXPECT_EQ(rec.changes.back().first, 2u);
  // More marks than a count byte holds still all show.
  for (int i = 0; i < 300; ++i) box.AppendToLine(0, TListBox::kMark);
  std::string want = "zero";
  for (int i = 0; i < 300; ++i) want += "○";
  EXPECT_EQ(box.Line(0), want);
}

TEST_F(ListBoxLines, SetLineReplacesMarksAndAddsAfterTheListing) {
  box.AppendToLine(0, TListBox::kMark);
  box.SetLine(0, "new");
  box.Add("error");
  box.AddLines(std::vector<std::string>{"x", "y"});
  box.AppendToLine(5, TListBox::kMark);
  EXPECT_EQ(All(), (std::vector<std::string>{"new", "one", "two", "error", "x", "y○"}));
  EXPECT_THROW(box.Line(6), std::out_of_range);
  EXPECT_THROW(box.SetLine(6, ""), std::out_of_range);
  EXPECT_THROW(box.AppendToLine(6, TListBox::kMark), std::out_of_range);
  std::string reused = "long text left over";
  box.CopyLine(1, reused);
  EXPECT_EQ(reused, "one");
}

TEST_F(ListBoxLines, ClearForgetsLinesMarksAndReplacements) {
  box.AppendToLine(1, TListBox::kMark);
  box.SetLine(2, "set");
  box.Clear();
  EXPECT_EQ(box.Count(), 0u);
  LineStore listing;
  for (const char* line : {"a", "b", "c"}) listing.push_back(line);
  box.AddLines(std::move(listing));
  // A store added to lines already held goes after them.
  LineStore more;
  more.push_back("d");
  box.AddLines(std::move(more));
  EXPECT_EQ(All(), (std::vector<std::string>{"a", "b", "c", "d"}));
}

}  // namespace
}  // namespace qm
