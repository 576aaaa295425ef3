#include "editing/ops/hyphenation_operations.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "document/compound_fragment.h"
#include "document/content_tags.h"
#include "document/doc.h"
#include "document/fragment_pool.h"
#include "document/line.h"
#include "document/par.h"
#include "document/selection_services.h"
#include "editing/edit_codes.h"
#include "editing/ops/text_edit_flags.h"
#include "editing/ops/text_edit_services.h"
#include "editing/undo_records.h"
#include "foundation/ui/message_dlg_service.h"
#include "layout/hyphenation_service.h"

namespace qv {

namespace {

constexpr uint8_t kHyphenationName = 57;
constexpr uint8_t kSetHyphenationOptions = 49;

bool NoHyphenation(const TPar& p) {
  return p.Format.NoHyphenation != ParUnset8 && p.Format.NoHyphenation > 0;
}

// Runs an edit chained to the operation before it, under the name "Hyphenation".
// `chain` says whether an operation of the run came before; it is set once one is recorded.
void RunChained(TDoc& doc, uint8_t code, void* const* args, int32_t lastIndex, bool& chain) {
  const uint32_t before = doc.LastOperationSerial();
  doc.OperationNameOverride = kHyphenationName;
  doc.ExecuteEdit(code, args, lastIndex);
  doc.OperationNameOverride = 255;
  if (doc.LastOperationSerial() == before) return;
  if (chain) EditServices().ChainLastOperation(doc);
  chain = true;
}

void DeleteChar(TDoc& doc, int32_t par, int32_t offset, bool& chain) {
  TDocRange r;
  MakeRange(par, offset, par, offset + 1, r);
  int32_t count = 0, flags = 0;
  void* args[] = {nullptr, &r, &count, &flags};
  RunChained(doc, ecDeleteText, args, 3, chain);
}

void TypeOptionalHyphen(TDoc& doc, int32_t par, int32_t offset, bool& chain) {
  doc.ClearSelection();
  MakePosition(par, offset, doc.Caret);
  TMemory text;
  text.AppendByte(31);
  int32_t flags = 0;
  void* args[] = {&text, &flags};
  RunChained(doc, ecTypeText, args, 1, chain);
}

// The word that crosses the end of a line: the word around the next line's start.
struct TCandidate {
  int32_t Start = 0, End = 0;  // character offsets of the word (optional hyphens included)
  TManualHyphRequest Request;
};

bool FindCandidate(TDoc& doc, int32_t par, int32_t line, TCandidate& out) {
  TPar& p = *doc.Par(par);
  if (line + 1 >= p.LineCount()) return false;
  const int32_t lineStart = p.Lines[static_cast<size_t>(line)]->FirstChar;
  const int32_t next = p.Lines[static_cast<size_t>(line + 1)]->FirstChar;
  TDocPosition at;
  MakePosition(par, next, at);
  const TTextRun w = doc.WordAt(at);
  if (w.Length < 2 || w.Position.Par != par || w.Position.Offset > next) return false;
  out.Start = w.Position.Offset;
  out.End = w.Position.Offset + w.Length;
  BuildParagraphWideText(p);
  TManualHyphRequest& rq = out.Request;
  rq = TManualHyphRequest{};
  int32_t hyphensBeforeLineEnd = 0, hyphensBeforeLineStart = 0;
  for (int32_t i = out.Start; i < out.End; ++i) {
    if (p.CodeAt(i) == scOptionalHyphen) {
      rq.ExistingHyphens.push_back(static_cast<int32_t>(rq.Word.size()));
      if (i < next) ++hyphensBeforeLineEnd;
      if (i < lineStart) ++hyphensBeforeLineStart;
      continue;
    }
    rq.Word.push_back(i < static_cast<int32_t>(p.WideText.size()) ? p.WideText[static_cast<size_t>(i)] : u'?');
  }
  if (rq.Word.size() < 2 || static_cast<int32_t>(rq.Word.size()) > MaxHyphenatedWord) return false;
  rq.Points = HyphenationService().Hyphenate(rq.Word, doc.GetLanguageAt(par, out.Start));
  if (rq.Points.empty()) return false;
  rq.LengthToLineEnd = next - out.Start - hyphensBeforeLineEnd;
  rq.LineStartOffset = std::max(0, lineStart - out.Start - hyphensBeforeLineStart);
  return true;
}

class TManualRun {
 public:
  explicit TManualRun(TDoc& doc) : doc_(doc) {}

  // Hyphenates the lines of the paragraph from A to Z; false when the user stopped.
  bool Paragraph(int32_t par, int32_t a, int32_t z) {
    if (SelectionServices().IsParagraphHidden(doc_, par)) return true;
    if (NoHyphenation(*doc_.Par(par))) {
      ++result.Skipped;
      return true;
    }
    doc_.EnsureParagraphLaidOut(par);
    TPar& p = *doc_.Par(par);
    z = std::min(z, p.CharCount());
    int32_t line = std::max(p.LineIndexOfChar(std::min(a, p.CharCount() - 1), 0, false), 0);
    while (line >= 0 && line < doc_.Par(par)->LineCount() &&
           doc_.Par(par)->Lines[static_cast<size_t>(line)]->FirstChar < z) {
      TCandidate c;
      if (FindCandidate(doc_, par, line, c)) {
        doc_.SetSelection(par, c.Start, par, c.End);
        MakePosition(par, c.Start, doc_.Caret);
        SelectionServices().ScrollCaretIntoView(doc_, 1);
        int32_t chosen = -1;
        if (!TextEditServices().AskHyphenation(c.Request, chosen)) {
          result.Stopped = true;
          return false;
        }
        for (int32_t i = c.End - 1; i >= c.Start; --i) {
          if (doc_.Par(par)->CodeAt(i) != scOptionalHyphen) continue;
          DeleteChar(doc_, par, i, chain);
          --z;
        }
        if (chosen > 0 && chosen < static_cast<int32_t>(c.Request.Word.size())) {
          TypeOptionalHyphen(doc_, par, c.Start + chosen, chain);
          ++z;
        }
        doc_.EnsureParagraphLaidOut(par);
      }
      ++line;
    }
    return true;
  }

  TManualHyphResult result;
  bool chain = false;

 private:
  TDoc& doc_;
};

}  // namespace

void SetHyphenationOptions(TDoc& doc, const THyphenationSettings& s) {
  TSubOperation::Execute(std::make_unique<TChangeHyphOptionsOperation>(
      doc, static_cast<uint8_t>(s.AutoHyphenation != 0), static_cast<uint8_t>(s.HyphenateCaps != 0),
      s.Zone, doc.HyphenationLimit));
  TPostActions& post = doc.CurrentPostActions();
  post.Selection = CloneFragment(*doc.Selection);
  post.Caret = doc.Caret;
  post.HasCaret = true;
}

TManualHyphResult HyphenateManually(TDoc& doc, const THyphenationSettings& settings) {
  TTextEditServices& services = TextEditServices();
  const bool spelling = services.SpellcheckAsYouType();
  services.SetSpellcheckAsYouType(false);
  THyphenationSettings s = settings;
  void* args[] = {&s};
  const uint32_t before = doc.LastOperationSerial();
  doc.ExecuteEdit(kSetHyphenationOptions, args, 0);
  // When the options were already set, the first hyphen starts the undo step of its own.
  const bool optionsRecorded = doc.LastOperationSerial() != before;

  std::vector<TDocRange> ranges;
  if (doc.HasSelection()) {
    for (int32_t i = 0; i < doc.Selection->Count(); ++i) ranges.push_back(*doc.Selection->GetRange(i));
  } else {
    TDocRange story;
    doc.GetCurrentStoryRange(story);
    ranges.push_back(story);
  }
  const TDocPosition caret = doc.Caret;
  TManualRun run(doc);
  run.chain = optionsRecorded;
  for (const TDocRange& r : ranges) {
    bool go = true;
    const int32_t last = std::min(r.End.Par, doc.ParCount() - 1);
    for (int32_t p = r.Start.Par; p <= last && go; ++p) {
      const int32_t a = p == r.Start.Par ? r.Start.Offset : 0;
      const int32_t z = p == r.End.Par ? r.End.Offset : doc.ParLength(p);
      go = run.Paragraph(p, a, z);
    }
    if (!go) break;
  }
  doc.RebuildLayout();
  doc.ClearSelection();
  SelectionServices().SetCaret(doc, caret.Par, caret.Offset, 4, caret.Line);
  doc.Caret = caret;
  services.SetSpellcheckAsYouType(spelling);
  if (!run.result.Stopped) {
    if (run.result.Skipped > 0)
      ShowInfo(FormatMessageText(
          "Hyphenation is complete.\r\rQuorvane skipped over %s paragraph(s) which had the \"Do "
          "not hyphenate\" attribute set. If you now want to hyphenate these paragraphs either "
          "automatically or manually, you must first toggle the \"Do not hyphenate\" attribute off "
          "for these paragraphs (\"Format | Paragraph...\" dialog, \"Line and Page Breaks\" tab).",
          {std::to_string(run.result.Skipped)}));
    else
      ShowInfo("Hyphenation is complete.");
  }
  return run.result;
}

}  // namespace qv
