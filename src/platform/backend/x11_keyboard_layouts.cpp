#include "platform/backend/x11_keyboard_layouts.h"

#include <algorithm>
#include <cstdlib>
#include <string_view>

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XKBstr.h>

namespace plat {
namespace {

struct NamedLayout {
  const char* xkb;    // the XKB layout name
  const char* group;  // how a group's name begins
  uint16_t language;
};

// The known layouts; the group names are matched on their start, so the more precise come first.
constexpr NamedLayout kLayouts[] = {
    {"us", "English (US)", 0x0409},   {"gb", "English (UK)", 0x0809},    {"de", "German", 0x0407},
    {"fr", "French", 0x040C},         {"ru", "Russian", 0x0419},         {"ch", "German (Switzerland)", 0x0807},
    {"at", "German (Austria)", 0x0C07}, {"be", "Belgian", 0x080C},       {"es", "Spanish", 0x0C0A},
    {"it", "Italian", 0x0410},        {"pt", "Portuguese", 0x0816},      {"br", "Portuguese (Brazil)", 0x0416},
    {"nl", "Dutch", 0x0413},          {"pl", "Polish", 0x0415},          {"cz", "Czech", 0x0405},
    {"sk", "Slovak", 0x041B},         {"hu", "Hungarian", 0x040E},       {"ua", "Ukrainian", 0x0422},
    {"by", "Belarusian", 0x0423},     {"bg", "Bulgarian", 0x0402},       {"se", "Swedish", 0x041D},
    {"no", "Norwegian", 0x0414},      {"dk", "Danish", 0x0406},          {"fi", "Finnish", 0x040B},
    {"gr", "Greek", 0x0408},          {"tr", "Turkish", 0x041F},         {"lt", "Lithuanian", 0x0427},
    {"lv", "Latvian", 0x0426},        {"ee", "Estonian", 0x0425},        {"ro", "Romanian", 0x0418},
    {"hr", "Croatian", 0x041A},       {"si", "Slovenian", 0x0424},       {"il", "Hebrew", 0x040D},
};

uint32_t Handle(uint16_t language) { return uint32_t(language) << 16 | language; }

}  // namespace

uint32_t LayoutFromXkbName(const std::string& name) {
  for (const NamedLayout& l : kLayouts)
    if (name == l.xkb) return Handle(l.language);
  return 0;
}

uint32_t LayoutFromGroupName(const std::string& name) {
  // "German (Switzerland)" must not be taken for "German": the longest matching start wins.
  const NamedLayout* best = nullptr;
  for (const NamedLayout& l : kLayouts) {
    std::string_view g = l.group;
    if (name.compare(0, g.size(), g) == 0 && (!best || g.size() > std::string_view(best->group).size())) best = &l;
  }
  return best ? Handle(best->language) : 0;
}

std::vector<uint32_t> GroupsFromXkbSymbols(const std::string& symbols) {
  std::vector<uint32_t> groups;
  bool haveFirst = false;
  size_t start = 0;
  while (start <= symbols.size()) {
    size_t end = symbols.find('+', start);
    if (end == std::string::npos) end = symbols.size();
    std::string token = symbols.substr(start, end - start);
    start = end + 1;
    // "de(nodeadkeys):2": the layout, its variant, its group.
    size_t colon = token.find(':');
    int group = 0;
    if (colon != std::string::npos) {
      group = std::atoi(token.c_str() + colon + 1);
      token.resize(colon);
    }
    std::string name = token.substr(0, token.find('('));
    if (group == 0) {
      // The first plain token after the model's ("pc") is the first group; later plain tokens
      // are options (inet, group, level3 ...).
      if (haveFirst || name.empty() || name.rfind("pc", 0) == 0) continue;
      haveFirst = true;
      group = 1;
    }
    if (group < 1 || group > 4) continue;
    if (groups.size() < size_t(group)) groups.resize(size_t(group), 0);
    groups[size_t(group) - 1] = LayoutFromXkbName(name);
  }
  return groups;
}

std::vector<uint32_t> X11KeyboardLayoutSource::Groups() {
  if (!dpy_) return {};
  XkbDescPtr desc = XkbAllocKeyboard();
  if (!desc) return {};
  std::vector<uint32_t> groups;
  if (XkbGetNames(dpy_, XkbSymbolsNameMask | XkbGroupNamesMask, desc) == Success && desc->names) {
    if (desc->names->symbols != None) {
      if (char* s = XGetAtomName(dpy_, desc->names->symbols)) {
        groups = GroupsFromXkbSymbols(s);
        XFree(s);
      }
    }
    if (std::none_of(groups.begin(), groups.end(), [](uint32_t id) { return id != 0; })) {
      groups.clear();
      for (int g = 0; g < XkbNumKbdGroups && desc->names->groups[g] != None; ++g) {
        char* s = XGetAtomName(dpy_, desc->names->groups[g]);
        groups.push_back(s ? LayoutFromGroupName(s) : 0);
        if (s) XFree(s);
      }
    }
  }
  XkbFreeKeyboard(desc, 0, True);
  return groups;
}

std::vector<uint32_t> X11KeyboardLayoutSource::InstalledLayouts() {
  std::vector<uint32_t> known;
  for (uint32_t id : Groups())
    if (id != 0 && std::find(known.begin(), known.end(), id) == known.end()) known.push_back(id);
  return known.empty() ? KeyboardLayoutSource::InstalledLayouts() : known;
}

uint32_t X11KeyboardLayoutSource::CurrentLayout() {
  std::vector<uint32_t> groups = Groups();
  auto firstKnown = std::find_if(groups.begin(), groups.end(), [](uint32_t id) { return id != 0; });
  if (firstKnown == groups.end()) return KeyboardLayoutSource::CurrentLayout();
  XkbStateRec state{};
  if (dpy_ && XkbGetState(dpy_, XkbUseCoreKbd, &state) == Success && state.group < groups.size() &&
      groups[state.group] != 0)
    return groups[state.group];
  return *firstKnown;
}

}  // namespace plat
