// The folder tree scan. Iterative throughout: tree depth never becomes stack depth, and the
// folder handles on the way down are bounded by the folder chain.
#include "tree/file_info.h"

#include "platform/folder_chain.h"

namespace qm {
namespace {

// Reads a whole folder before descending into it. The results gather in a scratch list that
// is reused from folder to folder, so each node's list is allocated once at its exact size and
// a tree of millions leaves no spare room or freed fragments behind.
bool ReadInto(TFileInfo& node, FileSystem& fs, FileSystem::Handle h,
              std::vector<FoundEntry>& scratch) {
  scratch.clear();
  // The file system leaves out "." and "..".
  const bool ok = fs.ReadFolder(h, [&scratch](FoundEntry&& e) { scratch.push_back(std::move(e)); });
  if (scratch.empty()) return ok;
  if (!node.Children) node.Children = std::make_unique<std::vector<TFileInfo>>();
  node.Children->reserve(node.Children->size() + scratch.size());
  for (FoundEntry& e : scratch) {
    TFileInfo& child = node.AddChild(std::move(e.name), e.fileDate, e.attr);
    child.Dev = e.dev;
    child.Ino = e.ino;
    if (e.attr & kAttrFolder) {
      child.Depth = node.Depth + 1;
      child.Old = 0;
    }
  }
  return ok;
}

}  // namespace

TFileInfo::~TFileInfo() {
  DestroyChildren();
}

void TFileInfo::DestroyChildren() {
  if (!Children) return;
  std::vector<std::unique_ptr<std::vector<TFileInfo>>> pending;
  pending.push_back(std::move(Children));
  while (!pending.empty()) {
    std::unique_ptr<std::vector<TFileInfo>> list = std::move(pending.back());
    pending.pop_back();
    for (TFileInfo& node : *list) {
      if (node.Children) pending.push_back(std::move(node.Children));
    }
  }
}

bool TFileInfo::BuildTree(const std::string& path, uint32_t cutoff, FileSystem& fs, Clock& clock) {
  try {
    DestroyChildren();
    Name = path;
    FileDate = PackDosClamped(FromDateTime(clock.Now()));
    Depth = 0;
    CutoffDate = cutoff;
    ScanFolder(path, fs);
    return true;
  } catch (...) {
    return false;
  }
}

void TFileInfo::ScanFolder(const std::string& path, FileSystem& fs) {
  FolderChain chain(fs);
  if (!chain.OpenRoot(path)) return;
  chain.NoteRootAncestors();
  Dev = chain.TopDev();
  Ino = chain.TopIno();

  struct Frame {
    TFileInfo* node;
    size_t next;
  };
  std::vector<Frame> frames{{this, 0}};
  std::vector<FoundEntry> scratch;
  ReadInto(*this, fs, chain.Top(), scratch);
  while (!frames.empty()) {
    Frame& frame = frames.back();
    TFileInfo* const node = frame.node;
    if (frame.next >= static_cast<size_t>(node->ChildCount())) {
      frames.pop_back();
      chain.Pop();
      continue;
    }
    TFileInfo& child = (*node->Children)[frame.next++];
    if (!(child.Attr & kAttrFolder)) continue;
    // A link stays an entry of its own; another device is a mount point; a folder already on
    // the way down or above the target is a bind-mount loop. None of them is searched, nor is
    // a mount point on the same device, which the chain refuses to enter.
    if (child.Attr & kAttrReparse) continue;
    if (child.Dev != node->Dev) continue;
    if (chain.Contains(child.Dev, child.Ino)) continue;
    if (!chain.Push(child.Name, child.Dev, child.Ino)) continue;  // unreadable, replaced, mount
    frames.push_back({&child, 0});
    ReadInto(child, fs, chain.Top(), scratch);
  }
}

size_t TFileInfo::CountNodes() const {
  size_t count = 0;
  std::vector<const TFileInfo*> pending{this};
  while (!pending.empty()) {
    const TFileInfo* node = pending.back();
    pending.pop_back();
    ++count;
    if (node->Children) {
      for (const TFileInfo& child : *node->Children) pending.push_back(&child);
    }
  }
  return count;
}

TFileInfo& TFileInfo::AddChild(std::string name, uint32_t fileDate, int32_t attr) {
  if (!Children) Children = std::make_unique<std::vector<TFileInfo>>();
  TFileInfo& node = Children->emplace_back();
  node.CutoffDate = CutoffDate;
  node.Name = std::move(name);
  node.FileDate = fileDate;
  node.Attr = static_cast<int16_t>(attr);
  node.Depth = Depth;
  node.Old = fileDate < CutoffDate ? 1 : 0;
  return node;
}

}  // namespace qm
