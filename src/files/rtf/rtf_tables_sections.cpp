// The RTF reader's words of tables (cell and row ends, row and cell definitions), of sections
// and pages, of note numbering, and of document-wide settings.
#include <algorithm>

#include "document/content_tags.h"
#include "document/doc.h"
#include "document/par.h"
#include "document/section.h"
#include "files/open_context.h"
#include "files/rtf/rtf_keywords.h"
#include "files/rtf/rtf_read_state.h"

namespace qv {

namespace {

int32_t Twips(int32_t v) { return std::clamp(v, 0, kRtfTwipsLimit); }
int32_t SignedTwips(int32_t v) { return std::clamp(v, -kRtfTwipsLimit, kRtfTwipsLimit); }

// The section's values that mark it as carrying its complete settings (kept among the values
// the file formats own in its page parameters).
constexpr int kCompleteSettingsSlot = 0;

}  // namespace

bool TRtfReader::TablesAllowed() const { return (doc_.PasteTarget & ptNoTables) == 0; }

TSection& TRtfReader::Section() { return *doc_.Sections.back(); }

void TRtfReader::NewRowDefinition() {
  row_ = std::make_unique<TTableRow>();
  for (TBorderLine& b : row_->Borders) b.Color = AutoColor;
  row_->ShadingColor = AutoColor;
  row_->PatternColor = AutoColor;
  row_->ShadingPercent = TableValueUnset;
  merges_.Defined = 0;
  merges_.Away = 0;
}

void TRtfReader::ResetCellRecord() {
  cell_ = TTableCell{};
  merges_.MergesLeft = false;
  cell_.PatternColor = AutoColor;
  for (TBorderLine* b : {&cell_.BorderLeft, &cell_.BorderTop, &cell_.BorderRight, &cell_.BorderBottom})
    b->Color = AutoColor;
}

void TRtfReader::EndCell() {
  if (SkippingText() || (flags_ & rfInstruction) != 0) return;
  const int32_t word = merges_.Words++;
  if (word < 64 && (merges_.Away >> word & 1) != 0 && cellCount_ > 0) {
    // The cell was merged into the one before: nothing ends here. Text that it holds (files
    // seldom give it any) is kept as a paragraph, which opens the next cell.
    if (HasChars()) EndParagraph();
    return;
  }
  if (!TablesAllowed() || cellCount_ >= MaxTableCells) {
    EndParagraph();
    return;
  }
  Cur().Format.InTable = 1;
  AppendCharTag(ctCellEnd, 0, scCellEnd);
  ++cellCount_;
  ctx_.TablesRead = true;
  NewParagraph();
}

// A row end. Text that stands between the last cell end and the row end (which a row cannot
// hold) is kept as a paragraph of its own after the row.
void TRtfReader::EndRow() {
  if (!TablesAllowed() || SkippingText() || (flags_ & rfInstruction) != 0 || cellCount_ == 0) return;
  if (doc_.TableRows.size() >= kRtfMaxRows) {
    StopDamaged();
    return;
  }
  TTableRow& def = *row_;
  // Only a width in fiftieths of a percent (unit 2) is a preferred width relative to the page.
  // A width in twips (unit 3) is fixed: the cell boundaries, also in twips, already give it, so
  // the row is not scaled. Units 0 and 1 leave the width to the cells as well.
  if (def.ReaderScratch != 2) def.PreferredWidth = 0;
  while (def.CellCount < cellCount_ && def.CellCount < MaxTableCells) {
    const int32_t left = def.CellCount > 0 ? def.Cells[static_cast<size_t>(def.CellCount - 1)].Right : def.Left;
    TTableCell added = cell_;
    added.Right = std::min(left + 720, kRtfTwipsLimit);
    def.Cells[static_cast<size_t>(def.CellCount++)] = added;
  }
  TPar& end = Cur();
  TMemory strayContent, strayCodes;
  if (HasChars()) {
    strayContent = end.Content;
    strayCodes = end.Codes;
  }
  end.Content.Clear();
  end.Codes.Clear();
  InternPending(end.Format);
  end.Format.InTable = 1;
  auto stored = std::make_unique<TTableRow>(def);
  TTableRow* row = doc_.AddTableRow(std::move(stored));
  AppendCharTag(ctRowEnd, TagRefOf(row), scRowEnd);
  ctx_.TablesRead = true;
  row_ = std::make_unique<TTableRow>(static_cast<const TTableRow&>(*row));
  row_->RowRange = {};
  cellCount_ = 0;
  merges_.Words = 0;
  NewParagraph();
  if (strayContent.Length > 0) {
    Cur().Format.InTable = 0;
    Cur().Content.Append(strayContent.Data, strayContent.Length);
    Cur().Codes.Append(strayCodes.Data, strayCodes.Length);
    AppendSpecial(scParagraphEnd);
    NewParagraph();
    Cur().Format.InTable = 1;
  }
}

void TRtfReader::EndSection() {
  if ((flags_ & rfInstruction) != 0) return;
  const bool mainStory = ctx_.FillList == &doc_.Paragraphs && (flags_ & (rfNote | rfHeaderFooter)) == 0 &&
                         (doc_.PasteTarget & ptNotMainStory) == 0;
  if (!mainStory || Cur().Format.InTable == 1 || (doc_.PasteTarget & ptTableCell) != 0) {
    if (!SkippingText()) {
      AppendSpecial(scParagraphEnd);
      NewParagraph();
    }
    return;
  }
  if (doc_.Sections.size() >= kRtfMaxRows) {
    StopDamaged();
    return;
  }
  AppendCharTag(ctSectionBreak, TagRefOf(&Section()), scSectionEnd);
  auto next = std::make_unique<TSection>(&doc_);
  next->SetDefaults();
  next->AssignFormat(Section());
  next->Number = static_cast<int32_t>(doc_.Sections.size());
  doc_.Sections.push_back(std::move(next));
  column_ = 0;
  NewParagraph();
}

bool TRtfReader::HandleTableWord(const TRtfItem& w) {
  const int32_t p = w.Param;
  TTableRow& r = *row_;
  switch (w.Word) {
    case RtfWord("cell"): EndCell(); return true;
    case RtfWord("row"): EndRow(); return true;
    case RtfWord("trowd"):
      NewRowDefinition();
      ResetCellRecord();
      borderTarget_ = {};
      return true;
    case RtfWord("trgaph"): r.PadLeft = r.PadRight = Twips(p); return true;
    case RtfWord("trleft"): r.Left = SignedTwips(p); return true;
    case RtfWord("trrh"): r.Height = SignedTwips(p); return true;
    case RtfWord("trpaddl"): r.PadLeft = Twips(p); return true;
    case RtfWord("trpaddt"): r.PadTop = Twips(p); return true;
    case RtfWord("trpaddr"): r.PadRight = Twips(p); return true;
    case RtfWord("trpaddb"): r.PadBottom = Twips(p); return true;
    case RtfWord("trql"): r.Alignment = 0; return true;
    case RtfWord("trqc"): r.Alignment = 1; return true;
    case RtfWord("trqr"): r.Alignment = 2; return true;
    case RtfWord("trhdr"): r.HeaderRow = 1; return true;
    case RtfWord("trkeep"): r.KeepTogether = 1; return true;
    // The width's unit may come before or after it; the row end settles the pair.
    case RtfWord("trftswidth"): r.ReaderScratch = p; return true;
    case RtfWord("trwwidth"): r.PreferredWidth = std::clamp(p, 0, 0x7FFFFF); return true;
    case RtfWord("trcbpat"): r.ShadingColor = p < 0 ? AutoColor : ColourOf(p); return true;
    case RtfWord("trcfpat"): r.PatternColor = p < 0 ? AutoColor : ColourOf(p); return true;
    case RtfWord("trshdng"):
      if (p >= 0 && p <= 10000) r.ShadingPercent = p;
      return true;
    case RtfWord("trbrdrl"): borderTarget_.Select(&r.Borders[rbLeft]); return true;
    case RtfWord("trbrdrt"): borderTarget_.Select(&r.Borders[rbTop]); return true;
    case RtfWord("trbrdrr"): borderTarget_.Select(&r.Borders[rbRight]); return true;
    case RtfWord("trbrdrb"): borderTarget_.Select(&r.Borders[rbBottom]); return true;
    case RtfWord("trbrdrh"): borderTarget_.Select(&r.Borders[rbInsideH]); return true;
    case RtfWord("trbrdrv"): borderTarget_.Select(&r.Borders[rbInsideV]); return true;
    case RtfWord("clbrdrl"): borderTarget_.Select(&cell_.BorderLeft); return true;
    case RtfWord("clbrdrt"): borderTarget_.Select(&cell_.BorderTop); return true;
    case RtfWord("clbrdrr"): borderTarget_.Select(&cell_.BorderRight); return true;
    case RtfWord("clbrdrb"): borderTarget_.Select(&cell_.BorderBottom); return true;
    // The word processors that write RTF swap these two: \clpadt is the left padding and
    // \clpadl the top one (the row's \trpadd words are not swapped).
    case RtfWord("clpadt"): cell_.PadLeft = Twips(p); return true;
    case RtfWord("clpadl"): cell_.PadTop = Twips(p); return true;
    case RtfWord("clpadr"): cell_.PadRight = Twips(p); return true;
    case RtfWord("clpadb"): cell_.PadBottom = Twips(p); return true;
    case RtfWord("clvertalt"): cell_.VertAlign = 0; return true;
    case RtfWord("clvertalc"): cell_.VertAlign = 1; return true;
    case RtfWord("clvertalb"): cell_.VertAlign = 2; return true;
    case RtfWord("clvmgf"): cell_.MergeStart = cell_.Merged = 1; return true;
    case RtfWord("clvmrg"): cell_.Merged = 1; return true;
    case RtfWord("clrltvwdth"): cell_.RelativeWidth = 1; return true;
    case RtfWord("clcbpat"): cell_.ShadingColor = ColourOf(p); return true;
    case RtfWord("clcfpat"): cell_.PatternColor = ColourOf(p); return true;
    case RtfWord("clshdng"):
      if (p >= 0 && p <= 10000) cell_.ShadingPercent = static_cast<int16_t>(p);
      return true;
    case RtfWord("cellx"):
      if (merges_.MergesLeft && r.CellCount > 0 && merges_.Defined < 64) {
        TTableCell& widened = r.Cells[static_cast<size_t>(r.CellCount - 1)];
        widened.Right = std::max(widened.Right, std::min(p, kRtfTwipsLimit));
        merges_.Away |= uint64_t{1} << merges_.Defined;
      } else if (TablesAllowed() && r.CellCount < MaxTableCells) {
        cell_.Right = std::min(p, kRtfTwipsLimit);
        r.Cells[static_cast<size_t>(r.CellCount++)] = cell_;
      }
      ++merges_.Defined;
      ResetCellRecord();
      borderTarget_ = {};
      return true;
    default: return false;
  }
}

bool TRtfReader::HandleSectionWord(const TRtfItem& w) {
  const int32_t p = w.Param;
  TSection& s = Section();
  TPageParams& pp = s.PageParams;
  TSectionFormat& sf = s.Format;
  TSection& first = *doc_.Sections.front();
  const bool isNote = (flags_ & (rfNote | rfHeaderFooter)) != 0;
  const auto breakBefore = [&](int32_t kind) {
    if (doc_.Sections.size() >= 2) doc_.Sections[doc_.Sections.size() - 2]->Format.BreakKind = kind;
  };
  const auto footnote = [&](auto set) { set(s.Footnotes); };
  const auto endnote = [&](auto set) { set(s.Endnotes); };
  switch (w.Word) {
    case RtfWord("sect"): EndSection(); return true;
    case RtfWord("margl"): case RtfWord("marglsxn"): pp.LeftMargin = Twips(p); return true;
    case RtfWord("margr"): case RtfWord("margrsxn"): pp.RightMargin = Twips(p); return true;
    case RtfWord("margt"): case RtfWord("margtsxn"): pp.TopMargin = Twips(p); return true;
    case RtfWord("margb"): case RtfWord("margbsxn"): pp.BottomMargin = Twips(p); return true;
    case RtfWord("paperw"): case RtfWord("pgwsxn"): pp.PageWidth = Twips(p); return true;
    case RtfWord("paperh"): case RtfWord("pghsxn"): pp.PageHeight = Twips(p); return true;
    case RtfWord("landscape"): case RtfWord("lndscpsxn"): pp.Orientation = 1; return true;
    case RtfWord("headery"): pp.HeaderDistance = Twips(p); return true;
    case RtfWord("footery"): pp.FooterDistance = Twips(p); return true;
    case RtfWord("titlepg"): pp.DiffFirstPage = 1; return true;
    case RtfWord("endnhere"): pp.NoEndnotesHere = 0; return true;
    case RtfWord("cols"): sf.ColumnCount = std::clamp(p, 1, MaxColumns); return true;
    case RtfWord("colsx"): sf.Spacing = Twips(p); return true;
    case RtfWord("colno"): column_ = std::clamp(p, 1, sf.ColumnCount) - 1; return true;
    case RtfWord("colw"):
      sf.Columns[static_cast<size_t>(column_)].Width = Twips(p);
      sf.EqualWidth = 0;
      return true;
    case RtfWord("colsr"):
      sf.Columns[static_cast<size_t>(column_)].Gap = Twips(p);
      sf.EqualWidth = 0;
      return true;
    case RtfWord("linebetcol"): sf.SeparatorLine = 1; return true;
    case RtfWord("linemod"): pp.LineNumInterval = p >= 0 && p <= 100 ? p : 0; return true;
    case RtfWord("linex"): pp.LineNumDistance = p >= 0 && p <= kRtfTwipsLimit ? p : 0; return true;
    case RtfWord("linestarts"): pp.LineNumStart = p >= 1 && p <= 32767 ? p : 1; return true;
    case RtfWord("linecont"): pp.LineNumRestart = 2; return true;
    case RtfWord("lineppage"): pp.LineNumRestart = 0; return true;
    case RtfWord("linerestart"): pp.LineNumRestart = 1; return true;
    case RtfWord("pgndec"): s.PageNumberFormat = 0; return true;
    case RtfWord("pgnlcltr"): s.PageNumberFormat = 1; return true;
    case RtfWord("pgnucltr"): s.PageNumberFormat = 2; return true;
    case RtfWord("pgnlcrm"): s.PageNumberFormat = 3; return true;
    case RtfWord("pgnucrm"): s.PageNumberFormat = 4; return true;
    case RtfWord("pgnstarts"):
      pageNumberStart_ = std::clamp(p, 0, 32767);
      if (pageNumberRestart_) s.PageNumberStart = pageNumberStart_;
      return true;
    case RtfWord("pgnrestart"):
      pageNumberRestart_ = true;
      s.PageNumberStart = pageNumberStart_;
      return true;
    case RtfWord("pgncont"):
      pageNumberRestart_ = false;
      s.PageNumberStart = -1;
      return true;
    case RtfWord("sbknone"): breakBefore(sbContinuous); return true;
    case RtfWord("sbkpage"): breakBefore(sbNextPage); return true;
    case RtfWord("sbkeven"): breakBefore(sbEvenPage); return true;
    case RtfWord("sbkodd"): breakBefore(sbOddPage); return true;
    case RtfWord("margmirror"): first.PageParams.Mirror = 1; return true;
    case RtfWord("facingp"): first.PageParams.DiffOddEven = 1; return true;
    case RtfWord("sectfullsaved"): pp.FurtherValues[kCompleteSettingsSlot] = 1; return true;
    case RtfWord("sectd"): {
      if (doc_.Sections.size() < 2 || isNote) return true;
      const TNoteSettings footnotes = s.Footnotes, endnotes = s.Endnotes;
      const uint8_t mirror = pp.Mirror, facing = pp.DiffOddEven;
      s.SetDefaults();
      s.Footnotes = footnotes;
      s.Endnotes = endnotes;
      s.PageParams.Mirror = mirror;
      s.PageParams.DiffOddEven = facing;
      const TPageParams& f = first.PageParams;
      s.PageParams.PageWidth = f.PageWidth;
      s.PageParams.PageHeight = f.PageHeight;
      s.PageParams.LeftMargin = f.LeftMargin;
      s.PageParams.RightMargin = f.RightMargin;
      s.PageParams.TopMargin = f.TopMargin;
      s.PageParams.BottomMargin = f.BottomMargin;
      pageNumberRestart_ = false;
      pageNumberStart_ = 1;
      column_ = 0;
      return true;
    }
    // Note numbering of the section.
    case RtfWord("ftnbj"): case RtfWord("sftnbj"): footnote([](TNoteSettings& n) { n.Position = 1; }); return true;
    case RtfWord("ftntj"): case RtfWord("sftntj"): footnote([](TNoteSettings& n) { n.Position = 2; }); return true;
    case RtfWord("aenddoc"): endnote([](TNoteSettings& n) { n.Position = 3; }); return true;
    case RtfWord("aendnotes"): endnote([](TNoteSettings& n) { n.Position = 0; }); return true;
    case RtfWord("ftnnar"): case RtfWord("sftnnar"): footnote([](TNoteSettings& n) { n.NumberFormat = 0; }); return true;
    case RtfWord("ftnnruc"): case RtfWord("sftnnruc"): footnote([](TNoteSettings& n) { n.NumberFormat = 1; }); return true;
    case RtfWord("ftnnrlc"): case RtfWord("sftnnrlc"): footnote([](TNoteSettings& n) { n.NumberFormat = 2; }); return true;
    case RtfWord("ftnnauc"): case RtfWord("sftnnauc"): footnote([](TNoteSettings& n) { n.NumberFormat = 3; }); return true;
    case RtfWord("ftnnalc"): case RtfWord("sftnnalc"): footnote([](TNoteSettings& n) { n.NumberFormat = 4; }); return true;
    case RtfWord("ftnnchi"): case RtfWord("sftnnchi"): footnote([](TNoteSettings& n) { n.NumberFormat = 9; }); return true;
    case RtfWord("aftnnar"): case RtfWord("saftnnar"): endnote([](TNoteSettings& n) { n.NumberFormat = 0; }); return true;
    case RtfWord("aftnnruc"): case RtfWord("saftnnruc"): endnote([](TNoteSettings& n) { n.NumberFormat = 1; }); return true;
    case RtfWord("aftnnrlc"): case RtfWord("saftnnrlc"): endnote([](TNoteSettings& n) { n.NumberFormat = 2; }); return true;
    case RtfWord("aftnnauc"): case RtfWord("saftnnauc"): endnote([](TNoteSettings& n) { n.NumberFormat = 3; }); return true;
    case RtfWord("aftnnalc"): case RtfWord("saftnnalc"): endnote([](TNoteSettings& n) { n.NumberFormat = 4; }); return true;
    case RtfWord("aftnnchi"): case RtfWord("saftnnchi"): endnote([](TNoteSettings& n) { n.NumberFormat = 9; }); return true;
    case RtfWord("ftnrestart"): case RtfWord("sftnrestart"): footnote([](TNoteSettings& n) { n.Restart = 1; }); return true;
    case RtfWord("ftnrstpg"): case RtfWord("sftnrstpg"): footnote([](TNoteSettings& n) { n.Restart = 2; }); return true;
    case RtfWord("ftnrstcont"): case RtfWord("sftnrstcont"): footnote([](TNoteSettings& n) { n.Restart = 0; }); return true;
    case RtfWord("aftnrestart"): case RtfWord("saftnrestart"): endnote([](TNoteSettings& n) { n.Restart = 1; }); return true;
    case RtfWord("aftnrstcont"): case RtfWord("saftnrstcont"): endnote([](TNoteSettings& n) { n.Restart = 0; }); return true;
    case RtfWord("ftnstart"): case RtfWord("sftnstart"): s.Footnotes.StartAt = std::clamp(p, 1, 16383); return true;
    case RtfWord("aftnstart"): case RtfWord("saftnstart"): s.Endnotes.StartAt = std::clamp(p, 1, 16383); return true;
    case RtfWord("ftnalt"): flags_ |= rfEndnote; return true;
    default: return false;
  }
}

bool TRtfReader::HandleDocumentWord(const TRtfItem& w) {
  const int32_t p = w.Param;
  const int32_t p1 = w.HasParam ? p : 1;
  switch (w.Word) {
    case RtfWord("deftab"): doc_.DefaultTabStop = p < 1 ? 720 : std::min(p, kRtfTwipsLimit); return true;
    case RtfWord("hyphauto"): doc_.AutoHyphenation = static_cast<uint8_t>(p1 != 0); return true;
    case RtfWord("hyphcaps"): doc_.HyphenateCaps = static_cast<uint8_t>(p1 != 0); return true;
    case RtfWord("hyphconsec"): doc_.HyphenationLimit = std::clamp(p, 0, 32767); return true;
    case RtfWord("hyphhotz"): doc_.HyphenationZone = Twips(p); return true;
    case RtfWord("widowctrl"):
      doc_.FileSettings.WidowControl = 1;
      doc_.Par(0)->Format.WidowControl = 1;
      return true;
    case RtfWord("viewscale"): doc_.ZoomPercent = std::clamp(p, 10, 500); return true;
    case RtfWord("viewzk"): {
      static constexpr uint8_t kModes[] = {0, 3, 1, 2};
      if (p >= 0 && p <= 3) doc_.View.ZoomMode = kModes[p];
      return true;
    }
    case RtfWord("version"): doc_.Props.AutoProps.RevisionNumber = p; return true;
    case RtfWord("nofpages"): doc_.Props.AutoProps.Values[0] = p; return true;
    case RtfWord("nofwords"): doc_.Props.AutoProps.Values[1] = p; return true;
    case RtfWord("nofchars"): doc_.Props.AutoProps.Values[2] = p; return true;
    case RtfWord("nofcharsws"): doc_.Props.AutoProps.Values[3] = p; return true;
    case RtfWord("mac"): flags_ |= rfMac; return true;
    case RtfWord("deleted"):
      if (p1 != 0) flags_ |= rfSkipText;
      else flags_ &= ~rfSkipText;
      return true;
    case RtfWord("dropcapt"): dropType_ = static_cast<uint8_t>(std::clamp(p, 0, 2)); return true;
    case RtfWord("dropcapli"): dropLines_ = static_cast<uint8_t>(std::clamp(p, 1, 10)); return true;
    case RtfWord("dxfrtext"): dropDistance_ = static_cast<int16_t>(Twips(p)); return true;
    case RtfWord("yr"): date_[0] = p; return true;
    case RtfWord("mo"): date_[1] = p; return true;
    case RtfWord("dy"): date_[2] = p; return true;
    case RtfWord("hr"): date_[3] = p; return true;
    case RtfWord("min"): date_[4] = p; return true;
    case RtfWord("sec"): date_[5] = p; return true;
    case RtfWord("vadurevavi"): doc_.FileSettings.VadureVavi = 1; return true;
    case RtfWord("collapsedh"):
      if (ctx_.FillList != &doc_.Paragraphs || (flags_ & (rfNote | rfHeaderFooter)) != 0 ||
          (doc_.PasteTarget & (ptNotMainStory | ptTableCell)) != 0)
        return true;
      Cur().Format.Collapsed = 1;
      doc_.FileSettings.CollapsedHeadings = 1;
      return true;
    case RtfWord("dskparnr"): ctx_.CaretPar = p; return true;
    case RtfWord("dskcharnr"): ctx_.CaretOffset = p; return true;
    case RtfWord("wrttargtype"): doc_.FileSettings.WritingTargetKind = p; return true;
    case RtfWord("wrttarg"): doc_.FileSettings.WritingTarget = p; return true;
    case RtfWord("wrttargrelto"): doc_.FileSettings.WritingTargetRelTo = p; return true;
    case RtfWord("deflangcoding"): doc_.FileSettings.SecondLanguage = p; return true;
    case RtfWord("tblseltype"): doc_.FileSettings.TableSelection = p; return true;
    case RtfWord("shpsel"):
      doc_.FileSettings.ShapeSelection =
          (flags_ & rfNote) != 0 || (doc_.PasteTarget & ptNote) != 0 ? 0 : 1;
      return true;
    default: return false;
  }
}

}  // namespace qv
