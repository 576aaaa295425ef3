// Hyperlinks: following a link (to a bookmark here, a bookmark in another open document, a web
// or mail address, a file), setting links' texts to their addresses, deactivating links so
// that their text reads like the text around it, and the check for links whose bookmark is
// gone.
#include <algorithm>
#include <string>

#include "document/compound_fragment.h"
#include "document/doc.h"
#include "document/doc_services.h"
#include "document/field.h"
#include "document/field_edit_services.h"
#include "document/field_index.h"
#include "document/field_instructions.h"
#include "document/field_text.h"
#include "document/par.h"
#include "document/styles.h"
#include "foundation/system/shell_services.h"
#include "foundation/text/code_pages.h"
#include "foundation/ui/message_dlg_service.h"
#include "foundation/ui/sound_services.h"

namespace qv {

namespace {

constexpr int32_t kFollowLinkSound = 10140;
constexpr uint8_t kMissingBookmarksMsg = 38;
const char kNoteEndMessage[] =
    "This operation is not possible when the selection includes the last paragraph mark of a "
    "footnote/endnote.";

std::u16string Widen(const std::string& bytes) { return CodePageToWide(bytes, DefaultCodePage); }

bool StartsWith(const std::string& s, const std::string& prefix) {
  return s.compare(0, prefix.size(), prefix) == 0;
}

// The folder of the document's file, with its separator; empty for a document never saved.
std::string DocumentFolder(const TDoc& doc) {
  const size_t slash = doc.FileName.find_last_of('/');
  return slash == std::string::npos ? std::string() : doc.FileName.substr(0, slash + 1);
}

// A relative file name resolves against the document's folder.
std::string ResolveAgainstDocument(const TDoc& doc, std::string target) {
  const bool hasFileScheme = StartsWith(target, "file://");
  std::string path = hasFileScheme ? target.substr(7) : target;
  if (!path.empty() && path[0] != '/' && !DocumentFolder(doc).empty())
    path = DocumentFolder(doc) + path;
  return hasFileScheme ? "file://" + path : path;
}

// The character format whose underline and colour the text of a removed link takes.
TCharFormat SurroundingFormat(TDoc& doc, const TDocRange& link) {
  const TPar& p = *doc.Par(link.Start.Par);
  TCharFormat source = DefaultCharFormat;
  const bool startsParagraph = link.Start.Offset == 0;
  const bool fillsParagraph =
      startsParagraph && link.End.Par == link.Start.Par && link.End.Offset >= p.CharCount() - 1;
  if (fillsParagraph) {
    if (const TStyle* style = p.GetStyle()) GetStyleFormat(*style, &source, nullptr, 0);
  } else if (startsParagraph) {
    doc.Par(link.End.Par)->GetCharFormatAt(link.End.Offset, source);
  } else {
    p.GetCharFormatAt(link.Start.Offset - 1, source);
  }
  TCharFormat f = UnsetCharFormat;
  f.Underline = source.Underline;
  f.Color = source.Color;
  return f;
}

}  // namespace

void TDoc::DeactivateHyperlink(TField* link) {
  TDocRange range;
  if (link == nullptr || !GetFieldRange(link, range)) return;
  const TCharFormat format = SurroundingFormat(*this, range);
  RemoveField(link);
  FieldEditServices().FormatFont(*this, range, format);
}

void TDoc::DeactivateSelectedHyperlinks() {
  UpdateSelectedFieldLists(255);
  const std::vector<TField*> links = SelectedFields.Hyperlinks;
  TFragmentRef kept = CloneFragment(*Selection);
  const TDocPosition caret = Caret;
  for (auto it = links.rbegin(); it != links.rend(); ++it) DeactivateHyperlink(*it);
  TPostActions& post = EditServices().CurrentPostActions(*this);
  post.Caret = caret;
  post.HasCaret = true;
  post.Selection = std::move(kept);
}

bool TDoc::UpdateHyperlinkTexts() {
  UpdateSelectedFieldLists(255);
  const std::vector<TField*> links = SelectedFields.Hyperlinks;
  bool allDone = true;
  for (auto it = links.rbegin(); it != links.rend(); ++it) {
    TField* link = *it;
    TDocRange range;
    if (!GetFieldRange(link, range)) continue;
    std::string target, bookmark;
    ParseHyperlinkInstruction(link->Instruction, target, bookmark, nullptr);
    std::u16string wanted = Widen(target);
    if (!bookmark.empty()) {
      wanted += u'#';
      wanted += Widen(bookmark);
    }
    if (RangeHasNoteEndMark(range)) {
      ShowInfo(kNoteEndMessage);
      allDone = false;
      continue;
    }
    if (GetRangeFullWideText(range, 0) == wanted) continue;
    TScopedDocFlag replacing(*this, dfHyperlinkTextReplaced);
    ReplaceRangeWithText(*this, range, wanted);
  }
  return allDone;
}

void TDoc::FollowHyperlink(TField* link) {
  if (link == nullptr) return;
  std::string target, bookmark;
  ParseHyperlinkInstruction(link->Instruction, target, bookmark, nullptr);
  if (target.empty()) {
    if (!bookmark.empty()) GoToBookmark(Widen(bookmark), false, link);
    return;
  }
  SoundService().PlayEventSound(kFollowLinkSound);
  if (!LooksLikeUrl(target) || target.find("file://") != std::string::npos) {
    std::string file = ResolveAgainstDocument(*this, target);
    if (!bookmark.empty()) {
      if (StartsWith(file, "file://")) file = file.substr(7);
      if (TDoc* other = DocServices().FindOpenDocument(file)) {
        HyperlinkServices().ActivateOpenDocument(file);
        other->GoToBookmark(Widen(bookmark), false, nullptr);
        return;
      }
    }
    OpenHyperlinkTarget(file);
    return;
  }
  if (!bookmark.empty()) target += "#" + bookmark;
  OpenHyperlinkTarget(target);
}

bool TDoc::CheckHyperlinksToMissingBookmarks() {
  const std::vector<TField*> links = FindHyperlinksToMissingBookmarks();
  if (links.empty()) return false;
  if (ShowOptionalMsg(OptionalMsgTable[kMissingBookmarksMsg].Text, mkConfirmation,
                      kMissingBookmarksMsg) != mrYes)
    return false;
  if (HeaderFooterInPlace != nullptr) ToggleHeaderFooterEditing(nullptr, 0, nullptr);
  TFragmentRef selection = AcquireFragment();
  bool first = true;
  for (TField* f : links) {
    TDocRange r;
    if (!GetFieldRange(f, r)) continue;
    if (first)
      selection->SetSingleRange(r.Start.Par, r.Start.Offset, r.End.Par, r.End.Offset);
    else
      selection->InsertRange(selection->Count(), r);
    first = false;
  }
  NormalizeFragments(*selection);
  Selection->Assign(*selection);
  SelectionChanged();
  MakePosition(selection->GetRange(0)->Start.Par, 0, Caret);
  return true;
}

}  // namespace qv
