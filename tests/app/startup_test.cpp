#include "app/startup.h"

#include <gtest/gtest.h>

#include <fstream>

#include "shell/clipboard_manager_services.h"
#include "shell/command_bar_services.h"
#include "shell/control_board_services.h"
#include "shell/doc_dispatcher.h"
#include "shell/main_form.h"
#include "shell/proofing_services.h"
#include "support/test_env.h"
#include "document/doc.h"
#include "platform/gfx/bitmap.h"
#include "commands/command_environment_services.h"
#include "commands/command_manager.h"
#include "commands/edit_command_services.h"
#include "commands/file_dialog_services.h"
#include "commands/format_dialog_services.h"
#include "commands/paragraph_command_services.h"
#include "commands/view_command_services.h"
#include "commands/web_export_services.h"
#include "document/doc.h"
#include "document/char_format.h"
#include "document/doc_object_services.h"
#include "document/list_dialog_services.h"
#include "document/object_edit_services.h"
#include "document/doc_services.h"
#include "document/doc_statistics.h"
#include "document/drop_cap_metrics.h"
#include "document/editing_time_services.h"
#include "document/field_edit_services.h"
#include "document/edit_services.h"
#include "document/layout_services.h"
#include "document/line.h"
#include "document/line_fitter_service.h"
#include "document/number_formats.h"
#include "layout/page_preview.h"
#include "layout/pictures/resource_service.h"
#include "document/pictures.h"
#include "document/shape_binding.h"
#include "document/styles.h"
#include "document/selection_services.h"
#include "docwindow/doc_window_services.h"
#include "editing/edit_layout_hooks.h"
#include "files/output/save_progress_services.h"
#include "files/text/text_conv_services.h"
#include "files/crypt/encryption_manager.h"
#include "files/file_services.h"
#include "files/office_xml_services.h"
#include "files/document_road_services.h"
#include "files/web_format_services.h"
#include "files/word_binary_services.h"
#include "foundation/base/geometry.h"
#include "foundation/base/service_slot.h"
#include "foundation/ui/message_box.h"
#include "foundation/base/string_utils.h"
#include "foundation/fonts/font_manager.h"
#include "foundation/fonts/font_services.h"
#include "foundation/graphics/colour_manager.h"
#include "foundation/settings/options_holder.h"
#include "foundation/settings/options_io.h"
#include "foundation/system/paths.h"
#include "foundation/system/shell_services.h"
#include "foundation/system/running_instance.h"
#include "foundation/system/unit_startup.h"
#include "foundation/text/code_pages.h"
#include "foundation/text/language_manager.h"
#include "foundation/ui/application.h"
#include "foundation/ui/command_services.h"
#include "foundation/ui/hotkey_services.h"
#include "foundation/ui/menu_resource_services.h"
#include "foundation/ui/menu_services.h"
#include "foundation/ui/message_dlg_service.h"
#include "foundation/ui/shared_manager_services.h"
#include "foundation/ui/shared_managers.h"
#include "foundation/ui/sound_services.h"
#include "foundation/ui/toolkit_services.h"
#include "layout/hyphenation_service.h"
#include "editing/edit_operation_providers.h"
#include "editing/list_gallery.h"
#include "editing/ops/text_edit_services.h"
#include "layout/inline_shape_service.h"
#include "layout/paint/highlight_services.h"
#include "layout/paint/spelling_mark_services.h"
#include "platform/system/settings_hive.h"
#include "platform/controls/control.h"
#include "platform/win/window_system.h"

using namespace qv;

namespace {

// Every service slot of the subsystems that exist, and whether the start-up has a real
// implementation for it. A slot listed as a stand-in waits for the subsystem that answers it.
struct Slot {
  const char* name;
  bool (*standIn)();
  bool real;
};
const Slot kSlots[] = {
    // foundation
    {"message box", &IsStandInService<TMessageDlgService>, true},
    {"font services (its messages)", &IsStandInService<TFontServices>, true},
    {"options holder site (its errors)", &IsStandInService<TOptionsHolderSite>, true},
    {"shared managers of higher subsystems", &IsStandInService<TSharedManagerServices>, true},
    {"system message box (its default is the plain box)", &IsStandInService<TSystemMessageBox>,
     false},
    {"cursor loader (resources)", &IsStandInService<TCursorLoader>, false},
    {"toolkit services (shell)", &IsStandInService<TToolkitServices>, true},
    {"command service (commands)", &IsStandInService<TCommandService>, true},
    {"hot-key service (command bars)", &IsStandInService<THotKeyService>, true},
    {"menu colours and images (command bars)", &IsStandInService<TMenuServices>, false},
    {"menu resources (resources)", &IsStandInService<TMenuResourceService>, true},
    {"sound service (shell)", &IsStandInService<TSoundService>, false},
    {"language services (proofing)", &IsStandInService<TLangServices>, false},
    {"options services (shell)", &IsStandInService<TOptionsServices>, false},
    {"capital accents (proofing)", &IsStandInService<TCapitalAccentsPolicy>, false},
    {"find form placement (control board)", &IsStandInService<TFindFormPlacement>, false},
    {"folder usage (shell)", &IsStandInService<TFolderUsage>, false},
    {"hyperlink services (shell: open documents, trusted file types)",
     &IsStandInService<THyperlinkServices>, true},
    {"instance receiver (main form)", &IsStandInService<TInstanceReceiver>, true},
    // document
    {"font face source", &IsStandInService<TFontFaceSource>, true},
    {"document services (user name)", &IsStandInService<TDocServices>, true},
    {"page preview colours", &IsStandInService<TPreviewColors>, true},
    {"line fitter", &IsStandInService<TLineFitter>, true},
    {"document layout services (pages)", &IsStandInService<TDocLayoutServices>, true},
    {"editing services (undo, dispatcher)", &IsStandInService<TEditServices>, true},
    {"edit action codes of every area", &IsStandInService<TEditOperationProviders>, true},
    {"field edit services (formatting, styles)", &IsStandInService<TFieldEditServices>, true},
    {"undo records of shapes, notes and lists", &IsStandInService<TObjectEditServices>, true},
    {"list dialog (dialogs)", &IsStandInService<TListDialogServices>, false},
    {"layout after edits (pagination, the editor window)", &IsStandInService<TEditLayoutHooks>, true},
    {"list gallery (the gallery document: resources and the RTF road)",
     &IsStandInService<TListGalleryServices>, false},
    {"selection services (the editor window)", &IsStandInService<TSelectionServices>, true},
    {"document object services (bookmarks, notes)", &IsStandInService<TDocObjectServices>, true},
    {"shape binding (shapes)", &IsStandInService<TShapeBinding>, true},
    {"picture decoder (layout codecs)", &IsStandInService<TPictureDecoder>, true},
    {"statistics services (selection model, pagination; progress waits for the shell)",
     &IsStandInService<TStatisticsServices>, true},
    {"style texts (formatting descriptions)", &IsStandInService<TStyleTextServices>, false},
    {"ruler snapping (document window)", &IsStandInService<TRulerSnapServices>, false},
    // layout
    {"hyphenation (proofing)", &IsStandInService<THyphenationService>, false},
    {"text edit services (shell; proofing and dialogs keep the stand-in's answers)",
     &IsStandInService<TTextEditServices>, true},
    {"inline shapes (shapes)", &IsStandInService<TInlineShapeService>, true},
    {"resources (resources)", &IsStandInService<TResourceService>, true},
    {"search highlights (control board)", &IsStandInService<THighlightServices>, false},
    {"spelling marks (proofing)", &IsStandInService<TSpellingMarkServices>, false},
    // files
    {"save progress (shell)", &IsStandInService<TSaveProgressServices>, true},
    {"file conversion dialog (dialogs)", &IsStandInService<TTextConvServices>, false},
    // document window
    {"document window services (shell, commands, command bars, proofing)",
     &IsStandInService<TDocWindowServices>, true},
    // commands
    {"command environment (shell)", &IsStandInService<TCommandEnvironment>, true},
    {"view, window and help command services (shell)", &IsStandInService<TViewCommandServices>, true},
    {"edit command services (shell: the typing mode; the rest waits for its subsystems)",
     &IsStandInService<TEditCommandServices>, true},
    {"file dialogs of the commands (common dialogs)", &IsStandInService<TFileDialogServices>, true},
    {"web page and eBook export (web formats)", &IsStandInService<TWebExportServices>, false},
    {"format, insert and mailing dialogs (dialogs)", &IsStandInService<TFormatDialogServices>, false},
    {"paragraph command windows (command bars, find, control board)",
     &IsStandInService<TParagraphCommandServices>, false},
    {"file services (password dialogs, progress)", &IsStandInService<TFileServices>, true},
    {"Office XML services (zip, DOCX, ODT)", &IsStandInService<TOfficeXmlServices>, false},
    // document: the stand-ins measure with the font manager and keep the records for the run
    {"drop-cap metrics (font manager)", &IsStandInService<TDropCapMetrics>, false},
    {"editing-time records (shell)", &IsStandInService<TEditingTimeList>, true},
    // shell
    {"command bars and hot keys (command bars)", &IsStandInService<TCommandBarServices>, false},
    {"proofing (proofing)", &IsStandInService<TProofingServices>, false},
    {"control boards and find (control board)", &IsStandInService<TControlBoardServices>, false},
    {"clipboard manager (editing)", &IsStandInService<TClipboardManagerServices>, false},
    {"Word binary format (reader and writer)", &IsStandInService<TWordBinaryServices>, false},
    {"web formats (HTML reader and writer)", &IsStandInService<TWebFormatServices>, false},
    {"document roads (shell: save dialog, recent files, templates)",
     &IsStandInService<TDocumentRoadServices>, true},
};

TStartupOptions Headless() {
  TStartupOptions options;
  options.Headless = true;
  return WithProgramServices(options);
}

TEST(ProgramStartup, RegistersEveryRealServiceAndPutsTheStandInsBackAtShutdown) {
  for (const Slot& s : kSlots) ASSERT_TRUE(s.standIn()) << s.name << " before the start";
  {
    TProgram program(Headless());
    ASSERT_TRUE(program.Start());
    for (const Slot& s : kSlots) EXPECT_EQ(!s.standIn(), s.real) << s.name;
    EXPECT_TRUE(SharedManagersExist());
    ASSERT_NE(FontManager(), nullptr);
    // New text is in "Times New Roman" of the user's language, the layout's labels in "Arial".
    EXPECT_EQ(DefaultCharFormat.Font, FontManager()->TimesFont);
    EXPECT_EQ(UiCharFormat.Font, FontManager()->ArialFont);
    EXPECT_EQ(DefaultCharFormat.Language, UserLocaleLanguageId());
    EXPECT_NE(ServiceBitmap(), nullptr);
    EXPECT_TRUE(AppExists());
    program.ShutDown();
    for (const Slot& s : kSlots) EXPECT_TRUE(s.standIn()) << s.name << " after the shutdown";
    EXPECT_FALSE(SharedManagersExist());
    EXPECT_EQ(FontManager(), nullptr);
    EXPECT_FALSE(AppExists());
    EXPECT_FALSE(plat::IsWindowSystemStarted());
  }
  // The options were saved at the shutdown.
  EXPECT_TRUE(FileExists(plat::UserSettingsHivePath()));
}

// An active document for the command manager, and the Edit commands it runs.
class OneDocEnvironment : public TCommandEnvironment {
 public:
  TDoc Doc{true};
  TDoc* ActiveDoc() override { return &Doc; }
};
class RecEditCommands : public TCommandHandler {
 public:
  std::vector<int32_t>* Runs = nullptr;
  void Execute(TCommandManager&, int32_t id) override { Runs->push_back(id); }
  // The road of the message is under test, not the commands' own rules.
  bool IsEnabled(TCommandManager&, int32_t, uint8_t&) override { return true; }
};

TEST(ProgramStartup, ClipboardMessagesToTheMainWindowRunTheirCommands) {
  TProgram program(Headless());
  ASSERT_TRUE(program.Start());
  ScopedService<TCommandEnvironment, OneDocEnvironment> environment;
  std::vector<int32_t> runs;
  auto edit = std::make_unique<RecEditCommands>();
  edit->Runs = &runs;
  GetCommandManager().SetHandler(CommandRange::Edit, std::move(edit));
  EXPECT_EQ(plat::SendMessage(program.MainForm()->Handle(), plat::WM_PASTE), 1);
  EXPECT_EQ(plat::SendMessage(program.MainForm()->Handle(), plat::WM_CUT), 1);
  EXPECT_EQ(runs, (std::vector<int32_t>{3360, 3420}));
  program.ShutDown();
}

TEST(ProgramStartup, TheMainWindowEndsTheStartUpAndClosingItEndsTheLoop) {
  StartingUp = true;  // as when the program starts
  TProgram program(Headless());
  ASSERT_TRUE(program.Start());
  ASSERT_NE(program.MainForm(), nullptr);
  EXPECT_TRUE(StartingUp);
  plat::PostMessage(program.MainForm()->Handle(), plat::WM_CLOSE);
  EXPECT_EQ(program.Run(), 0);
  EXPECT_FALSE(StartingUp);
  EXPECT_TRUE(GetApp().Terminated);
  ASSERT_NE(program.MainForm(), nullptr);
  EXPECT_FALSE(plat::IsWindowVisible(program.MainForm()->Handle()));
  program.ShutDown();
  EXPECT_EQ(program.MainForm(), nullptr);
  EXPECT_EQ(GetMainForm(), nullptr);
  EXPECT_FALSE(plat::IsWindowSystemStarted());
}

TEST(ProgramStartup, AFileOnTheCommandLineIsShownInADocumentWindow) {
  const std::string path = qvtest::SandboxDir() + "/letter.rtf";
  {
    std::ofstream out(path, std::ios::binary);
    out << R"({\rtf1{\fonttbl{\f0 Liberation Serif;}}\f0\fs48 Dear reader,\par )"
           R"(\trowd\cellx3000\cellx6000\intbl One\cell Two\cell\row Thanks.\par})";
  }
  TStartupOptions options = Headless();
  options.Arguments = {"-nologo", path};
  TProgram program(options);
  ASSERT_TRUE(program.Start());
  TDoc* doc = GetActiveDoc();
  ASSERT_NE(doc, nullptr);
  EXPECT_EQ(doc->FileName, path);
  EXPECT_GE(doc->ParCount(), 5);
  plat::UpdateWindow(program.MainForm()->Handle());
  GetApp().ProcessMessages();
  const plat::Bitmap* surface = plat::GetWindowSurface(program.MainForm()->Handle());
  ASSERT_NE(surface, nullptr);
  EXPECT_FALSE(doc->Pages.empty());
  // The page is painted: paper and black ink both appear.
  int32_t ink = 0, paper = 0;
  for (int32_t y = 0; y < surface->Height(); y += 2)
    for (int32_t x = 0; x < surface->Width(); x += 2) {
      const uint32_t c = surface->GetPixel(x, y);
      ink += c == 0x000000;
      paper += c == 0xFFFFFF;
    }
  EXPECT_GT(ink, 20);
  EXPECT_GT(paper, 1000);
  program.ShutDown();
}

TEST(ProgramStartup, FormatsCompareFontsByFaceOnceStarted) {
  TProgram program(Headless());
  ASSERT_TRUE(program.Start());
  TFontManager& fonts = *FontManager();
  const int32_t western = fonts.FontIndex("Liberation Serif", 0, true);
  const int32_t cyrillic = fonts.FontIndex("Liberation Serif", 204, true);
  ASSERT_NE(western, cyrillic);
  TCharFormat f = DefaultCharFormat, other = DefaultCharFormat;
  f.Font = western;
  other.Font = cyrillic;
  IntersectCharFormat(f, other);
  EXPECT_EQ(f.Font, western);
  program.ShutDown();
}

TEST(ProgramStartup, TheInterfaceColoursComeFromTheSchemeOnceTheOptionsAreRead) {
  TProgram program(Headless());
  ASSERT_TRUE(program.Start());
  TColorManager& colours = GetColorManager();
  const TColorScheme scheme = CurrentColorScheme();
  for (int32_t i = 0; i < kSchemeColorCount; ++i)
    EXPECT_EQ(colours.ActivePalette().Entries[static_cast<size_t>(i)].Color, scheme.GetColor(i)) << i;
  // Against the page's light background a grey gridline stays grey (on an unloaded, black
  // palette it came out white and the dotted cell edges vanished).
  EXPECT_EQ(colours.AdjustToBackground(0x808080), 0x808080u);
  program.ShutDown();
}

TEST(ProgramStartup, NewFontsFeedTheEncryptionPool) {
  TProgram program(Headless());
  ASSERT_TRUE(program.Start());
  const auto before = GetEncryptionManager().EntropyPool();
  // Each byte is mixed with the tick count; over a whole turn of the pool some byte changes.
  for (int i = 0; i < 32; ++i) FontServices().AddEntropy(static_cast<uint8_t>(0x40 + i));
  EXPECT_NE(GetEncryptionManager().EntropyPool(), before);
  program.ShutDown();
}

}  // namespace
