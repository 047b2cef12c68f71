// TFileInfo: one node of the folder tree held in memory, built by a scan of the target folder.
// Nodes hold only their own names; children live contiguously in their parent's list.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/fs.h"
#include "platform/line_store.h"

namespace qm {

struct EFRec;
using TEntryList = std::vector<EFRec>;
using TStringList = std::vector<std::string>;

class TFileInfo {
 public:
  // Ordered widest first, and nothing virtual, so that a node of a tree of millions takes 72
  // bytes beside its name.
  std::string Name;
  std::unique_ptr<std::vector<TFileInfo>> Children;
  // Identity as scanned, so that the passes can tell the entry is still the same one.
  uint64_t Dev = 0;
  uint64_t Ino = 0;
  uint32_t FileDate = 0;
  int32_t Depth = 0;
  uint32_t CutoffDate = 0;
  // The attribute bits all lie below 2^11 (kAttrReparse the highest), so two bytes hold them.
  int16_t Attr = 0;
  uint8_t Old = 0;

  TFileInfo() = default;
  TFileInfo(TFileInfo&&) noexcept = default;
  TFileInfo& operator=(TFileInfo&&) noexcept = default;
  ~TFileInfo();

  // Replaces the tree below this (root) node by a scan of `path`; false when the scan failed
  // (memory exhausted), with the nodes found so far left in place.
  bool BuildTree(const std::string& path, uint32_t cutoff, FileSystem& fs, Clock& clock);
  // Searches the folder this node stands for and everything below it, depth first. Links,
  // mount points and folders already on the way down are listed but not searched.
  void ScanFolder(const std::string& path, FileSystem& fs);
  TFileInfo& AddChild(std::string name, uint32_t fileDate, int32_t attr);
  int32_t ChildCount() const { return Children ? static_cast<int32_t>(Children->size()) : 0; }
  // This node and every node below it, so that lists made from the tree grow once.
  size_t CountNodes() const;

  // Flattening into the entry list (pre-order, root first); the entries refer to the nodes, so
  // the tree must outlive them unchanged. An empty prefix marks the root.
  bool FillEntryList(TEntryList& list) const;
  bool AddEntries(const std::string& prefix, TEntryList& list) const;

  // The text listing of the tree, one line per node in entry-list order; into a LineStore, the
  // compact form a listing of millions is kept in.
  void MakeListing(TStringList& lines, bool indent, bool showDates) const;
  void MakeListing(LineStore& lines, bool indent, bool showDates) const;
  void AddListingLines(const std::string& prefix, TStringList& lines, bool indent,
                       bool showDates) const;
  void AddListingLines(const std::string& prefix, LineStore& lines, bool indent,
                       bool showDates) const;

 private:
  void DestroyChildren();
};

}  // namespace qm
