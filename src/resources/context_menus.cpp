// The document window's context menus. The window puts together the clipboard menu, one menu for
// the text or the object under the mouse and one submenu for each kind of object the selection
// touches (the text menu keeps clear of the clipboard menu's letters, as the two always go
// together); the spelling popups stand alone, and the window fills in the suggestions, the user
// dictionaries and the recent languages before the items that mark their places (812, 818, 820).
#include "resources/menu_groups.h"
#include "resources/menu_parts.h"

namespace qv {

namespace {

using namespace menu_parts;

// clang-format off

constexpr auto kClipboardMenu = std::to_array<TMenuToken>({
    Item("Cu&t", 3420), Item("&Copy", 3340), Item("&Paste", 3360), Item("Pa&ste Options", 3370),
    Item("&Delete", 3200),
});

constexpr auto kTextFormat = Join(
    std::to_array<TMenuToken>({
      Item("&Font...", 12000), Item("P&aragraph...", 9000),
      Item("Borders and S&hading...", 9285),
      Sep,
      Head("L&ists"), Sub,
        Item("&Bullets", 9320), Item("&Numbering", 9321), Item("&Outline List", 9322),
      End,
      Head("Change Cas&e"), Sub,
    }),
    kChangeCase,
    std::to_array<TMenuToken>({
      End,
      Head("Spaci&ng"), Sub,
    }),
    kSpaceBeforeAfter,
    std::to_array<TMenuToken>({
      End,
      SepId(150311),
      HeadId("Section B&reak", 150310), Sub,
    }),
    kSectionBreak,
    std::to_array<TMenuToken>({
      End,
      Sep,
      Head("Se&lect"), Sub,
    }),
    kSelect,
    std::to_array<TMenuToken>({
      End,
      Item("H&yperlink...", 4540), Item("New Boo&kmark...", 4531),
    }));

constexpr auto kPictureMenu = Join(
    std::to_array<TMenuToken>({HeadId("Pic&ture", 150200), Sub}), kPicture,
    std::to_array<TMenuToken>({End}));

constexpr auto kHorizontalLineMenu = Join(
    std::to_array<TMenuToken>({HeadId("Horizon&tal Line", 150201), Sub}), kHorizontalLine,
    std::to_array<TMenuToken>({End}));

constexpr auto kFieldMenu = std::to_array<TMenuToken>({
    HeadId("&Field", 150220), Sub,
      Item("&Update", 4900), Item("&Modify Properties", 4930),
      Sep,
      Item("&Select", 4910), Item("&Copy", 4915), Item("Convert To &Text", 4920),
      Item("&Delete", 4925),
    End,
});

constexpr auto kHyperlinkMenu = std::to_array<TMenuToken>({
    HeadId("&Hyperlink", 150222), Sub,
      Item("&Open Hyperlink", 4545), Item("&Edit Hyperlink...", 4541),
      Sep,
      Item("&Select Hyperlink", 4550), Item("&Copy Hyperlink", 4555),
      Item("Con&vert Hyperlink to URL", 4561), Item("De&activate Hyperlink", 4560),
      Item("&Delete Hyperlink", 4565),
      Sep,
      Head("Hyperlink &History"), Sub,
        Item("&Back", 4546), Item("&Forward", 4547), Item("&Close Hyperlink History", 4548),
      End,
    End,
});

constexpr auto kTocMenu = std::to_array<TMenuToken>({
    Head("Table of &Contents"), Sub,
      Item("&Modify Table of Contents...", 4601), Item("&Update Entire Table", 4620),
      Item("Update &Page Numbers Only", 4630),
      Sep,
      Item("&Select Table of Contents", 4640), Item("&Copy Table of Contents", 4645),
      Item("De&activate Table of Contents", 4650), Item("&Delete Table of Contents", 4655),
    End,
});

constexpr auto kIndexMenu = std::to_array<TMenuToken>({
    Head("&Index"), Sub,
      Item("&Modify Index...", 5330), Item("&Update Index", 5331),
      Sep,
      Item("&Select Index", 5332), Item("&Copy Index", 5333), Item("De&activate Index", 5334),
      Item("&Delete Index", 5335),
    End,
});

// The note captions that depend on the count of selected notes are the command manager's.
constexpr auto kFootnoteMenu = std::to_array<TMenuToken>({
    HeadId("&Footnote", 150224), Sub,
      Item("&Go To Footnote", 5075), Item("&Select Footnote Reference", 5080),
      Item("Se&lect Footnote", 5085),
      Sep,
      Item("&Convert To Endnote", 5058), Item("&Delete Footnote", 5063),
      Sep,
      Item("Note &Options...", 5074),
    End,
});

constexpr auto kEndnoteMenu = std::to_array<TMenuToken>({
    HeadId("&Endnote", 150225), Sub,
      Item("&Go To Endnote", 5076), Item("&Select Endnote Reference", 5081),
      Item("Selec&t Endnote", 5086),
      Sep,
      Item("&Convert To Footnote", 5057), Item("&Delete Endnote", 5064),
      Sep,
      Item("Note &Options...", 5074),
    End,
});

constexpr auto kFootEndnoteMenu = std::to_array<TMenuToken>({
    HeadId("&Footnotes && Endnotes", 150226), Sub,
      Head("&Footnotes"), Sub,
        Item("&Select Footnote References", 5080), Item("Se&lect Footnotes", 5085),
      End,
      Head("&Endnotes"), Sub,
        Item("&Select Endnote References", 5081), Item("Selec&t Endnotes", 5086),
      End,
      Sep,
      Item("S&wap Footnotes and Endnotes", 5059), Item("&Delete Footnotes and Endnotes", 5062),
      Sep,
      Item("Note &Options...", 5074),
    End,
});

constexpr auto kBulletedListMenu = std::to_array<TMenuToken>({
    HeadId("Bulleted &List", 150210), Sub,
      Item("&Edit List Format...", 9560), Item("&Select List", 9562),
      Item("Select List Le&vel", 9564),
      Sep,
      Item("&Promote List Item", 9340), Item("&Demote List Item", 9341),
      Sep,
      Item("Dec&rease Bullet Size", 9370), Item("&Increase Bullet Size", 9371),
      Item("Choose Bullet Sy&mbol...", 9530), Item("Choose Bullet Pic&ture...", 9531),
      Item("Send Bullet Picture to Clip&board", 9532),
      Sep,
      Item("Convert to Manual &List", 9380), Item("Remove B&ullets", 9535),
    End,
});

constexpr auto kNumberedListMenu = std::to_array<TMenuToken>({
    HeadId("Numbered &List", 150211), Sub,
      Item("&Edit List Format...", 9561), Item("&Select List", 9563),
      Item("Select List Le&vel", 9565),
      Sep,
      Item("&Promote List Item", 9342), Item("&Demote List Item", 9343),
      Sep,
      Item("Dec&rease Number Size", 9372), Item("&Increase Number Size", 9373),
      Sep,
      Item("Start &New List", 9350), Item("Resume Previous Lis&t", 9351),
      Item("Convert to Manual &List", 9381), Item("Remove N&umbering", 9536),
    End,
});

constexpr auto kTableMenu = Join(
    std::to_array<TMenuToken>({
      Head("T&able"), Sub,
        Item("Table &Properties...", 16000),
        Sep,
        Head("&Insert"), Sub,
    }),
    kInsertTableItems,
    std::to_array<TMenuToken>({
        End,
        Item("Delete Cells...", 16150),
        Head("&Select"), Sub,
    }),
    kSelectTableItems,
    std::to_array<TMenuToken>({
        End,
        Sep,
        Item("&Merge Cells", 16110), Item("Sp&lit Cells...", 16111), Item("Split &Table", 16112),
        Item("Cell Alignment", 16119),
        Sep,
        Item("Distribute &Rows Evenly", 16155), Item("Distribute &Columns Evenly", 16156),
        Item("Repeat as &Header Row", 16190),
        Sep,
        Item("Convert Table to Te&xt...", 16160), Item("&Gridlines", 16100),
      End,
    }));

constexpr auto kHeadingMenu = std::to_array<TMenuToken>({
    HeadId("Heading", 150350), Sub,
      Item("&Collapse", 5810), Item("&Expand", 5811), Item("C&ollapse All", 5812),
      Item("E&xpand All", 5813),
    End,
});

constexpr auto kDropCapMenu = std::to_array<TMenuToken>({
    HeadId("Drop Cap", 150202), Sub,
      Item("Drop Cap &Format...", 15130), Item("&Select Drop Cap", 15131),
      Item("&Remove Drop Cap", 15132),
    End,
});

// The tail the spelling popups share: the AutoCorrect entries (the suggestions go before 818),
// the languages (the recent ones go before 820) and the spellcheck itself.
constexpr auto kSpellingTail = std::to_array<TMenuToken>({
    Head("Add to AutoCo&rrect"), Sub,
      SepId(818),
      Item("AutoCorrect &Options...", 819),
    End,
    Head("&Language"), Sub,
      SepId(820),
      Item("&More Languages...", 12440), Item("Clear Language History", 12600),
    End,
    Sep,
    Item("&Spellcheck...", 822), Item("Spellcheck O&ptions...", 831),
});

// The suggestions go before 812; the dictionary items become submenus of the user dictionaries
// when the spellchecker has several.
constexpr auto kMisspeltWord = Join(
    std::to_array<TMenuToken>({
      SepId(812),
      Item("&Ignore All", 813), Item("&Add to Dictionary", 816), Item("&Edit Dictionary", 817),
    }),
    kSpellingTail);

constexpr auto kMisspeltWordNoSuggestions = Join(
    std::to_array<TMenuToken>({Item("< no spelling suggestions >", 810)}),
    kMisspeltWord);

constexpr auto kNoSpellchecker = std::to_array<TMenuToken>({
    Item("< no spellchecker for %s >", 811),
    Sep,
    Head("&Language"), Sub,
      SepId(820),
      Item("&More Languages...", 12440), Item("Clear Language History", 12600),
    End,
    Sep,
    Item("Spellcheck O&ptions...", 831),
});

constexpr auto kDoubledWord = std::to_array<TMenuToken>({
    Item("&Delete Repeated Word", 840), Item("&Ignore All", 813),
    Sep,
    Item("&Spellcheck...", 822), Item("Spellcheck O&ptions...", 831),
});

// clang-format on

constexpr auto kClipboardBytes = EncodeMenu<kClipboardMenu>();
constexpr auto kTextFormatBytes = EncodeMenu<kTextFormat>();
constexpr auto kPictureBytes = EncodeMenu<kPictureMenu>();
constexpr auto kHorizontalLineBytes = EncodeMenu<kHorizontalLineMenu>();
constexpr auto kFieldBytes = EncodeMenu<kFieldMenu>();
constexpr auto kHyperlinkBytes = EncodeMenu<kHyperlinkMenu>();
constexpr auto kTocBytes = EncodeMenu<kTocMenu>();
constexpr auto kIndexBytes = EncodeMenu<kIndexMenu>();
constexpr auto kFootnoteBytes = EncodeMenu<kFootnoteMenu>();
constexpr auto kEndnoteBytes = EncodeMenu<kEndnoteMenu>();
constexpr auto kFootEndnoteBytes = EncodeMenu<kFootEndnoteMenu>();
constexpr auto kBulletedListBytes = EncodeMenu<kBulletedListMenu>();
constexpr auto kNumberedListBytes = EncodeMenu<kNumberedListMenu>();
constexpr auto kTableBytes = EncodeMenu<kTableMenu>();
constexpr auto kHeadingBytes = EncodeMenu<kHeadingMenu>();
constexpr auto kDropCapBytes = EncodeMenu<kDropCapMenu>();
constexpr auto kMisspeltWordBytes = EncodeMenu<kMisspeltWord>();
constexpr auto kMisspeltWordNoSuggestionsBytes = EncodeMenu<kMisspeltWordNoSuggestions>();
constexpr auto kNoSpellcheckerBytes = EncodeMenu<kNoSpellchecker>();
constexpr auto kDoubledWordBytes = EncodeMenu<kDoubledWord>();

constexpr TMenuResourceData kResources[] = {
    {"CLIPBRD", BytesOf(kClipboardBytes)},
    {"TXTFMT", BytesOf(kTextFormatBytes)},
    {"PIC", BytesOf(kPictureBytes)},
    {"HR", BytesOf(kHorizontalLineBytes)},
    {"FIELD", BytesOf(kFieldBytes)},
    {"HLINK", BytesOf(kHyperlinkBytes)},
    {"TOC", BytesOf(kTocBytes)},
    {"INDEX", BytesOf(kIndexBytes)},
    {"FOOTNOTE", BytesOf(kFootnoteBytes)},
    {"ENDNOTE", BytesOf(kEndnoteBytes)},
    {"FOOTENDNOTE", BytesOf(kFootEndnoteBytes)},
    {"BLIST", BytesOf(kBulletedListBytes)},
    {"NLIST", BytesOf(kNumberedListBytes)},
    {"TABLE", BytesOf(kTableBytes)},
    {"HEADING", BytesOf(kHeadingBytes)},
    {"DROPCAP", BytesOf(kDropCapBytes)},
    {"MSPLTWRD", BytesOf(kMisspeltWordBytes)},
    {"MSPLTWRD_NOSUGG", BytesOf(kMisspeltWordNoSuggestionsBytes)},
    {"NOSPELLCHECKER", BytesOf(kNoSpellcheckerBytes)},
    {"DBLDWRD", BytesOf(kDoubledWordBytes)},
};

}  // namespace

std::span<const TMenuResourceData> ContextMenuResources() { return kResources; }

}  // namespace qv
