// Characters typed into the document window. A character the typing code page holds is typed
// with the edit dispatcher's text-input action, as one undoable operation marked as typing so
// that the undo list groups a run of typed characters; a character the code page cannot hold
// (one outside the basic plane included) is inserted whole by its code. Around the typing run
// the lock-key and end-of-line warnings, the keystroke sounds, AutoCorrect, the spelling checks
// and the typing popups; typing into a multiple selection repeats the character at every typing
// mark.
#include <memory>
#include <string>
#include <vector>

#include "document/doc.h"
#include "document/field.h"
#include "document/line.h"
#include "document/par.h"
#include "docwindow/char_by_code.h"
#include "docwindow/doc_form.h"
#include "docwindow/doc_window_services.h"
#include "docwindow/keystroke_sounds.h"
#include "docwindow/scroll_into_view.h"
#include "docwindow/typing_char_sets.h"
#include "docwindow/view_flags.h"
#include "editing/edit_codes.h"
#include "editing/edit_dispatcher.h"
#include "editing/edit_flags.h"
#include "editing/operation.h"
#include "editing/ops/multi_selection.h"
#include "editing/undo_stack.h"
#include "foundation/base/memory.h"
#include "foundation/settings/options_holder.h"
#include "foundation/text/code_pages.h"
#include "foundation/ui/hotkey_services.h"
#include "layout/layout_units.h"
#include "layout/line_fitter.h"
#include "platform/controls/control.h"

namespace qv {

namespace {

// Edit action codes of typing.
constexpr uint8_t kCodeInsertFieldObject = 39;
constexpr uint8_t kCodeRemoveFields = 42;
constexpr uint8_t kCodeBeginMultiTyping = 83;
// The operation name "text input".
constexpr uint8_t kNameTextInput = 15;
// The document flag of typing into a multiple selection, and the typing marks' flag bit.
constexpr int32_t kMultiSelectionTyping = 48;

// Sound events.
constexpr int32_t kSoundLockWarning = 12470;
constexpr int32_t kSoundEndOfLine = 12500;
constexpr int32_t kSoundAutoCorrect = 2200;
constexpr int32_t kSoundMisspelling = 2180;
// Twips from the line's end at which the end-of-line warning sounds.
constexpr int32_t kEndOfLineWarning = 400;
// Spellcheck option: check as you type.
constexpr uint16_t kSpellAsYouType = 0x80;

// The text bytes of the typing format's font.
uint32_t TypingCodePage(const TDoc& doc) {
  return doc.TypingFormat.Font != CharUnset ? TextCodePageOfFont(doc.TypingFormat.Font) : DefaultCodePage;
}

// The byte of a character in the code page; false when the code page cannot hold it.
bool CharToByte(char32_t ch, uint32_t codePage, uint8_t& byte) {
  if (ch < 0x80) {
    byte = static_cast<uint8_t>(ch);
    return true;
  }
  if (ch > 0xFFFF) return false;
  const std::string bytes = WideToCodePage(std::u16string(1, static_cast<char16_t>(ch)), codePage);
  if (bytes.size() != 1 || bytes[0] == '?') return false;
  // The conversion must come back to the same character (no best-fit substitute).
  const std::u16string back = CodePageToWide(bytes, codePage);
  if (back.size() != 1 || back[0] != static_cast<char16_t>(ch)) return false;
  byte = static_cast<uint8_t>(bytes[0]);
  return true;
}

bool Committed(const TDoc& doc) { return doc.IsDocFlagSet(dfCommitted); }

void MarkLastOperation(TDoc& doc, uint8_t flags) {
  if (TOperation* op = OperationAt(doc, doc.UndoPosition)) op->Flags |= flags;
}

// The end-of-line warning: the typed character brought the caret within 400 twips of the end of
// a left-aligned or justified line.
bool NearLineEnd(const TDoc& doc) {
  if (doc.HasSelection() || doc.Caret.Par < 0 || doc.Caret.Par >= doc.ParCount()) return false;
  const TPar& par = *doc.Par(doc.Caret.Par);
  const int32_t align = par.Format.Alignment;
  if (align != 0 && align != 3 && align != ParUnset8) return false;
  if (!par.HasFlag(pfLinesValid) || par.Lines.empty()) return false;
  const TLine& line = *par.Lines[static_cast<size_t>(std::clamp(doc.Caret.Line, 0, static_cast<int32_t>(par.Lines.size()) - 1))];
  const int32_t i = doc.Caret.Offset - line.FirstChar + 1;
  if (i < 0 || static_cast<size_t>(i) >= line.Positions.size()) return false;
  const int32_t x = LayoutXToTwips(line.Positions[static_cast<size_t>(i)], LayoutLineFitter().Settings);
  return line.AvailWidth - x <= kEndOfLineWarning;
}

}  // namespace

intptr_t TDocForm::CNChar(char32_t ch, intptr_t keyData) {
  TDocWindowServices& services = DocWindowServices();
  if (services.CommandManagerBusy()) return 0;
  intptr_t result = TCommandForm::WndProc(plat::CN_CHAR, ch, keyData);
  // Control characters (below 32, and the delete character 127) are keys, never text.
  if (!ToolbarCustomizing && IsReady() && result == 0 && ch >= 32 && ch != 127 &&
      !services.CollectingAltCode()) {
    if (TypeCharacter(ch)) {
      result = 1;
      LastKeyCode = 0;
    }
  }
  services.ClearAltCodeFlag();
  return result;
}

bool TDocForm::TypeCharacter(char32_t ch) {
  TDoc& doc = *doc_;
  TDocWindowServices& services = DocWindowServices();
  uint8_t byte = 0;
  if (!CharToByte(ch, TypingCodePage(doc), byte)) {
    // Never a "?" in place of the character, and never half of one: the whole code point goes
    // in by its code.
    InsertCharByCode(doc, "00" + std::to_string(static_cast<uint32_t>(ch)));
    return true;
  }
  if (LastKeyCode < 32) LastKeyCode = byte;
  if (LastKeyCode < 32 || LastKeyCode > 255) return false;

  // Warnings that replace the keystroke sound.
  bool muted = false;
  const bool digit = byte >= '0' && byte <= '9';
  if ((HasFlag(dfCapsLockPressed) || (HasFlag(dfNumLockPressed) && digit)) &&
      services.HasSound(kSoundLockWarning)) {
    services.PlayEventSound(kSoundLockWarning);
    muted = !services.DirectSoundAvailable();
  } else if (services.HasSound(kSoundEndOfLine) && NearLineEnd(doc)) {
    services.PlayEventSound(kSoundEndOfLine);
    muted = !services.DirectSoundAvailable();
  }
  if (muted) services.Mute();

  // Typing into a multiple selection begins: its ranges become typing marks.
  bool marksMode = doc.IsDocFlagSet(kMultiSelectionTyping);
  const bool several = doc.Selection && (doc.Selection->Count() > 1 ||
                                         (doc.HasSelection() && doc.IsCellSelection(*doc.Selection)));
  if (several && !marksMode) {
    doc.OperationNameOverride = kNameTextInput;
    doc.ExecuteEdit(kCodeBeginMultiTyping, nullptr, -1);
    doc.OperationNameOverride = 255;
    doc.SetDocFlag(kMultiSelectionTyping, true);
    marksMode = true;
  }
  std::vector<TField*> marks;
  if (marksMode) {
    marks = TypingMarkers(doc);
    if (marks.empty()) {
      doc.SetDocFlag(kMultiSelectionTyping, false);
      marksMode = false;
    }
  }
  if (marksMode) {
    doc.SetScopedFlag(vfTypingIntoMarks);
    doc.SetScopedFlag(vfNoScrollIntoView);
  }
  const bool chained = marksMode;
  bool autoCorrected = false;
  const size_t passes = marksMode ? marks.size() : 1;
  for (size_t pass = 0; pass < passes; ++pass) {
    const bool last = pass + 1 == passes;
    Flags &= ~(dfCapsLockPressed | dfNumLockPressed);
    std::unique_ptr<TField> newMark;
    if (marksMode) {
      TField* mark = marks[passes - 1 - pass];
      TDocRange r;
      if (doc.GetFieldRange(mark, r)) doc.Caret = r.Start;
      newMark = std::make_unique<TField>();
      newMark->Kind = fkBookmark;
      newMark->Flags = kTypingMarkerFlags;
      newMark->Instruction = mark->Instruction;
      std::vector<TField*> remove{mark};
      void* args[] = {&remove};
      RunChainedEdit(doc, kCodeRemoveFields, args, 0, kNameTextInput);
    }
    // The typing itself.
    TMemory text;
    text.AppendByte(byte);
    int32_t flags = 0;
    void* args[] = {&text, &flags};
    doc.SetDocFlag(vfHorizontalMove, true);
    const bool neutral = InSet(LayoutNeutralChars(), byte);
    if (neutral) doc.SetScopedFlag(vfKeepTypingFont);
    try {
      if (chained) RunChainedEdit(doc, ecTypeText, args, 1, kNameTextInput);
      else doc.ExecuteEdit(ecTypeText, args, 1);
    } catch (...) {
      if (neutral) doc.RestoreScopedFlag();
      doc.SetDocFlag(vfHorizontalMove, false);
      if (marksMode) doc.RestoreScopedFlags(2);
      if (muted) services.Unmute();
      throw;
    }
    if (neutral) doc.RestoreScopedFlag();
    doc.SetDocFlag(vfHorizontalMove, false);
    const bool typed = Committed(doc);
    if (typed) {
      MarkLastOperation(doc, LastKeyCode == 32 ? TOperation::ofTypedSpace : TOperation::ofTypedChar);
      // The typing counts towards the editing time and the writing speed.
      doc.AddEditingTime();
      ++doc.TypedChars;
    }
    if (last) {
      PlayKeystrokeSound(*this);
      if (muted) services.Unmute();
    }
    if (typed) {
      const bool trigger = InSet(AutoCorrectTriggers(), byte);
      if (services.AutoCorrectAsYouType() && trigger) {
        uint8_t typedChar = byte;
        TDocPosition at = doc.Caret;
        void* acArgs[] = {&typedChar, &at};
        doc.SetDocFlag(dfCommitted, false);
        if (chained) RunChainedEdit(doc, ecAutoCorrectAfterKey, acArgs, 1, kNameTextInput);
        else doc.ExecuteEdit(ecAutoCorrectAfterKey, acArgs, 1);
        if (Committed(doc) && !autoCorrected) {
          autoCorrected = true;
          services.PlayEventSound(kSoundAutoCorrect);
        }
      }
      if (last && trigger && services.MisspelledBeforeCaret(doc)) services.PlayEventSound(kSoundMisspelling);
      if (!InSet(WordSeparators(), byte)) {
        services.RescheduleSpellcheck(doc, 1);
      } else if ((GetOptions().Spellcheck.Flags2 & kSpellAsYouType) != 0 &&
                 services.SpellcheckRecheckPending(doc)) {
        doc.SetScopedFlag(vfSpellRecheck);
        if (services.RecheckPendingSpelling(doc)) {
          TDocRange r;
          MakeRange(doc.Caret.Par, 0, doc.Caret.Par, doc.Caret.Offset, r);
          doc.RepaintRange(&r, nullptr);
        }
        doc.RestoreScopedFlag();
      }
    }
    if (newMark) {
      void* markArgs[] = {&newMark};
      RunChainedEdit(doc, kCodeInsertFieldObject, markArgs, 0, kNameTextInput);
    } else if (last) {
      services.UpdateTypingPopups(doc, autoCorrected || marksMode);
    }
  }
  if (marksMode) {
    doc.RestoreScopedFlags(2);
    ScrollCaretIntoView(doc, 0);
    RedrawView();
  }
  return true;
}

intptr_t TDocForm::WMIMEChar(uintptr_t wParam, intptr_t lParam) {
  TDocWindowServices& services = DocWindowServices();
  if (services.CommandManagerBusy()) return 0;
  if (ToolbarCustomizing || !IsReady()) return TCommandForm::WndProc(kWmImeChar, wParam, lParam);
  if (PendingImeText.empty() && !services.ImeResultString(PendingImeText))
    return TCommandForm::WndProc(kWmImeChar, wParam, lParam);
  // One whole character per message: a surrogate pair goes in together, a lone surrogate is
  // dropped.
  while (!PendingImeText.empty()) {
    char32_t ch = PendingImeText.front();
    size_t units = 1;
    if (ch >= 0xD800 && ch <= 0xDBFF && PendingImeText.size() > 1 &&
        PendingImeText[1] >= 0xDC00 && PendingImeText[1] <= 0xDFFF) {
      ch = 0x10000 + ((ch - 0xD800) << 10) + (PendingImeText[1] - 0xDC00);
      units = 2;
    }
    PendingImeText.erase(0, units);
    if (ch >= 0xD800 && ch <= 0xDFFF) continue;
    InsertCharByCode(*doc_, "00" + std::to_string(static_cast<uint32_t>(ch)));
    break;
  }
  return 1;
}

}  // namespace qv
