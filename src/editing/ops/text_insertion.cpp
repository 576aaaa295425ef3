#include "editing/ops/text_insertion.h"

#include <algorithm>
#include <unordered_map>
#include <utility>

#include "document/content_stream.h"
#include "document/content_tags.h"
#include "document/doc.h"
#include "document/field.h"
#include "document/field_index.h"
#include "document/field_instructions.h"
#include "document/par.h"
#include "document/par_format.h"
#include "document/section.h"
#include "document/selection_services.h"
#include "editing/format_records.h"
#include "editing/ins_del_operation.h"
#include "editing/ops/font_fallback.h"
#include "editing/ops/smart_spacing.h"
#include "editing/ops/text_edit_flags.h"
#include "editing/ops/text_edit_services.h"
#include "editing/undo_records.h"
#include "foundation/base/constant_tables.h"
#include "foundation/fonts/font_manager.h"
#include "foundation/text/code_pages.h"
#include "foundation/text/keyboard_layouts.h"

namespace qv {

namespace {

constexpr uint8_t kParSeparator = 29;
// The character set that stands for any (the default one) where a run has no code page.
constexpr int32_t kDefaultCharset = 1;

// The text a hyperlink shows when it follows its target: the target, and "#" and the bookmark.
std::string ExpectedLinkText(const TField& field, std::u16string* tooltip) {
  std::string target, bookmark;
  ParseHyperlinkInstruction(field.Instruction, target, bookmark, tooltip);
  if (!bookmark.empty()) target += "#" + bookmark;
  return target;
}

struct TFollowingLinkState {
  TField* Field = nullptr;
  std::string Expected;
  std::u16string Tooltip;
};

// The links collected by the last CollectFollowingHyperlinks, with their expected texts.
std::vector<TFollowingLinkState>& LinkStates() {
  static std::vector<TFollowingLinkState> states;
  return states;
}

bool InTable(const TPar& par) {
  return par.Format.InTable != ParUnset8 && par.Format.InTable > 0;
}

// The running state of a plain-text conversion.
class TPlainTextBuilder {
 public:
  TPlainTextBuilder(TDoc& doc, const TDocPosition& at, uint32_t flags)
      : doc_(doc), at_(at), flags_(flags) {
    running_ = doc.TypingFormat;
    AppendCharFormatTags(out_, running_);
    cellMode_ = InTable(*doc.Par(at.Par)) && (flags & idfBreaksInCells) == 0;
  }

  void ParagraphEnd() {
    AppendContentTag(out_, ctSpecialChar, scParagraphEnd);
    out_.AppendByte(kParSeparator);
    AppendFormatChangeTags(out_, DefaultCharFormat, running_);
    ++marks_;
    ++chars_;
  }

  void Special(uint8_t code) {
    if (cellMode_ && (code == scPageBreak || code == scColumnBreak)) code = scLineBreak;
    AppendContentTag(out_, ctSpecialChar, code);
    ++chars_;
  }

  void SectionBreak(uint8_t kind) {
    if (cellMode_) {
      Special(scLineBreak);
      return;
    }
    TSection* here = doc_.SectionOfParagraph(at_.Par);
    auto section = std::make_unique<TSection>(&doc_);
    if (here) section->AssignFormat(*here);
    section->Format.BreakKind = kind;
    AppendContentTag(out_, ctSectionBreak, TagRefOf(section.get()));
    out_.AppendByte(kParSeparator);
    AppendFormatChangeTags(out_, DefaultCharFormat, running_);
    if (sections_.empty()) firstNew_ = section.get();
    sections_.push_back(std::move(section));
    ++marks_;
    ++chars_;
  }

  void Byte(uint8_t b) {
    out_.AppendByte(b);
    ++chars_;
  }

  void WideTag(char16_t c) {
    AppendContentTag(out_, ctWideChar, c);
    ++chars_;
  }

  // A character of a code page: switches the running font to the code page's character set when
  // it is not the font's own; a character no font of the face can hold goes in as UTF-16.
  void CodePageChar(char16_t c, uint8_t byte, uint32_t codePage) {
    if (TextCodePageOfFont(running_.Font) != codePage) {
      const int32_t font = FontManager() && running_.Font != CharUnset
                               ? FontInCharset(running_.Font, CodePageToCharset(codePage))
                               : -1;
      if (font < 0 || TextCodePageOfFont(font) != codePage) {
        WideTag(c);
        return;
      }
      running_.Font = font;
      AppendContentTag(out_, ctFont, font);
    }
    Byte(byte);
  }

  // A character that the running font lacks switches the running font to the first font that
  // has it, in the character set of the character's run (the default set for a run of no code
  // page). Characters without any font keep the running font. `c` is a code point: one past the
  // basic plane is looked for whole, not by its two halves.
  void EnsureFontHas(uint32_t c, uint32_t codePage) {
    TFontManager* fm = FontManager();
    if (fm == nullptr || !fm->IsValidFont(running_.Font) || RunningFontHas(c)) return;
    const std::string face = FindFallbackFont(doc_, c, running_);
    if (face.empty()) return;
    const int32_t charset = codePage == NO_CODE_PAGE ? kDefaultCharset : CodePageToCharset(codePage);
    const int32_t font = fm->FontIndex(face, charset, false);
    if (font < 0 || font == running_.Font) return;
    running_.Font = font;
    AppendContentTag(out_, ctFont, font);
  }

  int32_t Chars() const { return chars_; }
  int32_t Marks() const { return marks_; }
  TMemory& Out() { return out_; }
  std::vector<std::unique_ptr<TSection>>& Sections() { return sections_; }
  TSection* FirstNewSection() const { return firstNew_; }

 private:
  TDoc& doc_;
  TDocPosition at_;
  uint32_t flags_;
  TCharFormat running_;
  TMemory out_;
  bool cellMode_ = false;
  int32_t marks_ = 0, chars_ = 0;
  std::vector<std::unique_ptr<TSection>> sections_;
  TSection* firstNew_ = nullptr;
  // What was learnt of the fonts' coverage during this insertion, by font and character.
  std::unordered_map<uint64_t, bool> covers_;

  bool RunningFontHas(uint32_t c) {
    const uint64_t key = (static_cast<uint64_t>(static_cast<uint32_t>(running_.Font)) << 32) | c;
    const auto it = covers_.find(key);
    if (it != covers_.end()) return it->second;
    const bool has = FontManager()->FontCoversChar(FontManager()->GetFaceName(running_.Font), c) >= 0;
    covers_.emplace(key, has);
    return has;
  }
};

uint8_t SpecialOfByte(uint8_t b) {
  switch (b) {
    case 9: return scTab;
    case 11: return scLineBreak;
    case 12: return scPageBreak;
    case 15: return scColumnBreak;
    case 16: return scNonBreakingHyphen;
    case 31: return scOptionalHyphen;
    case 150: return scEnDash;
    case 151: return scEmDash;
    case 160: return scNonBreakingSpace;
    default: return 0;
  }
}

void BuildFromBytes(TPlainTextBuilder& b, const uint8_t* d, int32_t n) {
  for (int32_t i = 0; i < n; ++i) {
    const uint8_t c = d[i];
    if (c == 13 || c == 10) {
      if (i + 1 < n && (d[i + 1] == 13 || d[i + 1] == 10) && d[i + 1] != c) ++i;
      b.ParagraphEnd();
    } else if (c == 12 && i + 2 < n && d[i + 1] == 0) {
      b.SectionBreak(d[i + 2]);
      i += 2;
    } else if (const uint8_t special = SpecialOfByte(c); special != 0) {
      b.Special(special);
    } else if (c >= 32) {
      b.Byte(c);
    }
  }
}

void BuildFromWide(TPlainTextBuilder& b, const char16_t* t, int32_t n) {
  std::string bytes;
  std::vector<int32_t> ends;
  std::vector<uint32_t> pages;
  SplitTextByCodePage(t, bytes, n, ends, pages);
  size_t run = 0;
  for (int32_t i = 0; i < n; ++i) {
    while (run + 1 < ends.size() && i >= ends[run]) ++run;
    const uint32_t page = run < pages.size() ? pages[run] : NO_CODE_PAGE;
    const char16_t c = t[i];
    if (c == 13 || c == 10) {
      if (i + 1 < n && (t[i + 1] == 13 || t[i + 1] == 10) && t[i + 1] != c) ++i;
      b.ParagraphEnd();
      continue;
    }
    if (c >= 0xD800 && c <= 0xDFFF) {
      // A character outside the basic plane goes in whole, as its two halves; a lone half never
      // enters the document.
      if (c <= 0xDBFF && i + 1 < n && t[i + 1] >= 0xDC00 && t[i + 1] <= 0xDFFF) {
        b.EnsureFontHas(0x10000 + ((static_cast<uint32_t>(c) - 0xD800) << 10) + (t[i + 1] - 0xDC00u),
                        NO_CODE_PAGE);
        b.WideTag(c);
        b.WideTag(t[i + 1]);
        ++i;
      }
      continue;
    }
    if (c < 32 && c != 9) {
      if (const uint8_t special = SpecialOfByte(static_cast<uint8_t>(c)); special != 0)
        b.Special(special);
      continue;
    }
    if (const uint8_t special = UnicodeToSpecialChar(c); special != kNotSpecialChar) {
      b.Special(special);
      continue;
    }
    b.EnsureFontHas(c, page);
    if (page == NO_CODE_PAGE)
      b.WideTag(c);
    else
      b.CodePageChar(c, static_cast<uint8_t>(bytes[static_cast<size_t>(i)]), page);
  }
}

// Headers and footers stay with the text before the first new section break: the new section
// takes the six slots of the section at the place, which is left with empty ones.
void MoveHeadersToNewSection(TDoc& doc, TSection* here, TSection* created) {
  if (here == nullptr || created == nullptr) return;
  const std::array<TField*, hfCount> fields = here->HeaderFooter;
  if (std::all_of(fields.begin(), fields.end(), [](TField* f) { return f == nullptr; })) return;
  EditServices().ChangeSectionHeaders(doc, *created, fields);
  EditServices().ChangeSectionHeaders(doc, *here, {});
}

// The reference mark's place of a note text (its linked reference field).
bool NoteReferencePlace(TDoc& doc, TField* note, TDocPosition& out) {
  TField* ref = note->LinkedField;
  TDocRange r;
  if (ref == nullptr || !doc.GetFieldRange(ref, r)) return false;
  out = r.Start;
  return true;
}

bool HoldsDropCapMark(const TPar& par) {
  TStreamItem item;
  for (int32_t off = 0; ReadStreamItem(par.Content.Data, par.Content.Length, off, item); off += item.Size) {
    if (item.ItemType != TStreamItem::siTag || !IsFieldMarkKind(item.Tag.Kind)) continue;
    const TField* f = FieldOfTag(item.Tag);
    if (f != nullptr && f->Kind == fkDropCap) return true;
  }
  return false;
}

}  // namespace

void CheckDropCapsAfterEdit(TDoc& doc, int32_t par) {
  if (par < 0 || par >= doc.ParCount() || !HoldsDropCapMark(*doc.Par(par))) return;
  doc.CheckDropCaps(par);
}

int32_t ActiveLayoutLanguage() {
  TLayoutManager& lm = GetLayoutManager();
  if (lm.CurrentIndex >= 0 && lm.CurrentIndex < lm.Count())
    return lm.Items[static_cast<size_t>(lm.CurrentIndex)].Lang();
  return static_cast<int32_t>(TLayoutManager::GetCurrentLayout() & 0xFFFF);
}

std::vector<TField*> CollectFollowingHyperlinks(TDoc& doc, const TDocRange& range,
                                                bool excludeExactRange) {
  std::vector<TField*> found, out;
  doc.GetFieldsInRange(std::span<const TDocRange>(&range, 1), found, ftHyperlink, fkField);
  for (TField* f : found) {
    TDocRange fr;
    if (!doc.GetFieldRange(f, fr) || fr.Start.Par != fr.End.Par) continue;
    if (excludeExactRange && SameRange(fr, range)) continue;
    std::u16string tooltip;
    const std::string expected = ExpectedLinkText(*f, &tooltip);
    if (doc.GetRangeText(fr) != expected) continue;
    out.push_back(f);
    LinkStates().push_back({f, expected, tooltip});
  }
  return out;
}

void UpdateFollowingHyperlinks(TDoc& doc, const std::vector<TField*>& links) {
  std::vector<TFollowingLinkState> states;
  states.swap(LinkStates());
  for (TField* f : links) {
    auto state = std::find_if(states.begin(), states.end(),
                              [f](const TFollowingLinkState& s) { return s.Field == f; });
    if (state == states.end()) continue;
    const bool present = std::any_of(doc.Fields.begin(), doc.Fields.end(),
                                     [f](const std::unique_ptr<TField>& x) { return x.get() == f; });
    TDocRange fr;
    if (!present || !doc.GetFieldRange(f, fr)) continue;
    const std::string text = doc.GetRangeText(fr);
    if (text == state->Expected) continue;
    const size_t hash = text.find('#');
    const std::string target = hash == std::string::npos ? text : text.substr(0, hash);
    const std::string bookmark = hash == std::string::npos ? std::string() : text.substr(hash + 1);
    std::u16string tooltip = state->Tooltip;
    if (tooltip == std::u16string(state->Expected.begin(), state->Expected.end()))
      tooltip.assign(text.begin(), text.end());
    TSubOperation::Execute(std::make_unique<TChangeFieldPropsOperation>(
        doc, f, ftHyperlink, BuildHyperlinkInstruction(target, bookmark, tooltip)));
  }
}

void InsertFragment(TDoc& doc, const TMemory& fragment, const TDocPosition& at, uint32_t flags,
                    int32_t story, int32_t parMarks,
                    std::vector<std::unique_ptr<TSection>> sections) {
  std::vector<TField*> links;
  if (parMarks == 0 && at.Offset < doc.ParLength(at.Par)) {
    TDocRange one;
    MakeCharRange(at.Par, at.Offset, one);
    links = CollectFollowingHyperlinks(doc, one, true);
  }
  const bool replacing = doc.IsDocFlagSet(dfReplaceInserting);
  if (!replacing) {
    TScopedDocFlag whole(doc, dfWholeParagraphsInserted, parMarks > 0 ||
                                                             doc.IsDocFlagSet(dfWholeParagraphsInserted));
    doc.BeginKeepFieldMarks(at, at, 1);
  }
  auto rec = TInsDelOperation::ForInsert(doc, fragment, at, story, parMarks);
  rec->OwnsObjects = (flags & idfKeepObjects) == 0;
  for (auto& s : sections) rec->HeldSections.push_back(std::move(s));
  rec->Redo();
  const TDocPosition end = rec->GetEndPosition();
  TPostActions& post = doc.CurrentPostActions();
  post.Selection.reset();
  AddSubOperation(doc, std::move(rec));

  if (!replacing) doc.EndKeepFieldMarks(end, end);
  TDocPosition caret = end;
  if ((flags & idfSmartSpacing) == 0) {
    if (flags & idfSelectInserted) {
      TFragmentRef sel = AcquireFragment();
      sel->SetSingleRange(at.Par, at.Offset, end.Par, end.Offset);
      doc.CurrentPostActions().Selection = std::move(sel);
    }
  } else {
    const TSmartSpacingResult r1 = AdjustSmartSpacing(doc, end);
    TSmartSpacingResult r2;
    const bool samePar = at.Par == end.Par;
    const bool reachesBack = samePar && end.Offset - r1.LeftRemoved <= at.Offset;
    const bool ranR2 = !reachesBack;
    if (ranR2) r2 = AdjustSmartSpacing(doc, at);
    caret.Offset = end.Offset + r1.Inserted - r1.LeftRemoved;
    if (samePar) caret.Offset += r2.Inserted - r2.LeftRemoved - r2.RightRemoved;
    if (flags & idfSelectInserted) {
      TDocPosition selEnd = caret;
      selEnd.Offset -= r1.Inserted;
      TDocPosition selStart = selEnd;
      if (ranR2) {
        selStart = at;
        selStart.Offset += r2.Inserted - r2.LeftRemoved;
      }
      TFragmentRef sel = AcquireFragment();
      sel->SetSingleRange(selStart.Par, selStart.Offset, selEnd.Par, selEnd.Offset);
      doc.CurrentPostActions().Selection = std::move(sel);
    }
  }
  caret.Line = 0;
  doc.Caret = caret;
  TPostActions& after = doc.CurrentPostActions();
  after.Caret = caret;
  after.HasCaret = true;
  UpdateFollowingHyperlinks(doc, links);
  CheckDropCapsAfterEdit(doc, at.Par);
  if (caret.Par != at.Par) CheckDropCapsAfterEdit(doc, caret.Par);
  ResortNotes(doc);
}

void InsertPlainText(TDoc& doc, const TMemory& text, const TDocPosition& at, uint32_t flags) {
  TPlainTextBuilder b(doc, at, flags);
  if (flags & idfUtf16)
    BuildFromWide(b, reinterpret_cast<const char16_t*>(text.Data), text.Length / 2);
  else
    BuildFromBytes(b, text.Data, text.Length);
  if (b.Chars() == 0) {
    TPostActions& post = doc.CurrentPostActions();
    post.Caret = doc.Caret;
    post.HasCaret = true;
    return;
  }
  TSection* here = b.FirstNewSection() ? doc.SectionOfParagraph(at.Par) : nullptr;
  TSection* created = b.FirstNewSection();
  InsertFragment(doc, b.Out(), at, flags | idfClosingFormat, doc.StoryOfParagraph(at.Par),
                 b.Marks(), std::move(b.Sections()));
  MoveHeadersToNewSection(doc, here, created);
}

void InsertPlainText(TDoc& doc, const std::u16string& text, const TDocPosition& at,
                     uint32_t flags) {
  TMemory m;
  m.AppendWideString(text);
  InsertPlainText(doc, m, at, flags | idfUtf16);
}

void ResortNotes(TDoc& doc) {
  if (!doc.FieldIndex().KeepFrames.empty() || doc.IsDocFlagSet(dfNoteTextsAsBlock)) return;
  for (int32_t story : {stFootnotes, stEndnotes}) {
    if (doc.StoryCounts[static_cast<size_t>(story)] == 0) continue;
    std::vector<TField*> notes;
    doc.ListNotesOfStory(notes, story);
    std::vector<std::pair<TDocPosition, TField*>> order;
    for (TField* n : notes) {
      TDocPosition ref;
      if (NoteReferencePlace(doc, n, ref)) order.emplace_back(ref, n);
    }
    std::stable_sort(order.begin(), order.end(), [](const auto& a, const auto& b) {
      return ComparePositions(a.first, b.first) < 0;
    });
    int32_t target = doc.FirstParagraphOfStory(story);
    for (const auto& [ref, note] : order) {
      TDocRange r;
      if (!doc.GetFieldRange(note, r)) continue;
      const int32_t first = r.Start.Par;
      const int32_t last = r.End.Offset == 0 && r.End.Par > first ? r.End.Par - 1 : r.End.Par;
      const int32_t count = last - first + 1;
      if (first != target && first > target)
        TSubOperation::Execute(std::make_unique<TMoveParsOperation>(doc, first, count, target));
      target += count;
    }
  }
}

void SetTypingFontForLayout(TDoc& doc) {
  if (doc.IsDocFlagSet(dfKeepOwnFont)) return;
  int32_t language = 0;
  const bool pasting = doc.IsDocFlagSet(dfClipboardLanguage);
  if (pasting) {
    language = TextEditServices().ClipboardLanguage();
  } else if (doc.IsDocFlagSet(dfCallerLanguage)) {
    language = doc.TypingLayout;
  } else {
    const int32_t current = doc.CurCharFormat.Language;
    const int32_t layout = ActiveLayoutLanguage();
    if (current != CharUnset && !doc.IsDocFlagSet(dfAfterCommit) &&
        GetLocaleCodePage(current) == 1252 && GetLocaleCodePage(layout) == 1252)
      language = current;
    else
      language = layout;
  }
  if (doc.DefaultLanguage != 0) language = doc.DefaultLanguage;
  if (language == 0) return;
  doc.TypingFormat.Language = language;
  if (doc.TypingFormat.Font == CharUnset) return;
  doc.TypingFormat.Font = FontInCharset(doc.TypingFormat.Font, GetLanguageCharset(language, pasting));
}

}  // namespace qv
