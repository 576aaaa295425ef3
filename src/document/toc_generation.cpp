// Tables of contents: one paragraph per heading of the main text, carrying the heading's list
// number and text, a PAGEREF field for its page number, a hyperlink to a bookmark on the
// heading and the style TOC n of its level; the whole is wrapped in a TOC field and a bookmark.
// Run on an existing table of contents with its update flag, it rebuilds the table in place from
// its own instruction, keeping the formatting the user gave its paragraphs (which moves into the
// TOC styles first).
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "document/content_tags.h"
#include "document/doc.h"
#include "document/doc_services.h"
#include "document/edit_services.h"
#include "document/field.h"
#include "document/field_edit_services.h"
#include "document/field_index.h"
#include "document/field_instructions.h"
#include "document/field_text.h"
#include "document/page_params.h"
#include "document/par.h"
#include "document/section.h"
#include "document/styles.h"
#include "document/tab_stops.h"
#include "foundation/base/memory.h"
#include "foundation/text/code_pages.h"

namespace qv {

namespace {

constexpr int32_t kMaxEntryChars = 256;
constexpr int32_t kLeaderFromEntry = -1;

int32_t StyleBuiltIn(const TDoc& doc, int32_t par) {
  const TStyle* s = doc.Par(par)->GetStyle();
  return s != nullptr ? s->BuiltIn : -1;
}

int32_t StyleIndexOf(const TDoc& doc, int32_t builtIn) { return doc.Styles->IndexOfBuiltIn(builtIn); }

// A heading of a listed level that holds text or a list number.
int32_t HeadingLevel(const TDoc& doc, int32_t par, int32_t levels) {
  const int32_t b = StyleBuiltIn(doc, par);
  if (b < bsHeading1 || b > std::min(levels, 9)) return 0;
  const TPar& p = *doc.Par(par);
  return p.CharCount() > 1 || p.HasNumberedLevel() ? b : 0;
}

TDocRange ParagraphText(const TDoc& doc, int32_t par) {
  TDocRange r;
  MakeRange(par, 0, par, doc.Par(par)->CharCount() - 1, r);
  return r;
}

// A paragraph's content carries its own end mark before the byte that separates it from the next.
void TypeParagraphEnd(TDoc& doc, const TDocPosition& at) {
  TMemory end;
  AppendContentTag(end, ctSpecialChar, scParagraphEnd);
  const uint8_t separator = ParBlockMark1;
  end.Append(&separator, 1);
  EditServices().InsertContent(doc, end, at, doc.StoryOfParagraph(at.Par), 1);
}

void SetParagraphStyle(TDoc& doc, int32_t par, int32_t styleIndex) {
  if (styleIndex < 0) return;
  TParFormat format = UnsetParFormat;
  SetParFormatProp(format, ppStyle, styleIndex);
  TDocRange r;
  MakeRange(par, 0, par, 0, r);
  EditServices().FormatParagraphRange(doc, r, format);
}

// The paragraph's first tab stop, or none.
bool FirstTabStop(const TPar& p, TTabStop& out) {
  const int32_t set = GetParFormatProp(p.Format, ppTabSet);
  if (set == ParUnset32 || set <= 0) return false;
  const TTabTable& table = GetTabManager().Table(set);
  if (table.empty()) return false;
  out = UnpackTabStop(table.front());
  return true;
}

bool HasTabCharacter(const TPar& p) {
  for (int32_t i = 0; i + 1 < p.CharCount(); ++i)
    if (p.CodeAt(i) == scTab) return true;
  return false;
}


class TTocBuilder {
 public:
  TTocBuilder(TDoc& doc, TGenerateTOC_Options& options) : doc_(doc), options_(options) {}

  int32_t Run() {
    TDocPosition place = doc_.HasSelection() ? doc_.Selection->GetRange(0)->Start : doc_.Caret;
    place.Offset = std::max(place.Offset - 1, 0);
    TDocRange oldRange;
    TField* old = doc_.GetFieldAt(place, &oldRange, {}, ftToc, fkField);
    insertion_ = place.Par;
    if (old != nullptr) {
      rebuilding_ = options_.UpdateExisting;
      if (rebuilding_) TakeOldFormatting(old, oldRange);
      DeleteOld(oldRange);
      replaced_ = true;
    }
    doc_.RenumberLists();
    std::vector<int32_t> headings = CollectHeadings();
    if (headings.empty()) return 0;
    PrepareInsertion();
    for (int32_t h : headings) MakeTocEntry(h + shift_);
    if (entries_ == 0) return made_;
    Finish();
    return made_;
  }

 private:
  // --- Rebuilding: the old table's formatting moves into the styles ---
  void TakeOldFormatting(TField* old, const TDocRange& range) {
    const int32_t last = LastParagraph(range);
    std::vector<int32_t> done;
    for (int32_t p = range.Start.Par; p <= last; ++p) {
      const int32_t b = StyleBuiltIn(doc_, p);
      const bool tocStyle = b == bsTocTitle || (b >= bsToc1 && b < bsToc1 + 9);
      if (!tocStyle || std::find(done.begin(), done.end(), b) != done.end()) continue;
      done.push_back(b);
      doc_.SetSelection(p, 0, p, doc_.Par(p)->CharCount() - 1);
      FieldEditServices().UpdateStyleFromSelection(doc_);
    }
    doc_.ClearSelection();
    oldInstruction_ = old->Instruction;
    ParseTocInstruction(old->Instruction, options_);
    // The old entries say how page numbers are shown.
    options_.ShowPageNumbers = false;
    for (TField* f : doc_.FieldIndex().Fields)
      if (f->Kind == fkField && f->FieldType == ftPageRef &&
          PositionInRangeInclusive(f->Range.Start, range))
        options_.ShowPageNumbers = true;
    for (int32_t p = range.Start.Par; p <= last; ++p) {
      const int32_t b = StyleBuiltIn(doc_, p);
      if (b < bsToc1 || b >= bsToc1 + 9) continue;
      TTabStop stop;
      options_.RightAlignPageNumbers =
          FirstTabStop(*doc_.Par(p), stop) && stop.Kind == tkRight && HasTabCharacter(*doc_.Par(p));
      if (options_.RightAlignPageNumbers) options_.TabLeader = static_cast<int8_t>(stop.Leader);
      break;
    }
  }

  static int32_t LastParagraph(const TDocRange& range) {
    return range.End.Offset == 0 && range.End.Par > range.Start.Par ? range.End.Par - 1
                                                                     : range.End.Par;
  }

  // The old table goes from the start of its first paragraph to the end of its last one (its
  // paragraph mark joins the paragraph after it); the new one is made where it began.
  void DeleteOld(const TDocRange& range) {
    const int32_t last = std::min(LastParagraph(range), doc_.LastParagraphOfStory(stMain));
    TDocRange text;
    if (last < doc_.LastParagraphOfStory(stMain))
      MakeRange(range.Start.Par, 0, last + 1, 0, text);
    else
      MakeRange(range.Start.Par, 0, last, doc_.Par(last)->CharCount() - 1, text);
    ReplaceRangeWithText(doc_, text, u"");
    insertion_ = range.Start.Par;
  }

  // Headings from the insertion paragraph to the end of the main text, or to the next table of
  // contents.
  std::vector<int32_t> CollectHeadings() {
    int32_t end = doc_.LastParagraphOfStory(stMain);
    doc_.RebuildFieldIndex();
    for (TField* f : doc_.FieldIndex().Fields)
      if (f->Kind == fkField && f->FieldType == ftToc && f->Range.Start.Par > insertion_ &&
          f->Range.Start.Par <= end)
        end = f->Range.Start.Par - 1;
    std::vector<int32_t> headings;
    for (int32_t p = insertion_; p <= end; ++p)
      if (HeadingLevel(doc_, p, options_.Levels) > 0) headings.push_back(p);
    return headings;
  }

  void PrepareInsertion() {
    TTemplateSource templ(doc_, rebuilding_ ? std::string() : options_.TemplateName);
    TTemplateSource fallback(doc_, doc_.IsTemplate()
                                       ? std::string()
                                       : DocServices().DefaultTemplateName(doc_.FormatIndex));
    doc_.EnsureTocStyles(options_.StyleSource, templ.Doc, options_, fallback.Doc);
    TDocPosition at;
    MakePosition(insertion_, 0, at);
    TDocPosition after;
    MakePosition(insertion_ + 1, 0, after);
    {
      TScopedDocFlag wholeText(doc_, 47);
      TScopedDocFlag tocFlag(doc_, 81);
      doc_.BeginKeepFieldMarks(at, at, 1);
      TypeParagraphEnd(doc_, at);
      doc_.EndKeepFieldMarks(after, after);
    }
    shift_ = 1;
    SetParagraphStyle(doc_, insertion_, 0);
    if (options_.ShowTitle) {
      const TDocPosition end = InsertTextAt(doc_, at, options_.Title, nullptr);
      TypeParagraphEnd(doc_, end);
      SetParagraphStyle(doc_, insertion_, StyleIndexOf(doc_, bsTocTitle));
      ++made_;
      ++shift_;
    }
  }

  // --- One entry ---
  void MakeTocEntry(int32_t h) {
    const int32_t level = HeadingLevel(doc_, h, options_.Levels);
    const int32_t e = insertion_ + made_;
    const std::u16string bookmark = TargetBookmark(h);
    TDocPosition start;
    MakePosition(e, 0, start);
    // The heading's text with its formatting, then its list number in front.
    TMemory copy = CopyParagraphContent(*doc_.Par(h), kMaxEntryChars);
    if (copy.Length > 0) EditServices().InsertContent(doc_, copy, start, stMain, 0);
    const TPar& heading = *doc_.Par(h);
    if (heading.HasNumberedLevel()) InsertTextAt(doc_, start, heading.GetNumberText(), nullptr);
    CleanEntry(e);
    TDocPosition end;
    MakePosition(e, doc_.Par(e)->CharCount() - 1, end);
    TDocPosition question = end;
    if (options_.ShowPageNumbers) {
      question = InsertTextAt(doc_, end, options_.RightAlignPageNumbers ? u"\t" : u" ", nullptr);
      end = InsertTextAt(doc_, question, u"?", nullptr);
    }
    // The paragraph end first: typed after the page reference it would take its end mark along.
    TypeParagraphEnd(doc_, end);
    if (options_.ShowPageNumbers) {
      auto pageRef = std::make_unique<TField>();
      pageRef->FieldType = ftPageRef;
      pageRef->Instruction = u"PAGEREF " + bookmark;
      doc_.InsertFieldMarks(std::move(pageRef), {question, end});
    }
    InsertHyperlinkAround(doc_, ParagraphText(doc_, e),
                          BuildHyperlinkInstruction("", WideToCodePage(bookmark, DefaultCodePage), u""));
    SetParagraphStyle(doc_, e, StyleIndexOf(doc_, bsToc1 + level - 1));
    ++made_;
    ++entries_;
    ++shift_;
  }

  // The first bookmark starting in the heading; else a new one over its text.
  std::u16string TargetBookmark(int32_t h) {
    doc_.RebuildFieldIndex();
    for (const TBookmarkName& b : doc_.FieldIndex().Bookmarks)
      if (b.Field->Range.Start.Par == h) return b.Name;
    const TPar& p = *doc_.Par(h);
    int32_t first = 0;
    while (first < p.CharCount() - 1 && p.CodeAt(first) >= 2 && p.CodeAt(first) <= 8) ++first;
    TDocRange range;
    MakeRange(h, first, h, p.CharCount() - 1, range);
    const std::u16string name = doc_.MakeBookmarkName(range);
    auto field = std::make_unique<TField>();
    field->Kind = fkBookmark;
    field->Instruction = name;
    doc_.InsertFieldMarks(std::move(field), range);
    return name;
  }

  // Breaks and tabs become blanks (dropped at the start), automatic note marks go.
  void CleanEntry(int32_t e) {
    for (int32_t i = doc_.Par(e)->CharCount() - 2; i >= 0; --i) {
      const uint8_t code = doc_.Par(e)->CodeAt(i);
      const bool breakOrTab = code >= scColumnBreak && code <= scTab;
      if (!breakOrTab && code != scAutoNoteMark) continue;
      TDocRange one;
      MakeRange(e, i, e, i + 1, one);
      EditServices().DeleteContent(doc_, one);
      if (breakOrTab && i > 0) InsertTextAt(doc_, one.Start, u" ", nullptr);
    }
  }

  // --- The table as a whole ---
  void Finish() {
    const int32_t last = insertion_ + made_ - 1;
    TDocRange range;
    MakeRange(insertion_, 0, last, doc_.Par(last)->CharCount() - 1, range);
    FieldEditServices().ApplyStyleFormatsDirectly(doc_, range, 0);
    FieldEditServices().ApplyStyleFormatsDirectly(doc_, range, 1);
    if (options_.ShowPageNumbers && options_.RightAlignPageNumbers) SetTabs(insertion_, last);
    auto toc = std::make_unique<TField>();
    toc->FieldType = ftToc;
    toc->Instruction = rebuilding_ ? oldInstruction_ : BuildTocInstruction(options_);
    doc_.InsertFieldMarks(std::move(toc), range);
    // The empty paragraph after the new table joins the one the old table left.
    if (replaced_ && last + 1 < doc_.LastParagraphOfStory(stMain) &&
        doc_.Par(last + 1)->CharCount() == 1) {
      TDocRange mark;
      MakeRange(last + 1, 0, last + 2, 0, mark);
      EditServices().DeleteContent(doc_, mark);
    }
    AddBookmark(range);
    TPostActions& post = EditServices().CurrentPostActions(doc_);
    doc_.ClearSelection();
    MakePosition(last, doc_.Par(last)->CharCount() - 1, doc_.Caret);
    post.Caret = doc_.Caret;
    post.HasCaret = true;
    post.ClearSelection = true;
  }

  int32_t TabPosition() const {
    const TSection* section = doc_.SectionOfParagraph(insertion_);
    if (section == nullptr) return 9360;
    if (section->Format.ColumnCount > 1) {
      TColumnBounds first;
      ComputeColumnBounds(section->Format, section->PageParams, 0, first);
      return first.Width;
    }
    return section->PageParams.TextWidth;
  }

  // Each entry keeps a lone right stop at or before the position with the wanted leader; any
  // other gets that one stop.
  void SetTabs(int32_t first, int32_t last) {
    const int32_t position = TabPosition();
    for (int32_t p = first; p <= last; ++p) {
      const int32_t b = StyleBuiltIn(doc_, p);
      if (b < bsToc1 || b >= bsToc1 + 9) continue;
      const TPar& par = *doc_.Par(p);
      TTabStop own;
      const bool hasStop = FirstTabStop(par, own);
      const int32_t leader = options_.TabLeader == kLeaderFromEntry
                                 ? (hasStop ? own.Leader : static_cast<int32_t>(tlDots))
                                 : options_.TabLeader;
      const int32_t set = GetParFormatProp(par.Format, ppTabSet);
      const TTabTable& table = GetTabManager().Table(set == ParUnset32 ? 0 : set);
      if (set != ParUnset32 && set > 0 && table.size() == 1) {
        const TTabStop s = UnpackTabStop(table.front());
        if (s.Kind == tkRight && s.Position <= position && s.Leader == leader) continue;
      }
      const int32_t index = GetTabManager().AddTable({PackTabStop(position, tkRight, leader)});
      TParFormat format = UnsetParFormat;
      SetParFormatProp(format, ppTabSet, index);
      TDocRange r;
      MakeRange(p, 0, p, 0, r);
      EditServices().FormatParagraphRange(doc_, r, format);
    }
  }

  void AddBookmark(const TDocRange& range) {
    const std::u16string base = u"_Table_Of_Contents";
    std::u16string name = base;
    for (int32_t n = 2; doc_.HasBookmark(name); ++n) {
      const std::string digits = std::to_string(n);
      name = base + u"_" + std::u16string(digits.begin(), digits.end());
    }
    auto field = std::make_unique<TField>();
    field->Kind = fkBookmark;
    field->Instruction = name;
    doc_.InsertFieldMarks(std::move(field), range);
  }

  // A template document for the TOC styles, freed afterwards when it was loaded for this.
  struct TTemplateSource {
    TTemplateSource(TDoc& doc, const std::string& name) {
      if (!name.empty()) Doc = DocServices().LoadTemplate(name, Loaded);
      if (Doc == &doc) Doc = nullptr;
    }
    TDoc* Doc = nullptr;
    std::unique_ptr<TDoc> Loaded;
  };

  TDoc& doc_;
  TGenerateTOC_Options& options_;
  int32_t insertion_ = 0;
  int32_t made_ = 0;     // paragraphs made (title and entries)
  int32_t entries_ = 0;
  int32_t shift_ = 0;    // how far the headings moved down
  bool rebuilding_ = false;
  bool replaced_ = false;
  std::u16string oldInstruction_;
};

}  // namespace

int32_t TDoc::GenerateToc(TGenerateTOC_Options& options) {
  return TTocBuilder(*this, options).Run();
}

}  // namespace qv
