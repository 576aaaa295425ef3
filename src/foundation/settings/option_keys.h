#pragma once
// The kinds of option values and the table of key descriptors each settings section is read and
// written with. A descriptor names the key, its kind, its range and the record field it fills;
// the field's value when loading starts is the key's default (the record is reset to its
// defaults first), so each default is stated once, in options.h or in DefaultOptions.
#include <climits>
#include <cstdint>
#include <string>
#include <type_traits>
#include <variant>
#include <vector>

#include "foundation/settings/options_io.h"
#include "foundation/settings/settings_storage.h"
#include "foundation/base/string_utils.h"

namespace qv {

enum class TKeyKind : uint8_t {
  Int,    // ReadInteger with the range; a missing value keeps the default unclamped
  Flags,  // range "any", default 0x80000000; the unset marker keeps the built-in default
  Bool,
  Text,
  Path,   // text in stored-path form
  Lines,  // CR LF written as "||"
  Wide,   // UTF-8 text
};

template <class Rec>
struct TKeyDesc {
  using Field = std::variant<int32_t Rec::*, uint32_t Rec::*, uint16_t Rec::*, uint8_t Rec::*,
                             int8_t Rec::*, bool Rec::*, std::string Rec::*,
                             std::u16string Rec::*>;
  const char* Name;
  TKeyKind Kind;
  Field Target;
  int32_t Min = INT32_MIN;
  int32_t Max = INT32_MAX;
};

// ----- stored-path form ----------------------------------------------------------------------
// Paths in their stored form (EncodeStoredPath / DecodeStoredPath).
std::string EncodeOptionPath(const TOptionsContext& context, const std::string& path);
std::string DecodeOptionPath(const TOptionsContext& context, const std::string& text);

// ----- value kinds ---------------------------------------------------------------------------
// Splits text at CR LF, CR or LF; empty lines are kept except a trailing one.
std::vector<std::string> SplitLines(const std::string& text);
std::string JoinLines(const std::vector<std::string>& lines);

// A flags word: the built-in default when nothing (or the unset marker) is stored.
uint32_t ReadFlags(TSettingsStorage& storage, const std::string& name, uint32_t builtIn);
std::string ReadPath(TSettingsStorage& storage, const TOptionsContext& context,
                     const std::string& name, const std::string& defaultValue);
void WritePath(TSettingsStorage& storage, const TOptionsContext& context, const std::string& name,
               const std::string& path);

// A history list of wide strings: "count" names the number of entries, "prefix" + "A", "B"...
// each entry as 4 hex digits a UTF-16 code unit, low byte first. At most maxCount are read.
std::vector<std::u16string> ReadWideList(TSettingsStorage& storage, const std::string& countName,
                                         const std::string& prefix, int32_t maxCount);
void WriteWideList(TSettingsStorage& storage, const std::string& countName,
                   const std::string& prefix, const std::vector<std::u16string>& list,
                   int32_t maxCount);
// The strict inverse of WideToHexText: false for text that is not whole groups of 4 hex digits.
bool HexUnitsToWide(const std::string& hex, std::u16string& text);

// A long text stored in a key of its own under the current prefix extended by subPath.
std::string ReadLongText(TSettingsStorage& storage, const std::string& subPath,
                         const std::string& name, const std::string& defaultValue);
void WriteLongText(TSettingsStorage& storage, const std::string& subPath, const std::string& name,
                   const std::string& value);
// A blob in a key of its own under the current prefix extended by subPath.
std::vector<uint8_t> ReadBlob(TSettingsStorage& storage, const std::string& subPath,
                              const std::string& name);
void WriteBlob(TSettingsStorage& storage, const std::string& subPath, const std::string& name,
               const std::vector<uint8_t>& block);

// ----- key tables ----------------------------------------------------------------------------
void LoadKey(TSettingsStorage& storage, const TOptionsContext& context, const char* name,
             TKeyKind kind, int32_t min, int32_t max, int32_t& value);

template <class Rec>
void LoadKeys(TSettingsStorage& storage, const TOptionsContext& context, Rec& rec,
              const std::vector<TKeyDesc<Rec>>& table) {
  for (const auto& key : table) {
    std::visit(
        [&](auto member) {
          auto& field = rec.*member;
          using T = std::remove_reference_t<decltype(field)>;
          if constexpr (std::is_same_v<T, bool>) {
            field = storage.ReadBool(key.Name, field);
          } else if constexpr (std::is_same_v<T, std::u16string>) {
            std::u16string value;
            storage.ReadWideString(key.Name, field, value);
            field = value;
          } else if constexpr (std::is_same_v<T, std::string>) {
            if (key.Kind == TKeyKind::Path) {
              field = ReadPath(storage, context, key.Name, field);
            } else if (key.Kind == TKeyKind::Lines) {
              field = BarsToLineBreaks(storage.ReadStr(key.Name, LineBreaksToBars(field)));
            } else {
              field = storage.ReadStr(key.Name, field);
            }
          } else {
            auto value = static_cast<int32_t>(field);
            LoadKey(storage, context, key.Name, key.Kind, key.Min, key.Max, value);
            field = static_cast<T>(value);
          }
        },
        key.Target);
  }
}

template <class Rec>
void SaveKeys(TSettingsStorage& storage, const TOptionsContext& context, const Rec& rec,
              const std::vector<TKeyDesc<Rec>>& table) {
  for (const auto& key : table) {
    std::visit(
        [&](auto member) {
          const auto& field = rec.*member;
          using T = std::remove_cvref_t<decltype(field)>;
          if constexpr (std::is_same_v<T, bool>) {
            storage.WriteBool(key.Name, field);
          } else if constexpr (std::is_same_v<T, std::u16string>) {
            storage.WriteWideString(key.Name, field);
          } else if constexpr (std::is_same_v<T, std::string>) {
            if (key.Kind == TKeyKind::Path) {
              WritePath(storage, context, key.Name, field);
            } else if (key.Kind == TKeyKind::Lines) {
              storage.WriteString(key.Name, LineBreaksToBars(field));
            } else {
              storage.WriteString(key.Name, field);
            }
          } else {
            storage.WriteInteger(key.Name, static_cast<int32_t>(field));
          }
        },
        key.Target);
  }
}

}  // namespace qv
