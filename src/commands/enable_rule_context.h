#pragma once
// The state the enable rules of every id range read, gathered once per question, with the tests
// the rule tables name ("doc", "no objects", "selection", "row ends only" ...). Each test that
// fails stores its disabled-reason code. Used only by the enable_rules*.cpp files.
#include <algorithm>
#include <cstdint>
#include <initializer_list>

#include "commands/command_environment_services.h"
#include "commands/command_manager.h"
#include "document/doc.h"

namespace qv {

// Disabled-reason codes the rules store.
enum : uint8_t {
  rcNoDocument = 0,
  rcNotModified = 1,
  rcNothingModified = 2,
  rcNotPrintLayout = 3,
  rcSinglePage = 4,
  rcNothingToUndo = 5,
  rcNothingToRedo = 6,
  rcNoSelection = 7,
  rcRowEndsOnly = 8,
  rcNothingToPaste = 9,
  rcAllVisible = 10,
  rcNotSingleRange = 11,
  rcSingleParagraph = 12,
  rcHasTables = 13,
  rcInNotes = 14,
  rcAcrossNotes = 15,
  rcNoteEndMark = 16,
  rcFieldsCut = 17,
  rcBreaksInside = 18,
  rcVadureVavi = 19,
  rcVadureVaviEmpty = 20,
  rcNoFontFormat = 21,
  rcNoParFormat = 22,
  rcBrushMode = 23,
  rcHeaderFooterEditing = 24,
  rcNotesSelected = 25,
  rcPrintPreview = 26,
  rcFullScreen = 27,
  rcDraftWrapped = 28,
  rcFewerThanTwoDocs = 29,
  rcMultipleHyperlinks = 34,
  rcUrlsShown = 35,
  rcMultipleNotes = 36,
  rcHyperlinkHistoryEnd = 32,
  rcMixedListLevels = 37,
  rcNoLevelAbove = 42,
  rcNoLevelBelow = 43,
  rcStyleLevelMissing = 44,
  rcNoPictureBullet = 45,
  rcStyleControlled = 46,
  rcListBeginning = 47,
  rcNothingToResume = 48,
  rcNoPageRefs = 58,
  rcNoBookmarks = 64,
  rcSingleSection = 65,
  rcNoFile = 77,
  rcNoFormatCopied = 78,
  rcNoMisspelling = 79,
  rcMixedLanguages = 80,
  rcNoFootnote = 81,
  rcNoEndnote = 82,
  rcNoNote = 83,
  rcNotInTable = 86,
  rcNoPictures = 87,
  rcPicturesInline = 88,
  rcFewColours = 89,
  rcNoSectionBreak = 90,
  rcNoBulletedList = 91,
  rcNoList = 92,
  rcNoHeaderFooter = 93,
  rcHeaderRows = 94,
  rcNoIndexEntries = 96,
  rcNoToc = 98,
  rcNoIndex = 99,
  rcNothingLocked = 100,
  rcAlreadyLocked = 102,
  rcSpotlightOff = 104,
  rcNoSuchWindow = 105,
  rcNotSplit = 106,
  rcCollapsedHeadings = 107,
  rcObjects = 108,
  rcMultiplePictures = 109,
  rcNoWrapPoints = 110,
  rcBadFirstCharacter = 111,
  rcFirstHeaderFooter = 33,
};

inline constexpr uint8_t kMouseModeBrush = 2;

inline bool In(int32_t id, std::initializer_list<int32_t> ids) {
  return std::find(ids.begin(), ids.end(), id) != ids.end();
}
inline bool Between(int32_t id, int32_t first, int32_t last) { return id >= first && id <= last; }

struct TRuleContext {
  TCommandManager& Manager;
  TCommandEnvironment& Env;
  TDoc* Doc;
  uint8_t& Reason;

  bool Refuse(uint8_t code) {
    Reason = code;
    return false;
  }
  // A condition that holds, or the refusal with the code.
  bool Need(bool condition, uint8_t code) { return condition || Refuse(code); }
  bool NeedDoc() { return Need(Doc != nullptr, rcNoDocument); }
  bool HasObjects() const { return Doc != nullptr && !Doc->SelectedShapes.empty(); }
  bool NoObjects() { return Need(!HasObjects(), rcObjects); }
  bool HasSelection() const { return Doc != nullptr && Doc->HasSelection(); }
  bool Selection() { return Need(HasSelection(), rcNoSelection); }
  bool NotRowEndsOnly() { return Doc == nullptr || Need(!Doc->AtRowEndMark(), rcRowEndsOnly); }
  bool BrushMode() { return Env.MouseMode() == kMouseModeBrush; }
  bool NotBrush() { return Need(!BrushMode(), rcBrushMode); }
  bool NotHeaderFooterEditing() {
    return Doc == nullptr || Need(Doc->HeaderFooterInPlace == nullptr, rcHeaderFooterEditing);
  }
  bool NotPrintPreview() { return Doc == nullptr || Need(!Doc->PrintPreview, rcPrintPreview); }
  bool PrintLayout() { return Need(Doc != nullptr && Doc->ViewMode == vmPrintLayout, rcNotPrintLayout); }
  bool NotDraftWrapped() { return Need(Doc != nullptr && Doc->ViewMode != vmDraftWrapped, rcDraftWrapped); }
  // Not in Full Screen, unless the window element of the keep bit stays available there.
  bool NotFullScreenUnlessKept(uint8_t keepBit);
  // The current paragraph format is in a table and a selection lies in one table.
  bool InTable() {
    return Need(Doc != nullptr && Doc->CurParFormat.InTable == 1 && Doc->SelectionInOneTable(),
                rcNotInTable);
  }
  // A rule of a tool that the shell keeps: true when it decided, with `enabled` set.
  bool ToolDecides(int32_t id, bool& enabled) { return Env.ToolRule(id, enabled, Reason); }
};

// The rules of each id range (enable_rules*.cpp).
bool FileRules(TRuleContext& c, int32_t id);
bool EditRules(TRuleContext& c, int32_t id);
bool ViewRules(TRuleContext& c, int32_t id);
bool ParagraphRules(TRuleContext& c, int32_t id);
bool FontRules(TRuleContext& c, int32_t id);
bool ObjectRules(TRuleContext& c, int32_t id);
bool WindowRules(TRuleContext& c, int32_t id);

}  // namespace qv
