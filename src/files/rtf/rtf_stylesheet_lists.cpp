// The RTF reader's style sheet, list table, list overrides, list pictures and old paragraph
// numbering. Control words inside them go to the control-word handler with its targets turned
// to the style or list level being read.
#include <algorithm>
#include <cstdio>

#include "document/auto_list.h"
#include "document/doc.h"
#include "document/par.h"
#include "document/styles.h"
#include "document/tab_stops.h"
#include "files/open_context.h"
#include "files/reader_steps.h"
#include "files/rtf/rtf_keywords.h"
#include "files/rtf/rtf_read_state.h"
#include "foundation/text/code_pages.h"

namespace qv {

namespace {

// Style hot keys: the key code in the low 16 bits, the shift bits (1 Shift, 2 Alt, 4 Ctrl) above.
constexpr int kHotKeyShiftBits = 16;

bool SameNameNoCase(const std::string& a, const char* b) {
  size_t i = 0;
  for (; i < a.size() && b[i] != 0; ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  return i == a.size() && b[i] == 0;
}

// The formatting words a list level takes.
bool IsListLevelFormatWord(int32_t word) {
  static const int32_t kWords[] = {
      RtfWord("b"), RtfWord("caps"), RtfWord("cf"), RtfWord("charscalex"), RtfWord("dn"),
      RtfWord("embo"), RtfWord("expnd"), RtfWord("expndtw"), RtfWord("f"), RtfWord("fi"),
      RtfWord("fs"), RtfWord("hyphpar"), RtfWord("i"), RtfWord("impr"), RtfWord("jclisttab"),
      RtfWord("keep"), RtfWord("keepn"), RtfWord("keepnoff"), RtfWord("keepoff"), RtfWord("kerning"),
      RtfWord("li"), RtfWord("nosupersub"), RtfWord("nowidctlpar"), RtfWord("outl"), RtfWord("pagebb"),
      RtfWord("pagebboff"), RtfWord("plain"), RtfWord("qc"), RtfWord("qj"), RtfWord("ql"),
      RtfWord("qr"), RtfWord("ri"), RtfWord("sa"), RtfWord("sb"), RtfWord("scaps"), RtfWord("shad"),
      RtfWord("sl"), RtfWord("slmult"), RtfWord("strike"), RtfWord("striked"), RtfWord("sub"),
      RtfWord("super"), RtfWord("tb"), RtfWord("tldot"), RtfWord("tlhyph"), RtfWord("tlul"),
      RtfWord("tqc"), RtfWord("tqdec"), RtfWord("tqr"), RtfWord("tx"), RtfWord("ul"), RtfWord("ulc"),
      RtfWord("uld"), RtfWord("uldash"), RtfWord("uldashd"), RtfWord("uldashdd"), RtfWord("uldb"),
      RtfWord("ulhwave"), RtfWord("ulldash"), RtfWord("ulnone"), RtfWord("ulth"), RtfWord("ulthd"),
      RtfWord("ulthdash"), RtfWord("ulthdashd"), RtfWord("ulthdashdd"), RtfWord("ulthldash"),
      RtfWord("ululdbwave"), RtfWord("ulw"), RtfWord("ulwave"), RtfWord("up"), RtfWord("widctlpar")};
  return std::find(std::begin(kWords), std::end(kWords), word) != std::end(kWords);
}

int32_t NextListNumber(const TDoc& doc) {
  int32_t n = 0;
  for (const auto& l : doc.Lists) n = std::max(n, l->Number);
  return n + 1;
}

}  // namespace

// ---- style sheet ----

int32_t TRtfReader::StyleIndexOfNumber(int32_t number) const {
  for (size_t i = 0; i < styleNumberOf_.size(); ++i)
    if (styleNumberOf_[i] == number) return static_cast<int32_t>(i);
  return 0;
}

void TRtfReader::ReadStyleSheet(int32_t depth) {
  if (flags_ & rfRedirect) {  // a style sheet inside a style or list: nothing to read it into
    SkipRest(depth);
    return;
  }
  ctx_.StylesOwnSettingsOnly = false;
  const int32_t streamLength = Cur().Content.Length;
  const int32_t codesLength = Cur().Codes.Length;
  InternPending(Cur().Format);
  TStyleList& styles = *doc_.Styles;
  styles.Clear();
  const TStyleList& defaults = StyleManager().DefaultStyles;
  auto normal = std::make_unique<TStyle>(&styles);
  if (defaults.Count() > 0) normal->Assign(defaults[0]);
  else normal->Name = normal->DisplayName = "Normal";
  normal->BasedOn = -1;
  styles.Add(std::move(normal));
  styleNumberOf_.assign(1, 0);
  std::vector<int32_t> basedOn(1, -1), next(1, -1);
  styleNumbers_.clear();
  for (;;) {
    const TRtfItem item = Next();
    if (item.Type == TRtfItem::Kind::End) break;
    if (item.Type == TRtfItem::Kind::GroupEnd) {
      if (lex_.Depth() < depth || item.Unbalanced) break;
      continue;
    }
    if (item.Type != TRtfItem::Kind::GroupStart && item.Type != TRtfItem::Kind::DestinationStart) continue;
    if (static_cast<size_t>(styles.Count()) >= kRtfMaxStyles) {
      StopDamaged();
      break;
    }
    ReadStyle(lex_.Depth());
    // What the style left for the sheet's end.
    if (!styleNumbers_.empty()) {
      TRtfStyleRead& sr = styleNumbers_.back();
      if (sr.Style) {
        styleNumberOf_.push_back(sr.Number);
        basedOn.push_back(sr.BasedOn);
        next.push_back(sr.Next);
        styles.Add(std::move(sr.Style));
      }
      styleNumbers_.clear();
    }
  }
  // Unnamed styles get "Style n" with the smallest free n.
  for (int32_t i = 0; i < styles.Count(); ++i) {
    TStyle& s = styles[i];
    if (!s.Name.empty()) continue;
    for (int32_t n = 1;; ++n) {
      char name[32];
      std::snprintf(name, sizeof name, "Style %d", n);
      if (styles.IndexOfName(name) < 0) {
        s.Name = s.DisplayName = name;
        break;
      }
    }
  }
  for (int32_t i = 0; i < styles.Count(); ++i) {
    TStyle& s = styles[i];
    s.Next = next[static_cast<size_t>(i)] < 0 ? -1 : StyleIndexOfNumber(next[static_cast<size_t>(i)]);
    if (s.Next < 0) s.Next = i;
    s.ParFmt.Style = static_cast<int16_t>(i);
    const int32_t base = basedOn[static_cast<size_t>(i)];
    s.BasedOn = i == 0 && base < 0 ? -1 : (base == 222 || base < 0 ? -1 : StyleIndexOfNumber(base));
  }
  StyleManager().IdentifyBuiltInStyles(styles);
  FixStyleBaseLinks(doc_);
  Cur().Content.SetLength(std::min(streamLength, Cur().Content.Length));
  Cur().Codes.SetLength(std::min(codesLength, Cur().Codes.Length));
  tabsActive_ = bordersActive_ = false;
  flags_ &= ~rfBorders;
}

// One style of the sheet, from after its "{" (or "{\*") to its "}". The style is left in
// styleNumbers_ for the sheet when it is to be added to the document's list.
void TRtfReader::ReadStyle(int32_t depth) {
  TRtfStyleRead sr;
  sr.Style = std::make_unique<TStyle>(doc_.Styles.get());
  TCharFormat* savedChar = charTarget_;
  TParFormat* savedPar = parTarget_;
  charTarget_ = &sr.Style->CharFmt;
  parTarget_ = &sr.Style->ParFmt;
  styleRead_ = &sr;
  flags_ |= rfRedirect;
  tabsActive_ = bordersActive_ = false;
  flags_ &= ~rfBorders;
  ClearShadingWords();
  std::string name;
  bool named = false;
  while (InGroup(depth)) {
    const TRtfItem item = Next();
    if (item.Type == TRtfItem::Kind::End) break;
    switch (item.Type) {
      case TRtfItem::Kind::ControlWord:
        switch (item.Word) {
          case RtfWord("cs"): sr.CharNumber = item.Param; break;
          case RtfWord("ds"): sr.SectionStyle = true; break;
          case RtfWord("sbasedon"): sr.BasedOn = item.Param; break;
          case RtfWord("snext"): sr.Next = item.Param; break;
          default: HandleControlWord(item); break;
        }
        break;
      case TRtfItem::Kind::DestinationStart: {
        const int32_t d = lex_.Depth();
        const TRtfItem word = Next();
        if (word.Type != TRtfItem::Kind::ControlWord) {
          if (word.Type != TRtfItem::Kind::GroupEnd) SkipRest(d);
        } else if (word.Word == RtfWord("keycode")) {
          ReadKeyCode(sr, d);
        } else if (word.Word == RtfWord("pn")) {
          ReadOldNumbering(d);
        } else if (word.Word == RtfWord("stloverrides")) {
          ctx_.StylesOwnSettingsOnly = true;
          const int16_t own = sr.Style->ParFmt.Style;
          sr.Style->ParFmt = DefaultParFormat;
          sr.Style->ParFmt.Style = own;
          ClearCharFormat(sr.Style->CharFmt);
          ReadGroup(false);
        } else {
          SkipRest(d);
        }
        break;
      }
      case TRtfItem::Kind::GroupStart:
      case TRtfItem::Kind::Text:
      case TRtfItem::Kind::EscapedBytes:
      case TRtfItem::Kind::Unicode: {
        if (named) {
          if (item.Type == TRtfItem::Kind::GroupStart) SkipRest(lex_.Depth());
          break;
        }
        if (item.Type != TRtfItem::Kind::GroupStart) Unread(item);
        std::string text;
        ReadGroupText(nullptr, &text, 0, depth);
        size_t start = 0;
        while (start < text.size() && (text[start] == ' ' || text[start] == '\t')) ++start;
        name = text.substr(start);
        while (!name.empty() && (name.back() == ';' || name.back() == ' ')) name.pop_back();
        if (name.size() > 255) name.resize(255);
        named = true;
        break;
      }
      default: break;
    }
  }
  flags_ &= ~rfRedirect;
  charTarget_ = savedChar;
  parTarget_ = savedPar;
  styleRead_ = nullptr;
  ClearShadingWords();
  InternPendingInto(sr.Style->ParFmt);
  sr.Style->Name = sr.Style->DisplayName = name;
  if (sr.CharNumber >= 0) {
    ctx_.CharStyles.push_back(TReadCharStyle{sr.CharNumber, name, sr.Style->CharFmt});
    return;
  }
  if (sr.SectionStyle) return;
  TStyleList& styles = *doc_.Styles;
  if (SameNameNoCase(name, "Normal")) {
    TStyle& normal = styles[0];
    normal.CharFmt = sr.Style->CharFmt;
    normal.ParFmt = sr.Style->ParFmt;
    normal.ParFmt.Style = 0;
    normal.BasedOn = -1;
    styleNumberOf_[0] = sr.Number < 0 ? 0 : sr.Number;
    return;
  }
  if (sr.Number < 0 || (!name.empty() && styles.IndexOfName(name) >= 0)) return;
  styleNumbers_.push_back(std::move(sr));
}

void TRtfReader::InternPendingInto(TParFormat& format) {
  InternPending(format);
  tabsActive_ = bordersActive_ = false;
  flags_ &= ~rfBorders;
}

void TRtfReader::ReadKeyCode(TRtfStyleRead& style, int32_t depth) {
  uint32_t shift = 0, key = 0;
  while (InGroup(depth)) {
    const TRtfItem item = Next();
    if (item.Type == TRtfItem::Kind::End) break;
    if (item.Type == TRtfItem::Kind::ControlWord) {
      if (item.Word == RtfWord("shift")) shift |= 1;
      else if (item.Word == RtfWord("alt")) shift |= 2;
      else if (item.Word == RtfWord("ctrl")) shift |= 4;
      else if (item.Word == RtfWord("fn")) key = static_cast<uint32_t>(std::clamp(item.Param, 1, 24) + 111);
    } else if ((item.Type == TRtfItem::Kind::Text || item.Type == TRtfItem::Kind::EscapedBytes) && item.Count > 0) {
      for (int32_t i = 0; i < item.Count; ++i)
        if (item.Bytes[i] > ' ') key = item.Bytes[i];
    } else if (item.Type == TRtfItem::Kind::GroupStart || item.Type == TRtfItem::Kind::DestinationStart) {
      SkipRest(lex_.Depth());
    }
  }
  if (key != 0) style.Style->HotKeyCode = (shift << kHotKeyShiftBits) | key;
}

// ---- lists ----

int32_t TRtfReader::ListNumberOfOverride(int32_t number) const {
  for (auto it = ctx_.ListOverrides.rbegin(); it != ctx_.ListOverrides.rend(); ++it)
    if (it->first == number && it->second != nullptr) return it->second->Number;
  return 0;
}

void TRtfReader::ReadListTable(int32_t depth) {
  (void)depth;
  TPar* host = ctx_.ReadPar;
  std::vector<std::unique_ptr<TPar>>* hostList = ctx_.FillList;
  InternPending(host->Format);
  std::vector<std::unique_ptr<TPar>> scratch;
  scratch.push_back(MakePar(DefaultParFormat));
  ctx_.FillList = &scratch;
  ctx_.ReadPar = scratch.back().get();
  ReadGroup(true);
  ctx_.FillList = hostList;
  ctx_.ReadPar = host;
  ctx_.ListsFromListTable = true;
}

void TRtfReader::ReadListDefinition(int32_t depth) {
  (void)depth;
  if (listDefs_.size() >= kRtfMaxLists) {
    StopDamaged();
    return;
  }
  TRtfListDef def;
  def.List = std::make_unique<TAutoList>();
  def.PictureIndex.fill(-1);
  listDefs_.push_back(std::move(def));
  TRtfListDef* saved = listDef_;
  listDef_ = &listDefs_.back();
  ReadGroup(false);
  listDef_ = saved;
}

bool TRtfReader::HandleListWord(const TRtfItem& w) {
  const int32_t p = w.Param;
  if ((flags_ & rfOverride) != 0) {
    switch (w.Word) {
      case RtfWord("listid"): overrideListId_ = p, overrideHasId_ = true; return true;
      case RtfWord("listoverridestartat"): flags_ |= rfOverrideStartAt; return true;
      case RtfWord("levelstartat"): overrideLevels_[static_cast<size_t>(overrideLevel_)].StartAt = p; return true;
      default: return false;
    }
  }
  if (listDef_ == nullptr || listDefs_.empty()) return false;
  switch (w.Word) {
    case RtfWord("listid"): listDef_->Id = p; return true;
    case RtfWord("listsimple"): listDef_->List->SingleLevel = static_cast<uint8_t>((w.HasParam ? p : 1) != 0); return true;
    case RtfWord("listhybrid"): listDef_->List->SingleLevel = 0; return true;
    default: return false;
  }
}

void TRtfReader::ReadListLevel(int32_t depth) {
  TListLevel* level = nullptr;
  TRtfOverrideLevel* over = nullptr;
  TListLevel scratch;
  int32_t levelIndex = 0;
  if ((flags_ & rfOverride) != 0) {
    over = &overrideLevels_[static_cast<size_t>(overrideLevel_)];
    level = &scratch;
  } else if (listDef_ != nullptr) {
    levelIndex = std::min(listDef_->LevelCounter, 8);
    level = &listDef_->List->ListLevels[static_cast<size_t>(levelIndex)];
  } else {
    SkipRest(depth);
    return;
  }
  TCharFormat* savedChar = charTarget_;
  TParFormat* savedPar = parTarget_;
  const bool wasRedirected = (flags_ & rfRedirect) != 0;
  TCharFormat& cf = over != nullptr ? over->CharFormat : level->CharFormat;
  TParFormat& pf = over != nullptr ? over->ParFormat : level->ParFormat;
  InternPending(Cur().Format);
  tabsActive_ = bordersActive_ = false;
  while (InGroup(depth)) {
    const TRtfItem item = Next();
    if (item.Type == TRtfItem::Kind::End) break;
    if (item.Type == TRtfItem::Kind::ControlWord) {
      if (HandleListLevelWord(item, *level, over, levelIndex)) continue;
      if (!IsListLevelFormatWord(item.Word)) continue;
      charTarget_ = &cf;
      parTarget_ = &pf;
      flags_ |= rfRedirect;
      HandleControlWord(item);
      if (!wasRedirected) flags_ &= ~rfRedirect;
      charTarget_ = savedChar;
      parTarget_ = savedPar;
    } else if (item.Type == TRtfItem::Kind::GroupStart || item.Type == TRtfItem::Kind::DestinationStart) {
      const int32_t d = lex_.Depth();
      const TRtfItem word = Next();
      if (word.Type == TRtfItem::Kind::ControlWord && word.Word == RtfWord("leveltext")) {
        std::u16string text;
        ReadLevelText(text, d);
        if (over != nullptr) over->LevelText = text, over->HasText = true;
        else level->LevelText = text;
      } else if (word.Type != TRtfItem::Kind::GroupEnd) {
        SkipRest(d);
      }
    }
  }
  InternPendingInto(pf);
  if (over == nullptr) ++listDef_->LevelCounter;
}

bool TRtfReader::HandleListLevelWord(const TRtfItem& w, TListLevel& level, TRtfOverrideLevel* over,
                                     int32_t levelIndex) {
  const int32_t p = w.Param;
  const int32_t p1 = w.HasParam ? p : 1;
  switch (w.Word) {
    case RtfWord("levelstartat"):
      if (over != nullptr) over->StartAt = p;
      else level.StartAt = p;
      return true;
    case RtfWord("levelnfc"):
      if (over != nullptr) over->NumberFormat = std::clamp(p, 0, 255);
      else level.NumberFormat = std::clamp(p, 0, 255);
      return true;
    case RtfWord("leveljc"):
      if (over != nullptr) over->Justification = std::clamp(p, 0, 2);
      else level.NumberAlign = static_cast<uint8_t>(std::clamp(p, 0, 2));
      return true;
    case RtfWord("levelfollow"):
      if (over != nullptr) over->Follow = std::clamp(p, 0, 2);
      else level.Follow = static_cast<uint8_t>(std::clamp(p, 0, 2));
      return true;
    case RtfWord("levellegal"): level.Legal = static_cast<uint8_t>(p1 != 0); return true;
    case RtfWord("levelnorestart"):
      if (over != nullptr) over->NoRestart = p1 != 0;
      else level.NoRestart = static_cast<uint8_t>(p1 != 0);
      return true;
    case RtfWord("levelpicture"):
      if (over != nullptr || listDef_ == nullptr) return true;
      if (p >= 0 && p < static_cast<int32_t>(listPictures_.size())) level.PictureBullet = listPictures_[static_cast<size_t>(p)];
      else listDef_->PictureIndex[static_cast<size_t>(levelIndex)] = std::max(p, 0);
      return true;
    default: return false;
  }
}

// The level text: its first character (the length) and a final ";" go; the placeholders of the
// levels (characters 0 to 8) stay.
void TRtfReader::ReadLevelText(std::u16string& text, int32_t depth) {
  text.clear();
  const uint32_t cp = TextCodePageOfFont(written_.Font);
  while (InGroup(depth)) {
    const TRtfItem item = Next();
    if (item.Type == TRtfItem::Kind::End) break;
    switch (item.Type) {
      case TRtfItem::Kind::Text:
      case TRtfItem::Kind::EscapedBytes:
        for (int32_t i = 0; i < item.Count && text.size() < 1024; ++i) {
          const uint8_t b = item.Bytes[i];
          if (b < 128) text += static_cast<char16_t>(b);
          else text += CodePageToWide(std::string(1, static_cast<char>(b)), cp);
        }
        break;
      case TRtfItem::Kind::Unicode:
        if (text.size() < 1024) text += item.Char;
        break;
      case TRtfItem::Kind::ControlSymbol:
        if (item.Symbol == '\\' || item.Symbol == '{' || item.Symbol == '}') text += static_cast<char16_t>(item.Symbol);
        break;
      case TRtfItem::Kind::GroupStart:
      case TRtfItem::Kind::DestinationStart: SkipRest(lex_.Depth()); break;
      default: break;
    }
  }
  if (!text.empty() && text.back() == u';') text.pop_back();
  if (!text.empty()) text.erase(0, 1);
  if (text.size() > 255) text.resize(255);
}

void TRtfReader::ReadListOverride(int32_t depth) {
  (void)depth;
  overrideHasId_ = false;
  overrideListId_ = 0;
  overrideNumber_ = 0;
  for (TRtfOverrideLevel& l : overrideLevels_) {
    l = TRtfOverrideLevel{};
    ClearCharFormat(l.CharFormat);
    l.ParFormat = UnsetParFormat;
  }
  overrideLevel_ = 0;
  const uint32_t saved = flags_ & (rfOverride | rfOverrideStartAt);
  flags_ |= rfOverride;
  flags_ &= ~rfOverrideStartAt;
  ReadGroup(false);
  const bool startAt = (flags_ & rfOverrideStartAt) != 0;
  flags_ = (flags_ & ~(rfOverride | rfOverrideStartAt)) | saved;
  if (Stopped() || !overrideHasId_) return;
  FinishListOverride(startAt);
}

void TRtfReader::FinishListOverride(bool startAt) {
  TRtfListDef* def = nullptr;
  for (size_t i = listDefs_.size(); i-- > 0;)
    if (listDefs_[i].Id == overrideListId_) {
      def = &listDefs_[i];
      break;
    }
  if (def == nullptr) return;
  const int32_t number = std::max(overrideNumber_, 1);
  if (!startAt)
    for (const auto& [list, id] : docListIds_)
      if (id == overrideListId_) {
        ctx_.ListOverrides.emplace_back(number, list);
        return;
      }
  if (doc_.Lists.size() >= kRtfMaxLists) {
    StopDamaged();
    return;
  }
  auto list = std::make_unique<TAutoList>();
  list->Assign(*def->List);
  bool numberUsed = false;
  for (const auto& l : doc_.Lists) numberUsed = numberUsed || l->Number == number;
  list->Number = numberUsed ? NextListNumber(doc_) : number;
  const int32_t levels = list->UsedLevelCount();
  for (int32_t i = 0; i < levels; ++i) {
    TListLevel& level = list->ListLevels[static_cast<size_t>(i)];
    const TRtfOverrideLevel& over = overrideLevels_[static_cast<size_t>(i)];
    if (over.StartAt != static_cast<int32_t>(0x80000000u)) level.StartAt = over.StartAt;
    if (over.NumberFormat != static_cast<int32_t>(0x80000000u)) level.NumberFormat = over.NumberFormat;
    if (over.Justification != 255) level.NumberAlign = static_cast<uint8_t>(over.Justification);
    if (over.Follow != 255) level.Follow = static_cast<uint8_t>(over.Follow);
    if (over.NoRestart != 255) level.NoRestart = static_cast<uint8_t>(over.NoRestart);
    if (over.HasText) level.LevelText = over.LevelText;
    ApplyCharFormat(level.CharFormat, over.CharFormat);
    ApplyParFormat(level.ParFormat, over.ParFormat);
    const int32_t picture = def->PictureIndex[static_cast<size_t>(i)];
    if (picture >= 0) ctx_.PendingPictureBullets.push_back(TPendingPictureBullet{list.get(), i, picture});
  }
  TAutoList* made = list.get();
  doc_.Lists.push_back(std::move(list));
  docListIds_.emplace_back(made, overrideListId_);
  ctx_.ListOverrides.emplace_back(number, made);
}

void TRtfReader::ReadListPictures(int32_t depth) {
  (void)depth;
  const uint32_t saved = flags_ & rfListPicture;
  flags_ |= rfListPicture;
  ReadGroup(true);
  flags_ = (flags_ & ~rfListPicture) | saved;
}

// Old paragraph numbering: a single-level list made for the paragraph (or the style being read)
// when the group gives a text before or after the number.
void TRtfReader::ReadOldNumbering(int32_t depth) {
  TParFormat& target = styleRead_ != nullptr ? styleRead_->Style->ParFmt : Cur().Format;
  TListLevel level;
  level.StartAt = 0;
  level.NumberFormat = 0;
  ClearCharFormat(level.CharFormat);
  level.ParFormat = UnsetParFormat;
  std::string before, after;
  int32_t levelIndex = target.ListLevel == ParUnset8 ? 0 : target.ListLevel;
  while (InGroup(depth)) {
    const TRtfItem item = Next();
    if (item.Type == TRtfItem::Kind::End) break;
    if (item.Type == TRtfItem::Kind::ControlWord) {
      const int32_t p = item.Param;
      switch (item.Word) {
        case RtfWord("pnf"): level.CharFormat.Font = FontOf(p); break;
        case RtfWord("pnlvl"):
          levelIndex = std::clamp(p - 1, 0, 8);
          target.ListLevel = static_cast<int8_t>(levelIndex);
          break;
        case RtfWord("pnlvlblt"):
          level.NumberFormat = 23;
          levelIndex = 0;
          target.ListLevel = 0;
          break;
        case RtfWord("pnprev"):  // the level's number is led by the text of the level above
          level.IncludesPrevious = static_cast<uint8_t>((item.HasParam ? p : 1) != 0);
          break;
        case RtfWord("pnstart"): level.StartAt = p; break;
        default: break;
      }
    } else if (item.Type == TRtfItem::Kind::GroupStart || item.Type == TRtfItem::Kind::DestinationStart) {
      const int32_t d = lex_.Depth();
      const TRtfItem word = Next();
      if (word.Type == TRtfItem::Kind::ControlWord && word.Word == RtfWord("pntxtb")) {
        ReadDestinationText(nullptr, &before, d);
      } else if (word.Type == TRtfItem::Kind::ControlWord && word.Word == RtfWord("pntxta")) {
        ReadDestinationText(nullptr, &after, d);
      } else if (word.Type == TRtfItem::Kind::ControlWord && word.Word >= 0 && IsRtfDestinationWord(word.Word)) {
        Dispatch(word.Word, d);
      } else if (word.Type != TRtfItem::Kind::GroupEnd) {
        SkipRest(d);
      }
    }
  }
  if (before.empty() && after.empty()) return;
  if (doc_.Lists.size() >= kRtfMaxLists) {
    StopDamaged();
    return;
  }
  level.ParFormat.FirstIndent = target.FirstIndent;
  level.ParFormat.LeftIndent = target.LeftIndent;
  const std::string text = before + after;
  level.LevelText = CodePageToWide(text, TextCodePageOfFont(written_.Font));
  level.FileData1 = before;  // the text before and after the number, for the steps after loading
  level.FileData2 = after;
  auto list = std::make_unique<TAutoList>();
  list->SingleLevel = 1;
  list->ListLevels[static_cast<size_t>(levelIndex)] = level;
  list->Number = NextListNumber(doc_);
  target.List = list->Number;
  doc_.Lists.push_back(std::move(list));
}

}  // namespace qv
