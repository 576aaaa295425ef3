// The names, long hints, disabled-reason texts and captions of the commands. The names and long
// hints come from two packed resources read on first use; the manager adds the notes that depend
// on the target document, the Format Brush and the options.
#include "commands/command_manager.h"

#include <array>
#include <cctype>
#include <span>
#include <string>

#include "commands/command_categories.h"
#include "commands/command_environment_services.h"
#include "foundation/base/string_utils.h"
#include "foundation/graphics/colour_manager.h"
#include "foundation/settings/options_holder.h"
#include "foundation/system/unit_startup.h"
#include "foundation/ui/hotkey_services.h"
#include "layout/pictures/bitmap_utils.h"

namespace qv {

namespace {

constexpr const char* kHintsResource = "COMMANDHINTS";
constexpr const char* kExtHintsResource = "COMMANDEXTHINTS";
constexpr const char* kHintsType = "COMMANDHINTS";

constexpr size_t kDisabledReasonCount = 112;
constexpr std::array<const char*, kDisabledReasonCount> kDisabledReasons = {{
    "there is no active document",
    "the active document doesn't require saving",
    "none of the open documents require saving",
    "the current view mode is not \"Print Layout\"",
    "the active document has only one page",
    "there is no operation to undo",
    "there is no operation to redo",
    "nothing is selected in the active document",
    "the selected fragment in the active document contains only \"end of row\" characters",
    "the clipboard contains no data in any of the supported formats",
    "all items of the current selection are visible in the document window",
    "the active document contains multiple selection",
    "single paragraph selected",
    "the selection contains tables",
    "the selection contains footnotes/endnotes",
    "the selection contains multiple footnotes/endnotes",
    "the selection includes the last paragraph mark of a footnote/endnote",
    "the selection contains complex bookmarks and fields",
    "the selection contains page, column or section breaks",
    "the active document is Vadure Vavi",
    "the Vadure Vavi is empty or not loaded",
    "no font format was previously copied",
    "no paragraph format was previously copied",
    "the Format Brush mode is on",
    "a header/footer is being edited",
    "footnotes/endnotes are selected",
    "the Print Preview mode is on",
    "this window element is disabled under the Full Screen mode",
    "the Draft (wrap to window) view is on",
    "you do not have at least two open documents",
    "the thesaurus tool is available for English text only",
    "WordWeb is not installed",
    "there are no more locations in the Hyperlink History to go to",
    "the active header/footer is the first header/footer in the document",
    "multiple hyperlinks selected",
    "selected hyperlinks already display their associated URLs in the document",
    "multiple notes selected",
    "list items of different levels selected",
    "current bullet size is too small",
    "current number size is too small",
    "current bullet size is too big",
    "current number size is too big",
    "no list items of level 2 or higher selected",
    "no list items of level 8 or lower selected",
    "the required level of the current style-controlled list is not associated with a paragraph "
    "style",
    "selected list items don't have a picture bullet",
    "current list is style-controlled",
    "selected list items are the beginning of the list",
    "there is no preceding numbered list to resume",
    "the current selection doesn't contain multiple cells",
    "selected cells cannot be merged",
    "nonadjacent rows selected",
    "only one row selected",
    "the table contains a single row",
    "selected table columns cannot be distributed evenly",
    "the table contains vertically merged cells, and the table rows have different number of cells",
    "the table contains vertically merged cells, and cell edges aren't identical in all rows",
    "all the table rows have a single cell",
    "the Table of Contents doesn't include automatic page references",
    "the document contains no paragraphs associated with the \"Heading 1\" style",
    "the document contains no paragraphs associated with the \"Heading 1\" or \"Heading 2\" style",
    "the document contains no paragraphs associated with the \"Heading 1\"..\"Heading %d\" style",
    "some of the selected headings are of level 1, and can't be promoted even further",
    "some of the selected headings are of level %d, and can't be demoted even further",
    "there are no bookmarks in the document",
    "there is only one section in the document",
    "no section selected in the Control Board above",
    "the first document section selected in the Control Board above",
    "the last document section selected in the Control Board above",
    "no paragraphs are formatted with the \"%s\" style, or such paragraphs are part of currently "
    "unavailable portions of the document",
    "the \"%s\" style is the default style and cannot be deleted",
    "no list selected in the Control Board above",
    "all the items of the list selected in the Control Board above, are selected in the document",
    "the document selection already belongs to the list selected in the Control Board above",
    "the Format Palette is empty",
    "the default Format Palette is already loaded",
    "no clip selected in the Control Board above",
    "the active document is newly created, and doesn't have a corresponding file on a disk yet",
    "no font or paragraph format was previously copied",
    "no misspelt word selected",
    "selection contains fragments associated with different languages",
    "no footnote selected",
    "no endnote selected",
    "no note selected",
    "there are no document windows to minimize",
    "there are no document windows previously minimized by the \"Minimize all\" command",
    "no table selected",
    "no picture selected",
    "selected pictures display in line with text",
    "selected pictures contain too few different colors",
    "no section break selected",
    "no bulleted list selected",
    "no automatic list selected",
    "no header/footer selected",
    "only the table's first row or a contiguous sequence of the table's top rows can be repeated "
    "as header rows",
    "multiple bookmarks are selected in the Control Board above",
    "there are no index entries in the document",
    "multiple index entries are selected in the Control Board above",
    "no Table of Contents selected",
    "no index selected",
    "no selection locked",
    "no fragment selected in the Control Board above",
    "the current selection in the active document is already locked",
    "no bookmark selected in the Control Board above",
    "the Spotlight mode is off",
    "there is no open document associated with this number",
    "the Split view is off",
    "selection contains collapsed headings",
    "it is inapplicable to the selected objects",
    "multiple pictures selected",
    "selected picture has no wrap points",
    "the first selected paragraph is blank, or begins with a space or special character",
}};

constexpr uint8_t kReasonHeadingsUpTo = 61, kReasonCannotDemote = 63;
constexpr uint8_t kReasonNoStyledParagraphs = 69, kReasonDefaultStyle = 70;

// Id 660 by the portable flag; 4225 and 4226 by the browse object.
constexpr std::array<const char*, 2> kInstallNames = {"Install to removable drive",
                                                      "Install to PC"};
constexpr std::array<const char*, 13> kBrowseObjects = {
    "find",   "graphic",   "heading", "section",    "page",
    "field",  "hyperlink", "bookmark", "footnote",  "endnote",
    "repetition", "overlong sentence", "table"};

constexpr uint8_t kMouseFormatBrush = 2, kMouseHighlight = 4, kMouseFontColor = 5;

// ---- The notes of the long hints
constexpr const char* kBrushNote =
    "Since the Format Brush mode is on, this command changes the formatting borne by the Format "
    "Brush.";
constexpr const char* kExcludedNote =
    "This formatting attribute is currently excluded from the Format Brush. The Format Brush "
    "will not modify the corresponding formatting of document text.";

struct TPropertyNote {
  int32_t First, Last;  // the ids
  int32_t Property;     // the format property the ids set
  const char* Mixed;    // the note when the selection mixes values
};

constexpr int32_t kParagraphNoteIds[] = {
    9000, 9020, 9040, 9080, 9081, 9082, 9083, 9100, 9120, 9170, 9180, 9200, 9220, 9235, 9260,
    9270, 9271, 9272, 9273, 9274, 9285, 9300, 9310, 9320, 9321, 9322, 209050};
constexpr std::array<TPropertyNote, 9> kParagraphProperties = {{
    {9080, 9083, 5, "The selected text contains paragraphs with different align."},
    {9180, 9180, 2, "The selected text contains paragraphs with different line spacing."},
    {9200, 9200, 2, "The selected text contains paragraphs with different line spacing."},
    {9220, 9220, 2, "The selected text contains paragraphs with different line spacing."},
    {9270, 9270, 6,
     "The selected text contains both \"keep with next\" and not \"keep with next\" "
     "paragraphs."},
    {9271, 9271, 7,
     "The selected text contains both \"keep lines together\" and not \"keep lines together\" "
     "paragraphs."},
    {9272, 9272, 8,
     "The selected text contains both \"page break before\" and not \"page break before\" "
     "paragraphs."},
    {9273, 9273, 9,
     "The selected text contains a mix of paragraphs with and without \"widow/orphan "
     "control\"."},
    {9274, 9274, 13,
     "The selected text contains a mix of paragraphs with and without \"don't add space between "
     "paragraphs of the same style\"."},
}};
constexpr std::array<TPropertyNote, 2> kParagraphListAndStyle = {{
    {9320, 9322, 18,
     "The selected text contains paragraphs with different bullet and/or numbering "
     "formatting."},
    {209050, 209050, 15, "The selected text contains paragraphs associated with different styles."},
}};

constexpr int32_t kFontNoteIds[] = {
    12000, 12040, 12120, 12140, 12150, 12160, 12161, 12162, 12163, 12164, 12165, 12166,
    12167, 12168, 12169, 12170, 12171, 12180, 12200, 12210, 12215, 12220, 12240, 12285,
    12320, 12340, 12360, 12380, 12400, 212100, 212200};
constexpr std::array<TPropertyNote, 12> kFontProperties = {{
    {12120, 12120, 2, "The selected text contains both bold and non-bold fragments."},
    {12140, 12140, 3, "The current selection contains both italic and non-italic fragments."},
    {12160, 12169, 6, "The selected text contains fragments with different underline formatting."},
    {12170, 12170, 4, "The selected text contains both stroke and non-stroke fragments."},
    {12171, 12171, 5,
     "The selected text contains both double-stroke and non-double-stroke fragments."},
    {12180, 12180, 17,
     "The selected text contains both sub-/superscripted and non-sub-/superscripted fragments."},
    {12200, 12200, 17,
     "The selected text contains both sub-/superscripted and non-sub-/superscripted fragments."},
    {12210, 12210, 9,
     "The selected text contains both \"small caps\" and non-\"small caps\" fragments."},
    {12215, 12215, 10,
     "The selected text contains both \"all caps\" and non-\"all caps\" fragments."},
    {12285, 12285, 11, "The selected text contains both shadow and non-shadow fragments."},
    {212100, 212100, 0, "The selected text contains fragments formatted with different fonts."},
    {212200, 212200, 1,
     "The selected text contains fragments formatted with different font sizes."},
}};

template <size_t N>
bool Holds(const int32_t (&ids)[N], int32_t id) {
  for (int32_t v : ids)
    if (v == id) return true;
  return false;
}

template <size_t N>
const TPropertyNote* PropertyOf(const std::array<TPropertyNote, N>& notes, int32_t id) {
  for (const TPropertyNote& note : notes)
    if (id >= note.First && id <= note.Last) return &note;
  return nullptr;
}

// The text with its first "%s" (or "%d") replaced by the value, taken literally.
std::string Fill(std::string text, const char* marker, const std::string& value) {
  const size_t at = text.find(marker);
  if (at != std::string::npos) text.replace(at, 2, value);
  return text;
}

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
  return text;
}

void AppendNote(std::string& hint, const std::string& note) { hint += "^p^p" + note; }

// A help id ends a long hint as "#" and up to nine decimal digits; it is cut off the hint. A hint
// that merely ends in a number keeps it.
int32_t CutHelpId(std::string& hint) {
  size_t digits = 0;
  auto digitAt = [&hint](size_t fromEnd) {
    return std::isdigit(static_cast<unsigned char>(hint[hint.size() - 1 - fromEnd])) != 0;
  };
  while (digits < hint.size() && digitAt(digits)) ++digits;
  if (digits == 0 || digits > 9 || digits == hint.size() || hint[hint.size() - 1 - digits] != '#')
    return 0;
  const int32_t helpId = std::stoi(hint.substr(hint.size() - digits));
  hint.resize(hint.size() - digits - 1);
  return helpId;
}

bool BrushMode(TCommandEnvironment& environment) {
  return environment.MouseMode() == kMouseFormatBrush;
}

bool TargetHasSelection(TCommandEnvironment& environment) {
  const TDoc* doc = GetCommandTargetDoc();
  return doc && environment.HasSelection(*doc);
}

bool CurrentUnset(TCommandEnvironment& environment, bool paragraph, int32_t property) {
  const TDoc* doc = GetCommandTargetDoc();
  return doc && environment.CurrentPropertyUnset(*doc, paragraph, property);
}

void AppendFormatBrushNote(std::string& hint, TCommandEnvironment& environment) {
  if (BrushMode(environment)) return;
  if (TargetHasSelection(environment))
    AppendNote(hint,
               "Click this command to start the Format Brush mode, and load the format of the "
               "current document selection onto the Format Brush. If entire paragraphs are "
               "selected, the Format Brush would pick both the font & paragraph formatting of the "
               "selection. Otherwise only the font formatting of the selected text gets picked."
               "^p^pAlternatively, choose an item from the drop-down menu of this command to "
               "apply the corresponding formatting to the document selection without starting "
               "the Format Brush mode.");
  else
    AppendNote(hint,
               "Click this command to start the Format Brush mode, and load the format at the "
               "current document location onto the Format Brush.^p^pYou can also start the "
               "Format Brush mode by choosing an item from the drop-down menu of this command.");
}

constexpr const char* kHighlightModeOn =
    "The Highlight mode is on. Now you can apply the chosen highlight color to text fragments by "
    "selecting them with the mouse. The chosen highlight color would also be applied to any text "
    "that you type under the Highlight mode.^p^pClick this command to cancel the Highlight mode, "
    "or choose another color for the Highlight mode from the drop-down list of this command.";

// 704 (highlight) and 705 (font colour) alike.
void AppendColourModeNote(std::string& hint, TCommandEnvironment& environment, int32_t id) {
  const bool font = id == cmd::FontColor;
  const char* what = font ? "font color" : "highlight";
  const uint8_t mode = environment.MouseMode();
  if (mode == kMouseFormatBrush) {
    AppendNote(hint, kBrushNote);
    if (environment.BrushPropertyUnset(false, font ? 15 : 16))
      AppendNote(hint, std::string(kExcludedNote) + "^pTo include " + what +
                           " in the Format Brush, choose the desired color from the drop-down "
                           "menu of this command.");
    else
      AppendNote(hint, std::string("To exclude ") + what +
                           " from the Format Brush, click this command.^p^pTo change the " + what +
                           " color borne by the Format Brush, use the drop-down menu of this "
                           "command.");
  } else if (mode == (font ? kMouseFontColor : kMouseHighlight)) {
    std::string text = kHighlightModeOn;
    if (font)
      text = ReplaceAll(ReplaceAll(text, "Highlight mode", "Font Color mode"), "highlight color",
                        "font color");
    AppendNote(hint, text);
  } else if (TargetHasSelection(environment)) {
    AppendNote(hint, std::string("Click this command to apply the current ") +
                         (font ? "font color" : "highlight color") +
                         " to the selected text. To apply a different color, choose it from the "
                         "drop-down list of this command.");
  } else if (font) {
    AppendNote(hint,
               "Click this command to start the Font Color mode with the current color, or choose "
               "another color from the drop-down list of this command.^p^pWhen the Font Color "
               "mode is on, you can apply the chosen font color to text fragments by selecting "
               "them with the mouse. The chosen font color would also be applied to any text that "
               "you type under the Font Color mode.");
  } else {
    AppendNote(hint,
               "Click this command to start the Highlight mode with the current highlight color, "
               "or choose another color from the drop-down list of this command.^p^pWhen the "
               "Highlight mode is on, you can apply the chosen highlight color to text fragments "
               "by selecting them with the mouse. The chosen highlight color would also be "
               "applied to any text that you type under the Highlight mode.");
  }
}

// The excluded note in brush mode, else the mixed note when the selection mixes values.
void AppendPropertyNote(std::string& hint, TCommandEnvironment& environment, bool paragraph,
                        const TPropertyNote* note) {
  if (!note) return;
  if (BrushMode(environment)) {
    if (environment.BrushPropertyUnset(paragraph, note->Property)) AppendNote(hint, kExcludedNote);
  } else if (CurrentUnset(environment, paragraph, note->Property)) {
    AppendNote(hint, note->Mixed);
  }
}

void AppendParagraphNotes(std::string& hint, TCommandEnvironment& environment, int32_t id) {
  if (BrushMode(environment) && IsFormatBrushCommand(id))
    AppendNote(hint, kBrushNote);
  else if (TargetHasSelection(environment))
    AppendNote(hint, "Would be applied to the selected paragraphs.");
  else
    AppendNote(hint, "Would be applied to the current paragraph.");
  const TPropertyNote* note = PropertyOf(kParagraphProperties, id);
  if (!note) note = PropertyOf(kParagraphListAndStyle, id);
  AppendPropertyNote(hint, environment, true, note);
}

void AppendFontNotes(std::string& hint, TCommandEnvironment& environment, int32_t id) {
  if (BrushMode(environment) && IsFormatBrushCommand(id))
    AppendNote(hint, kBrushNote);
  else if (TargetHasSelection(environment))
    AppendNote(hint, "Would be applied to the current selection.");
  else if (environment.FormatWithoutSelection())
    AppendNote(hint,
               "Would be applied to the current word because the \"Format without selection\" "
               "option is checked on the \"Edit\" tab of the \"Tools | Options...\" dialog.");
  else
    AppendNote(hint,
               "Since there is no selection in the active document, and the \"Format without "
               "selection\" option is unchecked on the \"Edit\" tab of the \"Tools | "
               "Options...\" dialog, this command has no immediate effect. New formatting would "
               "be automatically applied to any new text you type at the current location in the "
               "document.");
  AppendPropertyNote(hint, environment, false, PropertyOf(kFontProperties, id));
}

void AppendStateNotes(std::string& hint, int32_t id) {
  TCommandEnvironment& environment = CommandEnvironment();
  if (id == cmd::FormatBrush)
    AppendFormatBrushNote(hint, environment);
  else if (id == cmd::Highlight || id == cmd::FontColor)
    AppendColourModeNote(hint, environment, id);
  else if (Holds(kParagraphNoteIds, id))
    AppendParagraphNotes(hint, environment, id);
  else if (Holds(kFontNoteIds, id))
    AppendFontNotes(hint, environment, id);
  else if (id == cmd::HeaderRows && GetCommandManager().GetCheckState(id) == 2)
    AppendNote(hint, "The table selection contains a mix of header rows and non-header rows.");
}

// The note of Save and Save All for the Vadure Vavi.
void AppendVadureVaviNote(std::string& hint) {
  const int32_t minutes = GetOptions().LoadSave.AutoSave;
  if (minutes == 0)
    AppendNote(hint,
               "The Vadure Vavi is automatically saved to file on Quorvane close. If you enable "
               "the \"Safeguard every NN minutes\" option on the \"Load/Save\" tab of the \"Tools "
               "| Options...\" dialog, Quorvane would also automatically save the Clyppy Bank to "
               "file at specified time interval.");
  else
    AppendNote(hint, Fill("The Vadure Vavi is automatically saved to file every %d minute(s) and "
                          "on Quorvane close. To change the Vadure Vavi autosave interval, "
                          "adjust the \"Safeguard every NN minutes\" option on the \"Load/Save\" "
                          "tab of the \"Tools | Options...\" dialog.",
                          "%d", std::to_string(minutes)));
}

std::span<const uint8_t> Image(const TMemory& memory) {
  if (memory.Length <= 0 || !memory.Data) return {};
  return {memory.Data, static_cast<size_t>(memory.Length)};
}

void LoadResource(TMemory& target, const char* name) {
  const std::span<const uint8_t> data = GetResourceData(name, kHintsType);
  if (data.empty() || data.size() > size_t(TMemory::MaxLength)) return;
  target.SetData(data.data(), static_cast<int32_t>(data.size()));
}

std::string ReasonText(uint8_t code) {
  if (code >= kDisabledReasons.size()) return {};
  std::string text = kDisabledReasons[code];
  if (code == kReasonHeadingsUpTo || code == kReasonCannotDemote)
    text = Fill(text, "%d", std::to_string(GetOptions().View.DocMap_Lvls + 1));
  else if (code == kReasonNoStyledParagraphs || code == kReasonDefaultStyle)
    text = Fill(text, "%s", CommandEnvironment().HighlightedStyleName());
  return text;
}

}  // namespace

void TCommandManager::LoadHintResources() {
  if (hintsLoaded_) return;
  hintsLoaded_ = true;
  LoadResource(hints_, kHintsResource);
  LoadResource(extHints_, kExtHintsResource);
}

std::string TCommandManager::NameOf(int32_t id) {
  if (id == cmd::InstallCopy) return kInstallNames[PortableMode ? 1 : 0];
  if (id == cmd::BrowsePrevious || id == cmd::BrowseNext) {
    const uint8_t object = GetOptions().Internal.NavObjType;
    if (object >= kBrowseObjects.size()) return {};
    return std::string(id == cmd::BrowsePrevious ? "Previous " : "Next ") + kBrowseObjects[object];
  }
  return FindPackedString(Image(hints_), static_cast<uint32_t>(id));
}

std::string TCommandManager::GetCommandName(int32_t id, bool withShortcut, bool withCategory,
                                            bool noFallback) {
  LoadHintResources();
  id = TwinOfCommand(id);
  std::string name = NameOf(id);
  if (name.empty()) return noFallback ? std::string() : std::string("Unknown command");
  if (withShortcut) {
    const std::string shortcut = GetShortcutText(id);
    if (!shortcut.empty()) name = name + " (" + shortcut + ")";
  }
  if (withCategory) {
    const uint8_t category = FirstCategoryOfCommand(id);
    if (category != kNoCategory) name = name + " (Category: " + CategoryDisplayName(category) + ")";
  }
  return name;
}

std::string TCommandManager::GetShortcutText(int32_t id) {
  return CommandEnvironment().FirstKeyText(ShortcutTwinOfCommand(id));
}

std::string TCommandManager::GetExtHint(int32_t id, int32_t& helpId) {
  LoadHintResources();
  helpId = 0;
  id = TwinOfCommand(id);
  std::string hint = "^b" + NameOf(id) + "^d";
  const std::string shortcut = GetShortcutText(id);
  if (!shortcut.empty()) hint += "     ^b^C" + shortcut + "^d";
  std::string ext = FindPackedString(Image(extHints_), static_cast<uint32_t>(id));
  if (!ext.empty()) {
    helpId = CutHelpId(ext);
    if (id == cmd::FontSize) ext = ReplaceAll(ext, "%", LocaleDecimalSeparator());
    AppendNote(hint, ext);
  }
  if (id == cmd::Save || id == cmd::SaveAll) {
    TCommandEnvironment& environment = CommandEnvironment();
    const TDoc* active = environment.ActiveDoc();
    if (active && environment.IsVadureVavi(*active)) AppendVadureVaviNote(hint);
  }
  // The question runs one level below any running one; its own reason is the one to tell.
  const int32_t depth = EnabledDepth() + 1;
  if (IsEnabled(id))
    AppendStateNotes(hint, id);
  else if (!ToolbarCustomizing)
    AppendNote(hint, "This command is currently unavailable because " +
                         ReasonText(DisabledReason(depth)) + ".");
  if (helpId != 0) AppendNote(hint, "Press ^bF1^d for more details.");
  return hint;
}

std::string TCommandManager::GetDisabledReasonText() { return ReasonText(DisabledReason(0)); }

void TCommandManager::FillCategoryList(TStringList& list, uint32_t categoryMask) {
  const auto& categories = Categories();
  for (size_t i = 0; i < categories.size(); ++i) {
    if (!(categoryMask & (uint32_t{1} << i))) continue;
    for (int32_t id : categories[i].Ids)
      if (list.IndexOfObject(id) < 0) list.Add(GetCommandName(id, false, false, true), id);
  }
}

std::string TCommandManager::GetClipboardCommandCaption(int32_t id) {
  switch (id) {
    case cmd::Delete: return "&Delete";
    case cmd::Copy: return "&Copy";
    case cmd::PasteAsNewRows: return "Paste As New Rows";
    case cmd::PasteAsNewColumns: return "Paste As New Columns";
    case cmd::PasteCells: return "Paste Cells";
    case cmd::Cut: return "C&ut";
    default: return "&Paste";
  }
}

int32_t TCommandManager::GetPasteVariant() {
  if (!IsEnabled(cmd::PasteCells)) return cmd::Paste;
  if (ClipboardTableKind == 1 && IsEnabled(cmd::PasteAsNewColumns)) return cmd::PasteAsNewColumns;
  TCommandEnvironment& environment = CommandEnvironment();
  const TDoc* doc = GetCommandTargetDoc();
  const bool rows = ClipboardTableKind == 2 || ClipboardTableKind == 3;
  if (!rows || (doc && !environment.HasSelection(*doc) && environment.CaretInRowEndPar(*doc)))
    return cmd::PasteCells;
  return cmd::PasteAsNewRows;
}

std::string GetVarCommandCaption(int32_t kind, const TVarCommand_Param& param) {
  constexpr uint32_t kAutoColor = 0xFF000000u;
  const uint32_t value = static_cast<uint32_t>(param.Value);
  switch (kind) {
    case 0: return "Font (" + param.Text + ")";
    case 1: {
      const int64_t halfPoints = param.Value;
      std::string size = std::to_string(halfPoints / 2);
      if (halfPoints % 2 != 0) size = (halfPoints < 0 && halfPoints > -2 ? "-" : "") + size + ".5";
      return "Font size (" + size + " pt)";
    }
    case 2:
    case 3: {
      std::string name;
      if (value == kAutoColor)
        name = kind == 2 ? "Auto" : "(None)";
      else
        TColorManager::GetColorName(value, name);
      return (kind == 2 ? "Font color (" : "Highlight color (") + name + ")";
    }
    default: return {};
  }
}

}  // namespace qv
