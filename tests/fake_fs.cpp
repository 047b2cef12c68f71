// In-memory file system for tests.
#include "tests/fake_fs.h"

#include <algorithm>

#include "tree/entry_list.h"

namespace qm::test {

FakeFileSystem::FakeFileSystem(std::string rootPath) : rootPath_(std::move(rootPath)) {
  Node root;
  root.name = rootPath_;
  root.folder = true;
  root.attr = kAttrFolder;
  root.ino = 1;
  nodes_.push_back(root);
}

int FakeFileSystem::AddFolder(int parent, const std::string& name, uint32_t date, int32_t attr) {
  Node n;
  n.name = name;
  n.parent = parent;
  n.folder = true;
  n.fileDate = date;
  n.attr = attr;
  n.ino = nodes_.size() + 1;
  nodes_.push_back(n);
  const int id = static_cast<int>(nodes_.size() - 1);
  nodes_[static_cast<size_t>(parent)].children.push_back(id);
  return id;
}

int FakeFileSystem::AddFile(int parent, const std::string& name, uint32_t date, int32_t attr) {
  const int id = AddFolder(parent, name, date, attr);
  nodes_[static_cast<size_t>(id)].folder = false;
  return id;
}

std::string FakeFileSystem::PathOf(int id) const {
  std::string path = nodes_[static_cast<size_t>(id)].name;
  for (int p = nodes_[static_cast<size_t>(id)].parent; p >= 0;
       p = nodes_[static_cast<size_t>(p)].parent) {
    path = nodes_[static_cast<size_t>(p)].name + kPathSeparator + path;
  }
  return path;
}

int FakeFileSystem::Find(int folder, const std::string& name) const {
  for (int c : nodes_[static_cast<size_t>(folder)].children) {
    const Node& n = nodes_[static_cast<size_t>(c)];
    if (!n.gone && n.name == name) return c;
  }
  return -1;
}

int FakeFileSystem::NodeOf(Handle h) const {
  auto it = handles_.find(h);
  return it == handles_.end() ? -1 : it->second;
}

FileSystem::Handle FakeFileSystem::NewHandle(int node) {
  if (handleLimit_ != 0 && handles_.size() >= handleLimit_) {
    ++outOfHandles_;
    return kOutOfHandles;
  }
  const Handle h = nextHandle_++;
  handles_[h] = node;
  maxOpen_ = std::max(maxOpen_, handles_.size());
  return h;
}

FileSystem::Handle FakeFileSystem::OpenFolder(const std::string& path) {
  for (size_t i = 0; i < nodes_.size(); ++i) {
    const Node& n = nodes_[i];
    if (n.folder && !n.gone && PathOf(static_cast<int>(i)) == path) {
      return NewHandle(static_cast<int>(i));
    }
  }
  return kNoHandle;
}

FileSystem::Handle FakeFileSystem::OpenSubfolder(Handle parent, const std::string& name) {
  const int p = NodeOf(parent);
  if (p < 0) return kNoHandle;
  if (name == "..") {  // the top folder is its own parent
    const int up = nodes_[static_cast<size_t>(p)].parent;
    return NewHandle(up < 0 ? p : up);
  }
  const int c = Find(p, name);
  if (c < 0 || !nodes_[static_cast<size_t>(c)].folder) return kNoHandle;
  return NewHandle(c);
}

void FakeFileSystem::Close(Handle h) {
  handles_.erase(h);
}

bool FakeFileSystem::Identify(Handle h, FolderId& id) {
  const int n = NodeOf(h);
  if (n < 0) return false;
  id.dev = 1;
  id.ino = nodes_[static_cast<size_t>(n)].ino;
  id.mount = nodes_[static_cast<size_t>(n)].mount;
  return true;
}

bool FakeFileSystem::ReadFolder(Handle h, const std::function<void(FoundEntry&&)>& sink) {
  const int n = NodeOf(h);
  if (n < 0 || nodes_[static_cast<size_t>(n)].unreadable) return false;
  const std::vector<int> children = nodes_[static_cast<size_t>(n)].children;
  for (int c : children) {
    const Node& node = nodes_[static_cast<size_t>(c)];
    if (node.gone) continue;
    sink(FoundEntry{node.name, node.fileDate, node.attr, 1, node.ino});
  }
  return true;
}

bool FakeFileSystem::StatEntry(Handle parent, const std::string& name, FoundEntry& out) {
  const int p = NodeOf(parent);
  const int c = p < 0 ? -1 : Find(p, name);
  if (c < 0) return false;
  const Node& node = nodes_[static_cast<size_t>(c)];
  out = FoundEntry{node.name, node.fileDate, node.attr, 1, node.ino};
  return true;
}

bool FakeFileSystem::Remove(Handle parent, const std::string& name, bool folder) {
  const int p = NodeOf(parent);
  const int c = p < 0 ? -1 : Find(p, name);
  if (c < 0) return false;
  Node& node = nodes_[static_cast<size_t>(c)];
  if (node.undeletable || node.folder != folder) return false;
  if (folder && std::any_of(node.children.begin(), node.children.end(),
                            [this](int k) { return !nodes_[static_cast<size_t>(k)].gone; })) {
    return false;
  }
  node.gone = true;
  removed_.push_back(PathOf(c));
  return true;
}

bool FakeFileSystem::RemoveFile(Handle parent, const std::string& name) {
  return Remove(parent, name, false);
}

bool FakeFileSystem::RemoveFolder(Handle parent, const std::string& name) {
  return Remove(parent, name, true);
}

bool FakeFileSystem::FolderExists(const std::string& path) {
  return path == rootPath_;
}

bool FakeFileSystem::FileExists(const std::string&) {
  return false;
}

}  // namespace qm::test
