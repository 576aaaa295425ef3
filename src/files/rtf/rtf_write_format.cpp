#include "files/rtf/rtf_write_format.h"

#include "document/doc.h"
#include "document/par.h"
#include "document/styles.h"
#include "document/tab_stops.h"
#include "files/rtf/rtf_keywords.h"
#include "files/rtf/rtf_write_state.h"
#include "foundation/text/measure_units.h"

namespace qv {
namespace {

int32_t UnderlineWord(int32_t code) {
  switch (code) {
    case 0: return RtfWord("ulnone");
    case 1: return RtfWord("ul");
    case 2: return RtfWord("ulw");
    case 3: return RtfWord("uldb");
    case 4: return RtfWord("uld");
    case 6: return RtfWord("ulth");
    case 7: return RtfWord("uldash");
    case 9: return RtfWord("uldashd");
    case 10: return RtfWord("uldashdd");
    case 11: return RtfWord("ulwave");
    case 20: return RtfWord("ulthd");
    case 23: return RtfWord("ulthdash");
    case 25: return RtfWord("ulthdashd");
    case 26: return RtfWord("ulthdashdd");
    case 27: return RtfWord("ulhwave");
    case 39: return RtfWord("ulldash");
    case 43: return RtfWord("ululdbwave");
    default: return RtfWord("ulthldash");
  }
}

int32_t BorderStyleWord(int32_t style) {
  switch (style) {
    case 2: return RtfWord("brdrth");
    case 3: return RtfWord("brdrdb");
    case 5: return RtfWord("brdrhair");
    case 6: return RtfWord("brdrdot");
    case 7: return RtfWord("brdrdash");
    case 8: return RtfWord("brdrdashd");
    case 9: return RtfWord("brdrdashdd");
    case 10: return RtfWord("brdrtriple");
    case 11: return RtfWord("brdrtnthsg");
    case 12: return RtfWord("brdrthtnsg");
    case 13: return RtfWord("brdrtnthtnsg");
    case 14: return RtfWord("brdrtnthmg");
    case 15: return RtfWord("brdrthtnmg");
    case 16: return RtfWord("brdrtnthtnmg");
    case 17: return RtfWord("brdrtnthlg");
    case 18: return RtfWord("brdrthtnlg");
    case 19: return RtfWord("brdrtnthtnlg");
    case 20: return RtfWord("brdrwavy");
    case 21: return RtfWord("brdrwavydb");
    case 22: return RtfWord("brdrdashsm");
    case 23: return RtfWord("brdrdashdotstr");
    case 24: return RtfWord("brdremboss");
    case 25: return RtfWord("brdrengrave");
    case 26: return RtfWord("brdroutset");
    case 27: return RtfWord("brdrinset");
    case BorderStyleNone: return RtfWord("brdrnone");
    default: return RtfWord("brdrs");
  }
}

void WriteHighlight(TRtfWriteState& w, int32_t color) {
  WriteRtfWordValue(w, RtfWord("chshdng"), 0);
  WriteRtfWordValue(w, RtfWord("chcfpat"), 0);
  const int32_t index = RtfColorIndex(w, color);
  const uint32_t value = static_cast<uint32_t>(color);
  const int32_t ico = ColorToIco(value, 0xFFFFFFFFu);
  if (color == AutoColor || (ico > 0 && IcoColors[static_cast<size_t>(ico)] == value)) {
    WriteRtfWordValue(w, RtfWord("chcbpat"), 0);
    WriteRtfWordValue(w, RtfWord("highlight"), index);
  } else {
    WriteRtfWordValue(w, RtfWord("chcbpat"), index);
  }
}

void WriteSpaceProperty(TRtfWriteState& w, int32_t value, int32_t base, int32_t word,
                        int32_t autoWord) {
  if (value == -20) {
    WriteRtfWordValue(w, word, 280);
    WriteRtfWordValue(w, autoWord, 1);
    return;
  }
  WriteRtfWordValue(w, word, value);
  if (base == -20) WriteRtfWordValue(w, autoWord, 0);
}

void WriteTabSet(TRtfWriteState& w, int32_t tabSet) {
  for (uint32_t packed : GetTabManager().Table(tabSet)) {
    const TTabStop stop = UnpackTabStop(packed);
    if (w.InListTable) WriteRtfWord(w, RtfWord("jclisttab"));
    if (stop.Kind == tkBar) {
      WriteRtfWordValue(w, RtfWord("tb"), stop.Position);
      continue;
    }
    switch (stop.Kind) {
      case tkCenter: WriteRtfWord(w, RtfWord("tqc")); break;
      case tkRight: WriteRtfWord(w, RtfWord("tqr")); break;
      case tkDecimal: WriteRtfWord(w, RtfWord("tqdec")); break;
      case tkList: WriteRtfWord(w, RtfWord("jclisttab")); break;
      default: break;
    }
    switch (stop.Leader) {
      case tlDots: WriteRtfWord(w, RtfWord("tldot")); break;
      case tlHyphens: WriteRtfWord(w, RtfWord("tlhyph")); break;
      case tlUnderline: WriteRtfWord(w, RtfWord("tlul")); break;
      default: break;
    }
    WriteRtfWordValue(w, RtfWord("tx"), stop.Position);
  }
}

void WriteBorderSet(TRtfWriteState& w, int32_t index) {
  if (index <= 0) return;
  const TParBorders b = GetParBorders(index);
  const std::pair<int32_t, const TBorderLine*> sides[] = {
      {RtfWord("brdrt"), &b.Top},    {RtfWord("brdrl"), &b.Left},
      {RtfWord("brdrb"), &b.Bottom}, {RtfWord("brdrr"), &b.Right},
      {RtfWord("brdrbtw"), &b.Inside}};
  for (const auto& [word, line] : sides)
    if (line->Style != BorderStyleNone) WriteRtfBorder(w, word, *line, true);
}

bool ParHasHeadingStyle(const TRtfWriteState& w, const TParFormat& format) {
  if (format.Style == ParUnset16 || w.Doc.Styles == nullptr) return false;
  const TStyle* style = w.Doc.Styles->Get(format.Style);
  return style != nullptr && style->IsHeading();
}

bool Differs(const TParFormat& a, const TParFormat& b, int n) {
  return GetParFormatProp(a, n) != GetParFormatProp(b, n);
}

int32_t CountDifferences(const TParFormat& a, const TParFormat& b) {
  int32_t count = 0;
  for (int n = 0; n < TParFormat::Count; ++n)
    if (Differs(a, b, n)) ++count;
  return count;
}

bool IsOn(int32_t value) { return value != ParUnset32 && value != 0; }

// Changes that a difference cannot express: the reader only clears them with "pard".
bool NeedsParagraphReset(const TParFormat& f, const TParFormat& s) {
  if (IsOn(s.List) && !IsOn(f.List)) return true;
  for (int n : {ppKeepNext, ppKeepLines, ppPageBreakBefore, ppContextual, ppInTable})
    if (IsOn(GetParFormatProp(s, n)) && !IsOn(GetParFormatProp(f, n))) return true;
  if (Differs(f, s, ppNoLineNumbers) && f.NoLineNumbers == 1) return true;
  if (Differs(f, s, ppOutlineLevel) && f.OutlineLevel == 9) return true;
  if (IsOn(s.TabSet) && f.TabSet != s.TabSet) return true;
  if (s.Collapsed != ParUnset8 && s.Collapsed > 0) return true;
  return Differs(f, s, ppBorders) || Differs(f, s, ppShading);
}

}  // namespace

void WriteCharProperty(TRtfWriteState& w, int index, int32_t value) {
  if (value == CharUnset) return;
  switch (index) {
    case cpFont: WriteRtfWordValue(w, RtfWord("f"), value); break;
    case cpSize: WriteRtfWordValue(w, RtfWord("fs"), value); break;
    case cpBold: WriteRtfToggle(w, RtfWord("b"), (value & 0xFF) != 0); break;
    case cpItalic: WriteRtfToggle(w, RtfWord("i"), (value & 0xFF) != 0); break;
    case cpStrike: WriteRtfToggle(w, RtfWord("strike"), (value & 0xFF) != 0); break;
    case cpDoubleStrike: WriteRtfWordValue(w, RtfWord("striked"), value); break;
    case cpUnderline: WriteRtfWord(w, UnderlineWord(value)); break;
    case cpUnderlineColor: WriteRtfWordValue(w, RtfWord("ulc"), RtfColorIndex(w, value)); break;
    case cpCharStyle: break;
    case cpSmallCaps: WriteRtfToggle(w, RtfWord("scaps"), (value & 0xFF) != 0); break;
    case cpAllCaps: WriteRtfToggle(w, RtfWord("caps"), (value & 0xFF) != 0); break;
    case cpShadow: WriteRtfToggle(w, RtfWord("shad"), (value & 0xFF) != 0); break;
    case cpOutline: WriteRtfToggle(w, RtfWord("outl"), (value & 0xFF) != 0); break;
    case cpEmboss: WriteRtfToggle(w, RtfWord("embo"), (value & 0xFF) != 0); break;
    case cpEngrave: WriteRtfToggle(w, RtfWord("impr"), (value & 0xFF) != 0); break;
    case cpColor: WriteRtfWordValue(w, RtfWord("cf"), RtfColorIndex(w, value)); break;
    case cpHighlight: WriteHighlight(w, value); break;
    case cpScript:
      WriteRtfWord(w, value == 1   ? RtfWord("super")
                      : value == 2 ? RtfWord("sub")
                                   : RtfWord("nosupersub"));
      break;
    case cpScale: WriteRtfWordValue(w, RtfWord("charscalex"), value); break;
    case cpSpacing:
      WriteRtfWordValue(w, RtfWord("expnd"), static_cast<int64_t>(value) * 4 / 20);
      WriteRtfWordValue(w, RtfWord("expndtw"), value);
      break;
    case cpVertOffset:
      if (value < 0) WriteRtfWordValue(w, RtfWord("dn"), -2 * static_cast<int64_t>(value));
      else WriteRtfWordValue(w, RtfWord("up"), 2 * static_cast<int64_t>(value));
      break;
    case cpKerning: WriteRtfWordValue(w, RtfWord("kerning"), value); break;
    case cpLanguage: WriteRtfWordValue(w, RtfWord("lang"), value); break;
    default: break;
  }
}

void WriteCharDifferences(TRtfWriteState& w, const TCharFormat& format) {
  for (int i = 0; i < TCharFormat::Count; ++i) {
    const int32_t value = format[i];
    if (value == CharUnset || value == w.CharState[i]) continue;
    WriteCharProperty(w, i, value);
    w.CharState[i] = value;
  }
}

void WriteSetCharProperties(TRtfWriteState& w, const TCharFormat& format) {
  for (int i = 0; i < TCharFormat::Count; ++i) WriteCharProperty(w, i, format[i]);
}

void WriteRtfBorder(TRtfWriteState& w, int32_t sideWord, const TBorderLine& border,
                    bool withSpacing) {
  WriteRtfWord(w, sideWord);
  WriteRtfWord(w, BorderStyleWord(border.Style));
  if (border.Style == BorderStyleNone) return;
  WriteRtfWordValue(w, RtfWord("brdrw"), border.Width);
  if (border.Color != AutoColor)
    WriteRtfWordValue(w, RtfWord("brdrcf"), RtfColorIndex(w, border.Color));
  if (withSpacing) WriteRtfWordValue(w, RtfWord("brsp"), border.Distance);
}

void WriteParDifferences(TRtfWriteState& w, const TParFormat& f, const TParFormat& base,
                         bool skipStyle) {
  for (int n = 0; n < TParFormat::Count; ++n) {
    if (!Differs(f, base, n) || IsParFormatPropUnset(f, n)) continue;
    const int32_t v = GetParFormatProp(f, n);
    switch (n) {
      case ppFirstIndent: WriteRtfWordValue(w, RtfWord("fi"), v); break;
      case ppLeftIndent: WriteRtfWordValue(w, RtfWord("li"), v); break;
      case ppLineSpacing:
        WriteRtfWordValue(w, RtfWord("sl"), v);
        if (f.LineRule != ParUnset16) WriteRtfWordValue(w, RtfWord("slmult"), f.LineRule);
        break;
      case ppLineRule:
        // Written with the spacing; alone only when the spacing itself is unchanged.
        if (!Differs(f, base, ppLineSpacing) && f.LineSpacing != ParUnset16) {
          WriteRtfWordValue(w, RtfWord("sl"), f.LineSpacing);
          WriteRtfWordValue(w, RtfWord("slmult"), v);
        }
        break;
      case ppRightIndent: WriteRtfWordValue(w, RtfWord("ri"), v); break;
      case ppAlignment:
        WriteRtfWord(w, v == 1 ? RtfWord("qc") : v == 2 ? RtfWord("qr") : v == 3 ? RtfWord("qj")
                                                                          : RtfWord("ql"));
        break;
      case ppKeepNext: WriteRtfWord(w, v ? RtfWord("keepn") : RtfWord("keepnoff")); break;
      case ppKeepLines: WriteRtfWord(w, v ? RtfWord("keep") : RtfWord("keepoff")); break;
      case ppPageBreakBefore: WriteRtfWord(w, v ? RtfWord("pagebb") : RtfWord("pagebboff")); break;
      case ppWidowControl:
        if (w.InStyleSheet) {
          WriteRtfWord(w, v ? RtfWord("widctlpar") : RtfWord("nowidctlpar"));
        } else {
          WriteRtfWord(w, RtfWord("nowidctlpar"));
          if (v) WriteRtfWord(w, RtfWord("widctlpar"));
        }
        break;
      case ppNoHyphenation:
        if (v) WriteRtfWordValue(w, RtfWord("hyphpar"), 0);
        else WriteRtfWord(w, RtfWord("hyphpar"));
        break;
      case ppSpaceBefore:
        WriteSpaceProperty(w, v, GetParFormatProp(base, n), RtfWord("sb"), RtfWord("sbauto"));
        break;
      case ppSpaceAfter:
        WriteSpaceProperty(w, v, GetParFormatProp(base, n), RtfWord("sa"), RtfWord("saauto"));
        break;
      case ppContextual: WriteRtfToggle(w, RtfWord("contextualspace"), v != 0); break;
      case ppNoLineNumbers: WriteRtfToggle(w, RtfWord("noline"), v != 0); break;
      case ppStyle:
        if (!skipStyle) WriteRtfWordValue(w, RtfWord("s"), v);
        break;
      case ppOutlineLevel:
        if (!ParHasHeadingStyle(w, f)) WriteRtfWordValue(w, RtfWord("outlinelevel"), v);
        break;
      case ppTabSet: WriteTabSet(w, v); break;
      case ppList:
        if (v != 0) {
          const int32_t number = RtfListOutputNumber(w, v);
          if (number > 0) WriteRtfWordValue(w, RtfWord("ls"), number);
        }
        break;
      case ppListLevel: WriteRtfWordValue(w, RtfWord("ilvl"), v); break;
      case ppInTable:
        if (v != 0 && w.Context.WriteTables) WriteRtfWord(w, RtfWord("intbl"));
        break;
      case ppCollapsed:
        if (v > 0) WriteRtfWord(w, RtfWord("collapsedh"));
        break;
      case ppBorders: WriteBorderSet(w, v); break;
      case ppShading:
        if (v >= 0) WriteRtfWordValue(w, RtfWord("cbpat"), RtfColorIndex(w, v));
        break;
      default: break;
    }
  }
}

bool WriteParProperties(TRtfWriteState& w, const TParFormat& format, const TParFormat& state) {
  if (ParFormatsEqual(format, state)) return false;
  const int32_t fromState = CountDifferences(format, state);
  const int32_t fromDefault = CountDifferences(format, DefaultParFormat);
  if (fromState <= fromDefault && !NeedsParagraphReset(format, state)) {
    WriteParDifferences(w, format, state);
  } else {
    WriteRtfWord(w, RtfWord("pard"));
    WriteParDifferences(w, format, DefaultParFormat);
  }
  return true;
}

void PushFormatState(TRtfWriteState& w) {
  w.FormatStack.emplace_back(w.Par().Format, w.CharState);
}

void PopFormatState(TRtfWriteState& w) {
  if (w.FormatStack.empty()) return;
  const auto [parFormat, charFormat] = w.FormatStack.back();
  w.FormatStack.pop_back();
  for (int i = TCharFormat::Count - 1; i >= 0; --i) {
    if (w.CharState[i] != charFormat[i]) WriteCharProperty(w, i, w.CharState[i]);
  }
  WriteParProperties(w, w.Par().Format, parFormat);
}

}  // namespace qv
