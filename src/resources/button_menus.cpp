// The drop-down menus of command-bar buttons, named after the button's command. The toolbar
// manager loads one when its button drops down and appends its run-time entries: the recent
// documents after 1300, the favourites after 1250, the recently inserted pictures and files, the
// languages above the language menu's own items.
#include "resources/menu_groups.h"
#include "resources/menu_parts.h"

namespace qv {

namespace {

using namespace menu_parts;

// clang-format off

constexpr auto kNew = Join(
    kNewFormats,
    std::to_array<TMenuToken>({
      Sep,
      Item("New from &Template...", 105),
    }));

constexpr auto kOpen = std::to_array<TMenuToken>({
    Item("&Open...", 120), Item("Open &Template...", 125), Item("Open &Backup Folder", 122),
    Marker(1300), Marker(1301),
});

constexpr auto kSaveAs = std::to_array<TMenuToken>({
    Item("Save &As...", 200), Item("Save Cop&y As...", 203),
    Sep,
    Item("Save As &Template...", 205), Item("Save As &Web Page...", 230),
    Item("Save As e&Book...", 231), Item("Save As &Zip...", 202),
    Item("Batch &Conversion...", 233),
});

constexpr auto kSettings = std::to_array<TMenuToken>({
    Item("&Options...", 640),
    Sep,
    Item("&Toolbars...", 645), Item("&Hot Keys...", 642), Item("&Status Bar...", 644),
    Item("So&unds...", 641), Item("&Quick Personalization...", 620),
    Sep,
    Item("&File Associations...", 650), Item("&Document Formats and Templates...", 643),
    Item("R&estore Factory Settings...", 647),
});

constexpr auto kFavourites = std::to_array<TMenuToken>({
    Item("&Add to Favorites...", 1260), Item("&Organize Favorites...", 1270),
    Marker(1250), Marker(1251),
});

constexpr auto kCollectsData = std::to_array<TMenuToken>({
    Item("&Collect Clipboard Data", 3485), Item("Collect &Plain Text", 3486),
});

constexpr auto kSymbol = Join(
    std::to_array<TMenuToken>({Item("Sym&bol...", 3580), Sep}),
    kSpecialCharacters);

constexpr auto kInsertPicture = std::to_array<TMenuToken>({
    Item("&Picture from File...", 3600), Item("Clipart &Gallery...", 3605),
    Sep,
});

constexpr auto kInsertFile = std::to_array<TMenuToken>({
    Item("&File...", 3620), Item("Remove Obsolete &Inserted Files", 345),
    Item("&Clear Inserted File History", 346),
    Sep,
});

constexpr auto kSelectMenu = Join(
    kSelect,
    std::to_array<TMenuToken>({
      Sep,
      Item("Show &More Selections", 8050),
    }));

// The items of the Format Palette's highlighted format.
constexpr auto kFormatPaletteEdit = std::to_array<TMenuToken>({
    Item("&Font...", 15811), Item("&Paragraph...", 15812), Item("&Name...", 15813),
    Item("Hot &Key...", 15814),
    Sep,
    Item("&Delete Format", 15820), Item("&Restore Default Format Palette", 15825),
});

// Below the languages of the language button: the dialogs and the history.
constexpr auto kLanguageHistory = std::to_array<TMenuToken>({
    Sep,
    Item("&More Languages...", 12440), Item("&Default Language...", 12445),
    Item("Clear Language History", 12600),
});

// clang-format on

constexpr auto kNewBytes = EncodeMenu<kNew>();
constexpr auto kOpenBytes = EncodeMenu<kOpen>();
constexpr auto kSaveAsBytes = EncodeMenu<kSaveAs>();
constexpr auto kEmailBytes = EncodeMenu<kSend>();
constexpr auto kSettingsBytes = EncodeMenu<kSettings>();
constexpr auto kAutoCorrectBytes = EncodeMenu<kAutoCorrect>();
constexpr auto kFavouritesBytes = EncodeMenu<kFavourites>();
constexpr auto kCollectsDataBytes = EncodeMenu<kCollectsData>();
constexpr auto kSymbolBytes = EncodeMenu<kSymbol>();
constexpr auto kInsertPictureBytes = EncodeMenu<kInsertPicture>();
constexpr auto kInsertFileBytes = EncodeMenu<kInsertFile>();
constexpr auto kSelectBytes = EncodeMenu<kSelectMenu>();
constexpr auto kCaseBytes = EncodeMenu<kChangeCase>();
constexpr auto kSplitSettingsBytes = EncodeMenu<kSplitSettings>();
constexpr auto kSpaceBeforeAfterBytes = EncodeMenu<kSpaceBeforeAfter>();
constexpr auto kPictureLayoutBytes = EncodeMenu<kPictureLayout>();
constexpr auto kReducePictureQualityBytes = EncodeMenu<kReducePictureQuality>();
constexpr auto kSectionBreakBytes = EncodeMenu<kSectionBreak>();
constexpr auto kInsertSectionBreakBytes = EncodeMenu<kInsertSectionBreak>();
constexpr auto kFormatPaletteEditBytes = EncodeMenu<kFormatPaletteEdit>();
constexpr auto kInsertTableItemBytes = EncodeMenu<kInsertTableItems>();
constexpr auto kTableSelectBytes = EncodeMenu<kSelectTableItems>();
constexpr auto kHelpBytes = EncodeMenu<kHelp>();
constexpr auto kWebBytes = EncodeMenu<kWebPages>();
constexpr auto kLanguageHistoryBytes = EncodeMenu<kLanguageHistory>();

constexpr TMenuResourceData kResources[] = {
    {"NEW", BytesOf(kNewBytes)},
    {"OPEN", BytesOf(kOpenBytes)},
    {"SAVEDOCAS", BytesOf(kSaveAsBytes)},
    {"EMAIL", BytesOf(kEmailBytes)},
    {"SETTINGS", BytesOf(kSettingsBytes)},
    {"AUTOCORRECT", BytesOf(kAutoCorrectBytes)},
    {"FAVORITES", BytesOf(kFavouritesBytes)},
    {"VADUREVAVICOLLECTSDATA", BytesOf(kCollectsDataBytes)},
    {"SYMBOL", BytesOf(kSymbolBytes)},
    {"INSPIC", BytesOf(kInsertPictureBytes)},
    {"INSFILE", BytesOf(kInsertFileBytes)},
    {"SELECT", BytesOf(kSelectBytes)},
    {"CASE", BytesOf(kCaseBytes)},
    {"SPLITSETTINGS", BytesOf(kSplitSettingsBytes)},
    {"SPACEBEFOREAFTER", BytesOf(kSpaceBeforeAfterBytes)},
    {"PICLAYOUT", BytesOf(kPictureLayoutBytes)},
    {"REDUCEPICTUREQUALITY", BytesOf(kReducePictureQualityBytes)},
    {"SECTBREAK", BytesOf(kSectionBreakBytes)},
    {"INSSECTBREAK", BytesOf(kInsertSectionBreakBytes)},
    {"FMTPALEDIT", BytesOf(kFormatPaletteEditBytes)},
    {"INSERTTABLEITEM", BytesOf(kInsertTableItemBytes)},
    {"TABLESELECT", BytesOf(kTableSelectBytes)},
    {"HELP", BytesOf(kHelpBytes)},
    {"WEB", BytesOf(kWebBytes)},
    {"LNGHIST", BytesOf(kLanguageHistoryBytes)},
};

}  // namespace

std::span<const TMenuResourceData> ButtonMenuResources() { return kResources; }

}  // namespace qv
