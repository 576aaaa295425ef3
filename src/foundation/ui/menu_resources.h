#pragma once
// The menu resource format: every menu of the program (the menu bar and each popup menu) is
// stored as a resource of the type "_MENU", without a header; the items of the top level follow
// one another up to the end of the data:
//
//   item   byte N (0 to 253, the caption's length), N caption bytes (no terminator; "-" makes a
//          separator, "&" marks the mnemonic), the command id as a signed 32-bit little-endian
//          integer (0 for separators and for items that only open a submenu)
//   254    the items up to the matching 255 are the sub-items of the item just before it on the
//          same level; levels nest
//   255    ends the current sub-item level (on the top level it ends the menu)
//
// For instance the one-item menu "&Hide" with the command 6080 is the ten bytes
// 05 "&Hide" C0 17 00 00. A sub-item level that the data leaves open ends with the data.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

inline constexpr const char* kMenuResourceType = "_MENU";
inline constexpr uint8_t kMenuSubLevelStart = 254;
inline constexpr uint8_t kMenuSubLevelEnd = 255;
inline constexpr size_t kMaxMenuCaptionLength = 253;
// Deeper nesting than this is refused as damaged data (the program's menus nest three deep).
inline constexpr size_t kMaxMenuDepth = 16;

// One item of a menu resource: caption bytes, command id and sub-items.
struct TMenuResourceItem {
  std::string Caption;
  int32_t Id = 0;
  std::vector<TMenuResourceItem> SubItems;
  friend bool operator==(const TMenuResourceItem&, const TMenuResourceItem&) = default;
};

// Reads a menu resource. Damaged data (an item or its id running past the end of the data, a
// sub-level opened before any item of its level, nesting deeper than kMaxMenuDepth) throws
// EConvertError; nothing is read beyond the data.
std::vector<TMenuResourceItem> ParseMenuResource(std::string_view data);
// Writes items in the resource format; throws EConvertError for a caption longer than
// kMaxMenuCaptionLength bytes or nesting deeper than kMaxMenuDepth.
std::string EncodeMenuResource(const std::vector<TMenuResourceItem>& items);

// The resources of the two submenus that the menu builder attaches by command id,
// "PASTEOPTIONS" and "CELLALIGN"; empty for any other name.
std::string BuiltInMenuResource(const std::string& name);

}  // namespace qv
