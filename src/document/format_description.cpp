#include "document/format_description.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "document/auto_list.h"
#include "document/border_sets.h"
#include "document/doc.h"
#include "document/tab_stops.h"
#include "foundation/base/string_utils.h"
#include "foundation/fonts/font_manager.h"
#include "foundation/graphics/colour_manager.h"
#include "foundation/text/code_pages.h"
#include "foundation/text/measure_units.h"
#include "platform/system/text_services.h"

namespace qv {

namespace {

constexpr char kNoBreakSpace = static_cast<char>(160);
constexpr char kValueMark = static_cast<char>(19);
constexpr uint32_t kAutomatic = 0xFF000000u;

std::string WithNoBreakSpaces(std::string text) {
  for (char& c : text)
    if (c == ' ') c = kNoBreakSpace;
  return text;
}

std::string LowerCase(const std::string& text) {
  return WideToCodePage(plat::ToLowerForLocale(CodePageToWide(text, 1252), plat::UserLocaleName()),
                        1252);
}

std::string General(double value) { return FormatGeneralNumber(value, LocaleDecimalSeparator()); }

// A border width as points: whole points and a quarter, half or three quarters when the width is
// a multiple of 5 twips, else the plain decimal value.
std::string BorderWidthText(int32_t twips) {
  if (twips % 5 != 0) return General(twips * 0.05);
  const int32_t points = twips / 20;
  const int32_t rest = std::abs(twips % 20);
  std::string text = points != 0 ? std::to_string(points) : std::string();
  static const char* const kFractions[] = {"", "1/4", "1/2", "3/4"};
  if (rest != 0) {
    if (!text.empty()) text += ' ';
    text += kFractions[rest / 5];
  }
  return text.empty() ? std::string("0") : text;
}

class TDescriber {
 public:
  TDescriber(const std::string& separator, std::string& text, uint32_t flags)
      : separator_(separator), text_(text), flags_(flags) {}

  void Item(const std::string& item) {
    if (!first_) text_ += separator_;
    first_ = false;
    text_ += item;
  }
  bool Has(uint32_t flag) const { return (flags_ & flag) != 0; }
  std::string Pt() const { return Has(dfmNoBreakSpaces) ? "\xA0pt" : " pt"; }
  // A length in the user's unit, with no-break spaces when asked for.
  std::string Length(int32_t twips) const {
    const std::string text = TwipsToUnitText(twips);
    return Has(dfmNoBreakSpaces) ? WithNoBreakSpaces(text) : text;
  }
  std::string Colour(int32_t colour) const {
    std::string name;
    TColorManager::GetColorName(static_cast<uint32_t>(colour), name);
    if (!Has(dfmColorValues) || static_cast<uint32_t>(colour) == kAutomatic) return name;
    return WithNoBreakSpaces(std::string(1, kValueMark) + std::to_string(colour) + kValueMark +
                             " " + name);
  }
  std::string Points100(int32_t twips) const { return General(TwipsToPt100(twips) / 100.0) + Pt(); }

 private:
  const std::string& separator_;
  std::string& text_;
  uint32_t flags_;
  bool first_ = true;
};

bool IsSet(int32_t v) { return v != CharUnset; }

void OnOff(TDescriber& d, int32_t value, const char* on, const char* off) {
  if (IsSet(value)) d.Item(value != 0 ? on : off);
}

void DescribeChar(TDescriber& d, TCharFormat f) {
  if (d.Has(dfmDefaultFontAndSize)) {
    if (!IsSet(f.Font)) f.Font = DefaultCharFormat.Font;
    if (!IsSet(f.Size)) f.Size = DefaultCharFormat.Size;
  }
  if (IsSet(f.Font)) {
    const TFontManager* fm = FontManager();
    std::string face = fm != nullptr ? fm->GetFaceName(f.Font) : std::string();
    if (d.Has(dfmNoBreakSpaces)) face = WithNoBreakSpaces(face);
    d.Item("font: " + face);
  }
  if (IsSet(f.Size)) d.Item("font size: " + General(f.Size / 2.0) + d.Pt());
  OnOff(d, f.Bold, "bold", "not bold");
  OnOff(d, f.Italic, "italic", "not italic");
  if (IsSet(f.Strike)) {
    if (f.Strike == 1) d.Item("strike");
    else if (f.DoubleStrike == 0 || d.Has(dfmNegativeItems)) d.Item("not strike");
  }
  if (IsSet(f.DoubleStrike)) {
    if (f.DoubleStrike == 1) d.Item("double strike");
    else if (d.Has(dfmNegativeItems)) d.Item("not double strike");
  }
  if (IsSet(f.Underline)) {
    const int32_t index = UnderlineStyleIndex(f.Underline);
    if (index >= 0) d.Item(UnderlineWords[static_cast<size_t>(index)]);
  }
  if (IsSet(f.UnderlineColor)) d.Item(LowerCase("underline color: " + d.Colour(f.UnderlineColor)));
  OnOff(d, f.SmallCaps, "small caps", "no small caps");
  OnOff(d, f.AllCaps, "all caps", "no all caps");
  OnOff(d, f.Shadow, "shadow", "no shadow");
  OnOff(d, f.Outline, "outline", "no outline");
  OnOff(d, f.Emboss, "emboss", "no emboss");
  OnOff(d, f.Engrave, "engrave", "no engrave");
  if (IsSet(f.Color)) d.Item(LowerCase("font color: " + d.Colour(f.Color)));
  if (IsSet(f.Highlight)) {
    std::string value;
    if (f.Highlight == AnyHighlight) value = "(Any)";
    else if (f.Highlight == AutoColor) value = "(None)";
    else value = LowerCase(d.Colour(f.Highlight));
    d.Item("highlight color: " + value);
  }
  if (IsSet(f.Script)) {
    if (f.Script == 0) d.Item("no scripts");
    else if (f.Script == 1) d.Item("superscript");
    else if (f.Script == 2) d.Item("subscript");
  }
  if (IsSet(f.Scale))
    d.Item(f.Scale == 100 ? std::string("no character scaling")
                          : "character scale: " + std::to_string(f.Scale) + "%");
  if (IsSet(f.Spacing))
    d.Item(f.Spacing == 0 ? std::string("normal character spacing")
                          : "character spacing: " + d.Points100(f.Spacing));
  if (IsSet(f.VertOffset)) {
    if (f.VertOffset == 0) d.Item("no vertical offset");
    else if (f.VertOffset < 0)
      d.Item("vertical offset down: " + std::to_string(-int64_t{f.VertOffset}) + d.Pt());
    else d.Item("vertical offset up: " + std::to_string(f.VertOffset) + d.Pt());
  }
  if (IsSet(f.Kerning))
    d.Item(f.Kerning == 0 ? std::string("no kerning")
                          : "kerning: " + std::to_string(f.Kerning / 2) + d.Pt() + " and greater");
}

std::string TabStopsText(TDescriber& d, int32_t tabSet) {
  static const char* const kKinds[] = {"", " centered", " right", " decimal", " bar"};
  std::string text;
  for (uint32_t packed : GetTabManager().Table(tabSet)) {
    const TTabStop stop = UnpackTabStop(packed);
    if (!text.empty()) text += ", ";
    text += d.Length(stop.Position);
    if (stop.Kind < 5) text += kKinds[stop.Kind];
  }
  return text;
}

std::string BorderLineText(const TBorderLine& line) {
  if (line.Style == BorderStyleNone) return "no border";
  std::string colour;
  TColorManager::GetColorName(static_cast<uint32_t>(line.Color), colour);
  return BorderWidthText(line.Width) + " pt " + colour;
}

void DescribeLineSpacing(TDescriber& d, const TParFormat& f) {
  const int32_t spacing = GetParFormatProp(f, ppLineSpacing);
  const int32_t rule = GetParFormatProp(f, ppLineRule);
  if (spacing == ParUnset32 || rule == ParUnset32) return;
  if (rule == 0) {
    d.Item((spacing <= 0 ? "line spacing exactly: " : "line spacing at least: ") +
           d.Points100(std::abs(spacing)));
  } else if (spacing == 240) {
    d.Item("single line spacing");
  } else if (spacing == 360) {
    d.Item("1.5 lines spacing");
  } else if (spacing == 480) {
    d.Item("double line spacing");
  } else {
    d.Item("single line spacing multiple: " + General(spacing / 240.0));
  }
}

void DescribePar(TDescriber& d, const TParFormat& f, const TDoc* doc) {
  auto get = [&f](int n) { return GetParFormatProp(f, n); };
  auto set = [&f](int n) { return !IsParFormatPropUnset(f, n); };
  if (set(ppFirstIndent)) {
    const int32_t v = get(ppFirstIndent);
    if (v == 0) d.Item("no first line indent/outdent");
    else d.Item((v < 0 ? "first line outdent: " : "first line indent: ") + d.Length(std::abs(v)));
  }
  if (set(ppLeftIndent)) {
    int32_t left = get(ppLeftIndent);
    if (set(ppFirstIndent) && get(ppFirstIndent) < 0) left += get(ppFirstIndent);
    d.Item("left indent: " + TwipsToUnitText(left));
  }
  DescribeLineSpacing(d, f);
  if (set(ppRightIndent)) d.Item("right indent: " + d.Length(get(ppRightIndent)));
  if (set(ppAlignment)) {
    static const char* const kAlign[] = {"left alignment", "centered alignment", "right alignment"};
    const int32_t a = get(ppAlignment);
    d.Item(a >= 0 && a <= 2 ? kAlign[a] : "justified alignment");
  }
  auto onOff = [&](int n, const char* on, const char* off) {
    if (set(n)) d.Item(get(n) != 0 ? on : off);
  };
  onOff(ppKeepNext, "keep with next paragraph", "do not keep with next paragraph");
  onOff(ppKeepLines, "keep paragraph lines together", "do not keep paragraph lines together");
  onOff(ppPageBreakBefore, "page break before", "no page break before");
  onOff(ppWidowControl, "widow/orphan control", "no widow/orphan control");
  onOff(ppNoHyphenation, "do not hyphenate", "\"do not hyphenate\" turned off");
  auto spacing = [&](int n, const char* caption) {
    if (!set(n)) return;
    const int32_t v = get(n);
    d.Item(std::string(caption) + (v == -20 ? std::string("Auto") : d.Points100(v)));
  };
  spacing(ppSpaceBefore, "spacing before: ");
  spacing(ppSpaceAfter, "spacing after: ");
  onOff(ppContextual, "don't add space between paragraphs of the same style",
        "\"don't add space between paragraphs of the same style\" turned off");
  onOff(ppNoLineNumbers, "suppress line numbers", "don't suppress line numbers");
  if (set(ppOutlineLevel)) {
    const int32_t level = get(ppOutlineLevel);
    d.Item("outline level: " + (level == 9 ? std::string("body text") : std::to_string(level + 1)));
  }
  if (set(ppTabSet)) {
    const int32_t tabs = get(ppTabSet);
    if (tabs != 0) d.Item("tab stops: " + TabStopsText(d, tabs));
    else if (d.Has(dfmNegativeItems)) d.Item("no tab stops");
  }
  if (set(ppList) && get(ppList) != 0 && doc != nullptr) {
    if (const TAutoList* list = doc->ListByNumber(get(ppList))) {
      const int32_t kind = list->GetKind();
      const int32_t level = set(ppListLevel) ? get(ppListLevel) : 0;
      if (kind == lkBulleted) d.Item("simple bulleted list");
      else if (kind == lkNumbered) d.Item("simple numbered list");
      else d.Item("outline list (level " + std::to_string(level + 1) + ")");
    }
  }
  if (set(ppBorders)) {
    const int32_t index = get(ppBorders);
    if (index == 0) {
      d.Item("no paragraph borders");
    } else {
      const TParBorders b = GetParBorders(index);
      d.Item("paragraph borders: left - " + BorderLineText(b.Left) + ", top - " +
             BorderLineText(b.Top) + ", right - " + BorderLineText(b.Right) + ", bottom - " +
             BorderLineText(b.Bottom) + ", inside - " + BorderLineText(b.Inside));
    }
  }
  if (set(ppShading)) {
    const int32_t shading = get(ppShading);
    if (shading < 0) {
      d.Item("no paragraph shading");
    } else {
      std::string colour;
      TColorManager::GetColorName(static_cast<uint32_t>(shading), colour);
      d.Item("paragraph shading: " + colour);
    }
  }
}

}  // namespace

void DescribeFormatting(const TCharFormat* charPattern, const TParFormat* parPattern,
                        const std::string& separator, std::string& text, uint32_t flags,
                        const TDoc* doc) {
  text.clear();
  TDescriber d(separator, text, flags);
  if (charPattern != nullptr) DescribeChar(d, *charPattern);
  if (parPattern != nullptr) DescribePar(d, *parPattern, doc);
}

const std::array<const char*, BuiltInStyleCount> FrenchStyleNames = {
    "Normal",
    "Titre 1", "Titre 2", "Titre 3", "Titre 4", "Titre 5", "Titre 6", "Titre 7", "Titre 8",
    "Titre 9",
    "Index 1", "Index 2", "Index 3", "Index 4", "Index 5", "Index 6", "Index 7", "Index 8",
    "Index 9",
    "TM 1", "TM 2", "TM 3", "TM 4", "TM 5", "TM 6", "TM 7", "TM 8", "TM 9",
    "Retrait normal",
    "Note de bas de page",
    "Annotation",
    "En-t\xEA" "te",
    "Pied de page",
    "Titre d'index",
    "L\xE9" "gende",
    "Table des illustrations",
    "Adresse destinataire",
    "Adresse exp\xE9" "diteur",
    "Appel de note de bas de page",
    "Appel d'annotation",
    "Num\xE9" "ro de ligne",
    "Num\xE9" "ro de page",
    "Appel de note de fin",
    "Note de fin",
    "Table de r\xE9" "f\xE9" "rences juridiques",
    "Texte de macro",
    "Titre de table de r\xE9" "f\xE9" "rences",
    "Liste", "Liste 2", "Liste 3", "Liste 4", "Liste 5",
    "Liste \xE0 puces", "Liste \xE0 puces 2", "Liste \xE0 puces 3", "Liste \xE0 puces 4",
    "Liste \xE0 puces 5",
    "Liste \xE0 num\xE9" "ros", "Liste \xE0 num\xE9" "ros 2", "Liste \xE0 num\xE9" "ros 3",
    "Liste \xE0 num\xE9" "ros 4", "Liste \xE0 num\xE9" "ros 5",
    "Titre",
    "Salutations",
    "Signature",
    "Police par d\xE9" "faut",
    "Corps de texte",
    "Retrait corps de texte",
    "Liste continue", "Liste continue 2", "Liste continue 3", "Liste continue 4",
    "Liste continue 5",
    "En-t\xEA" "te de message",
    "Sous-titre",
    "Salutation",
    "Date",
    "Retrait corps et 1re ligne",
    "Retrait corps et 1re ligne 2",
    "Titre de note",
    "Corps de texte 2",
    "Corps de texte 3",
    "Retrait corps de texte 2",
    "Retrait corps de texte 3",
    "Normal centr\xE9",
    "Lien hypertexte",
    "Lien hypertexte suivi",
    "Gras",
    "Italique",
    "Plan de document",
    "Texte brut",
    "Titre TM",
};

std::string EnglishStyleName(const std::string& name) {
  const std::u16string lower = plat::ToLowerForLocale(CodePageToWide(name, 1252),
                                                      plat::UserLocaleName());
  for (size_t i = 0; i < FrenchStyleNames.size(); ++i) {
    const std::string french = FrenchStyleNames[i];
    if (french.size() != name.size()) continue;
    if (plat::ToLowerForLocale(CodePageToWide(french, 1252), plat::UserLocaleName()) == lower)
      return BuiltInStyleNames[i];
  }
  return {};
}

}  // namespace qv
