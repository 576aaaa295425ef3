#include "app/startup.h"

#include <gtest/gtest.h>

#include "app/main_frame.h"
#include "document/char_format.h"
#include "document/doc_object_services.h"
#include "document/doc_services.h"
#include "document/doc_statistics.h"
#include "document/layout_services.h"
#include "document/line.h"
#include "document/line_fitter_service.h"
#include "document/number_formats.h"
#include "layout/page_preview.h"
#include "document/shape_binding.h"
#include "document/styles.h"
#include "foundation/base/geometry.h"
#include "foundation/base/service_slot.h"
#include "foundation/ui/message_box.h"
#include "foundation/base/string_utils.h"
#include "foundation/fonts/font_manager.h"
#include "foundation/fonts/font_services.h"
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
#include "foundation/ui/message_dlg_service.h"
#include "foundation/ui/shared_manager_services.h"
#include "foundation/ui/shared_managers.h"
#include "foundation/ui/sound_services.h"
#include "foundation/ui/toolkit_services.h"
#include "layout/hyphenation_service.h"
#include "layout/inline_shape_service.h"
#include "platform/system/settings_hive.h"
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
    {"toolkit services (shell)", &IsStandInService<TToolkitServices>, false},
    {"command service (commands)", &IsStandInService<TCommandService>, false},
    {"hot-key service (command bars)", &IsStandInService<THotKeyService>, false},
    {"sound service (shell)", &IsStandInService<TSoundService>, false},
    {"language services (proofing)", &IsStandInService<TLangServices>, false},
    {"options services (shell)", &IsStandInService<TOptionsServices>, false},
    {"capital accents (proofing)", &IsStandInService<TCapitalAccentsPolicy>, false},
    {"find form placement (control board)", &IsStandInService<TFindFormPlacement>, false},
    {"folder usage (shell)", &IsStandInService<TFolderUsage>, false},
    {"hyperlink services (shell: open documents, trusted file types)",
     &IsStandInService<THyperlinkServices>, false},
    {"instance receiver (main form)", &IsStandInService<TInstanceReceiver>, false},
    // document
    {"font face source", &IsStandInService<TFontFaceSource>, true},
    {"document services (user name)", &IsStandInService<TDocServices>, true},
    {"page preview colours", &IsStandInService<TPreviewColors>, true},
    {"line fitter", &IsStandInService<TLineFitter>, true},
    {"document layout services (pages)", &IsStandInService<TDocLayoutServices>, false},
    {"document object services (bookmarks, notes)", &IsStandInService<TDocObjectServices>, false},
    {"shape binding (shapes)", &IsStandInService<TShapeBinding>, false},
    {"statistics services (selection model, pagination, progress)",
     &IsStandInService<TStatisticsServices>, false},
    {"style texts (formatting descriptions)", &IsStandInService<TStyleTextServices>, false},
    {"ruler snapping (document window)", &IsStandInService<TRulerSnapServices>, false},
    // layout
    {"hyphenation (proofing)", &IsStandInService<THyphenationService>, false},
    {"inline shapes (shapes)", &IsStandInService<TInlineShapeService>, false},
};

TStartupOptions Headless() {
  TStartupOptions options;
  options.Headless = true;
  return options;
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

TEST(ProgramStartup, TheMainWindowEndsTheStartUpAndClosingItEndsTheLoop) {
  StartingUp = true;  // as when the program starts
  TProgram program(Headless());
  ASSERT_TRUE(program.Start());
  ASSERT_NE(program.MainFrame(), nullptr);
  EXPECT_TRUE(StartingUp);
  plat::PostMessage(program.MainFrame()->Handle(), plat::WM_CLOSE);
  EXPECT_EQ(program.Run(), 0);
  EXPECT_FALSE(StartingUp);
  EXPECT_EQ(program.MainFrame(), nullptr);
  program.ShutDown();
  EXPECT_FALSE(plat::IsWindowSystemStarted());
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

}  // namespace
