// Paginates a generated document of about 1,000 pages (the line-breaking benchmark's mixed
// paragraphs, plus tables with a repeated header row, footnotes and several sections, one of
// them in two columns) from scratch, line breaking included, and lays it out again after a
// one-character change of a paragraph on page 500. Reports pages, the time per page, the
// in-place and the page-by-page re-layout after the change, and the peak memory; the document
// size is a parameter (in thousands of pages' worth of text) so that the cost can be seen to
// grow linearly.
#include <benchmark/benchmark.h>

#include <chrono>
#include <climits>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "bench_text.h"
#include "document/content_tags.h"
#include "document/doc.h"
#include "document/field.h"
#include "document/line.h"
#include "document/par.h"
#include "document/section.h"
#include "document/tab_stops.h"
#include "document/table_row.h"
#include "foundation/fonts/font_manager.h"
#include "layout/box.h"
#include "layout/layout_registration.h"

using namespace qv;
using bench::Lcg;
using bench::PeakRssKb;

namespace {

struct Fonts {
  int32_t faces[3];
};

Fonts LoadFonts() {
  TFontManager& fm = FontManager() != nullptr ? *FontManager() : CreateFontManager();
  return {{fm.FontIndex("Liberation Serif", kAnyCharset, true), fm.FontIndex("Liberation Sans", kAnyCharset, true),
           fm.FontIndex("Liberation Mono", kAnyCharset, true)}};
}

// Builds the document's paragraphs in two lists (main text and footnotes) and puts them in at
// the end, so that making a large document does not renumber paragraphs for every insertion.
class TGenerator {
 public:
  TGenerator(TDoc& doc, const Fonts& fonts) : doc_(doc), fonts_(fonts) {
    TTabTable tabs;
    AddTabStop(tabs, PackTabStop(2880, tkLeft, 1));
    AddTabStop(tabs, PackTabStop(5760, tkDecimal, 0));
    AddTabStop(tabs, PackTabStop(8640, tkRight, 0));
    tabSet_ = static_cast<int16_t>(GetTabManager().AddTable(tabs));
  }

  void Generate(int64_t targetChars) {
    int32_t count = 0;
    while (chars_ < targetChars) {
      ++count;
      if (count % 45 == 0) Table();
      if (count % 400 == 0) SectionBreak(count);
      TextParagraph(count % 23 == 0);
    }
    Finish();
  }

  int64_t Chars() const { return chars_; }

 private:
  TMemory Start(int32_t font, int32_t size) {
    TMemory s;
    AppendContentTag(s, ctFont, font);
    AppendContentTag(s, ctSize, size);
    return s;
  }
  void Words(TMemory& s, uint32_t n) {
    bench::AppendWords(s, rng_, n, fonts_.faces);
  }
  std::unique_ptr<TPar> Par(TMemory& s, const TParFormat& format) {
    auto par = std::make_unique<TPar>(&doc_);
    par->Format = format;
    par->Content = std::move(s);
    par->RebuildCodes();
    par->ContentChanged();
    chars_ += par->CharCount();
    return par;
  }

  void TextParagraph(bool withNote) {
    TParFormat format = DefaultParFormat;
    format.Alignment = static_cast<int8_t>(rng_.Next(3) == 0 ? 0 : 3);
    format.WidowControl = 1;
    TMemory s = Start(fonts_.faces[rng_.Next(3)], kSizes[rng_.Next(4)]);
    if (rng_.Next(5) == 0) {  // a table of tabs
      format.TabSet = tabSet_;
      bench::AppendTabTable(s, rng_);
    }
    Words(s, 40 + rng_.Next(160));
    if (withNote) Note(s);
    AppendContentTag(s, ctSpecialChar, scParagraphEnd);
    main_.push_back(Par(s, format));
  }

  // A footnote reference at the end of the text, and the note's text in the footnote story.
  void Note(TMemory& s) {
    auto reference = std::make_unique<TField>();
    reference->Kind = fkNoteReference;
    reference->Flags = 1;
    auto note = std::make_unique<TField>();
    note->Kind = fkNoteText;
    reference->LinkedField = note.get();
    note->LinkedField = reference.get();
    AppendContentTag(s, ctFieldStart, TagRefOf(reference.get()));
    AppendContentTag(s, ctSpecialChar, scAutoNoteMark);
    AppendContentTag(s, ctFieldEnd, TagRefOf(reference.get()));
    TMemory n = Start(fonts_.faces[0], 18);
    AppendContentTag(n, ctFieldStart, TagRefOf(note.get()));
    Words(n, 10 + rng_.Next(30));
    AppendContentTag(n, ctFieldEnd, TagRefOf(note.get()));
    AppendContentTag(n, ctSpecialChar, scParagraphEnd);
    notes_.push_back(Par(n, DefaultParFormat));
    noteFields_.push_back(note.get());
    doc_.Fields.push_back(std::move(reference));
    doc_.Fields.push_back(std::move(note));
  }

  // A table of 24 rows of three cells, the first a header row repeated on every page.
  void Table() {
    TParFormat cell = DefaultParFormat;
    cell.InTable = 1;
    for (int r = 0; r < 24; ++r) {
      auto row = std::make_unique<TTableRow>();
      row->CellCount = 3;
      row->PadLeft = row->PadRight = 108;
      row->HeaderRow = r == 0 ? 1 : 0;
      for (int c = 0; c < 3; ++c) {
        row->Cells[static_cast<size_t>(c)].Right = 3120 * (c + 1);
        row->Cells[static_cast<size_t>(c)].BorderBottom = {15, 1, 0, 0};
        TMemory s = Start(fonts_.faces[1], 20);
        Words(s, r == 0 ? 2 : 3 + rng_.Next(c == 2 ? 20 : 6));
        AppendContentTag(s, ctCellEnd, 0);
        main_.push_back(Par(s, cell));
      }
      TTableRow* r2 = doc_.AddTableRow(std::move(row));
      TMemory end;
      AppendContentTag(end, ctRowEnd, TagRefOf(r2));
      main_.push_back(Par(end, TableParFormat));
    }
  }

  // Sections: next-page and continuous breaks, every third section in two columns.
  void SectionBreak(int32_t count) {
    TSection* ending = doc_.Sections.back().get();
    const int32_t number = static_cast<int32_t>(doc_.Sections.size());
    ending->Format.BreakKind = number % 2 == 0 ? sbNextPage : sbContinuous;
    TMemory s = Start(fonts_.faces[0], 24);
    s.AppendString("Section " + std::to_string(count));
    AppendContentTag(s, ctSectionBreak, TagRefOf(ending));
    main_.push_back(Par(s, DefaultParFormat));
    ending->LastPar = static_cast<int32_t>(main_.size()) - 1;
    auto next = std::make_unique<TSection>(&doc_);
    next->SetDefaults();
    next->Number = number;
    next->FirstPar = static_cast<int32_t>(main_.size());
    next->Format.ColumnCount = number % 3 == 0 ? 2 : 1;
    doc_.Sections.push_back(std::move(next));
  }

  void Finish() {
    doc_.Paragraphs.clear();
    for (auto& p : main_) doc_.Paragraphs.push_back(std::move(p));
    const auto mainCount = static_cast<int32_t>(doc_.Paragraphs.size());
    for (auto& p : notes_) doc_.Paragraphs.push_back(std::move(p));
    doc_.StoryCounts = {mainCount, static_cast<int32_t>(notes_.size()), 0, 0};
    doc_.ReindexParagraphs(0);
    for (size_t i = 0; i < noteFields_.size(); ++i) {
      const int32_t p = mainCount + static_cast<int32_t>(i);
      MakeRange(p, 0, p, doc_.Par(p)->CharCount(), noteFields_[i]->Range);
    }
    doc_.Sections.back()->LastPar = mainCount - 1;
    doc_.ClearTableCache();
  }

  static constexpr int32_t kSizes[4] = {20, 22, 24, 28};
  TDoc& doc_;
  Fonts fonts_;
  Lcg rng_;
  int16_t tabSet_ = 0;
  int64_t chars_ = 0;
  std::vector<std::unique_ptr<TPar>> main_;
  std::vector<std::unique_ptr<TPar>> notes_;
  std::vector<TField*> noteFields_;
};

// About 3,200 characters of this text make a page.
constexpr int64_t kCharsPerThousandPages = 3300000;

std::unique_ptr<TDoc> MakeDocument(int64_t thousandthsOfThousand) {
  RegisterLayoutServices();
  const Fonts fonts = LoadFonts();
  auto doc = std::make_unique<TDoc>(true);
  TGenerator generator(*doc, fonts);
  generator.Generate(kCharsPerThousandPages * thousandthsOfThousand / 1000);
  return doc;
}

void PaginateFromScratch(TDoc& doc) {
  doc.ReformatAllParagraphs();
  doc.DiscardPages();
  doc.Paginate(0, INT32_MAX);
}

// A text paragraph (outside tables, without notes) whose first line is on the page.
int32_t ParagraphOnPage(TDoc& doc, int32_t page) {
  for (int32_t i = 0; i <= doc.LastParagraphOfStory(stMain); ++i) {
    const TPar& p = *doc.Par(i);
    if (p.Format.InTable == 1 || p.HasAutoNoteMark() || p.Lines.size() < 3) continue;
    const TLine& first = *p.Lines.front();
    if (first.Box != nullptr && first.Box->Page->Index >= page && p.Lines.back()->Box == first.Box) return i;
  }
  return -1;
}

// Replaces the first "a", "e", "n", "o" or "u" from the middle of the paragraph by the next of
// them (equally wide in the serif and sans faces) and back again on the next call.
void EditOneCharacter(TPar& p) {
  static const std::string letters = "aenou";
  for (int32_t i = p.CharCount() / 2; i < p.CharCount(); ++i) {
    const size_t at = letters.find(static_cast<char>(p.CodeAt(i)));
    if (at == std::string::npos) continue;
    const int32_t off = p.CharToStreamOffset(i);
    p.Content.Data[off] = static_cast<uint8_t>(letters[(at + 1) % letters.size()]);
    p.RebuildCodes();
    p.ContentChanged();
    return;
  }
}

void BM_PaginateFromScratch(benchmark::State& state) {
  std::unique_ptr<TDoc> doc = MakeDocument(state.range(0));
  for (auto _ : state) PaginateFromScratch(*doc);
  const int32_t pages = doc->PageCount();
  state.counters["pages"] = pages;
  state.counters["paragraphs"] = doc->ParCount();
  state.counters["table_rows"] = static_cast<double>(doc->TableRows.size());
  state.counters["sections"] = static_cast<double>(doc->Sections.size());
  state.counters["us/page"] =
      benchmark::Counter(static_cast<double>(pages), benchmark::Counter::kIsIterationInvariantRate |
                                                         benchmark::Counter::kInvert);
  state.counters["peak_rss_MB"] = static_cast<double>(PeakRssKb()) / 1024.0;
}

// The in-place path: an edit on page 500 that keeps the paragraph's line count and heights.
void BM_RelayoutOneParagraphInPlace(benchmark::State& state) {
  std::unique_ptr<TDoc> doc = MakeDocument(1000);
  PaginateFromScratch(*doc);
  const int32_t target = ParagraphOnPage(*doc, 500);
  int64_t inPlace = 0, runs = 0;
  for (auto _ : state) {
    EditOneCharacter(*doc->Par(target));
    doc->PostActions.Reset();
    doc->RelayoutParagraph(target);
    if (doc->PostActions.FirstPar == target) ++inPlace;
    if (doc->PostActions.FirstPage != PostActionNone) doc->Paginate(doc->PostActions.FirstPage, doc->PostActions.FirstPage + 2);
    ++runs;
  }
  state.counters["in_place_share"] = runs > 0 ? static_cast<double>(inPlace) / static_cast<double>(runs) : 0.0;
  state.counters["page"] = doc->Par(target)->Lines.front()->Box->Page->Index;
}

// The other path: an edit on page 500 that changes the paragraph's line count, so the pages the
// view shows (the changed page and the two after it) are paginated again.
void BM_RepaginateVisiblePagesAfterEdit(benchmark::State& state) {
  std::unique_ptr<TDoc> doc = MakeDocument(1000);
  PaginateFromScratch(*doc);
  const int32_t target = ParagraphOnPage(*doc, 500);
  TPar& par = *doc->Par(target);
  const TMemory original = par.Content;
  bool longer = false;
  for (auto _ : state) {
    state.PauseTiming();
    longer = !longer;
    par.Content = original;
    if (longer) {
      // Twenty more words: at least one more line.
      std::string bytes(reinterpret_cast<const char*>(par.Content.Data), static_cast<size_t>(par.Content.Length));
      bytes.insert(static_cast<size_t>(par.CharToStreamOffset(5)), std::string(20, 'x') + " " + std::string(200, 'y') + " ");
      par.Content.Clear();
      par.Content.AppendString(bytes);
    }
    par.RebuildCodes();
    par.ContentChanged();
    doc->PostActions.Reset();
    state.ResumeTiming();
    doc->RelayoutParagraph(target);
    const int32_t first = doc->PostActions.FirstPage != PostActionNone ? doc->PostActions.FirstPage : 0;
    doc->Paginate(first, first + 2);
  }
}

}  // namespace

BENCHMARK(BM_PaginateFromScratch)->Arg(500)->Arg(1000)->Arg(2000)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_RelayoutOneParagraphInPlace)->Unit(benchmark::kMicrosecond)->MinTime(1.0);
BENCHMARK(BM_RepaginateVisiblePagesAfterEdit)->Unit(benchmark::kMicrosecond)->MinTime(1.0);
