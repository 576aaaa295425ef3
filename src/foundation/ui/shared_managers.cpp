#include "foundation/ui/shared_managers.h"

#include <memory>
#include <utility>

#include "foundation/base/service_slot.h"
#include "foundation/fonts/font_manager.h"
#include "foundation/graphics/colour_manager.h"
#include "foundation/graphics/offscreen_bitmap.h"
#include "foundation/system/unit_startup.h"
#include "foundation/text/code_pages.h"
#include "foundation/text/keyboard_layouts.h"
#include "foundation/text/language_manager.h"
#include "foundation/ui/caret_shapes.h"
#include "foundation/ui/shared_manager_services.h"
#include "platform/win/window_system.h"

namespace qv {

int32_t DefaultEncodingIndex = 6;

namespace {

constexpr int32_t kPointsScratchBytes = 1024;
// The screen the off-screen bitmap is made for when no window system runs.
constexpr int32_t kNoScreenWidth = 1024, kNoScreenHeight = 768;

struct TSharedObjects {
  bool exist = false;
  std::unique_ptr<TServiceBitmap> serviceBitmap;
  std::unique_ptr<TCaretBitmap> caretBitmap;
  TMemory pointsScratch;
};

TSharedObjects& Shared() {
  static TSharedObjects objects;
  return objects;
}

std::unique_ptr<TServiceBitmap> MakeServiceBitmap() {
  if (plat::IsWindowSystemStarted()) return std::make_unique<TServiceBitmap>();
  return std::make_unique<TServiceBitmap>(kNoScreenWidth + 32, kNoScreenHeight + 32);
}

void SetDefaultCodePages() {
  const TDefaultCodePages pages = DefaultCodePagesOf(UserLocaleLanguageId());
  DefaultCharset = pages.Charset;
  DefaultCodePage = pages.CodePage;
  DefaultEncodingIndex = pages.EncodingIndex;
}

void CreateManagers() {
  TSharedManagerServices& higher = SharedManagerServices();
  Shared().caretBitmap = std::make_unique<TCaretBitmap>();
  TFontManagerSetup fonts;
  fonts.PortableFolder = PortableMode ? ProgramFolder : std::string();
  fonts.DefaultCharset = DefaultCharset;
  CreateFontManager(fonts);
  higher.FontManagerCreated();
  GetColorManager();
  higher.CreateStyleManager();
  higher.CreateTabManager();
  GetLayoutManager();
}

}  // namespace

void RegisterSharedManagerServices(std::unique_ptr<TSharedManagerServices> services) {
  RegisterService(std::move(services));
}

TSharedManagerServices& SharedManagerServices() { return Service<TSharedManagerServices>(); }

int32_t EncodingIndexOfCodePage(uint32_t codePage) {
  constexpr int32_t kWindows1252 = 6;
  if (codePage >= 1250 && codePage <= 1257) return static_cast<int32_t>(codePage) - 1246;
  return kWindows1252;
}

TDefaultCodePages DefaultCodePagesOf(int32_t languageId) {
  TDefaultCodePages pages;
  pages.Charset = GetLanguageCharset(languageId, true);
  pages.CodePage = GetLocaleCodePage(languageId);
  if (pages.CodePage == 0) pages.CodePage = CharsetToCodePage(pages.Charset);
  if (pages.CodePage == 0) pages.CodePage = 1252;
  pages.EncodingIndex = EncodingIndexOfCodePage(pages.CodePage);
  return pages;
}

void CreateSharedManagers() {
  TSharedObjects& shared = Shared();
  if (shared.exist) return;
  shared.exist = true;
  // The font substitution table is a constant table searched where it stands: nothing to build.
  shared.pointsScratch.SetLength(kPointsScratchBytes);
  shared.serviceBitmap = MakeServiceBitmap();
  SetDefaultCodePages();
  CreateManagers();
  SharedManagerServices().LoadSharedGlyphs();
}

void FreeSharedManagers() {
  TSharedObjects& shared = Shared();
  if (!shared.exist) return;
  TSharedManagerServices& higher = SharedManagerServices();
  higher.ReleaseCachedUiBitmaps();
  shared.serviceBitmap.reset();
  higher.DeleteSharedUiFonts();
  shared.caretBitmap.reset();
  FreeColorManager();
  higher.FreeStyleManager();
  higher.FreeTabManager();
  FreeLayoutManager();
  FreeFontManager();  // removes a portable copy's own font files from the system
  FreeLangManager();
  higher.FreeSharedGlyphs();
  shared.pointsScratch.SetLength(0);
  shared.exist = false;
}

bool SharedManagersExist() { return Shared().exist; }

TServiceBitmap* ServiceBitmap() { return Shared().serviceBitmap.get(); }

plat::Canvas* ServiceDC() {
  TServiceBitmap* bitmap = ServiceBitmap();
  return bitmap != nullptr ? &bitmap->Canvas() : nullptr;
}

TCaretBitmap* CaretBitmap() { return Shared().caretBitmap.get(); }

TMemory& PointsScratch() { return Shared().pointsScratch; }

}  // namespace qv
