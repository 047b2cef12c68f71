// The cleanup pass stand-in for the main window.
#include "tests/pass_harness.h"

#include <gtest/gtest.h>

#include "log/result_listing.h"
#include "tests/log_lines.h"
#include "tree/entry_list.h"
#include "tree/file_info.h"

namespace qm::test {
namespace {

RunSettings& Configure(RunSettings& s, int32_t debugLevel, int32_t dirDelete, int32_t logLevel,
                       std::unique_ptr<TempTree>& logFolder) {
  s.DebugLevel = debugLevel;
  s.DirDelete = dirDelete;
  s.LogLevel = logLevel;
  if (logLevel >= 0) {
    logFolder = std::make_unique<TempTree>();
    s.LogPath = *logFolder / "run.log";
  }
  return s;
}

}  // namespace

PassHarness::PassHarness(FileSystem& fs, int32_t debugLevel, int32_t dirDelete, int32_t logLevel)
    : log(std::make_unique<TRunLog>(Configure(settings, debugLevel, dirDelete, logLevel, logFolder),
                                    clock)),
      ctx{settings,
          entries,
          statBar,
          listBox,
          *log,
          fs,
          clock,
          app,
          kCutoff,
          [this] { WriteResultListing(settings, entries, listBox, *log); },
          [this] { return stop; }} {
  log->OpenLog();
  app.onProcess = [this](int) { processed.push_back(probe()); };
}

void PassHarness::Scan(const std::string& root) {
  settings.TargetDir = root;
  entries.clear();
  ASSERT_TRUE(tree.BuildTree(root, kCutoff, ctx.fs, clock));
  ASSERT_TRUE(tree.FillEntryList(entries));
  listBox.Clear();
  if (settings.DebugLevel > 0) {
    for (size_t i = 0; i < entries.size(); ++i) listBox.Add(Numbered("L", i));
  }
}

void PassHarness::RunBoth(TDateTime start) {
  DeleteFiles(ctx, start);
  if (settings.DirDelete == 0) RemoveFolders(ctx, start);
}

size_t PassHarness::Index(const std::string& rel) const {
  const std::string want = rel.empty() ? settings.TargetDir : settings.TargetDir + "/" + rel;
  for (size_t i = 0; i < entries.size(); ++i) {
    if (PathOf(entries, i) == want) return i;
  }
  ADD_FAILURE() << "no entry " << want;
  return 0;
}

std::vector<std::string> PassHarness::LogTexts() const {
  log->Flush();
  return logFolder ? LogLines(*logFolder / "run.log") : std::vector<std::string>();
}

}  // namespace qm::test
