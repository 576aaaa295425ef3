// Importing styles between lists, the built-in style names and the program-wide style manager
// with its default list.
#include <algorithm>
#include <cstdio>
#include <string>

#include "document/styles.h"
#include "foundation/fonts/font_manager.h"
#include "foundation/ui/message_dlg_service.h"
#include "foundation/base/string_utils.h"

namespace qv {

const char* const BuiltInStyleNames[BuiltInStyleCount] = {
    "Normal", "Heading 1", "Heading 2", "Heading 3", "Heading 4", "Heading 5", "Heading 6",
    "Heading 7", "Heading 8", "Heading 9", "Index 1", "Index 2", "Index 3", "Index 4", "Index 5",
    "Index 6", "Index 7", "Index 8", "Index 9", "TOC 1", "TOC 2", "TOC 3", "TOC 4", "TOC 5",
    "TOC 6", "TOC 7", "TOC 8", "TOC 9", "Normal Indent", "Footnote Text", "Annotation Text",
    "Header", "Footer", "Index Heading", "Caption", "Table of Figures", "Envelope Address",
    "Envelope Return", "Footnote Reference", "Annotation Reference", "Line Number",
    "Page Number", "Endnote Reference", "Endnote Text", "Table of Authorities", "Macro Text",
    "TOA Heading", "List", "List 2", "List 3", "List 4", "List 5", "List Bullet",
    "List Bullet 2", "List Bullet 3", "List Bullet 4", "List Bullet 5", "List Number",
    "List Number 2", "List Number 3", "List Number 4", "List Number 5", "Title", "Closing",
    "Signature", "Default Paragraph Font", "Body Text", "Body Text Indent", "List Continue",
    "List Continue 2", "List Continue 3", "List Continue 4", "List Continue 5",
    "Message Header", "Subtitle", "Salutation", "Date", "Body Text First Indent",
    "Body Text First Indent 2", "Note Heading", "Body Text 2", "Body Text 3",
    "Body Text Indent 2", "Body Text Indent 3", "Block Text", "Hyperlink", "Followed Hyperlink",
    "Strong", "Emphasis", "Document Map", "Plain Text", "TOC Title"};

// Built-in styles are shown under their stored names.
const char* const (&BuiltInStyleDisplayNames)[BuiltInStyleCount] = BuiltInStyleNames;

namespace {

bool Contains(const std::vector<int32_t>& v, int32_t x) {
  return std::find(v.begin(), v.end(), x) != v.end();
}

// One run of an import into a working copy of the destination.
class TStyleImport {
 public:
  TStyleImport(TStyleList& work, TImportStylesInfo& info, bool prompt)
      : w_(work), info_(info), prompting_(prompt), pending_(info.Requested) {}

  bool Run() {
    while (!pending_.empty() && !cancelled_) Import(pending_.front());
    return !cancelled_;
  }

 private:
  const TStyle* SourceStyle(int32_t s) const { return info_.Source->Get(s); }

  // Imports source style s; answers its index in the working list (-1 for a missing source).
  int32_t Import(int32_t s) {
    pending_.erase(std::remove(pending_.begin(), pending_.end(), s), pending_.end());
    const TStyle* src = SourceStyle(s);
    if (src == nullptr) return -1;
    const int32_t d = w_.IndexOfName(src->Name);
    if (d < 0) {
      const int32_t index = w_.Count();
      visited_.push_back(index);
      w_.Add(std::make_unique<TStyle>(&w_, *src));
      info_.Added.push_back(index);
      ImportReferences(index, *src);
      return index;
    }
    if (Contains(visited_, d) || info_.Mode != 1 || noToAll_ ||
        !(Contains(info_.Requested, s) || info_.OnlyRequested == 0))
      return d;
    visited_.push_back(d);
    if (prompting_ && !ConfirmReplace(*src)) return d;
    if (cancelled_) return d;
    w_[d].Assign(*src);
    w_[d].ParFmt.Style = static_cast<int16_t>(d);
    info_.Replaced.push_back(d);
    ImportReferences(d, *src);
    return d;
  }

  // The based-on and next styles of an imported style, by name in the working list. A source
  // style that cannot be found leaves the reference unset rather than pointing anywhere.
  void ImportReferences(int32_t index, const TStyle& src) {
    if (src.BasedOn != -1) {
      const int32_t b = Import(src.BasedOn);
      w_[index].BasedOn = b == index ? -1 : b;
    }
    if (!cancelled_ && src.Next != -1) w_[index].Next = Import(src.Next);
  }

  // False when the style is not to be replaced (or the import was cancelled).
  bool ConfirmReplace(const TStyle& src) {
    MessageDlgInfo().LastButton = mbCancel;
    char text[512];
    std::snprintf(text, sizeof text,
                  "Replace style \"%s\" in destination style list with corresponding style from "
                  "source style list?",
                  src.DisplayName.c_str());
    const int32_t answer =
        ShowMessageDlg(text, mkConfirmation,
                       ButtonBit(mbYes) | ButtonBit(mbNo) | ButtonBit(mbCancel) |
                           ButtonBit(mbNoToAll) | ButtonBit(mbYesToAll));
    switch (answer) {
      case mrYes: return true;
      case mrYesToAll: prompting_ = false; return true;
      case mrNoToAll: prompting_ = false; noToAll_ = true; return false;
      case mrNo: return false;
      default: cancelled_ = true; return false;  // Cancel, or the box closed otherwise
    }
  }

  TStyleList& w_;
  TImportStylesInfo& info_;
  bool prompting_;
  bool cancelled_ = false;
  bool noToAll_ = false;
  std::vector<int32_t> pending_;
  std::vector<int32_t> visited_;
};

}  // namespace

bool TStyleList::ImportStyles(TImportStylesInfo& info, bool prompt) {
  info.Added.clear();
  info.Replaced.clear();
  if (info.Source == nullptr) return true;
  TStyleList work(Owner);
  work.Assign(*this);
  if (!TStyleImport(work, info, prompt).Run()) {
    info.Added.clear();
    info.Replaced.clear();
    return false;
  }
  const int32_t own = Count();
  for (int32_t i = 0; i < work.Count(); ++i) {
    if (i < own)
      (*this)[i].Assign(work[i]);
    else
      Add(std::make_unique<TStyle>(this, work[i]));
  }
  StyleManager().IdentifyBuiltInStyles(*this);
  return true;
}

// --- Style manager ---

namespace {

TStyle& AddDefault(TStyleList& list, const char* name, int32_t basedOn, int32_t next) {
  TStyle& s = list.AddNew();
  s.Name = name;
  s.BasedOn = basedOn;
  s.Next = next == -2 ? list.Count() - 1 : next;  // -2: the style itself
  return s;
}

void BuildDefaultStyles(TStyleList& list) {
  const TFontManager* fm = FontManager();
  TStyle& normal = AddDefault(list, "Normal", -1, 0);
  normal.CharFmt.Font = fm != nullptr && fm->ArialFont >= 0 ? fm->ArialFont : DefaultCharFormat.Font;
  normal.CharFmt.Size = 20;
  for (int n = 1; n <= 9; ++n) {
    TStyle& h = AddDefault(list, ("Heading " + std::to_string(n)).c_str(), 0, 0);
    h.ParFmt.OutlineLevel = static_cast<int8_t>(n - 1);
    h.ParFmt.ListLevel = static_cast<int8_t>(n - 1);
  }
  AddDefault(list, "Header", 0, -2);
  AddDefault(list, "Footer", 0, -2);
  TStyle& tocTitle = AddDefault(list, "TOC Title", -1, -1);
  tocTitle.CharFmt.Size = 24;
  tocTitle.CharFmt.Bold = 1;
  tocTitle.ParFmt.Alignment = 1;
  tocTitle.ParFmt.KeepNext = 1;
  tocTitle.ParFmt.SpaceBefore = 120;
  for (int n = 1; n <= 9; ++n)
    AddDefault(list, ("TOC " + std::to_string(n)).c_str(), -1, -1).ParFmt.LeftIndent =
        static_cast<int16_t>(240 * (n - 1));
  for (int n = 1; n <= 9; ++n) {
    TStyle& ix = AddDefault(list, ("Index " + std::to_string(n)).c_str(), 0, -2);
    ix.ParFmt.LeftIndent = static_cast<int16_t>(480 + 240 * (n - 1));
    ix.ParFmt.FirstIndent = -240;
    ix.ParFmt.WidowControl = 1;
  }
  TStyle& ih = AddDefault(list, "Index Heading", 0, -2);
  ih.CharFmt.Bold = 1;
  ih.ParFmt.Alignment = 1;
  ih.ParFmt.KeepNext = 1;
  ih.ParFmt.SpaceBefore = 144;
  ih.ParFmt.SpaceAfter = 72;
  AddDefault(list, "Footnote Text", 0, -2).CharFmt.Size = 20;
  AddDefault(list, "Endnote Text", 0, -2).CharFmt.Size = 20;
}

int32_t FindBuiltIn(const char* const (&names)[BuiltInStyleCount], const std::string& name) {
  for (int32_t i = 0; i < BuiltInStyleCount; ++i)
    if (SameTextAscii(name, names[i])) return i;
  return -1;
}

}  // namespace

TStyleManager::TStyleManager() {
  BuildDefaultStyles(DefaultStyles);
  IdentifyBuiltInStyles(DefaultStyles);
}

void TStyleManager::IdentifyBuiltInStyles(TStyleList& list) const {
  if (IdentifyOff) return;
  for (int32_t i = 0; i < list.Count(); ++i) {
    TStyle& s = list[i];
    s.BuiltIn = FindBuiltIn(BuiltInStyleDisplayNames, s.Name);
    if (s.BuiltIn < 0) s.BuiltIn = FindBuiltIn(BuiltInStyleNames, s.Name);
    if (s.BuiltIn < 0) {
      s.DisplayName = s.Name;
      continue;
    }
    s.Name = BuiltInStyleNames[s.BuiltIn];
    s.DisplayName = BuiltInStyleDisplayNames[s.BuiltIn];
    if (s.IsHeading()) s.ParFmt.OutlineLevel = static_cast<int8_t>(s.BuiltIn - 1);
  }
}

void TStyleManager::EnsureNormalStyle(TStyleList& list) {
  if (list.IndexOfName("Normal") >= 0) return;
  TImportStylesInfo info(&DefaultStyles);
  info.Requested = {0};
  list.ImportStyles(info, true);
}

namespace {

std::unique_ptr<TStyleManager>& ManagerSlot() {
  static std::unique_ptr<TStyleManager> manager;
  return manager;
}

}  // namespace

TStyleManager& StyleManager() {
  auto& m = ManagerSlot();
  if (!m) m = std::make_unique<TStyleManager>();
  return *m;
}

void FreeStyleManager() { ManagerSlot().reset(); }

}  // namespace qv
