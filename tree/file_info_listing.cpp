// TFileInfo::MakeListing and AddListingLines: the tree listing, one line per node, in the entry
// list's pre-order. Walked with an explicit stack and one shared prefix buffer, so tree depth
// costs neither stack nor copied prefixes; each line is made in one reused buffer and copied
// into the list at its exact size.
#include <charconv>

#include "platform/dos_time_text.h"
#include "tree/entry_list.h"
#include "tree/file_info.h"

namespace qm {
namespace {

constexpr std::string_view kBlankDates = "       |                  ";
constexpr size_t kDatesSize = 26;
constexpr std::string_view kIndentStep = "   ";

void ListingLine(const TFileInfo& node, const std::string& prefix, bool showDates,
                 std::string& line) {
  char depth[16];
  const auto depthEnd = std::to_chars(depth, depth + sizeof depth, node.Depth).ptr;
  line.clear();
  line.reserve(2 + prefix.size() + node.Name.size() + kDatesSize + 5 + 1 +
               static_cast<size_t>(depthEnd - depth));
  // The entry's kind: hidden or read-only folders list as files.
  const EntryKind kind = KindOf(node.Attr, prefix.empty());
  line += kind == EntryKind::kFalse ? " |" : kind == EntryKind::kRoot ? "R|" : "D|";
  line += prefix;
  line += node.Name;
  if (showDates) {
    line += "       |";
    AppendDosMinute(line, node.FileDate);
    line += "  ";
  } else {
    line += kBlankDates;
  }
  line += node.Old == 1 ? " |DEL" : " |   ";
  line += '|';
  line.append(depth, depthEnd);
}

template <typename Lines>
void AddLines(const TFileInfo& top, const std::string& prefix, Lines& lines, bool indent,
              bool showDates) {
  lines.reserve(lines.size() + top.CountNodes());
  struct Frame {
    const TFileInfo* node;
    size_t next;        // index of the child whose line comes next
    size_t prefixSize;  // the prefix of the node's own line, restored on leaving it
  };
  std::vector<Frame> frames;
  std::string path = prefix;  // the prefix of the line that comes next
  auto enter = [&](const TFileInfo& node) {
    if (node.ChildCount() == 0) return;
    frames.push_back({&node, 0, path.size()});
    if (indent) {
      path += kIndentStep;
    } else {
      path += node.Name;
      path += kPathSeparator;
    }
  };

  std::string line;
  ListingLine(top, path, showDates, line);
  lines.push_back(line);
  enter(top);
  while (!frames.empty()) {
    Frame& frame = frames.back();
    if (frame.next == frame.node->Children->size()) {
      path.resize(frame.prefixSize);
      frames.pop_back();
      continue;
    }
    const TFileInfo& child = (*frame.node->Children)[frame.next++];
    ListingLine(child, path, showDates, line);
    lines.push_back(line);
    enter(child);
  }
}

}  // namespace

void TFileInfo::MakeListing(TStringList& lines, bool indent, bool showDates) const {
  lines.clear();
  AddListingLines(std::string(), lines, indent, showDates);
}

void TFileInfo::MakeListing(LineStore& lines, bool indent, bool showDates) const {
  lines.clear();
  AddListingLines(std::string(), lines, indent, showDates);
}

void TFileInfo::AddListingLines(const std::string& prefix, TStringList& lines, bool indent,
                                bool showDates) const {
  AddLines(*this, prefix, lines, indent, showDates);
}

void TFileInfo::AddListingLines(const std::string& prefix, LineStore& lines, bool indent,
                                bool showDates) const {
  AddLines(*this, prefix, lines, indent, showDates);
}

}  // namespace qm
