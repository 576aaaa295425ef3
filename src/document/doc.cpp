#include "document/doc.h"

#include <algorithm>
#include <chrono>

#include "document/auto_list.h"
#include "document/content_stream.h"
#include "document/doc_services.h"
#include "document/field.h"
#include "document/field_index.h"
#include "document/layout_services.h"
#include "document/section.h"
#include "document/shape.h"
#include "document/styles.h"
#include "foundation/base/exceptions.h"
#include "foundation/settings/options_holder.h"
#include "foundation/text/code_pages.h"

namespace qv {

namespace {

int32_t g_documentCounter = 0;
TDoc* g_criticalDoc = nullptr;
int32_t g_criticalCount = 0;

// Days since 30 December 1899, the time of day as fraction.
double Now() {
  using namespace std::chrono;
  const double seconds = duration<double>(system_clock::now().time_since_epoch()).count();
  return seconds / 86400.0 + 25569.0;
}

}  // namespace

TDoc* CriticalEditDoc() { return g_criticalDoc; }
int32_t CriticalEditCount() { return g_criticalCount; }

const char* DocFormatExtension(int32_t formatIndex) {
  static const char* const kExtensions[] = {"rtf", "doc", "docx", "odt", "cod", "wri", "txt"};
  return formatIndex >= 0 && formatIndex < 7 ? kExtensions[formatIndex] : "rtf";
}

TDoc::TDoc(bool hidden) {
  docFlags_[dfBuilding] = 1;
  DocumentNumber = ++g_documentCounter;
  const TOptions& options = GetOptions();
  TxtEncoding = options.LoadSave.TxtEncoding < 0 ? 1 : options.LoadSave.TxtEncoding;
  TxtLineEnd = options.LoadSave.TxtLineEnd;

  Selection = AcquireFragment();
  VisibleSelection = AcquireFragment();
  SelectionBase = AcquireFragment();
  for (TFragmentRef& f : WorkFragments) f = AcquireFragment();
  Styles = std::make_unique<TStyleList>(this);

  TypingFormat = DefaultCharFormat;
  CreationTime = Now();
  CurParFormat = DefaultParFormat;
  CurCharFormat = DefaultCharFormat;
  FootnoteMarkFormat.Script = 1;
  EndnoteMarkFormat.Script = 1;
  CreateFirstParagraphAndSection();

  Hidden = hidden;
  if (!hidden) {
    EditorWindow = DocServices().CreateEditorWindow(*this);
    NoWindow = EditorWindow == nullptr;
  }
  ResetSearchStart();
  docFlags_[dfBuilding] = 0;
}

void TDoc::CreateFirstParagraphAndSection() {
  auto par = std::make_unique<TPar>(this);
  par->Format = DefaultParFormat;
  Paragraphs.push_back(std::move(par));
  StoryCounts = {1, 0, 0, 0};
  auto section = std::make_unique<TSection>(this);
  section->SetDefaults();
  Sections.push_back(std::move(section));
}

TDoc::~TDoc() {
  DocServices().DocumentDestroyed(this);
  if (g_criticalDoc == this) g_criticalDoc = nullptr;
  if (EditorWindow) {
    if (IsDocFlagSet(dfFreeWindowAtOnce) || DocServices().ApplicationShuttingDown()) {
      EditorWindow.reset();
    } else {
      EditorWindow->DetachDocument();
      DocServices().ReleaseEditorWindowLater(std::move(EditorWindow));
    }
  }
  for (auto& p : Paragraphs) p->ReleaseLines(0);
  DocLayoutServices().ReleasePages(*this);
  // Operations first: their records may hold objects that refer to the paragraphs.
  UndoList.clear();
  Paragraphs.clear();
  // Fields and sections forget their tag references themselves as they are freed, so tags in
  // buffers that outlive the document name nothing.
}

// --- Paragraphs and stories ---

int32_t TDoc::StoryOfParagraph(int32_t index) const {
  int32_t first = 0;
  for (int32_t story = 0; story < StoryCount; ++story) {
    const int32_t count = StoryCounts[static_cast<size_t>(story)];
    if (index >= first && index < first + count) return story;
    first += count;
  }
  return stHeadersFooters;
}

int32_t TDoc::FirstParagraphOfStory(int32_t story) const {
  int32_t first = 0;
  for (int32_t s = 0; s < std::min(story, static_cast<int32_t>(StoryCount)); ++s)
    first += StoryCounts[static_cast<size_t>(s)];
  return first;
}

int32_t TDoc::LastParagraphOfStory(int32_t story) const {
  if (story < 0 || story >= StoryCount) return FirstParagraphOfStory(story) - 1;
  return FirstParagraphOfStory(story) + StoryCounts[static_cast<size_t>(story)] - 1;
}

TPar* TDoc::InsertParagraph(int32_t index, int32_t story, std::unique_ptr<TPar> par) {
  if (story < 0 || story >= StoryCount || !par) throw Exception("Invalid paragraph insertion");
  const int32_t first = FirstParagraphOfStory(story);
  const int32_t end = first + StoryCounts[static_cast<size_t>(story)];
  if (index < first || index > end) throw Exception("Paragraph index outside its story");
  par->Doc = this;
  TPar* p = par.get();
  Paragraphs.insert(Paragraphs.begin() + index, std::move(par));
  ++StoryCounts[static_cast<size_t>(story)];
  ReindexParagraphs(index);
  return p;
}

TPar* TDoc::AppendParagraph(int32_t story, const TParFormat& format) {
  auto par = std::make_unique<TPar>(this);
  par->Format = format;
  const int32_t at = LastParagraphOfStory(story) + 1;
  return InsertParagraph(at, story, std::move(par));
}

std::unique_ptr<TPar> TDoc::RemoveParagraph(int32_t index) {
  if (index < 0 || index >= ParCount()) throw Exception("Paragraph index out of range");
  const int32_t story = StoryOfParagraph(index);
  if (story == stMain && StoryCounts[stMain] == 1)
    throw Exception("The main text keeps at least one paragraph");
  std::unique_ptr<TPar> par = std::move(Paragraphs[static_cast<size_t>(index)]);
  Paragraphs.erase(Paragraphs.begin() + index);
  --StoryCounts[static_cast<size_t>(story)];
  ReindexParagraphs(index);
  return par;
}

void TDoc::ReindexParagraphs(int32_t from) {
  for (int32_t i = std::max(from, 0); i < ParCount(); ++i) Paragraphs[static_cast<size_t>(i)]->Index = i;
}

TAutoList* TDoc::ListByNumber(int32_t number) const {
  if (number == 0 || number == ParUnset32) return nullptr;
  for (const auto& l : Lists)
    if (l->Number == number) return l.get();
  return nullptr;
}

bool TDoc::IsParagraphDimmed(int32_t index) const {
  if (PrintPreview || DimmingOff) return false;
  const bool headerFooter = StoryOfParagraph(index) == stHeadersFooters;
  return HeaderFooterInPlace == nullptr ? headerFooter : !headerFooter;
}

TField* TDoc::GetDropCapField(int32_t index) {
  if (index < 0 || index >= ParCount()) return nullptr;
  TPar& p = *Par(index);
  NormalizeParagraphTags(p);
  if (!p.HasFlag(pfDropCap)) return nullptr;
  TStreamItem item;
  for (int32_t off = 0; ReadStreamItem(p.Content.Data, p.Content.Length, off, item);
       off += item.Size) {
    if (item.ItemType != TStreamItem::siTag || IsCharTagKind(item.Tag.Kind)) break;
    if (item.Tag.Kind != ctFieldStart) continue;
    TField* f = FieldOfTag(item.Tag);
    if (f != nullptr && f->Kind == fkDropCap) return f;
  }
  return nullptr;
}

// --- Lifecycle and state ---

void TDoc::InitNewDocument() {
  Props.Author = CodePageToWide(DocServices().UserName(), DefaultCodePage);
  Props.AutoProps.Created = Props.AutoProps.Modified = Now();
  const bool noWindow = NoWindow;
  NoWindow = true;
  SetScopedFlag(dfBuilding);
  TPar& first = *Par(0);
  if (first.CharCount() == 0) {
    first.Content.Clear();
    AppendContentTag(first.Content, ctSize, 20);
    AppendContentTag(first.Content, ctSpecialChar, scParagraphEnd);
    first.Codes.Clear();
    first.Codes.AppendByte(scParagraphEnd);
    first.ContentChanged();
  }
  DocLayoutServices().ComputeLayoutData(*this);
  LoadDefaultStyles();
  MakePosition(0, 0, Caret);
  SelectionAnchor = Caret;
  if (Selection) Selection->SetSingleRange(0, 0, 0, 0);
  NewUntitled = true;
  RestoreScopedFlag();
  NoWindow = noWindow;
}

void TDoc::LoadDefaultStyles() {
  const TStyleList& defaults = StyleManager().DefaultStyles;
  if (Styles->Count() == 0) {
    Styles->Assign(defaults);
    return;
  }
  TImportStylesInfo info(&defaults);
  for (int32_t i = 0; i < defaults.Count(); ++i) info.Requested.push_back(i);
  Styles->ImportStyles(info, false);
}

void TDoc::SetModified(uint8_t flag) {
  if (Modified == flag) return;
  Modified = flag;
  DocServices().RequestInterfaceUpdate();
}

bool TDoc::IsTemplate() const {
  if (NewUntitled || FileName.empty()) return false;
  const std::string folder = DocServices().TemplatesFolder();
  if (folder.empty()) return false;
  const size_t slash = FileName.rfind('/');
  const std::string dir = slash == std::string::npos ? std::string() : FileName.substr(0, slash + 1);
  std::string want = folder;
  if (want.back() != '/') want.push_back('/');
  return dir == want;
}

void TDoc::EnterCriticalEdit() {
  g_criticalDoc = this;
  ++g_criticalCount;
}

void TDoc::LeaveCriticalEdit() {
  if (g_criticalCount > 0) --g_criticalCount;
}

// --- Scoped flags ---

void TDoc::SetDocFlag(int32_t flag, bool on) {
  if (flag >= 0 && flag < DocFlagCount) docFlags_[static_cast<size_t>(flag)] = on ? 1 : 0;
}

// --- Editing: the registered editing services carry these out ---

void TDoc::ExecuteEdit(uint8_t code, void* const* args, int32_t lastIndex) {
  EditServices().ExecuteEdit(*this, code, args, lastIndex);
}
void TDoc::BeginOperation(TUndoableOperation* operation) {
  EditServices().BeginOperation(*this, operation);
}
void TDoc::EndOperation() { EditServices().EndOperation(*this); }
void TDoc::CommitOperation(std::unique_ptr<TUndoableOperation> operation) {
  EditServices().CommitOperation(*this, std::move(operation));
}
void TDoc::Undo(bool runUpdate) { EditServices().Undo(*this, runUpdate); }
void TDoc::Redo() { EditServices().Redo(*this); }
void TDoc::UndoAll() { EditServices().UndoAll(*this); }
void TDoc::RedoAll() { EditServices().RedoAll(*this); }
void TDoc::ClearUndo() { EditServices().ClearUndo(*this); }
void TDoc::ClearRedo() { EditServices().ClearRedo(*this); }
uint32_t TDoc::LastOperationSerial() const { return EditServices().LastOperationSerial(*this); }
void TDoc::PostEditUpdate() { EditServices().PostEditUpdate(*this); }
TPostActions& TDoc::CurrentPostActions() { return EditServices().CurrentPostActions(*this); }
void TDoc::InvalidateFromParagraph(int32_t par) {
  EditServices().InvalidateFromParagraph(*this, par);
}

bool TDoc::IsDocFlagSet(int32_t flag) const {
  return flag >= 0 && flag < DocFlagCount && docFlags_[static_cast<size_t>(flag)] != 0;
}

void TDoc::SetScopedFlag(int32_t flag) {
  if (flag < 0 || flag >= DocFlagCount) return;
  flagStack_.Push(flag, docFlags_[static_cast<size_t>(flag)]);
  docFlags_[static_cast<size_t>(flag)] = 1;
}

void TDoc::ClearScopedFlag(int32_t flag) {
  if (flag < 0 || flag >= DocFlagCount) return;
  flagStack_.Push(flag, docFlags_[static_cast<size_t>(flag)]);
  docFlags_[static_cast<size_t>(flag)] = 0;
}

void TDoc::RestoreScopedFlag() {
  int32_t flag = 0;
  uint8_t value = 0;
  if (flagStack_.Pop(flag, value)) docFlags_[static_cast<size_t>(flag)] = value;
}

void TDoc::RestoreScopedFlags(int32_t count) {
  for (int32_t i = 0; i < count; ++i) RestoreScopedFlag();
}

}  // namespace qv
