#include "foundation/ui/menu_resources.h"

#include <cstdio>

#include "foundation/base/exceptions.h"

namespace qv {
namespace {

std::string At(size_t pos) {
  char buf[32];
  std::snprintf(buf, sizeof buf, " at byte %zu", pos);
  return buf;
}

void EncodeLevel(const std::vector<TMenuResourceItem>& items, size_t depth, std::string& out) {
  if (depth > kMaxMenuDepth) throw EConvertError("The menu nests too deeply");
  for (const TMenuResourceItem& item : items) {
    if (item.Caption.size() > kMaxMenuCaptionLength) {
      throw EConvertError("The menu caption \"" + item.Caption.substr(0, 20) + "...\" is too long");
    }
    out += char(item.Caption.size());
    out += item.Caption;
    const uint32_t id = uint32_t(item.Id);
    for (int shift = 0; shift < 32; shift += 8) out += char((id >> shift) & 0xFF);
    if (item.SubItems.empty()) continue;
    out += char(kMenuSubLevelStart);
    EncodeLevel(item.SubItems, depth + 1, out);
    out += char(kMenuSubLevelEnd);
  }
}

}  // namespace

std::vector<TMenuResourceItem> ParseMenuResource(std::string_view data) {
  std::vector<TMenuResourceItem> top;
  // The levels being filled, outermost first. Only the innermost grows while it is open, so the
  // addresses of the outer ones stay valid.
  std::vector<std::vector<TMenuResourceItem>*> levels{&top};
  size_t pos = 0;
  while (pos < data.size()) {
    const uint8_t b = uint8_t(data[pos]);
    if (b == kMenuSubLevelStart) {
      std::vector<TMenuResourceItem>& level = *levels.back();
      if (level.empty()) throw EConvertError("A submenu opens before any item" + At(pos));
      if (levels.size() > kMaxMenuDepth) throw EConvertError("The menu nests too deeply" + At(pos));
      levels.push_back(&level.back().SubItems);
      ++pos;
    } else if (b == kMenuSubLevelEnd) {
      if (levels.size() == 1) break;  // the end of the top level ends the menu
      levels.pop_back();
      ++pos;
    } else {
      if (data.size() - pos < size_t(b) + 5) throw EConvertError("A menu item runs past the end of the data" + At(pos));
      TMenuResourceItem item;
      item.Caption.assign(data.substr(pos + 1, b));
      const size_t idAt = pos + 1 + b;
      uint32_t id = 0;
      for (int i = 3; i >= 0; --i) id = (id << 8) | uint8_t(data[idAt + size_t(i)]);
      item.Id = int32_t(id);
      levels.back()->push_back(std::move(item));
      pos += size_t(b) + 5;
    }
  }
  return top;
}

std::string EncodeMenuResource(const std::vector<TMenuResourceItem>& items) {
  std::string out;
  EncodeLevel(items, 1, out);
  return out;
}

std::string BuiltInMenuResource(const std::string& name) {
  if (name == "PASTEOPTIONS") {
    return EncodeMenuResource({{"Paste As &Environment", 3380, {}},
                               {"Paste As New &Rows", 3381, {}},
                               {"Paste As New Colu&mns", 3382, {}},
                               {"Paste &Cells", 3383, {}},
                               {"Paste As Cell Co&ntents", 3384, {}},
                               {"Paste &Special...", 3400, {}}});
  }
  if (name == "CELLALIGN") {
    // The nine cell alignments, shown as images in three columns of three: each column one
    // paragraph alignment, the vertical alignments down it.
    std::vector<TMenuResourceItem> items;
    for (int32_t id : {16120, 16123, 16126, 16121, 16124, 16127, 16122, 16125, 16128}) {
      items.push_back({"?", id, {}});
    }
    return EncodeMenuResource(items);
  }
  return {};
}

}  // namespace qv
