#include "foundation/fonts/font_substitution.h"

#include <algorithm>
#include <array>
#include <vector>

namespace qv {

namespace {

constexpr std::array<const char*, 71> kSubstitutes = {
    "Arial,Helvetica",
    "Arial Narrow,Helvetica-Narrow",
    "Avant Garde,Century Gothic",
    "AvantGarde,Avant Garde",
    "Book Antiqua,Palatino",
    "Bookman,Bookman Old Style",
    "Bookman Old Style,Bookman",
    "Century Gothic,AvantGarde",
    "Century Schoolbook,NewCenturySchlbk",
    "CG Times,CG Times (W1)",
    "CG Times (W1),Times New Roman",
    "CGTimes_Scale,CG Times",
    "Chicago,Arial",
    "Courier 10cpi,Roman 10cpi",
    "Courier 12cpi,Roman 12cpi",
    "Courier 5cpi,Roman 5cpi",
    "Courier 6cpi,Roman 6cpi",
    "Courier New,Courier",
    "Courier PS,Roman PS",
    "Courier,Courier New",
    "CourierPC,MS LineDraw",
    "Elite,Roman 12cpi",
    "EliteD,Roman 6cpi",
    "Garamond MT,Garamond",
    "Geneva,Arial",
    "Gothic,Century Gothic",
    "Helv,Helvetica",
    "Helvetica,Arial",
    "Helvetica Narrow,Arial Narrow",
    "Helvetica-Narrow,Helvetica Narrow",
    "HGGothicE-PRO,HGPGothicE",
    "Kafisma,Arial",
    "Letter Gothic,Courier New",
    "Linedraw,Courier New",
    "London,Old English Text MT",
    "Los Angeles,Onyx",
    "Meiryo,MS Gothic",
    "Monaco,Courier New",
    "Monotype Corsiva,ZapfChancery",
    "Monotype Sorts,ZapfDingbats",
    "MS LineDraw,Courier New",
    "MT Symbol,Symbol",
    "New Century Schlbk,Century Schoolbook",
    "New York,Times New Roman",
    "NewCenturySchlbk,New Century Schlbk",
    "NLQ,Roman 10cpi",
    "NLQDblHigh,NLQII 10cpi",
    "Palatino,Book Antiqua",
    "Pica,Roman 10cpi",
    "PicaD,Roman 5cpi",
    "PS,Roman PS",
    "PSD,Roman PX",
    "PSNLQ,Courier PS",
    "Roman 10cpi,Courier 10cpi",
    "Roman 12cpi,Courier 12cpi",
    "Roman 5cpi,Courier 5cpi",
    "Roman 6cpi,Courier 6cpi",
    "Roman PS,Courier PS",
    "StarSymbol,OpenSymbol",
    "Times,Times Roman",
    "Times New Roman,Times",
    "Times Roman,Times New Roman",
    "TimesNewRoman,Times New Roman",
    "Tms Rmn,Times Roman",
    "Univers,Univers (W1)",
    "Univers (W1),Arial",
    "Univers_Scale,Univers",
    "Zapf Chancery,Monotype Corsiva",
    "Zapf Dingbats,Monotype Sorts",
    "ZapfChancery,Zapf Chancery",
    "ZapfDingbats,Zapf Dingbats",
};

constexpr std::array<TMetricAlias, 7> kAliases = {{
    {"Arial", {"Liberation Sans", "Arimo"}},
    {"Arial Narrow", {"Liberation Sans Narrow", nullptr}},
    {"Calibri", {"Carlito", nullptr}},
    {"Cambria", {"Caladea", nullptr}},
    {"Courier New", {"Liberation Mono", "Cousine"}},
    {"Symbol", {"Standard Symbols PS", "Standard Symbols L"}},
    {"Times New Roman", {"Liberation Serif", "Tinos"}},
}};

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

std::string_view FaceOf(const char* entry) {
  std::string_view e(entry);
  return e.substr(0, e.find(','));
}

}  // namespace

int CompareFaceNames(std::string_view a, std::string_view b) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    const unsigned char x = static_cast<unsigned char>(Lower(a[i]));
    const unsigned char y = static_cast<unsigned char>(Lower(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

bool SameFaceName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && CompareFaceNames(a, b) == 0;
}

std::string RemoveLastWord(std::string_view face) {
  size_t n = face.size();
  while (n > 1 && face[n - 1] != ' ') --n;
  if (n > 0) --n;
  return std::string(face.substr(0, n));
}

std::string_view FontSubstitute(std::string_view face) {
  // The table is small; kept in the order of the list so that it reads like the list.
  for (const char* entry : kSubstitutes) {
    if (SameFaceName(FaceOf(entry), face)) {
      std::string_view e(entry);
      return e.substr(e.find(',') + 1);
    }
  }
  return {};
}

std::span<const char* const> FontSubstituteEntries() { return kSubstitutes; }

std::string FollowSubstitutes(std::string_view face,
                              const std::function<bool(std::string_view)>& installed) {
  std::vector<std::string> visited{std::string(face)};
  std::string current(face);
  for (;;) {
    const std::string_view next = FontSubstitute(current);
    if (next.empty()) return {};
    for (const std::string& v : visited)
      if (SameFaceName(v, next)) return {};
    if (installed(next)) return std::string(next);
    visited.emplace_back(next);
    current = std::string(next);
  }
}

std::span<const TMetricAlias> MetricAliases() { return kAliases; }

bool IsMetricStandIn(std::string_view face, std::string_view drawn) {
  for (const TMetricAlias& alias : kAliases) {
    if (!SameFaceName(alias.Face, face)) continue;
    for (const char* standIn : alias.StandIns)
      if (standIn && SameFaceName(standIn, drawn)) return true;
  }
  return false;
}

}  // namespace qv
