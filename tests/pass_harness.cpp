// The recording pass host; see the header.
#include "tests/pass_harness.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "tree/entry_list.h"
#include "tree/file_info.h"

namespace qm::test {

PassHarness::PassHarness(FileSystem& fileSystem, int32_t debugLevel)
    : fs(fileSystem),
      mode(debugLevel == 1   ? PassMode::kManual
           : debugLevel == 2 ? PassMode::kSimulation
                             : PassMode::kAutomatic) {}

void PassHarness::Scan(const std::string& root) {
  targetDir = root;
  entries.clear();
  ASSERT_TRUE(tree.BuildTree(root, kCutoff, fs, clock));
  ASSERT_TRUE(tree.FillEntryList(entries));
  listBox.Clear();
  if (mode != PassMode::kAutomatic) {
    for (size_t i = 0; i < entries.size(); ++i) listBox.Add(Numbered("L", i));
  }
}

void PassHarness::RunBoth(TDateTime start) {
  DeleteFiles(start);
  RemoveFolders(start);
}

size_t PassHarness::Index(const std::string& rel) const {
  const std::string want = rel.empty() ? targetDir : targetDir + "/" + rel;
  for (size_t i = 0; i < entries.size(); ++i) {
    if (PathOf(entries, i) == want) return i;
  }
  ADD_FAILURE() << "no entry " << want;
  return 0;
}

void PassHarness::ReportStage(const char* text, TDateTime start) {
  statBar.SetPanel(0, text);
  statBar.SetPanel(1, ElapsedText(clock.Now(), start));
  reported.push_back(statBar.Panel(0) + statBar.Panel(1));
  ++repaints;
}

void PassHarness::MarkLine(size_t i) {
  listBox.AppendToLine(i, "○");
}

void PassHarness::ScrollTo(size_t i) {
  listBox.SetTopIndex(i);
}

bool PassHarness::EventPoint() {
  if (onEvent) onEvent();
  processed.push_back(probe());
  return !stop;
}

void PassHarness::WalkEnded(PassKind kind) {
  walksEnded.push_back(kind);
  reported.push_back(kWalkEnded);
  if (walkEndFails) throw std::runtime_error("the work at the walk's end failed");
}

void PassHarness::Failed(const char* text) noexcept {
  try {
    listBox.Add(text);
    reported.push_back(text);
  } catch (...) {
  }
}

}  // namespace qm::test
