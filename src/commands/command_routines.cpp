#include "commands/command_routines.h"

#include <cstdint>

#include "commands/command_environment_services.h"
#include "commands/command_manager.h"
#include "document/compound_fragment.h"
#include "document/doc.h"
#include "document/fragment_pool.h"
#include "document/par.h"
#include "foundation/settings/options_holder.h"
#include "foundation/ui/message_dlg_service.h"
#include "foundation/ui/sound_services.h"

namespace qv {

namespace {

constexpr uint8_t kMouseFormatBrush = 2, kMouseHighlight = 4, kMouseFontColor = 5;
constexpr uint8_t kNameHighlight = 11, kNameFontColor = 12;
constexpr int32_t kApplyHighlight = 12500, kApplyFontColor = 12520;

constexpr int32_t kDeleteSound = 2300;
constexpr uint32_t kEditSmartCutAndPaste = 0x20;  // edit options
// Deletion flags of the delete-text edit.
constexpr uint32_t kDeleteSmart = 0x80, kDeleteAlways = 0x100, kDeleteWholeWords = 0x10000;

constexpr const char* kNoteEndMarkMessage =
    "The last paragraph mark of a footnote/endnote cannot be deleted.\rTo remove a whole "
    "footnote/endnote, you must delete the corresponding footnote/endnote reference mark in the "
    "document main text. The note itself will be removed automatically.";

// Mutes the event sounds for its extent, also when the command raises.
class TMutedSounds {
 public:
  TMutedSounds() { CommandEnvironment().MuteSounds(); }
  ~TMutedSounds() { CommandEnvironment().UnmuteSounds(); }
  TMutedSounds(const TMutedSounds&) = delete;
  TMutedSounds& operator=(const TMutedSounds&) = delete;
};

uint32_t DeletionFlags(TCommandEnvironment& environment, const TDoc& doc, bool wholeWords) {
  uint32_t flags = kDeleteAlways;
  const bool smartCut = (GetOptions().Edit.Flags & kEditSmartCutAndPaste) != 0;
  if (smartCut && !environment.SelectionIsWholeWordsOnly(doc)) flags |= kDeleteSmart;
  if (wholeWords) flags |= kDeleteWholeWords;
  return flags;
}

}  // namespace

void ApplyMouseModeToSelection() {
  TCommandEnvironment& environment = CommandEnvironment();
  TDoc* doc = GetCommandTargetDoc();
  if (!doc || !environment.HasSelection(*doc)) return;
  switch (environment.MouseMode()) {
    case kMouseFormatBrush:
      GetCommandManager().Execute(cmd::ApplyFormatBrush);
      break;
    case kMouseHighlight:
      environment.SetOperationNameOverride(*doc, kNameHighlight);
      GetCommandManager().Execute(kApplyHighlight);
      break;
    case kMouseFontColor:
      environment.SetOperationNameOverride(*doc, kNameFontColor);
      GetCommandManager().Execute(kApplyFontColor);
      break;
    default:
      break;
  }
}

void DeleteSelectionCommand(bool wholeWords) {
  TCommandEnvironment& environment = CommandEnvironment();
  TDoc* doc = GetCommandTargetDoc();
  if (!doc) return;
  if (environment.SelectionHasNoteEndMark(*doc)) {
    ShowInfo(kNoteEndMarkMessage);
    return;
  }
  TCommandManager& manager = GetCommandManager();
  if (environment.IsVadureVavi(*doc) && environment.SelectionIsWholeMainText(*doc)) {
    TMutedSounds muted;
    manager.Execute(cmd::EmptyVadureVavi);
  } else {
    environment.NormalizeSelection(*doc);
    manager.TableJoin = environment.SelectionJoinsTables(*doc);
    const uint32_t flags = DeletionFlags(environment, *doc, wholeWords);
    environment.DeleteSelection(*doc, flags, environment.SelectionIsWholeCurrentStory(*doc));
  }
  environment.PlayEventSound(kDeleteSound);
}

bool SelectionReachesParagraphEnd() {
  TDoc* doc = GetCommandTargetDoc();
  if (!doc || !CommandEnvironment().HasSelection(*doc) || !doc->Selection) return false;
  const TCompoundFragment& selection = *doc->Selection;
  for (int32_t i = 0; i < selection.Count(); ++i) {
    const TDocRange& range = *selection.GetRange(i);
    if (range.End.Par != range.Start.Par) return true;
    // A range in a paragraph the document no longer holds reads nothing.
    if (range.End.Par < 0 || range.End.Par >= doc->ParCount()) continue;
    if (range.End.Offset >= doc->Par(range.End.Par)->CharCount() - 1) return true;
  }
  return false;
}

}  // namespace qv
