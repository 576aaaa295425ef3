// Which real implementation serves which slot. Slots without an implementation here keep their
// stand-ins until the subsystem that answers them exists:
//   foundation: toolkit, hot-key and sound services (shell, command bars),
//     menu colours and images (command bars),
//     language services (proofing), options services (shell), capital accents (proofing), find
//     form placement (control board), folder usage (shell), cursor loader (resources); the
//     system message box needs none (its default is the program's own plain box);
//   shell: command bars, proofing, control boards, clipboard manager (each waits for its
//     subsystem);
//   document: document object services (bookmarks, notes), the statistics' progress display
//     (main window), shape binding (shapes), style
//     texts (formatting descriptions, hot keys), ruler snapping (document window), layout
//     services (pages), line detaching (box tree);
//   layout: hyphenation (proofing), inline shapes (shapes);
#include "app/program_services.h"

#include <memory>
#include <string>

#include "commandbars/hot_key_manager.h"
#include "commands/command_manager.h"
#include "document/char_format.h"
#include "document/doc_object_services.h"
#include "document/doc_statistics.h"
#include "document/doc_services.h"
#include "document/edit_services.h"
#include "docwindow/doc_window_registration.h"
#include "editing/edit_layout_hooks.h"
#include "editing/editing_services.h"
#include "layout/page_preview.h"
#include "document/styles.h"
#include "document/tab_stops.h"
#include "files/crypt/encryption_manager.h"
#include "foundation/base/service_slot.h"
#include "foundation/fonts/font_manager.h"
#include "foundation/fonts/font_services.h"
#include "foundation/graphics/colour_manager.h"
#include "foundation/settings/options_holder.h"
#include "foundation/ui/hotkey_services.h"
#include "foundation/ui/message_box.h"
#include "foundation/ui/shared_manager_services.h"
#include "document/layout_services.h"
#include "document/pictures.h"
#include "document/shape_binding.h"
#include "layout/inline_shape_service.h"
#include "layout/layout_registration.h"
#include "layout/line_fitter.h"
#include "layout/statistics_services.h"
#include "platform/system/printers.h"
#include "resources/command_hint_store.h"
#include "resources/menu_resource_store.h"
#include "shell/shell_services.h"

namespace qv {

namespace {

constexpr uint8_t kFontUnavailableMsg = 10;

// The program-wide objects of the document model, made and freed in the shared managers' order.
class TModelManagers : public TSharedManagerServices {
 public:
  // New text is in "Times New Roman"; the layout's own labels are in "Arial".
  void FontManagerCreated() override {
    const TFontManager& fonts = *FontManager();
    if (fonts.TimesFont >= 0) DefaultCharFormat.Font = fonts.TimesFont;
    if (fonts.ArialFont >= 0) UiCharFormat.Font = UiBoldCharFormat.Font = fonts.ArialFont;
  }
  void CreateStyleManager() override { StyleManager(); }
  void CreateTabManager() override { GetTabManager(); }
  void FreeStyleManager() override { qv::FreeStyleManager(); }
  // The tab manager lives until the end of the run (it has no release of its own yet).
};

// The page of the layout preview in the colour manager's background, the stripes and the frame
// adjusted to it (they are meant for a white page).
class TColourManagerPreviewColors : public TPreviewColors {
 public:
  plat::Color PageColor() const override {
    return GetColorManager().ActivePalette().Entries[kSchemeBackground].Color;
  }
  plat::Color TextColor() const override {
    return GetColorManager().AdjustToBackground(TPreviewColors::TextColor());
  }
  plat::Color FrameColor() const override {
    return GetColorManager().AdjustToBackground(TPreviewColors::FrameColor());
  }
};

// The font manager's messages through the program's message box.
class TMessageBoxFontServices : public TFontServices {
 public:
  void AddEntropy(uint8_t value) override { GetEncryptionManager().AddEntropy(value); }
  void ShowInfo(const std::string& text) override { qv::ShowInfo(text); }
  bool ConfirmUnavailableFont(const std::string& face) override {
    std::string text = OptionalMsgTable[kFontUnavailableMsg].Text;
    const size_t at = text.find("%s");
    if (at != std::string::npos) text.replace(at, 2, face);
    return ShowOptionalMsg(text, mkConfirmation, kFontUnavailableMsg) == mrYes;
  }
};

// The options holder's errors through the program's message box.
class TMessageBoxOptionsSite : public TOptionsHolderSite {
 public:
  void ShowError(const std::string& message) override { qv::ShowError(message); }
};

}  // namespace

void RegisterProgramServices() {
  RegisterSharedManagerServices(std::make_unique<TModelManagers>());
  RegisterFontServices(std::make_unique<TMessageBoxFontServices>());
  RegisterOptionsHolderSite(std::make_unique<TMessageBoxOptionsSite>());
  RegisterFontFaceSource(MakeFontManagerFaceSource());
  RegisterDocObjectServices(MakeDocObjectServices());
  RegisterPreviewColors(std::make_unique<TColourManagerPreviewColors>());
  RegisterLayoutServices();  // the line fitter and the pages of documents
  RegisterStatisticsServices(MakeLayoutStatisticsServices());
  RegisterCommandServices();
  RegisterEditingServices();
  RegisterDocumentWindowServices();  // selection services and the layout after edits
  RegisterShellServices();  // the command environment, documents, files' progress ...
  RegisterHotKeyManager();  // the key bindings and the keyboard road of hot keys
  plat::UseSystemPrinters();  // CUPS destinations besides the PDF-file printer
  RegisterMenuResourceService(MakeMenuResourceStore());
  RegisterResourceService(MakeCommandHintStore());
}

void UnregisterProgramServices() {
  RegisterResourceService(nullptr);
  RegisterMenuResourceService(nullptr);
  plat::SetPrinterList(nullptr);
  RegisterHotKeyService(nullptr);
  UnregisterShellServices();
  UnregisterCommandServices();
  RegisterEditLayoutHooks(nullptr);
  RegisterStatisticsServices(nullptr);
  UnregisterDocumentWindowServices();
  UnregisterEditingServices();
  RegisterDocLayoutServices(nullptr);
  RegisterPictureDecoder(nullptr);
  RegisterInlineShapeService(nullptr);
  RegisterShapeBinding(nullptr);
  RegisterLineFitter(nullptr);
  RegisterPreviewColors(nullptr);
  RegisterDocObjectServices(nullptr);
  RegisterFontFaceSource(nullptr);
  RegisterOptionsHolderSite(nullptr);
  RegisterFontServices(nullptr);
  RegisterSharedManagerServices(nullptr);
}

}  // namespace qv
