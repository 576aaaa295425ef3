#pragma once
// The program's menus are written here as lists of tokens and turned, while the program is
// compiled, into the bytes of the "_MENU" resource format (foundation/ui/menu_resources.h):
//
//   Item("&Open...", 120)       an item with its caption and command id
//   Head("&Format")             an item that only opens a submenu (id 0)
//   Sub ... End                 the sub-items of the item just before Sub
//   Sep, SepId(151201)          a separator, without or with an id that code can find it by
//   Marker(1300)                an invisible item that marks where a run-time list goes ("?")
//
// A list that breaks the format (a caption longer than the format allows, a Sub before any item
// of its level, an End without its Sub, an unclosed Sub, an id or caption that is empty where it
// may not be) does not compile.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace qv {

enum class TMenuTokenKind : uint8_t { Item, SubStart, SubEnd };

struct TMenuToken {
  TMenuTokenKind Kind = TMenuTokenKind::Item;
  std::string_view Caption;
  int32_t Id = 0;
};

consteval TMenuToken Item(std::string_view caption, int32_t id) {
  if (caption.empty() || id <= 0) throw "an item needs a caption and a command id";
  return {TMenuTokenKind::Item, caption, id};
}
consteval TMenuToken Head(std::string_view caption) {
  if (caption.empty()) throw "a submenu head needs a caption";
  return {TMenuTokenKind::Item, caption, 0};
}
// A head whose caption the command manager computes from the id.
consteval TMenuToken HeadId(std::string_view caption, int32_t id) { return Item(caption, id); }
consteval TMenuToken SepId(int32_t id) { return {TMenuTokenKind::Item, "-", id}; }
consteval TMenuToken Marker(int32_t id) { return {TMenuTokenKind::Item, "?", id}; }
inline constexpr TMenuToken Sep{TMenuTokenKind::Item, "-", 0};
inline constexpr TMenuToken Sub{TMenuTokenKind::SubStart, {}, 0};
inline constexpr TMenuToken End{TMenuTokenKind::SubEnd, {}, 0};

// Several token lists one after another.
template <size_t... N>
consteval std::array<TMenuToken, (N + ...)> Join(const std::array<TMenuToken, N>&... parts) {
  std::array<TMenuToken, (N + ...)> out{};
  size_t at = 0;
  ((std::copy(parts.begin(), parts.end(), out.begin() + at), at += N), ...);
  return out;
}

// The number of bytes the tokens take; checks the structure on the way.
consteval size_t EncodedMenuSize(std::span<const TMenuToken> tokens) {
  constexpr size_t kMaxCaption = 253;
  size_t size = 0, depth = 0;
  bool levelHasItem = false;
  for (const TMenuToken& t : tokens) {
    switch (t.Kind) {
      case TMenuTokenKind::Item:
        if (t.Caption.size() > kMaxCaption) throw "a caption is longer than the format allows";
        size += 1 + t.Caption.size() + 4;
        levelHasItem = true;
        break;
      case TMenuTokenKind::SubStart:
        if (!levelHasItem) throw "a submenu opens before any item of its level";
        ++depth;
        ++size;
        levelHasItem = false;
        break;
      case TMenuTokenKind::SubEnd:
        if (depth == 0) throw "a submenu closes that was never opened";
        if (!levelHasItem) throw "a submenu is empty";
        --depth;
        ++size;
        levelHasItem = true;
        break;
    }
  }
  if (depth != 0) throw "a submenu is left open";
  return size;
}

// The resource bytes of a token list (a constexpr object with static storage).
template <const auto& Tokens>
consteval std::array<char, EncodedMenuSize(Tokens)> EncodeMenu() {
  std::array<char, EncodedMenuSize(Tokens)> out{};
  size_t at = 0;
  for (const TMenuToken& t : Tokens) {
    if (t.Kind == TMenuTokenKind::SubStart) {
      out[at++] = char(0xFE);
    } else if (t.Kind == TMenuTokenKind::SubEnd) {
      out[at++] = char(0xFF);
    } else {
      out[at++] = char(t.Caption.size());
      for (char c : t.Caption) out[at++] = c;
      const uint32_t id = uint32_t(t.Id);
      for (int shift = 0; shift < 32; shift += 8) out[at++] = char((id >> shift) & 0xFF);
    }
  }
  return out;
}

template <size_t N>
constexpr std::string_view BytesOf(const std::array<char, N>& data) {
  return {data.data(), N};
}

// One menu resource of the program: its name and its bytes.
struct TMenuResourceData {
  std::string_view Name;
  std::string_view Bytes;
};

}  // namespace qv
