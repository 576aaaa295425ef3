#pragma once
// Groups of menu items that several menus share: a toolbar button's drop-down menu and the
// submenu of the menu bar that offers the same choices are written once here.
#include <array>

#include "resources/menu_data.h"

namespace qv::menu_parts {

// clang-format off

// The command bar band: visibility, style, position and customising.
inline constexpr auto kToolbars = std::to_array<TMenuToken>({
    Item("&Show", 6071), Item("&Hide", 6070), Item("&Autohide", 6072),
    Sep,
    Head("St&yle"), Sub,
      Item("Tool &Bands", 6078), Item("&Classic Toolbars", 6079),
    End,
    Item("&Position", 151200), Sub,
      Item("&Top", 6075), Item("&Left", 6076), Item("&Right", 6077),
    End,
    SepId(151201),
    Item("&Customize...", 645),
});

// Where the document bar stands and how its buttons look.
inline constexpr auto kDocumentBarLayout = std::to_array<TMenuToken>({
    Head("&Position"), Sub,
      Item("&Embedded in Toolbars", 6120), Item("&Top", 6121), Item("&Bottom", 6122),
      Item("&Left", 6123), Item("&Right", 6124),
    End,
    Item("File &Extensions", 6131), Item("&Sort Buttons", 6132), Item("&Vertical Buttons", 6133),
});

// The Control Board: its place, its panels and its previews.
inline constexpr auto kControlBoard = std::to_array<TMenuToken>({
    Head("&Position"), Sub,
      Item("&Left", 6505), Item("&Right", 6506), Item("L&eft && Right", 6507),
    End,
    Head("Pa&nels"), Sub,
      Item("&Headings", 6420), Item("&Bookmarks", 6421), Item("&Index", 6422),
      Item("&Sections", 6423), Item("St&yles", 6424), Item("&Lists", 6425),
      Item("&Reveal Formatting", 6426), Item("S&election", 6427), Item("&Find/Replace", 6428),
      Item("Format &Palette", 6429), Item("&Clip Library", 6430),
    End,
    Item("Mouse Hover Pre&views", 6510),
});

// The case conversions of the selected text.
inline constexpr auto kChangeCase = std::to_array<TMenuToken>({
    Item("&UPPERCASE", 3980), Item("&lowercase", 4000), Item("&iNVERT cAPITALS", 4020),
    Item("&Sentence case", 4025), Item("&Title Case", 4030),
});

// Selecting by the units of the text.
inline constexpr auto kSelect = std::to_array<TMenuToken>({
    Item("Select &All", 3740), Item("&Invert Selection", 3745),
    Sep,
    Item("&Word", 3760), Item("&Line", 3780), Item("S&entence", 3785), Item("&Paragraph", 3800),
    Item("Pa&ge", 3805), Item("Se&ction", 3810),
});

// The special characters typed or pasted by command.
inline constexpr auto kSpecialCharacters = std::to_array<TMenuToken>({
    Item("&Nonbreaking Space", 3007), Item("Nonbreaking &Hyphen", 3008),
    Item("&Optional Hyphen", 3009), Item("&Ellipsis", 3010),
    Item("E&m Dash", 3011), Item("En D&ash", 3012),
    Sep,
    Item("&Left Single Quote", 3014), Item("&Right Single Quote", 3015),
    Item("Left &Double Quote", 3016), Item("Right Double &Quote", 3017),
    Item("Left &French Quote", 3018), Item("Right French Quo&te", 3019),
    Item("Left &German Quote", 3020), Item("Right German Q&uote", 3021),
    Sep,
    Item("Em &Space", 3025), Item("En S&pace", 3026), Item("&1/4 Em Space", 3027),
});

// The breaks typed into the text.
inline constexpr auto kBreaks = std::to_array<TMenuToken>({
    Item("&Page Break", 3002), Item("&Column Break", 3022), Item("&Line Break", 3001),
    Item("P&aragraph Mark", 3000), Item("&Tab Character", 3003),
});

// The four kinds of section break to insert.
inline constexpr auto kInsertSectionBreak = std::to_array<TMenuToken>({
    Item("&Continuous", 3080), Item("&Next Page", 3081), Item("&Even Page", 3082),
    Item("&Odd Page", 3083),
});

// The kind of the section break at the caret, and merging its sections.
inline constexpr auto kSectionBreak = std::to_array<TMenuToken>({
    Item("&Continuous", 15650), Item("&Next Page", 15651), Item("&Even Page", 15652),
    Item("&Odd Page", 15653),
    Sep,
    Item("Merge into &Previous Section", 15641), Item("Merge into Fo&llowing Section", 15642),
    Sep,
    Item("Section P&roperties", 15643),
});

// Space before and after the paragraph (the first three captions follow the paragraph).
inline constexpr auto kSpaceBeforeAfter = std::to_array<TMenuToken>({
    Item("Add Spacing &Before", 9240), Item("Add Spacing &After", 9243),
    Item("Add &Spacing Before && After", 9246),
    Sep,
    Item("&Increase Spacing Before", 9251), Item("&Decrease Spacing Before", 9250),
    Item("In&crease Spacing After", 9256), Item("D&ecrease Spacing After", 9255),
});

// Rows, columns and cells to insert into a table.
inline constexpr auto kInsertTableItems = std::to_array<TMenuToken>({
    Item("Rows &Above", 15910), Item("Rows &Below", 15911),
    Item("Columns to the &Left", 15920), Item("Columns to the &Right", 15921),
    Sep,
    Item("&Cells...", 15930),
});

// Parts of a table to select.
inline constexpr auto kSelectTableItems = std::to_array<TMenuToken>({
    Item("&Cell", 15951), Item("C&olumn", 15952), Item("&Row", 15953), Item("&Table", 15954),
});

// The split window.
inline constexpr auto kSplitSettings = std::to_array<TMenuToken>({
    Item("Split &Horizontally", 8129), Item("Split &Vertically", 8130),
    Sep,
    Item("&Dim Inactive Pane", 8131), Item("&Follow Hyperlinks into Next Pane", 8132),
});

// Sending documents by e-mail.
inline constexpr auto kSend = std::to_array<TMenuToken>({
    Item("&Send Document...", 300), Item("Send Document &Zipped...", 305),
    Item("Send &All Documents...", 320), Item("Send All Documents Zi&pped...", 325),
});

// The maker's pages on the web.
inline constexpr auto kWebPages = std::to_array<TMenuToken>({
    Item("&Home Site", 101120), Item("Latest &News", 101121),
    Item("Quorvane on &Facebook", 101122), Item("Quorvane on T&witter", 101123),
    Item("Quorvane on &YouTube", 101124), Item("Quor&Tips (Productivity Tips)", 101125),
});

// Highlighting the instances of the selected text.
inline constexpr auto kSelectionInstances = std::to_array<TMenuToken>({
    Item("&Highlight Instances of Selected Text", 5800),
    Item("E&xact Match", 5801),
    Item("The &Enter Key Selects Highlighted Instances", 5802),
    Item("Mouse Hover &Previews", 5803),
});

// How a picture lies in the text and moves with it.
inline constexpr auto kPictureWrapping = std::to_array<TMenuToken>({
    Item("In &Line with Text", 15081), Item("&Square", 15082), Item("&Top and Bottom", 15083),
    Item("&Behind Text", 15084), Item("In &Front of Text", 15085), Item("Ti&ght", 15086),
    Item("T&hrough", 15087),
    Sep,
    Item("&Edit Wrap Points", 15088), Item("Reset &Wrap Points", 15089),
    Sep,
    Item("&Move with Text", 15095), Item("Fi&x Position on Page", 15096),
});

// The toolbar's picture layout menu: a drawn "Wrapping style" header, the wrapping, and the grid
// of the nine positions on the page (drawn as images in three columns).
inline constexpr auto kPictureLayout = Join(
    std::to_array<TMenuToken>({SepId(150204)}),
    kPictureWrapping,
    std::to_array<TMenuToken>({
        Sep,
        Item("?", 15097), Item("?", 15098), Item("?", 15099),
        Item("?", 15100), Item("?", 15101), Item("?", 15102),
        Item("?", 15103), Item("?", 15104), Item("?", 15105),
    }));

// Reducing the colours of the selected pictures.
inline constexpr auto kReducePictureQuality = std::to_array<TMenuToken>({
    Item("2 colors", 15050), Item("4 colors", 15051), Item("8 colors", 15052),
    Item("16 colors", 15053), Item("32 colors", 15054), Item("64 colors", 15055),
    Item("128 colors", 15056), Item("256 colors", 15057),
});

// The pictures of the selection.
inline constexpr auto kPicture = Join(
    std::to_array<TMenuToken>({Item("Picture &Format...", 15000), Head("Picture &Layout"), Sub}),
    kPictureWrapping,
    std::to_array<TMenuToken>({End, Item("&Reduce Picture Quality", 150205), Sub}),
    kReducePictureQuality,
    std::to_array<TMenuToken>({
        End,
        Head("&Order"), Sub,
          Item("Bring &Forward", 15090), Item("Send &Backward", 15091),
          Item("Bring to F&ront", 15092), Item("Send to Bac&k", 15093),
        End,
        Sep,
        Item("&Select Pictures", 15045), Item("&Copy Pictures", 15046),
        Item("&Delete Pictures", 15047), Item("Save Picture &As...", 3700),
    }));

// The horizontal lines of the selection.
inline constexpr auto kHorizontalLine = std::to_array<TMenuToken>({
    Item("Horizontal Line &Format...", 15110), Item("&Select Horizontal Lines", 15115),
    Item("&Delete Horizontal Lines", 15120),
});

// AutoCorrect and Rezod Ozid.
inline constexpr auto kAutoCorrect = std::to_array<TMenuToken>({
    Item("&AutoCorrect Document", 850), Item("AutoCorrect &Options...", 860),
    Sep,
    Item("&Rezod Ozid...", 863), Item("Add Selection to Rezod O&zid", 864),
});

// The Vadure Vavi (its first caption says whether it shows or hides the window).
inline constexpr auto kVadureVavi = std::to_array<TMenuToken>({
    Item("&Show", 6400),
    Sep,
    Item("&Append to Vadure Vavi", 3440), Item("C&ut to Vadure Vavi", 3445),
    Item("Paste &from Vadure Vavi", 3480), Item("&Empty Vadure Vavi", 3460),
    Sep,
    Item("&Collect Clipboard Data", 3485), Item("Collect &Plain Text", 3486),
});

// The options of the Find/Replace panel.
inline constexpr auto kFindOptions = std::to_array<TMenuToken>({
    Item("&Whole Words", 3670), Item("&Exact Match", 3671), Item("Use Wild&cards", 3672),
    Sep,
    Item("Use &Instead Of \"Find/Replace\" Dialog", 3675),
    Item("Open \"Find/Replace\" &Dialog...", 3676),
});

// The objects that the browse buttons step through.
inline constexpr auto kBrowseObjects = std::to_array<TMenuToken>({
    Item("&Find", 4230), Item("&Graphic", 4231), Item("&Heading", 4232), Item("&Section", 4233),
    Item("&Page", 4234), Item("Fiel&d", 4235), Item("H&yperlink", 4236), Item("&Bookmark", 4237),
    Item("F&ootnote", 4238), Item("&Endnote", 4239), Item("&Repetition", 4240),
    Item("Over&long Sentence", 4241), Item("&Table", 4242),
});

// The spellchecking switches and runs.
inline constexpr auto kSpelling = std::to_array<TMenuToken>({
    Item("&Spellcheck...", 800), Item("&Next Misspelling", 845),
    Sep,
    Item("Spellcheck &As You Type", 825), Item("&Underline Misspellings", 828),
    Item("Clear &Ignored Words", 814),
    Sep,
    Item("Spellcheck &Options...", 831),
});

// The new-document formats (the default format is the bold item of a popup menu).
inline constexpr auto kNewFormats = std::to_array<TMenuToken>({
    Item("&Rich Text Format", 1000), Item("Word 97-2003 &Document", 1001),
    Item("&Word Document (DOCX)", 1002), Item("&Plain Text", 1006),
    Item("&Encrypted Document", 1004),
});

// The help pages and the program's own pages.
inline constexpr auto kHelp = std::to_array<TMenuToken>({
    Item("Quorvane &Help", 100000), Item("Hot &Keys", 100070), Item("Technical &Support", 100090),
});

// The writing time and speed kept for documents.
inline constexpr auto kWritingData = std::to_array<TMenuToken>({
    Item("&Reset Writing Data", 1400), Item("Reset Writing Data of &All Documents", 1401),
});

// clang-format on

}  // namespace qv::menu_parts
