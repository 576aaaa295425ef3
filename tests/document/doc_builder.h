#pragma once
// Builds whole documents for tests: paragraphs of the four stories, sections with their breaks,
// tables (cells, row-end paragraphs and their rows), footnotes and endnotes, and header and
// footer fields. Text is written as it is, with '|' standing for a line break, '\f' for a page
// break and '\v' for a column break, so that a test controls line counts exactly.
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "document/content_tags.h"
#include "document/doc.h"
#include "document/field.h"
#include "document/par.h"
#include "document/section.h"
#include "document/table_row.h"

using namespace qv;

class TDocBuilder {
 public:
  explicit TDocBuilder(TDoc& doc) : doc_(doc) {}

  // Format and font of the paragraphs added from now on (font -1: no font tags).
  TParFormat Format = DefaultParFormat;
  int32_t Font = -1;
  int32_t Size = 24;

  // A paragraph of the story with the text, ended by `endCode` (paragraph mark, cell end ...).
  // Returns its index.
  int32_t Add(const std::string& text, int32_t story = stMain, uint8_t endCode = scParagraphEnd) {
    TMemory s = Stream(text);
    AppendEnd(s, endCode, 0);
    return Put(s, story, Format);
  }
  // A paragraph of n lines ("Line 1|Line 2|...").
  int32_t Lines(int32_t n, int32_t story = stMain) { return Add(LinesText(n), story); }
  // "prefix" followed by the number.
  static std::string Numbered(const char* prefix, int32_t i) {
    std::string s(prefix);
    s += std::to_string(i);
    return s;
  }
  static std::string LinesText(int32_t n) {
    std::string t;
    for (int32_t i = 1; i <= n; ++i) {
      if (i > 1) t += '|';
      t += Numbered("Line ", i);
    }
    return t;
  }

  // Ends the current section with a paragraph holding the text and a section break, and starts a
  // new section with the given break kind (of the section that ends) and page size.
  TSection* SectionBreak(const std::string& text, int32_t breakKind) {
    TSection* ending = doc_.Sections.back().get();
    ending->Format.BreakKind = breakKind;
    TMemory s = Stream(text);
    AppendContentTag(s, ctSectionBreak, TagRefOf(ending));
    const int32_t par = Put(s, stMain, Format);
    ending->LastPar = par;
    auto next = std::make_unique<TSection>(&doc_);
    next->SetDefaults();
    next->AssignFormat(*ending);
    next->Format.BreakKind = sbNextPage;
    next->Number = static_cast<int32_t>(doc_.Sections.size());
    next->FirstPar = par + 1;
    doc_.Sections.push_back(std::move(next));
    return doc_.Sections.back().get();
  }

  // A table row of cells with the given texts (each cell one paragraph). Returns the row.
  TTableRow* Row(std::initializer_list<std::string> cells, int32_t cellWidth = 2000) {
    auto row = std::make_unique<TTableRow>();
    row->CellCount = static_cast<int32_t>(cells.size());
    int32_t i = 0;
    TParFormat cellFormat = Format;
    cellFormat.InTable = 1;
    for (const std::string& text : cells) {
      row->Cells[static_cast<size_t>(i)].Right = cellWidth * (i + 1);
      TMemory s = Stream(text);
      AppendEnd(s, scCellEnd, 0);
      Put(s, stMain, cellFormat);
      ++i;
    }
    TTableRow* r = doc_.AddTableRow(std::move(row));
    TMemory s;
    AppendContentTag(s, ctRowEnd, TagRefOf(r));
    TParFormat rowEnd = TableParFormat;
    rowEnd.LineRule = Format.LineRule;
    rowEnd.LineSpacing = Format.LineSpacing;
    Put(s, stMain, rowEnd);
    doc_.ClearTableCache();
    return r;
  }

  // A paragraph with a footnote (or endnote) reference after the text; the note's text is one
  // paragraph of the note story. Returns the paragraph.
  int32_t AddWithNote(const std::string& text, const std::string& noteText, bool endnote = false,
                      const std::string& after = "") {
    auto reference = std::make_unique<TField>();
    reference->Kind = fkNoteReference;
    reference->Flags = 1;
    auto note = std::make_unique<TField>();
    note->Kind = fkNoteText;
    note->NoteClass = endnote ? 1 : 0;
    reference->LinkedField = note.get();
    note->LinkedField = reference.get();
    TMemory s = Stream(text);
    AppendContentTag(s, ctFieldStart, TagRefOf(reference.get()));
    s.AppendString("*");
    AppendContentTag(s, ctFieldEnd, TagRefOf(reference.get()));
    s.AppendString(after);
    AppendEnd(s, scParagraphEnd, 0);
    const int32_t par = Put(s, stMain, Format);
    const int32_t story = endnote ? stEndnotes : stFootnotes;
    TMemory n;
    AppendContentTag(n, ctFieldStart, TagRefOf(note.get()));
    n.AppendMemory(Stream(noteText));
    AppendEnd(n, scParagraphEnd, 0);  // the note's field holds its last paragraph mark
    AppendContentTag(n, ctFieldEnd, TagRefOf(note.get()));
    const int32_t notePar = Put(n, story, Format);
    MakeRange(notePar, 0, notePar, doc_.Par(notePar)->CharCount(), note->Range);
    notes_.push_back(note.get());
    doc_.Fields.push_back(std::move(reference));
    doc_.Fields.push_back(std::move(note));
    return par;
  }

  // A header or footer field in slot `slot` of the section, with one paragraph of text.
  TField* HeaderFooter(TSection& section, int slot, const std::string& text) {
    auto field = std::make_unique<TField>();
    field->Kind = fkHeaderFooter;
    TMemory s;
    AppendContentTag(s, ctFieldStart, TagRefOf(field.get()));
    s.AppendMemory(Stream(text));
    AppendEnd(s, scParagraphEnd, 0);  // the field holds its paragraph's mark
    AppendContentTag(s, ctFieldEnd, TagRefOf(field.get()));
    const int32_t par = Put(s, stHeadersFooters, Format);
    MakeRange(par, 0, par, doc_.Par(par)->CharCount(), field->Range);
    section.HeaderFooter[static_cast<size_t>(slot)] = field.get();
    headers_.push_back(field.get());
    doc_.Fields.push_back(std::move(field));
    return headers_.back();
  }

  // Sets the section ranges and note ranges after the paragraphs are in place (inserting
  // paragraphs into earlier stories moves the later ones).
  void Finish() {
    for (size_t i = 0; i < doc_.Sections.size(); ++i) {
      TSection& s = *doc_.Sections[i];
      s.Number = static_cast<int32_t>(i);
      if (i + 1 == doc_.Sections.size()) s.LastPar = doc_.LastParagraphOfStory(stMain);
    }
    RefreshFieldRanges();
    doc_.ClearTableCache();
  }

  TDoc& Doc() { return doc_; }

 private:
  TMemory Stream(const std::string& text) const {
    TMemory s;
    if (Font >= 0) {
      AppendContentTag(s, ctFont, Font);
      AppendContentTag(s, ctSize, Size);
    }
    std::string run;
    auto flush = [&] {
      s.AppendString(run);
      run.clear();
    };
    for (char c : text) {
      uint8_t code = 0;
      if (c == '|') code = scLineBreak;
      else if (c == '\f') code = scPageBreak;
      else if (c == '\v') code = scColumnBreak;
      if (code == 0) {
        run.push_back(c);
        continue;
      }
      flush();
      AppendContentTag(s, ctSpecialChar, code);
    }
    flush();
    return s;
  }
  static void AppendEnd(TMemory& s, uint8_t endCode, int32_t /*unused*/) {
    if (endCode == scCellEnd) AppendContentTag(s, ctCellEnd, 0);
    else AppendContentTag(s, ctSpecialChar, endCode);
  }
  // Puts the stream into a new paragraph of the story (the document's first, empty paragraph is
  // used for the first one of the main text).
  int32_t Put(const TMemory& s, int32_t story, const TParFormat& format) {
    TPar* par = nullptr;
    if (story == stMain && !usedFirst_) {
      usedFirst_ = true;
      par = doc_.Par(0);
      par->Format = format;
    } else {
      par = doc_.AppendParagraph(story, format);
    }
    par->Content = s;
    par->RebuildCodes();
    par->ContentChanged();
    return par->Index;
  }
  // Paragraphs of later stories moved when paragraphs were added before them: find each field's
  // paragraph again by its start tag.
  void RefreshFieldRanges() {
    for (TField* f : notes_) FindFieldParagraph(*f);
    for (TField* f : headers_) FindFieldParagraph(*f);
  }
  void FindFieldParagraph(TField& f) {
    const int32_t ref = TagRefOf(&f);
    for (int32_t i = 0; i < doc_.ParCount(); ++i) {
      const TPar& p = *doc_.Par(i);
      for (int32_t off = 0; off + ContentTagSize <= p.Content.Length; ++off) {
        if (!IsTagAt(p.Content.Data, p.Content.Length, off)) continue;
        const TContentTag tag = ReadTagAt(p.Content.Data, off);
        if (tag.Kind == ctFieldStart && tag.Value == ref) {
          MakeRange(i, 0, i, p.CharCount(), f.Range);
          return;
        }
      }
    }
  }

  TDoc& doc_;
  bool usedFirst_ = false;
  std::vector<TField*> notes_;
  std::vector<TField*> headers_;
};
