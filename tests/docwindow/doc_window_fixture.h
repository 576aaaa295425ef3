#pragma once
// A document window on the headless backend, inside a host window, with the layout, the editing
// engine and the window's own services registered, the application object's loop delivering
// input, and recorders in place of the shell, the commands, the hot keys, the sounds and the
// message box.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "document/doc.h"
#include "document/doc_builder.h"
#include "document/doc_services.h"
#include "document/layout_services.h"
#include "document/pictures.h"
#include "document/selection_services.h"
#include "document/shape.h"
#include "document/shape_binding.h"
#include "docwindow/doc_form.h"
#include "docwindow/doc_window_registration.h"
#include "docwindow/doc_window_services.h"
#include "editing/edit_layout_hooks.h"
#include "editing/edit_operation_providers.h"
#include "editing/editing_services.h"
#include "foundation/base/memory.h"
#include "foundation/base/service_slot.h"
#include "foundation/fonts/font_manager.h"
#include "foundation/settings/options_holder.h"
#include "foundation/ui/application.h"
#include "foundation/ui/message_dlg_service.h"
#include "layout/inline_shape_service.h"
#include "layout/layout_registration.h"
#include "layout/line_fitter.h"
#include "platform/backend/headless.h"
#include "platform/win/keys.h"
#include "platform/win/window_system.h"

using namespace qv;

namespace dwtest {

// What the window asks of the shell, the command manager, the hot-key manager, the sounds and
// the popups: recorded, with answers the test sets.
class RecWindowServices : public TDocWindowServices {
 public:
  std::vector<int32_t> Commands;
  std::vector<int32_t> ParamCommands;
  std::vector<uint8_t> HotKeys;      // every key offered to the hot-key manager
  std::set<uint8_t> BoundKeys;       // the keys it takes
  std::set<int32_t> Enabled;         // enabled commands
  std::vector<int32_t> Sounds;
  std::vector<int32_t> Repeats;      // events noted for the repeat handling of a held key
  bool Muted = false;
  std::set<int32_t> SchemeSounds;    // events the sound scheme has a sound for
  bool Keystrokes = false;
  bool Full = false;
  uint8_t Mouse = 0;
  bool WordPopup = false;
  int32_t WordAccepted = 0;
  bool SaveSucceeds = true;
  int32_t Saves = 0;
  int32_t Closed = 0;
  TDoc* Active = nullptr;
  bool HasArea = false;
  plat::Size Area;
  int32_t Windows = 0;
  std::u16string Ime;
  bool ImeAvailable = false;

  bool FullScreen() override { return Full; }
  uint32_t FullScreenKeepMask() override { return 0; }
  bool DocumentArea(plat::Size& area, int32_t& windows) override {
    area = Area;
    windows = Windows;
    return HasArea;
  }
  uint8_t MouseMode() override { return Mouse; }
  void SetActiveDocument(TDoc* doc) override { Active = doc; }
  bool CloseDocument(TDoc&) override {
    ++Closed;
    return true;
  }
  bool SaveDocument(TDoc&) override {
    ++Saves;
    return SaveSucceeds;
  }
  void ExecuteCommand(int32_t id) override { Commands.push_back(id); }
  void ExecuteCommandWithParam(int32_t id, const std::u16string&, const void*, int32_t) override {
    ParamCommands.push_back(id);
  }
  bool IsCommandEnabled(int32_t id) override { return Enabled.count(id) != 0; }
  bool HotKeyEvent(uint8_t, uint8_t key, intptr_t) override {
    HotKeys.push_back(key);
    return BoundKeys.count(key) != 0;
  }
  void PlayEventSound(int32_t event) override {
    if (!Muted) Sounds.push_back(event);
  }
  void Mute() override { Muted = true; }
  void Unmute() override { Muted = false; }
  void SetLastSpecialEvent(int32_t event) override { Repeats.push_back(event); }
  bool HasSound(int32_t event) override { return SchemeSounds.count(event) != 0; }
  bool KeystrokeSoundsEnabled() override { return Keystrokes; }
  bool WordCompletionPopupShown() override { return WordPopup; }
  void AcceptWordCompletion(TDoc&) override { ++WordAccepted; }
  bool ImeResultString(std::u16string& text) override {
    if (!ImeAvailable) return false;
    text = Ime;
    Ime.clear();
    return true;
  }
};

// The edit actions the window runs, with their arguments. Text input (13) inserts its bytes at
// the caret for real, so that the caret, the layout and undo follow.
class RecEditProviders : public TEditOperationProviders {
 public:
  struct Call {
    uint8_t Code = 0;
    std::string Text;     // 13: the bytes
    int32_t Flags = 0;    // 13: the flag word
    int32_t Value = 0;    // 46: the character
    std::string Face;     // 46: the font
    uint8_t Kind = 0;     // 46: 0 OEM, 1 ANSI, 2 Unicode
    std::vector<TShape*> Shapes;        // 85: the shapes and their new properties
    std::vector<TShapeProps> ShapeProps;
  };
  std::vector<Call> Calls;

  bool RunOperation(TDoc& doc, uint8_t code, void* const* a, int32_t n) override {
    Call call;
    call.Code = code;
    switch (code) {
      case 13: {
        const auto* text = static_cast<const TMemory*>(a[0]);
        call.Text.assign(reinterpret_cast<const char*>(text->Data), static_cast<size_t>(text->Length));
        call.Flags = n >= 1 ? *static_cast<const int32_t*>(a[1]) : -1;
        EditServices().InsertContent(doc, *text, doc.Caret, doc.StoryOfParagraph(doc.Caret.Par), 0);
        TPostActions& pa = doc.CurrentPostActions();
        pa.Caret = doc.Caret;
        pa.Caret.Offset += text->Length;
        pa.HasCaret = true;
        doc.InvalidateFromParagraph(doc.Caret.Par);
        break;
      }
      case 46:
        call.Value = *static_cast<const int32_t*>(a[0]);
        call.Face = *static_cast<const std::string*>(a[1]);
        call.Kind = *static_cast<const uint8_t*>(a[2]);
        break;
      case 85:
        call.Shapes = *static_cast<const std::vector<TShape*>*>(a[0]);
        if (n >= 2 && *static_cast<const uint8_t*>(a[1]) == 0)
          call.ShapeProps = *static_cast<const std::vector<TShapeProps>*>(a[2]);
        break;
      default:
        break;
    }
    Calls.push_back(call);
    return true;
  }
  std::vector<uint8_t> Codes() const {
    std::vector<uint8_t> codes;
    for (const Call& c : Calls) codes.push_back(c.Code);
    return codes;
  }
};

// Answers every message box with the set result and keeps the texts.
class RecMessageBox : public TMessageDlgService {
 public:
  int32_t Answer = mrCancel;
  std::vector<std::string> Texts;
  int32_t Show(const TMessageDlgInfo& info) override {
    Texts.push_back(info.Text);
    return Answer;
  }
};

class DocWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (FontManager() == nullptr) CreateFontManager(TFontManagerSetup{{}, 0});
  }

  void SetUp() override {
    plat::StartWindowSystem({plat::BackendKind::Headless, true});
    GetApp();
    box.emplace();
    RegisterLayoutServices();
    LayoutLineFitter().Settings = TLayoutSettings{};
    editing.emplace(MakeEditingServices());
    edits.emplace();
    hooks.emplace(MakeDocWindowLayoutHooks());
    selection.emplace(MakeDocWindowSelectionServices());
    services.emplace();
    GetOptionsHolder().Settings.NormalView = TViewSettings{};
    plat::CreateParams p;
    p.bounds = {0, 0, 1000, 800};
    p.style = plat::WS_POPUP | plat::WS_VISIBLE;
    host.Create(p);
    form = std::make_unique<TDocForm>();
    b = std::make_unique<TDocBuilder>(form->Doc());
    b->Font = FontManager()->FontIndex("Liberation Serif", kAnyCharset, true);
  }

  void TearDown() override {
    b.reset();
    form.reset();
    host.Destroy();
    services.reset();
    selection.reset();
    hooks.reset();
    edits.reset();
    editing.reset();
    RegisterPictureDecoder(nullptr);
    RegisterInlineShapeService(nullptr);
    RegisterShapeBinding(nullptr);
    RegisterDocLayoutServices(nullptr);
    RegisterLineFitter(nullptr);
    box.reset();
    FreeApp();
    plat::StopWindowSystem();
  }

  TDoc& Doc() { return form->Doc(); }
  // Finishes the document and shows the window at the host's top-left with the size, focused.
  void Show(int32_t width = 800, int32_t height = 600) {
    if (b) b->Finish();
    ASSERT_TRUE(form->CreateForm(host.Handle(), {0, 0, width, height}));
    plat::SetFocus(form->Handle());
    Pump();
  }
  void Pump() { GetApp().ProcessMessages(); }
  void Press(uint8_t vk, uint8_t shiftBits = 0) {
    plat::headless::PressKey(vk, shiftBits);
    Pump();
  }
  void Type(const std::string& utf8) {
    plat::headless::TypeText(utf8);
    Pump();
  }
  // A plain text of the paragraph (its bytes without tags).
  std::string ParText(int32_t par) {
    const TPar& p = *Doc().Par(par);
    std::string s;
    for (int32_t i = 0; i < p.CharCount(); ++i)
      if (p.CodeAt(i) >= 32) s.push_back(static_cast<char>(p.CodeAt(i)));
    return s;
  }

  std::optional<ScopedService<TMessageDlgService, RecMessageBox>> box;
  std::optional<ScopedService<TEditServices>> editing;
  std::optional<ScopedService<TEditOperationProviders, RecEditProviders>> edits;
  std::optional<ScopedService<TEditLayoutHooks>> hooks;
  std::optional<ScopedService<TSelectionServices>> selection;
  std::optional<ScopedService<TDocWindowServices, RecWindowServices>> services;
  plat::Window host;
  std::unique_ptr<TDocForm> form;
  std::unique_ptr<TDocBuilder> b;
};

}  // namespace dwtest
