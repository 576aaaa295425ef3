// The menus of the main window's parts: the command bar band, the document bar, the status bar
// and its panels, the rulers, the scroll bars, the Control Board with its document map, link box
// and find panel. In a popup menu the items that show a part are unchecked, so they read as the
// action of hiding it.
#include "resources/menu_groups.h"
#include "resources/menu_parts.h"

namespace qv {

namespace {

using namespace menu_parts;

// clang-format off

// The documents selected on the bar (its caption counts them; shown only for several), the bar's
// layout, and customising it while it sits in the toolbars.
constexpr auto kDocumentBar = Join(
    std::to_array<TMenuToken>({
      HeadId("Se&lected Documents", 150340), Sub,
        Item("&Save", 180), Item("Save &As...", 200), Item("&Close", 140),
      End,
    }),
    kDocumentBarLayout,
    std::to_array<TMenuToken>({
      Sep,
      Item("&Hide Document Bar", 6100),
      SepId(150333),
      Item("&Customize...", 646),
    }));

constexpr auto kStatusBar = std::to_array<TMenuToken>({
    Item("&Customize Status Bar...", 644), Item("&Hide Status Bar", 6140),
});

constexpr auto kHorizontalRuler = std::to_array<TMenuToken>({
    Item("&Paragraph...", 9000), Item("&Tabs...", 9280), Item("&Columns...", 15600),
    Item("Pa&ge Settings...", 260), Item("&Hide Ruler", 6060),
});

constexpr auto kVerticalRuler = std::to_array<TMenuToken>({
    Item("Pa&ge Settings...", 260), Item("&Hide Ruler", 6065),
});

constexpr auto kHorizontalScrollBar = std::to_array<TMenuToken>({Item("&Hide", 6080)});

constexpr auto kVerticalScrollBar = Join(
    std::to_array<TMenuToken>({
      Item("&Hide", 6081),
      Sep,
      Head("&Browse By"), Sub,
    }),
    kBrowseObjects,
    std::to_array<TMenuToken>({End}));

// The document map: the heading commands, the levels shown, the font size, and a copy of the map.
constexpr auto kDocumentMap = std::to_array<TMenuToken>({
    Item("&Promote Headings", 6582), Item("&Demote Headings", 6583),
    Sep,
    Item("Se&lect Headings", 6580), Item("Select Headings and &Body Text", 6581),
    Item("Convert to Body &Text", 6575), Item("Delete &Headings", 6570),
    Item("Delete Headings &and Body Text", 6571),
    Sep,
    Head("Show Le&vels"), Sub,
      Item("&1 only", 6520), Item("1-&2", 6521), Item("1-&3", 6522), Item("1-&4", 6523),
      Item("1-&5", 6524), Item("1-&6", 6525), Item("1-&7", 6526), Item("1-&8", 6527),
      Item("&All", 6528),
    End,
    Item("&Expand All", 6550), Item("&Collapse All", 6551),
    Head("&Font Size"), Sub,
      Item("&Largest", 6560), Item("L&arge", 6561), Item("&Medium", 6562), Item("&Small", 6563),
      Item("Small&est", 6564),
    End,
    Sep,
    Item("Se&nd Map to Clipboard", 6585),
});

constexpr auto kHyperBox = std::to_array<TMenuToken>({
    Item("&Expand All", 6590), Item("&Collapse All", 6591),
});

// clang-format on

constexpr auto kToolbarsBytes = EncodeMenu<kToolbars>();
constexpr auto kDocumentBarBytes = EncodeMenu<kDocumentBar>();
constexpr auto kStatusBarBytes = EncodeMenu<kStatusBar>();
constexpr auto kStatusSpellingBytes = EncodeMenu<kSpelling>();
constexpr auto kStatusWritingDataBytes = EncodeMenu<kWritingData>();
constexpr auto kSelectionInstancesBytes = EncodeMenu<kSelectionInstances>();
constexpr auto kHorizontalRulerBytes = EncodeMenu<kHorizontalRuler>();
constexpr auto kVerticalRulerBytes = EncodeMenu<kVerticalRuler>();
constexpr auto kHorizontalScrollBarBytes = EncodeMenu<kHorizontalScrollBar>();
constexpr auto kVerticalScrollBarBytes = EncodeMenu<kVerticalScrollBar>();
constexpr auto kControlBoardBytes = EncodeMenu<kControlBoard>();
constexpr auto kDocumentMapBytes = EncodeMenu<kDocumentMap>();
constexpr auto kHyperBoxBytes = EncodeMenu<kHyperBox>();
constexpr auto kFindPanelBytes = EncodeMenu<kFindOptions>();

constexpr TMenuResourceData kResources[] = {
    {"TBAR", BytesOf(kToolbarsBytes)},
    {"DOCBAR", BytesOf(kDocumentBarBytes)},
    {"STATBAR", BytesOf(kStatusBarBytes)},
    {"STATBAR_SPLCHCK", BytesOf(kStatusSpellingBytes)},
    {"STATBAR_WRITINGDATA", BytesOf(kStatusWritingDataBytes)},
    {"SELINSTANCES", BytesOf(kSelectionInstancesBytes)},
    {"RULER", BytesOf(kHorizontalRulerBytes)},
    {"VRULER", BytesOf(kVerticalRulerBytes)},
    {"HSCRLBAR", BytesOf(kHorizontalScrollBarBytes)},
    {"VSCRLBAR", BytesOf(kVerticalScrollBarBytes)},
    {"CBOARD", BytesOf(kControlBoardBytes)},
    {"DOCMAP", BytesOf(kDocumentMapBytes)},
    {"HYPERBOX", BytesOf(kHyperBoxBytes)},
    {"FINDPANEL", BytesOf(kFindPanelBytes)},
};

}  // namespace

std::span<const TMenuResourceData> PanelMenuResources() { return kResources; }

}  // namespace qv
