// The program's main road on the headless window system: documents named on the command line
// open in their windows, the dispatcher opens, reverts and closes them, a modified document asks
// to be saved, the timers and the idle hook do their work only once the start-up is done, other
// instances hand their files over, and an exception during an edit ends in a recovery copy.
#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/startup.h"
#include "commandbars/hot_key_manager.h"
#include "commands/command_manager.h"
#include "document/doc.h"
#include "document/editing_time_services.h"
#include "docwindow/caret.h"
#include "foundation/base/service_slot.h"
#include "foundation/system/paths.h"
#include "foundation/system/running_instance.h"
#include "foundation/system/unit_startup.h"
#include "foundation/ui/application.h"
#include "foundation/ui/menu_builder.h"
#include "foundation/ui/message_dlg_service.h"
#include "platform/backend/headless.h"
#include "platform/controls/form.h"
#include "platform/win/keys.h"
#include "platform/win/window_system.h"
#include "foundation/settings/options_holder.h"
#include "shell/activity.h"
#include "shell/doc_dispatcher.h"
#include "shell/doc_window_link.h"
#include "shell/exception_hook.h"
#include "shell/main_form.h"
#include "shell/startup_state.h"
#include "shell/status_bar.h"
#include "document/char_format.h"
#include "document/par.h"
#include "support/test_env.h"

using namespace qv;

namespace {

// Plays the user at the message box: records every box and answers from a script (OK for a box
// that only has OK, else Cancel, when the script has run out).
class ScriptedBox : public TMessageDlgService {
 public:
  struct TShown {
    std::string Text;
    uint8_t Kind;
    uint8_t OptionalMsgId;
  };
  std::vector<TShown> Shown;
  std::deque<int32_t> Answers;
  int32_t Show(const TMessageDlgInfo& info) override {
    Shown.push_back({info.Text, info.Kind, info.OptionalMsgId});
    if (!Answers.empty()) {
      const int32_t a = Answers.front();
      Answers.pop_front();
      return a;
    }
    return info.Buttons == ButtonBit(mbOK) ? mrOk : mrCancel;
  }
};

class MainRoad : public ::testing::Test {
 protected:
  void Start(std::vector<std::string> arguments = {}) {
    TStartupOptions options;
    options.Headless = true;
    options.Arguments = std::move(arguments);
    program_.emplace(WithProgramServices(options));
    ASSERT_TRUE(program_->Start());
    // After the application object registered the real box.
    box_.emplace();
    main_ = program_->MainForm();
    dispatcher_ = program_->Dispatcher();
    ASSERT_NE(main_, nullptr);
    ASSERT_NE(dispatcher_, nullptr);
  }
  void TearDown() override {
    box_.reset();  // the application object's box goes with the application object
    if (program_) program_->ShutDown();
    program_.reset();
  }
  void Pump() { GetApp().ProcessMessages(); }
  void Advance(uint64_t ms) {
    plat::headless::AdvanceClock(ms);
    Pump();
  }
  ScriptedBox& Box() { return **box_; }
  std::string TextFile(const std::string& name, const std::string& text) {
    const std::string path = folder_ + "/" + name;
    qvtest::WriteFile(path, text);
    return path;
  }
  static std::string FirstParagraph(TDoc& doc) { return doc.GetRangeText(ParRange(doc, 0)); }
  // The document differs from its file, by changes the undo history no longer holds.
  static void MarkChanged(TDoc& doc) {
    doc.SavePoint = INT32_MIN;
    doc.SetModified(1);
  }
  static std::string FirstParagraphText(TDoc& doc, int32_t par) {
    return doc.GetRangeText(ParRange(doc, par));
  }
  static TDocRange ParRange(TDoc& doc, int32_t par) {
    TDocRange r;
    r.Start = {par, 0, 0, 0};
    r.End = {par, doc.Par(par)->CharCount() - 1, 0, 0};
    return r;
  }

  std::string folder_ = qvtest::MakeTempDir("road");
  std::optional<TProgram> program_;
  std::optional<ScopedService<TMessageDlgService, ScriptedBox>> box_;
  TMainForm* main_ = nullptr;
  TDocDispatcher* dispatcher_ = nullptr;
};

TEST_F(MainRoad, TheCommandLineFilesOpenInOrderInsteadOfANewDocument) {
  const std::string a = TextFile("a.txt", "First file\r\n");
  const std::string b = TextFile("b.txt", "Second file\r\n");
  Start({"-x", a, "--", b});
  ASSERT_EQ(dispatcher_->Count(), 2);
  EXPECT_EQ(dispatcher_->Document(0)->FileName, a);
  EXPECT_EQ(dispatcher_->Document(1)->FileName, b);
  EXPECT_EQ(GetActiveDoc(), dispatcher_->Document(1));
  EXPECT_EQ(FirstParagraph(*dispatcher_->Document(0)), "First file");
  // Each document has its window in the main window's document area.
  TDocWindowLink* window = dispatcher_->WindowOf(GetActiveDoc());
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(plat::IsDescendant(main_->Handle(), window->Handle()));
  // The recent documents start with the last opened.
  EXPECT_EQ(dispatcher_->FileLists[TDocDispatcher::flRecentDocuments].Strings,
            (std::vector<std::string>{b, a}));
}

TEST_F(MainRoad, WithoutFilesANewUntitledDocumentOpensAndAFileOpenedLaterReplacesIt) {
  Start();
  ASSERT_EQ(dispatcher_->Count(), 1);
  TDoc* blank = dispatcher_->Document(0);
  EXPECT_TRUE(blank->NewUntitled);
  EXPECT_EQ(ExtractFileName(blank->FileName).substr(0, 3), "Doc");
  EXPECT_EQ(blank->Modified, 0);
  const std::string a = TextFile("a.txt", "Hello\r\n");
  EXPECT_TRUE(dispatcher_->OpenFile(a));
  ASSERT_EQ(dispatcher_->Count(), 1);
  EXPECT_EQ(dispatcher_->Document(0)->FileName, a);
  // Once a second document was made in the run, the first one is kept.
  EXPECT_TRUE(dispatcher_->NewDocument({}, 0, false));
  EXPECT_TRUE(dispatcher_->OpenFile(TextFile("b.txt", "B\r\n")));
  EXPECT_EQ(dispatcher_->Count(), 3);
}

TEST_F(MainRoad, OpeningAnOpenFileActivatesItAndAsksOnlyWhenItWasChanged) {
  const std::string a = TextFile("a.txt", "Hello\r\n");
  const std::string b = TextFile("b.txt", "Other\r\n");
  Start({a, b});
  TDoc* docA = dispatcher_->Document(0);
  // Unchanged: only activated, nothing asked, nothing new opened.
  EXPECT_FALSE(dispatcher_->OpenDocument(a, 7, 1));
  EXPECT_EQ(GetActiveDoc(), docA);
  EXPECT_TRUE(Box().Shown.empty());
  EXPECT_EQ(dispatcher_->FileLists[TDocDispatcher::flRecentDocuments].Strings.front(), a);
  // Changed: the user is asked whether to go back to the saved file; No keeps the document.
  docA->SetModified(1);
  Box().Answers = {mrNo};
  EXPECT_FALSE(dispatcher_->OpenDocument(a, 7, 1));
  ASSERT_EQ(Box().Shown.size(), 1u);
  EXPECT_EQ(Box().Shown[0].OptionalMsgId, 1);
  EXPECT_NE(Box().Shown[0].Text.find("already being edited"), std::string::npos);
  EXPECT_EQ(dispatcher_->Document(0), docA);
  // Yes reads the file again into a new document.
  Box().Answers = {mrYes};
  EXPECT_TRUE(dispatcher_->OpenDocument(a, 7, 1));
  ASSERT_EQ(dispatcher_->Count(), 2);
  EXPECT_EQ(dispatcher_->Document(1)->FileName, a);
  EXPECT_EQ(dispatcher_->Document(1)->Modified, 0);
}

TEST_F(MainRoad, AFileThatCannotBeReadOpensNothingAndSaysSo) {
  Start();
  const int32_t before = dispatcher_->Count();
  EXPECT_FALSE(dispatcher_->OpenFile(folder_ + "/missing.txt"));
  EXPECT_EQ(dispatcher_->Count(), before);
  ASSERT_EQ(Box().Shown.size(), 1u);  // the open road's own message, once
  EXPECT_EQ(Box().Shown[0].Kind, mkError);
  const auto& recent = dispatcher_->FileLists[TDocDispatcher::flRecentDocuments].Strings;
  EXPECT_EQ(std::find(recent.begin(), recent.end(), folder_ + "/missing.txt"), recent.end());
}

TEST_F(MainRoad, AHundredDocumentsAtMost) {
  Start();
  while (dispatcher_->Count() < TDocDispatcher::kMaxOpenDocuments)
    ASSERT_TRUE(dispatcher_->NewDocument({}, 0, false));
  Box().Shown.clear();
  EXPECT_FALSE(dispatcher_->NewDocument({}, 0, false));
  EXPECT_FALSE(dispatcher_->OpenFile(TextFile("a.txt", "A\r\n")));
  EXPECT_EQ(dispatcher_->Count(), 100);
  ASSERT_EQ(Box().Shown.size(), 2u);
  EXPECT_EQ(Box().Shown[0].Text.substr(0, 16), "No more than 100");
  // A full instance takes no files from another start.
  EXPECT_EQ(main_->WMInstanceMessage(irMayTakeFiles, {}), 0);
}

TEST_F(MainRoad, ClosingAModifiedDocumentAsksToSaveItAndTheFileReadsBackEqual) {
  Start({TextFile("a.txt", "Some text\r\n")});
  TDoc* doc = GetActiveDoc();
  ASSERT_NE(doc, nullptr);
  // Behind its save point under a new name; the undo history itself holds nothing.
  const std::string saved = folder_ + "/saved.txt";
  doc->FileName = saved;
  MarkChanged(*doc);
  ASSERT_TRUE(doc->UndoList.empty());
  // Cancel keeps it open.
  Box().Answers = {mrCancel};
  EXPECT_FALSE(dispatcher_->QueryCloseDocument(doc));
  ASSERT_EQ(Box().Shown.size(), 1u);
  EXPECT_EQ(Box().Shown[0].Text, "Document \"saved.txt\" has been modified. Save changes?");
  EXPECT_EQ(Box().Shown[0].OptionalMsgId, 6);
  EXPECT_EQ(dispatcher_->Count(), 1);
  // Yes saves it to its file and closes it.
  Box().Answers = {mrYes};
  EXPECT_TRUE(dispatcher_->QueryCloseDocument(doc));
  EXPECT_EQ(dispatcher_->Count(), 0);
  EXPECT_EQ(GetActiveDoc(), nullptr);
  ASSERT_TRUE(dispatcher_->OpenFile(saved));
  EXPECT_EQ(FirstParagraph(*GetActiveDoc()), "Some text");
  EXPECT_EQ(GetActiveDoc()->Modified, 0);
}

// The whole road: a file named on the command line opens in its window, the keys and characters
// typed go through the loop into the document with the caret followed into view, the typing is
// undone and typed again, and closing asks to save; the file then reads back with the typing.
TEST_F(MainRoad, AFileTypedIntoAndSavedOnCloseReadsBackEqual) {
  std::string text;
  for (int i = 1; i <= 150; ++i) text += "Line " + std::to_string(i) + "\r\n";
  const std::string path = TextFile("letter.txt", text);
  Start({path});
  plat::SendMessage(main_->Handle(), TMainForm::WM_STARTUPDONE);
  Pump();
  TDoc* doc = GetActiveDoc();
  ASSERT_NE(doc, nullptr);
  TDocWindowLink* window = dispatcher_->WindowOf(doc);
  ASSERT_NE(window, nullptr);
  plat::SetFocus(window->Handle());
  Pump();
  // Ctrl+End, then up to the last line of text: far below the first screen.
  plat::headless::PressKey(plat::VK_END, plat::ssCtrl);
  plat::headless::PressKey(plat::VK_UP);
  plat::headless::PressKey(plat::VK_END);
  Pump();
  const int32_t par = doc->Caret.Par;
  EXPECT_EQ(FirstParagraphText(*doc, par), "Line 150");
  EXPECT_GT(doc->View.ScrollPos.y, 0);
  EXPECT_TRUE(IsCaretVisible(*doc));
  plat::headless::TypeText(" and more");
  Pump();
  main_->AppIdle();
  EXPECT_EQ(FirstParagraphText(*doc, par), "Line 150 and more");
  EXPECT_EQ(doc->Caret.Offset, 17);
  EXPECT_TRUE(IsCaretVisible(*doc));
  EXPECT_EQ(doc->Modified, 1);
  // The typing goes back word by word, to the file's own state.
  for (int i = 0; i < 10 && doc->UndoPosition >= 0; ++i) doc->Undo();
  EXPECT_EQ(FirstParagraphText(*doc, par), "Line 150");
  EXPECT_EQ(doc->Modified, 0);
  plat::headless::TypeText("!");
  Pump();
  // Closing the main window asks to save; Yes saves and the program ends.
  Box().Answers = {mrYes};
  main_->Close();
  ASSERT_EQ(Box().Shown.size(), 1u);
  EXPECT_EQ(Box().Shown[0].Text, "Document \"letter.txt\" has been modified. Save changes?");
  EXPECT_TRUE(GetApp().Terminated);
  const std::string saved = qvtest::ReadFile(path);
  EXPECT_NE(saved.find("Line 150!\r\n"), std::string::npos) << saved.substr(saved.size() - 40);
  EXPECT_EQ(saved.substr(0, 14), "Line 1\r\nLine 2");
}

// The main window's status bar shows the active document's panels after each interface update,
// and a long job's progress or a message in their place while they last.
TEST_F(MainRoad, TheStatusBarShowsTheActiveDocumentAndTheProgressOfLongJobs) {
  Start({TextFile("a.txt", "Three short words\r\n")});
  plat::SendMessage(main_->Handle(), TMainForm::WM_STARTUPDONE);
  Pump();
  main_->UpdateInterfaceState();
  TStatusBar& bar = main_->StatusBar();
  EXPECT_TRUE(bar.Visible());
  EXPECT_EQ(bar.Parent(), main_);
  EXPECT_EQ(bar.MessageKind(), TStatusBar::kNoMessage);
  EXPECT_EQ(bar.Panel(TStatusBar::spWords).Text, u"Words: 3");
  EXPECT_EQ(bar.Panel(TStatusBar::spInsert).Text, u"Ins");
  GetActiveDoc()->SetModified(1);
  main_->UpdateInterfaceState();
  EXPECT_EQ(bar.Panel(TStatusBar::spModified).Text, u"Modified");
  main_->BeginProgress(200, "Saving");
  main_->SetProgressPos(100);
  EXPECT_EQ(bar.MessageKind(), TStatusBar::kProgress);
  EXPECT_EQ(bar.MessageText(), u"Saving");
  EXPECT_EQ(bar.ProgressBlocks(), 10);
  main_->EndProgress(true);
  EXPECT_EQ(bar.MessageKind(), TStatusBar::kNoMessage);
  main_->SetStatusMessage("Reading");
  EXPECT_EQ(bar.MessageKind(), TStatusBar::kMessage);
  EXPECT_EQ(bar.MessageText(), u"Reading");
  main_->SetStatusMessage("");
  EXPECT_EQ(bar.MessageKind(), TStatusBar::kNoMessage);
}

// A message box or dialog takes the keyboard while it is open; once it has closed, what is typed
// goes into the active document again.
TEST_F(MainRoad, AfterAModalWindowTheTypingGoesBackIntoTheDocument) {
  Start({TextFile("a.txt", "Text\r\n")});
  plat::SendMessage(main_->Handle(), TMainForm::WM_STARTUPDONE);
  Pump();
  TDoc* doc = GetActiveDoc();
  const plat::Hwnd window = dispatcher_->WindowOf(doc)->Handle();
  ASSERT_EQ(plat::GetFocus(), window);
  {
    plat::Form box;  // a box answered as soon as it shows
    box.SetBounds(10, 10, 200, 100);
    box.OnShow = [](plat::Form& f) { f.SetModalResult(plat::mrCancel); };
    box.ShowModal();
  }
  Pump();
  EXPECT_EQ(plat::GetFocus(), window);
  plat::headless::TypeText("New ");
  Pump();
  EXPECT_EQ(FirstParagraph(*doc), "New Text");
}

// The editing keys reach their commands through the hot-key manager: Enter, Backspace, Ctrl+Z
// and Ctrl+Y, Alt+Backspace, and a chord (Ctrl+K, Y deletes the line); characters beyond ASCII
// are typed whole.
TEST_F(MainRoad, TheEditingKeysRunTheirCommandsInTheDocument) {
  Start();
  plat::SendMessage(main_->Handle(), TMainForm::WM_STARTUPDONE);
  Pump();
  TDoc* doc = GetActiveDoc();
  ASSERT_NE(doc, nullptr);
  ASSERT_EQ(plat::GetFocus(), dispatcher_->WindowOf(doc)->Handle());
  using namespace plat::headless;
  TypeText("One");
  PressKey(plat::VK_RETURN);
  TypeText("Twx");
  PressKey(plat::VK_BACK);
  TypeText("o a\u03A9\u0416b");
  Pump();
  ASSERT_EQ(doc->ParCount(), 2);
  EXPECT_EQ(FirstParagraphText(*doc, 0), "One");
  EXPECT_EQ(doc->GetRangeWideText(ParRange(*doc, 1), 0), u"Two a\u03A9\u0416b");
  // Shift+Home selects the line; typing replaces it; Ctrl+Z takes that back, Ctrl+Y does it
  // again and Alt+Backspace undoes it once more.
  PressKey(plat::VK_HOME, plat::ssShift);
  Pump();
  EXPECT_TRUE(doc->HasSelection());
  TypeText("X");
  Pump();
  EXPECT_EQ(FirstParagraphText(*doc, 1), "X");
  PressKey('Z', plat::ssCtrl);
  Pump();
  EXPECT_EQ(doc->GetRangeWideText(ParRange(*doc, 1), 0), u"Two a\u03A9\u0416b");
  PressKey('Y', plat::ssCtrl);
  Pump();
  EXPECT_EQ(FirstParagraphText(*doc, 1), "X");
  PressKey(plat::VK_BACK, plat::ssAlt);
  Pump();
  EXPECT_EQ(doc->GetRangeWideText(ParRange(*doc, 1), 0), u"Two a\u03A9\u0416b");
  // Ctrl+K, then Y: the chord deletes the caret's line.
  PressKey(plat::VK_END);
  PressKey('K', plat::ssCtrl);
  PressKey('Y', plat::ssCtrl);
  Pump();
  EXPECT_EQ(FirstParagraphText(*doc, 0), "One");
  EXPECT_TRUE(doc->ParCount() == 1 || FirstParagraphText(*doc, 1).empty());
  // Ctrl+K, then an unbound key: the key and the character it typed are swallowed; the next
  // key types again.
  PressKey(plat::VK_END);
  PressKey('K', plat::ssCtrl);
  KeyDown('Q');
  TypeText("q");
  KeyUp('Q');
  TypeText("r");
  Pump();
  EXPECT_EQ(FirstParagraphText(*doc, doc->ParCount() - 1), "r");
  EXPECT_TRUE(Box().Shown.empty());
}

// With every document closed the main window takes the keys: Ctrl+N makes a new document.
TEST_F(MainRoad, WithoutDocumentsTheMainWindowRunsTheHotKeys) {
  Start({TextFile("a.txt", "Text\r\n")});
  plat::SendMessage(main_->Handle(), TMainForm::WM_STARTUPDONE);
  Pump();
  plat::headless::PressKey('W', plat::ssCtrl);
  Pump();
  ASSERT_EQ(dispatcher_->Count(), 0);
  plat::headless::PressKey('N', plat::ssCtrl);
  Pump();
  EXPECT_EQ(dispatcher_->Count(), 1);
}

// Menus and hints name each command's first key; a command the user took every key from names
// none.
TEST_F(MainRoad, CommandsShowTheirFirstKey) {
  Start();
  TCommandManager& commands = GetCommandManager();
  EXPECT_EQ(commands.GetShortcutText(3860), "Ctrl+Y");
  EXPECT_EQ(commands.GetShortcutText(3280), "Ctrl+K, Y");
  EXPECT_EQ(commands.GetShortcutText(206100), "Ctrl+K, Z");  // the zoom box, by its twin
  EXPECT_EQ(commands.GetShortcutText(9001), "");  // bound to no key
  GetHotKeyManager().SetCommandKeys(3860, {});
  EXPECT_EQ(commands.GetShortcutText(3860), "");
}

// In a new document the text typed before and after Enter has one format.
TEST_F(MainRoad, TheParagraphAfterEnterKeepsTheTypingFormat) {
  Start();
  plat::SendMessage(main_->Handle(), TMainForm::WM_STARTUPDONE);
  Pump();
  TDoc* doc = GetActiveDoc();
  ASSERT_NE(doc, nullptr);
  plat::headless::TypeText("One");
  plat::headless::PressKey(plat::VK_RETURN);
  plat::headless::TypeText("Two");
  Pump();
  ASSERT_EQ(doc->ParCount(), 2);
  TCharFormat first, second;
  doc->Par(0)->GetCharFormatAt(0, first);
  doc->Par(1)->GetCharFormatAt(0, second);
  EXPECT_EQ(second.Font, first.Font);
  EXPECT_EQ(second.Size, first.Size);
}

TEST_F(MainRoad, AnUnmodifiedDocumentClosesWithoutAQuestion) {
  Start({TextFile("a.txt", "Text\r\n")});
  EXPECT_TRUE(dispatcher_->QueryCloseDocument(GetActiveDoc()));
  EXPECT_TRUE(Box().Shown.empty());
}

TEST_F(MainRoad, TheFileCommandsActOnTheDispatchersDocuments) {
  const std::string a = TextFile("a.txt", "Text\r\n");
  Start({a});
  TCommandManager& commands = GetCommandManager();
  commands.Execute(100);  // New
  ASSERT_EQ(dispatcher_->Count(), 2);
  EXPECT_TRUE(GetActiveDoc()->NewUntitled);
  commands.Execute(140);  // Close: the new, untouched document goes without a question
  EXPECT_EQ(dispatcher_->Count(), 1);
  EXPECT_EQ(GetActiveDoc()->FileName, a);
  MarkChanged(*GetActiveDoc());
  Box().Answers = {mrNo};
  commands.Execute(140);
  EXPECT_EQ(Box().Shown.size(), 1u);
  EXPECT_EQ(dispatcher_->Count(), 0);
  EXPECT_EQ(qvtest::ReadFile(a), "Text\r\n");
  EXPECT_FALSE(commands.IsEnabled(140));  // nothing left to close
}

TEST_F(MainRoad, ClosingTheMainWindowAsksEveryDocumentFirst) {
  Start({TextFile("a.txt", "Text\r\n")});
  MarkChanged(*GetActiveDoc());
  Box().Answers = {mrCancel};
  main_->Close();
  EXPECT_FALSE(GetApp().Terminated);
  EXPECT_TRUE(plat::IsWindowVisible(main_->Handle()));
  Box().Answers = {mrNo};
  main_->Close();
  EXPECT_TRUE(GetApp().Terminated);
}

TEST_F(MainRoad, TheEndOfTheSessionWaitsForEveryDocumentsAnswer) {
  Start({TextFile("a.txt", "Text\r\n"), TextFile("b.txt", "More\r\n")});
  MarkChanged(*dispatcher_->Document(0));
  Box().Answers = {mrCancel};
  EXPECT_EQ(plat::SendMessage(main_->Handle(), plat::WM_QUERYENDSESSION), 0);
  EXPECT_EQ(dispatcher_->Count(), 2);
  Box().Answers = {mrNo};
  EXPECT_EQ(plat::SendMessage(main_->Handle(), plat::WM_QUERYENDSESSION), 1);
  EXPECT_EQ(dispatcher_->Count(), 0);
}

TEST_F(MainRoad, EditingTimeRecordsAreKeptWithTheSettingsByPath) {
  Start();
  TEditingTimeList& list = EditingTimeList();
  list.Store("/b.rtf", {60, 5, 100});
  list.Store("/a.rtf", {30, 2, 90});
  list.Store("/b.rtf", {61, 6, 101});
  TEditingTimeRecord r;
  ASSERT_TRUE(list.Find("/b.rtf", r));
  EXPECT_EQ(r.Seconds, 61);
  EXPECT_EQ(r.TypedChars, 6);
  EXPECT_FALSE(list.Find("/c.rtf", r));
  const std::vector<TWritingDataEntry>& kept = GetOptions().WritingData;
  ASSERT_EQ(kept.size(), 2u);
  EXPECT_EQ(kept[0].Name, "/a.rtf");  // sorted, as the settings store them
  EXPECT_EQ(kept[1].Data.DayIndex, 101);
}

TEST_F(MainRoad, DocumentCaptionsCarryOneMarkOnly) {
  const std::string a = TextFile("a.txt", "Text\r\n");
  Start({a});
  TDocFileState& state = GetActiveDoc()->FileState;
  const struct {
    bool copy, readOnly, restored;
    const char16_t* caption;
  } cases[] = {
      {false, false, false, u"a.txt"},
      {false, false, true, u"a.txt (restored)"},
      {false, true, true, u"a.txt (read-only)"},
      {true, true, true, u"a.txt (copy)"},
  };
  for (const auto& c : cases) {
    state.WorkingCopy = c.copy;
    state.ReadOnly = c.readOnly;
    state.RestoredFromSafeCopy = c.restored;
    EXPECT_EQ(dispatcher_->DocumentCaption(*GetActiveDoc()), c.caption);
  }
}

TEST_F(MainRoad, NoTimerOrIdleWorkBeforeTheStartUpIsDone) {
  // Enough text for more than one page.
  std::string text;
  for (int i = 0; i < 400; ++i) text += "Line " + std::to_string(i) + "\r\n";
  Start({TextFile("long.txt", text)});
  TDoc* doc = GetActiveDoc();
  doc->DiscardPages();
  ASSERT_TRUE(StartingUp);
  main_->RequestInterfaceUpdate();
  main_->WMTimer(TMainForm::tmPagination);
  main_->AppIdle();
  EXPECT_EQ(doc->PageCount(), 0);
  EXPECT_TRUE(main_->UpdatePending);
  // The start-up-done message ends the start-up; the next idle pass runs the update.
  plat::SendMessage(main_->Handle(), TMainForm::WM_STARTUPDONE);
  EXPECT_FALSE(StartingUp);
  main_->AppIdle();
  EXPECT_FALSE(main_->UpdatePending);
}

TEST_F(MainRoad, BackgroundPaginationWaitsForAPauseAndWorksInSlices) {
  std::string text;
  for (int i = 0; i < 3000; ++i) text += "Line " + std::to_string(i) + "\r\n";
  Start();
  plat::SendMessage(main_->Handle(), TMainForm::WM_STARTUPDONE);
  GetOptions().NewDocParams.ViewModeTXT = vmPrintLayout;  // pages as they print
  ASSERT_TRUE(dispatcher_->OpenFile(TextFile("long.txt", text)));
  TDoc* doc = GetActiveDoc();
  doc->DiscardPages();
  MarkUserActivity();
  main_->WMTimer(TMainForm::tmPagination);
  EXPECT_EQ(doc->PageCount(), 0);  // the user was just active
  plat::headless::AdvanceClock(300);
  main_->WMTimer(TMainForm::tmPagination);
  EXPECT_GE(doc->PageCount(), 5);
  for (int i = 0; i < 1000 && !doc->Layout.LaidOutToEnd; ++i)
    main_->WMTimer(TMainForm::tmPagination);
  EXPECT_TRUE(doc->Layout.LaidOutToEnd);
  EXPECT_GT(doc->PageCount(), 20);
  // The view takes the new pages: it reaches below the first page.
  EXPECT_GT(doc->View.Extent.cy, 20 * 400);
}

// The backups of a document: the files in the backup folder named after it.
std::vector<std::string> BackupsOf(const std::string& name) {
  std::vector<std::string> found;
  std::error_code ec;
  const std::string folder = GetOptionsHolder().Settings.BackupFolder;
  for (const auto& e : std::filesystem::recursive_directory_iterator(folder, ec))
    if (e.is_regular_file() && e.path().filename().string().rfind(name + " ", 0) == 0)
      found.push_back(e.path().string());
  return found;
}

TEST_F(MainRoad, TheHousekeepingTimerBacksUpModifiedDocumentsAndWritesSafeCopies) {
  const std::string a = TextFile("a.txt", "Alpha\r\n");
  const std::string b = TextFile("b.txt", "Beta\r\n");
  Start({a, b});
  plat::SendMessage(main_->Handle(), TMainForm::WM_STARTUPDONE);
  TDoc* docB = GetActiveDoc();
  docB->SetModified(1);  // b only
  docB->UndoPosition = 0;
  GetOptions().LoadSave.Flags |= 0x10;       // backups on
  GetOptions().LoadSave.Backup_MinDiff = 0;  // one minute
  GetOptions().LoadSave.AutoSave = 2;        // minutes
  main_->WMTimer(TMainForm::tmHousekeeping);
  EXPECT_TRUE(BackupsOf("b").empty());
  plat::headless::AdvanceClock(60001);
  main_->WMTimer(TMainForm::tmHousekeeping);
  const std::vector<std::string> backups = BackupsOf("b");
  ASSERT_EQ(backups.size(), 1u);
  EXPECT_EQ(qvtest::ReadFile(backups[0]), "Beta\r\n");
  EXPECT_TRUE(BackupsOf("a").empty());
  EXPECT_FALSE(docB->FileState.SafeCopyExists);
  // Unchanged since its backup: not again.
  plat::headless::AdvanceClock(60001);
  main_->WMTimer(TMainForm::tmHousekeeping);
  EXPECT_EQ(BackupsOf("b").size(), 1u);
  // Two minutes after the last round the modified document gets its Safe Copy.
  EXPECT_TRUE(docB->FileState.SafeCopyExists);
  EXPECT_FALSE(dispatcher_->Document(0)->FileState.SafeCopyExists);
  const std::string safeCopy = docB->FileState.SafeCopyName;
  EXPECT_TRUE(FileExists(safeCopy));
  // Closing the document (without saving it) takes its Safe Copy away.
  Box().Answers = {mrNo};
  EXPECT_TRUE(dispatcher_->QueryCloseDocument(docB));
  EXPECT_FALSE(FileExists(safeCopy));
}

TEST_F(MainRoad, AnotherStartHandsItsFilesOverInOrder) {
  Start();
  const std::string files[] = {TextFile("1.txt", "One\r\n"), TextFile("2.txt", "Two\r\n"),
                               TextFile("3.txt", "Three\r\n")};
  EXPECT_EQ(main_->WMInstanceMessage(irMayTakeFiles, {}), 1);
  for (const std::string& f : files) EXPECT_EQ(main_->WMInstanceMessage(irOpenFile, f), 1);
  EXPECT_EQ(main_->WMInstanceMessage(irOpenFile, folder_ + "/none.txt"), 0);
  ASSERT_EQ(dispatcher_->Count(), 3);  // the start-up blank gave way to the first
  for (int32_t i = 0; i < 3; ++i) EXPECT_EQ(dispatcher_->Document(i)->FileName, files[i]);
  EXPECT_EQ(main_->WMInstanceMessage(irIsFactoryTestCopy, {}), 0);
  EXPECT_EQ(main_->WMInstanceMessage(7, {}), 0);
  // With a modal window above it the instance takes nothing.
  plat::EnableWindow(main_->Handle(), false);
  EXPECT_EQ(main_->WMInstanceMessage(irMayTakeFiles, {}), 0);
  plat::EnableWindow(main_->Handle(), true);
}

TEST_F(MainRoad, AnInstanceStartedToPrintRefusesEveryRequest) {
  Start({"-dls", "-dss"});
  EXPECT_EQ(main_->WMInstanceMessage(irIsFactoryTestCopy, {}), 1);
  CommandLineAction = 2;
  EXPECT_EQ(main_->WMInstanceMessage(irMayTakeFiles, {}), 0);
  EXPECT_EQ(main_->WMInstanceMessage(irIsFactoryTestCopy, {}), 0);
  CommandLineAction = 0;
}

TEST_F(MainRoad, TheShutDownSwitchClosesTheProgramRightAfterTheStartUp) {
  Start({"-sd", folder_ + "/not-a-file.txt"});
  EXPECT_EQ(dispatcher_->Count(), 1);  // the value after "-sd" is no file: a new document
  Pump();
  EXPECT_TRUE(GetApp().Terminated);
}

TEST_F(MainRoad, AnExceptionOutsideAnEditIsOnlyShown) {
  Start({TextFile("a.txt", "Text\r\n")});
  main_->AppException(std::runtime_error("boom"));
  ASSERT_EQ(Box().Shown.size(), 1u);
  EXPECT_EQ(Box().Shown[0].Text, "Exception:\rboom");
  EXPECT_EQ(dispatcher_->Count(), 1);
}

TEST_F(MainRoad, AnExceptionDuringAnEditClosesTheDocumentAfterARecoveryCopy) {
  const std::string a = TextFile("a.txt", "Good text\r\n");
  Start({a});
  TDoc* doc = GetActiveDoc();
  doc->SetModified(1);
  doc->EnterCriticalEdit();  // an edit under way that could not be taken back
  Box().Answers = {mrOk, mrYes, mrOk};
  main_->AppException(std::runtime_error("Broken record"));
  ASSERT_EQ(Box().Shown.size(), 3u);
  EXPECT_EQ(Box().Shown[0].Text, "Broken record. Document \"" + a + "\" will be closed.");
  EXPECT_EQ(Box().Shown[1].Kind, mkError);
  // The copy lies in the recovery folder, never over the document's own file.
  const std::string copy = RecoveryFolder() + "a_Emergency saving.txt";
  EXPECT_NE(Box().Shown[2].Text.find(copy), std::string::npos);
  EXPECT_EQ(qvtest::ReadFile(copy), "Good text\r\n");
  EXPECT_EQ(qvtest::ReadFile(a), "Good text\r\n");
  EXPECT_EQ(dispatcher_->Count(), 0);
  EXPECT_EQ(CriticalEditCount(), 0);
  EXPECT_FALSE(EmergencyHandling);
  EXPECT_EQ(main_->GetWindowState(), plat::WindowState::Normal);
  // A second emergency of the same name does not write over the first copy.
  EXPECT_EQ(RecoveryCopyName(RecoveryFolder(), a, ".txt"),
            RecoveryFolder() + "a_Emergency saving (2).txt");
}

TEST_F(MainRoad, AnExceptionDuringTheEmergencyIsOnlyShown) {
  Start({TextFile("a.txt", "Text\r\n")});
  GetActiveDoc()->EnterCriticalEdit();
  EmergencyHandling = true;
  main_->AppException(std::runtime_error("again"));
  EmergencyHandling = false;
  ASSERT_EQ(Box().Shown.size(), 1u);
  EXPECT_EQ(Box().Shown[0].Text, "Exception:\ragain");
  EXPECT_EQ(dispatcher_->Count(), 1);
  while (CriticalEditCount() > 0) GetActiveDoc()->LeaveCriticalEdit();
}

TEST_F(MainRoad, MainWindowPlacementAndNotifications) {
  Start();
  // A form placed at the bottom with n = 0 ends on the main window's bottom edge.
  const plat::Rect main{100, 50, 900, 650};
  EXPECT_EQ(TMainForm::BottomPlacement(main, {200, 100}, 0, 22), (plat::Rect{400, 550, 600, 650}));
  EXPECT_EQ(TMainForm::BottomPlacement(main, {200, 100}, 2, 22), (plat::Rect{400, 506, 600, 606}));
  // The monitor of the window is the one its centre lies on, also left of or above the first.
  const struct {
    plat::Rect window;
    plat::Rect monitor;
  } monitors[] = {
      {{100, 100, 500, 400}, {0, 0, 1920, 1080}},
      {{1800, 0, 2400, 600}, {1920, 0, 3840, 1080}},
      {{-900, -200, -100, 300}, {-1920, 0, 0, 1080}},
      {{-10, -700, 10, -300}, {0, -1080, 1920, 0}},
  };
  for (const auto& m : monitors)
    EXPECT_EQ(TMainForm::MonitorOf(m.window, {1920, 1080}), m.monitor) << m.window.left;
  // The clipboard-viewer chain: the viewer after a leaving one follows; never the window itself.
  main_->NextClipboardViewer = 77;
  plat::SendMessage(main_->Handle(), TMainForm::WM_CHANGECBCHAIN, 77, 78);
  EXPECT_EQ(main_->NextClipboardViewer, 78u);
  plat::SendMessage(main_->Handle(), TMainForm::WM_CHANGECBCHAIN, 78, main_->Handle());
  EXPECT_EQ(main_->NextClipboardViewer, 0u);
}

TEST_F(MainRoad, PopupMenusAreMadeOnceByNameInTheirSlots) {
  Start();
  plat::PopupMenu* bar = main_->GetPopupMenu("TBAR");  // made with the main window's menus
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(main_->GetPopupMenu("TBAR"), bar);
  plat::PopupMenu* paste = main_->GetPopupMenu("PASTEOPTIONS");
  ASSERT_NE(paste, nullptr);
  EXPECT_NE(paste, bar);
  EXPECT_GT(paste->Items().Count(), 0);
  // 27 slots in all beside the main menu; three hold the bars' menus, one the paste options.
  for (int32_t i = 0; i < TMainForm::kMenuSlots - 5; ++i)
    EXPECT_NE(main_->GetPopupMenu("M" + std::to_string(i)), nullptr);
  EXPECT_EQ(main_->GetPopupMenu("ONE TOO MANY"), nullptr);
  EXPECT_EQ(main_->GetPopupMenu("PASTEOPTIONS"), paste);
}

// A window that records the keys it gets.
class KeyRecorder : public plat::Window {
 public:
  std::vector<std::pair<uint32_t, uintptr_t>> Keys;
  intptr_t WndProc(uint32_t msg, uintptr_t wParam, intptr_t lParam) override {
    if (msg == plat::WM_KEYDOWN || msg == plat::WM_KEYUP) Keys.emplace_back(msg, wParam);
    return Window::WndProc(msg, wParam, lParam);
  }
};

TEST_F(MainRoad, TheEscapeHotKeyWithoutACaptureSendsOneEscapeToTheFocusedWindow) {
  Start();
  KeyRecorder recorder;
  plat::CreateParams p;
  p.parent = main_->Handle();
  p.bounds = {0, 0, 10, 10};
  p.style = plat::WS_CHILD | plat::WS_VISIBLE;
  ASSERT_TRUE(recorder.Create(p));
  plat::SetFocus(recorder.Handle());
  plat::SendMessage(main_->Handle(), plat::WM_HOTKEY, TMainForm::kEscapeHotKey);
  EXPECT_EQ(recorder.Keys, (std::vector<std::pair<uint32_t, uintptr_t>>{
                               {plat::WM_KEYDOWN, plat::VK_ESCAPE},
                               {plat::WM_KEYUP, plat::VK_ESCAPE}}));
}

// The Format keys act on the caret's paragraph, each as one undo step.
TEST_F(MainRoad, TheParagraphKeysFormatTheCaretsParagraph) {
  Start();
  plat::SendMessage(main_->Handle(), TMainForm::WM_STARTUPDONE);
  Pump();
  TDoc* doc = GetActiveDoc();
  ASSERT_NE(doc, nullptr);
  using namespace plat::headless;
  TypeText("One");
  Pump();
  const TParFormat& f = doc->Par(0)->Format;
  PressKey('E', plat::ssCtrl);  // centre
  Pump();
  EXPECT_EQ(f.Alignment, 1);
  PressKey('2', plat::ssCtrl);  // double spacing
  Pump();
  EXPECT_EQ(f.LineSpacing, 480);
  PressKey('M', plat::ssCtrl);  // indent
  Pump();
  EXPECT_EQ(f.LeftIndent, 360);
  PressKey('B', plat::ssCtrl | plat::ssShift);  // bullets
  Pump();
  EXPECT_GT(+f.List, 0);
  for (int i = 0; i < 2; ++i) PressKey('Z', plat::ssCtrl);
  Pump();
  EXPECT_LE(f.List, 0);
  EXPECT_EQ(f.LeftIndent, 0);
  EXPECT_EQ(f.Alignment, 1);
  EXPECT_EQ(FirstParagraphText(*doc, 0), "One");
  EXPECT_TRUE(Box().Shown.empty());
}

}  // namespace

// The Format keys reach the font commands: Ctrl+B, Ctrl+I and Ctrl+U format the selection, each
// as one undo step, and toggle back; at the caret they format what is typed next; Ctrl+= makes
// subscript, Ctrl+] grows the size, Ctrl+Space resets the font format.
TEST_F(MainRoad, TheFormatKeysFormatTheSelectionAndTheTyping) {
  Start();
  plat::SendMessage(main_->Handle(), TMainForm::WM_STARTUPDONE);
  Pump();
  TDoc* doc = GetActiveDoc();
  ASSERT_NE(doc, nullptr);
  using namespace plat::headless;
  TypeText("One two");
  PressKey(plat::VK_HOME, plat::ssShift);
  Pump();
  ASSERT_TRUE(doc->HasSelection());
  auto at = [doc](int32_t offset) {
    TCharFormat f;
    doc->Par(0)->GetCharFormatAt(offset, f);
    return f;
  };
  const int32_t undoBefore = doc->UndoPosition;
  PressKey('B', plat::ssCtrl);
  PressKey('I', plat::ssCtrl);
  PressKey('U', plat::ssCtrl);
  Pump();
  EXPECT_EQ(doc->UndoPosition, undoBefore + 3);
  for (int32_t i = 0; i < 7; ++i) {
    EXPECT_EQ(at(i).Bold, 1) << i;
    EXPECT_EQ(at(i).Italic, 1) << i;
    EXPECT_EQ(at(i).Underline, 1) << i;
  }
  PressKey('B', plat::ssCtrl);
  Pump();
  EXPECT_EQ(at(3).Bold, 0);
  PressKey('Z', plat::ssCtrl);
  Pump();
  EXPECT_EQ(at(3).Bold, 1);
  const int32_t size = at(0).Size;
  PressKey(0xDD, plat::ssCtrl);  // Ctrl+]
  PressKey(0xBB, plat::ssCtrl);  // Ctrl+=
  Pump();
  EXPECT_EQ(at(0).Size, size + 2);
  EXPECT_EQ(at(0).Script, 2);
  PressKey(plat::VK_SPACE, plat::ssCtrl);
  Pump();
  EXPECT_EQ(at(0).Bold, 0);
  EXPECT_EQ(at(0).Script, 0);
  // The Format menu's Italic item runs the same command.
  plat::MenuItem* italic = FindMenuItem(main_->MainMenu(), 12140);
  ASSERT_NE(italic, nullptr);
  italic->Click();
  Pump();
  EXPECT_EQ(at(0).Italic, 1);
  // At the end of the text: Ctrl+B, then typing.
  PressKey(plat::VK_END);
  PressKey('B', plat::ssCtrl);
  TypeText("x");
  Pump();
  EXPECT_EQ(FirstParagraph(*doc), "One twox");
  EXPECT_EQ(at(7).Bold, 1);
  EXPECT_EQ(at(6).Bold, 0);
  EXPECT_TRUE(Box().Shown.empty());
}
