#include "commands/font_commands.h"

#include <memory>

#include "commands/command_environment_services.h"
#include "commands/command_ids.h"
#include "commands/edit_command_services.h"
#include "commands/font_format_clipboard.h"
#include "commands/format_dialog_services.h"
#include "document/doc.h"
#include "editing/edit_codes.h"
#include "editing/ops/multi_selection.h"
#include "foundation/settings/options_holder.h"
#include "foundation/text/language_manager.h"

namespace qv {

namespace {

constexpr uint8_t kMouseModeFormatBrush = 2;
constexpr int32_t kLeaveHeaderFooter = 7200;
constexpr int32_t kFontCombo = 212100;
constexpr int32_t kFontSizeCombo = 212200;
constexpr uint8_t kChangeLanguageName = 39;
constexpr int32_t kBoldSound = 4200;
constexpr int32_t kItalicSound = 4220;
constexpr int32_t kUnderlineSound = 4240;

bool IsUnderlineCommand(int32_t id) { return id >= 12160 && id <= 12169; }

// The property an attribute toggle changes; -1 for other ids.
int32_t AttributeOfCommand(int32_t id) {
  if (IsUnderlineCommand(id)) return cpUnderline;
  switch (id) {
    case 12120: return cpBold;
    case 12140: return cpItalic;
    case 12170: return cpStrike;
    case 12171: return cpDoubleStrike;
    case 12210: return cpSmallCaps;
    case 12215: return cpAllCaps;
    case 12285: return cpShadow;
    default: return -1;
  }
}

int32_t SoundOfCommand(int32_t id) {
  if (id == 12120) return kBoldSound;
  if (id == 12140) return kItalicSound;
  return IsUnderlineCommand(id) ? kUnderlineSound : 0;
}

// The property and amount of a step applied at once; false for other ids.
bool StepOfCommand(int32_t id, int32_t& prop, int32_t& amount) {
  struct Step {
    int32_t Id, Prop, Amount;
  };
  static constexpr Step kSteps[] = {
      {12220, cpSize, -2},       {12240, cpSize, 2},       {12260, cpSize, -2000},
      {12280, cpSize, 2000},     {12340, cpSpacing, -2},   {12360, cpSpacing, 2},
      {12380, cpVertOffset, 1},  {12400, cpVertOffset, -1},
  };
  for (const Step& s : kSteps) {
    if (s.Id != id) continue;
    prop = s.Prop;
    amount = s.Amount;
    return true;
  }
  return false;
}

// The format the commands compare with: the common format of the selection (its mixed
// properties unset), or the format at the caret with what was chosen there for the next typed
// characters.
const TCharFormat& CurrentFormat(const TDoc& doc) { return doc.CurCharFormat; }

// One run of a command: the target document, the change set and the flags byte of the font
// format edit.
class TFontCommandRun {
 public:
  TFontCommandRun(TCommandManager& manager, int32_t id, TDoc* doc)
      : manager_(manager), env_(CommandEnvironment()), id_(id), doc_(doc) {}

  void Run();

 private:
  bool BrushMode() const { return env_.MouseMode() == kMouseModeFormatBrush; }
  bool ToBrush() const { return BrushMode() && IsFormatBrushCommand(id_); }
  // Fills the change set; false when the command ended early (or has nothing to apply).
  bool FillChange();
  void ApplyChange();
  void CopyFontFormat();
  bool FontDialog();
  void FindPatternFont(bool replace);
  void FindPatternLanguage(bool replace);
  void StepProperty(int32_t prop, int32_t amount);
  void ScaleFont();
  void ShrinkPageCount();
  void ResetFontFormat();
  void ChooseLanguage();
  void SetColor(bool highlight);

  TCommandManager& manager_;
  TCommandEnvironment& env_;
  const int32_t id_;
  TDoc* const doc_;
  TCharFormat base_;
  TCharFormat change_;
  uint8_t flags_ = 0;
};

void TFontCommandRun::Run() {
  if (doc_ != nullptr) {
    env_.AddEditingTime(*doc_);
    DeactivateOvertypeMulSelection(*doc_);
  }
  // Commands that need no document: the find and replace patterns, the language lists and the
  // command bar's boxes.
  switch (id_) {
    case 12001: case 12002: return FindPatternFont(id_ == 12002);
    case 12441: case 12442: return FindPatternLanguage(id_ == 12442);
    case 12445: return FormatDialogServices().ExecuteDefaultLanguageDialog();
    case 12600: GetLangManager().RecentLangs.clear(); return;
    case 12060: return env_.DropCommandBarCombo(kFontCombo);
    case 12080: return env_.DropCommandBarCombo(kFontSizeCombo);
    default: break;
  }
  if (doc_ == nullptr) return;
  ClearCharFormat(change_);
  base_ = BrushMode() ? FontFormatClipboard().Format : CurrentFormat(*doc_);
  if (ToBrush()) change_ = FontFormatClipboard().Format;
  if (FillChange()) ApplyChange();
}

bool TFontCommandRun::FillChange() {
  if (AttributeOfCommand(id_) >= 0) {
    if (const int32_t sound = SoundOfCommand(id_); sound != 0) env_.PlayEventSound(sound);
    ToggleCharAttribute(id_, base_, BrushMode(), change_);
    return true;
  }
  int32_t prop = 0, amount = 0;
  if (StepOfCommand(id_, prop, amount)) {
    StepProperty(prop, amount);
    return false;
  }
  switch (id_) {
    case 12000: return FontDialog();
    case 12020: CopyFontFormat(); return false;
    case 12040: change_ = FontFormatClipboard().Format; return true;
    case 12180: case 12200: ToggleVerticalPosition(id_, base_, BrushMode(), change_); return true;
    case 12300: ScaleFont(); return false;
    case 12310: ShrinkPageCount(); return false;
    case 12320: ResetFontFormat(); return false;
    case 12440: ChooseLanguage(); return false;
    case 12500: SetColor(true); return true;
    case 12520: SetColor(false); return true;
    default: return true;  // the rest of the range applies an empty change set: nothing
  }
}

void TFontCommandRun::ApplyChange() {
  if (ToBrush()) {
    FontFormatClipboard().Format = change_;
    env_.RequestInterfaceUpdate();
    env_.RefreshFormatBrushViews();
    env_.CheckFormatBrushName();
    return;
  }
  SubtractCharFormat(change_, CurrentFormat(*doc_));
  change_.Language = CharUnset;
  if (IsCharFormatEmpty(change_)) return;
  void* args[] = {nullptr, nullptr, &change_, &flags_};
  doc_->ExecuteEdit(ecFormatFont, args, 3);
}

void TFontCommandRun::CopyFontFormat() {
  FontFormatClipboard().Format = CurrentFormat(*doc_);
  FontFormatClipboard().Filled = true;
  env_.RequestInterfaceUpdate();
  env_.CheckFormatBrushName();
  env_.FormatClipboardChanged();
}

bool TFontCommandRun::FontDialog() {
  change_ = base_;
  change_.Language = CharUnset;
  const bool brush = BrushMode();
  return FormatDialogServices().ExecuteFontFormatDialog(change_, brush ? 1 : 0, brush ? 9100 : 9000);
}

void TFontCommandRun::FindPatternFont(bool replace) {
  TEditCommandServices& find = EditCommandServices();
  TCharFormat pattern;
  if (!find.GetFindPatternFormat(replace, pattern)) return;
  if (!FormatDialogServices().ExecuteFontFormatDialog(pattern, replace ? 1 : 9, 9000)) return;
  find.SetFindPatternFormat(replace, pattern);
  if (!replace) find.RefreshFindHighlights();
  find.RefreshFindPatternDescription();
}

void TFontCommandRun::FindPatternLanguage(bool replace) {
  TEditCommandServices& find = EditCommandServices();
  TCharFormat pattern;
  if (!find.GetFindPatternFormat(replace, pattern)) return;
  int32_t language = pattern.Language;
  if (!FormatDialogServices().ExecuteChooseLangDialog(language, 1, "Language", 16000)) return;
  pattern.Language = language;
  find.SetFindPatternFormat(replace, pattern);
  if (!replace) find.RefreshFindHighlights();
  find.RefreshFindPatternDescription();
}

void TFontCommandRun::StepProperty(int32_t prop, int32_t amount) {
  void* args[] = {&prop, &amount};
  doc_->ExecuteEdit(ecStepFontProperty, args, 1);
}

void TFontCommandRun::ScaleFont() {
  int32_t percent = 100;
  if (!FormatDialogServices().ExecuteScaleFontDialog(percent) || percent == 100) return;
  StepProperty(cpSize, 2000 + percent);
}

void TFontCommandRun::ShrinkPageCount() {
  if (doc_->HeaderFooterInPlace != nullptr) manager_.Execute(kLeaveHeaderFooter);
  doc_->ExecuteEdit(ecShrinkPageCount, nullptr, -1);
}

void TFontCommandRun::ResetFontFormat() {
  uint8_t kind = 1;
  void* args[] = {nullptr, nullptr, &kind};
  doc_->ExecuteEdit(ecResetToStyleFormat, args, 2);
}

void TFontCommandRun::ChooseLanguage() {
  int32_t language = CurrentFormat(*doc_).Language;
  if (!FormatDialogServices().ExecuteChooseLangDialog(language, 1, "Language", 16000)) return;
  change_.Language = language;
  SubtractCharFormat(change_, CurrentFormat(*doc_));
  if (IsCharFormatEmpty(change_)) return;
  // The name is taken by the operation the edit commits; an edit that records nothing (the
  // typing format at the caret) must not leave it to the next operation.
  doc_->OperationNameOverride = kChangeLanguageName;
  void* args[] = {nullptr, nullptr, &change_, &flags_};
  doc_->ExecuteEdit(ecFormatFont, args, 3);
  doc_->OperationNameOverride = 255;
}

void TFontCommandRun::SetColor(bool highlight) {
  const TInternalOptions& options = GetOptions().Internal;
  int32_t color = highlight ? options.HiliteCol : options.FontCol;
  const bool selection = env_.HasSelection(*doc_);
  const int32_t current = highlight ? doc_->CurCharFormat.Highlight : doc_->CurCharFormat.Color;
  if (selection && current == color) color = AutoColor;
  (highlight ? change_.Highlight : change_.Color) = color;
  if (highlight || !selection) flags_ |= 1;
}

}  // namespace

int32_t UnderlineCodeOfCommand(int32_t id) {
  static constexpr int32_t kCodes[] = {1, 2, 3, 4, 7, 9, 11, 39, 43, 27};
  return IsUnderlineCommand(id) ? kCodes[id - 12160] : 0;
}

void ToggleCharAttribute(int32_t id, const TCharFormat& base, bool brush, TCharFormat& change) {
  const int32_t prop = AttributeOfCommand(id);
  if (prop < 0) return;
  const bool underline = prop == cpUnderline;
  const int32_t code = underline ? UnderlineCodeOfCommand(id) : 1;
  const int32_t old = base[prop];
  int32_t& value = change[prop];
  if (old == CharUnset) value = code;                  // mixed: everything gets it
  else if (brush && old == 0) value = CharUnset;       // the brush drops the property
  else if (underline) value = old == code ? 0 : code;  // the same kind again takes it off
  else value = (old & 0x7F) == 0 ? 1 : 0;
  if (value != 1) return;
  // The attributes that exclude each other.
  switch (prop) {
    case cpStrike: change.DoubleStrike = 0; break;
    case cpDoubleStrike: change.Strike = 0; break;
    case cpSmallCaps: change.AllCaps = 0; break;
    case cpAllCaps: change.SmallCaps = 0; break;
    case cpShadow: change.Emboss = change.Engrave = 0; break;
    default: break;
  }
}

void ToggleVerticalPosition(int32_t id, const TCharFormat& base, bool brush, TCharFormat& change) {
  const int32_t own = id == 12180 ? 1 : 2;
  if (brush && base.Script == 0) change.Script = CharUnset;
  else change.Script = base.Script == own ? 0 : own;
}

void TFontCommands::Execute(TCommandManager& manager, int32_t id) {
  TFontCommandRun(manager, id, GetCommandTargetDoc()).Run();
}

void RegisterFontCommands(TCommandManager& manager) {
  manager.SetHandler(CommandRange::Font, std::make_unique<TFontCommands>());
}

}  // namespace qv
