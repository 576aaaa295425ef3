#include "docwindow/doc_form.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "document/doc_services.h"
#include "document/par.h"
#include "editing/operation.h"
#include "editing/undo_stack.h"
#include "support/test_env.h"
#include "doc_window_fixture.h"

using namespace qv;

namespace {

class DocFormTest : public dwtest::DocWindowTest {
 protected:
  dwtest::RecWindowServices& S() { return *(*services); }
  dwtest::RecMessageBox& Box() { return *(*box); }
  // One typed character: an operation in the undo list, the document modified.
  void TypeOne(char c) { Type(std::string(1, c)); }
  void Name(int32_t index, uint8_t nameIndex) {
    TOperation* op = OperationAt(Doc(), index);
    ASSERT_NE(op, nullptr);
    op->NameIndex = nameIndex;
  }
};

TEST_F(DocFormTest, TheCloseQueryAsksToSaveAModifiedDocument) {
  b->Add("");
  Show();
  Doc().FileName = "/tmp/letter.rtf";
  // Unmodified: it closes without a question.
  EXPECT_TRUE(form->FormCloseQuery());
  EXPECT_TRUE(Box().Texts.empty());
  TypeOne('a');
  ASSERT_EQ(Doc().Modified, 1);
  struct Case {
    const char* name;
    int32_t answer;
    bool saves;
    bool closes;
  };
  for (const Case& c : {Case{"cancel", mrCancel, true, false}, Case{"yes, saving fails", mrYes, false, false},
                        Case{"no", mrNo, true, true}}) {
    Box().Answer = c.answer;
    S().SaveSucceeds = c.saves;
    EXPECT_EQ(form->FormCloseQuery(), c.closes) << c.name;
  }
  ASSERT_FALSE(Box().Texts.empty());
  EXPECT_EQ(Box().Texts.back(), "Document \"letter.rtf\" has been modified. Save changes?");
  // Yes saves, and then the window closes through the dispatcher.
  Box().Answer = mrYes;
  S().SaveSucceeds = true;
  const int32_t saves = S().Saves;
  EXPECT_TRUE(form->CloseDocumentWindow());
  EXPECT_EQ(S().Saves, saves + 1);
  EXPECT_EQ(S().Closed, 1);
  EXPECT_EQ(S().Sounds.back(), 2040);
}

TEST_F(DocFormTest, WhetherToAskIsDecidedByTheSavePoint) {
  b->Add("");
  Show();
  Box().Answer = mrCancel;
  // A history of one header-and-footer operation changed the document: it asks.
  TypeOne('a');
  Name(0, 51);
  EXPECT_FALSE(form->FormCloseQuery());
  EXPECT_EQ(Box().Texts.size(), 1u);
  // Saved, then only a selection locked and a fast-navigation mark set: the text is as saved.
  Doc().SavePoint = Doc().UndoPosition;
  TypeOne('b');
  Name(1, 65);
  TypeOne('c');
  Name(2, 67);
  ASSERT_EQ(Doc().Modified, 1);
  EXPECT_TRUE(form->FormCloseQuery());
  EXPECT_EQ(Box().Texts.size(), 1u);
  // A change of the text among them: it asks.
  Name(2, 15);
  EXPECT_FALSE(form->FormCloseQuery());
  EXPECT_EQ(Box().Texts.size(), 2u);
}

TEST_F(DocFormTest, TheWindowIsNeverSmallerThanItsMinimumSize) {
  b->Add("Text");
  Show();
  plat::MoveWindow(form->Handle(), {0, 0, 40, 30});
  Pump();
  const plat::Rect r = plat::GetWindowBounds(form->Handle());
  EXPECT_EQ(r.Width(), TDocForm::Scaled(TDocForm::kMinClientSize));
  EXPECT_EQ(r.Height(), TDocForm::Scaled(TDocForm::kMinClientSize));
}

TEST_F(DocFormTest, NewDocumentWindowsCascadeInTheMainWindowsArea) {
  b->Add("Text");
  S().HasArea = true;
  S().Area = {1000, 800};
  const int32_t step = TDocForm::Scaled(22);
  struct Case {
    int32_t windows;
    plat::Point offsetBefore;
    plat::Point place;
  };
  const Case cases[] = {
      {1, {50, 50}, {6, 6}},                          // the only window: at (6, 6)
      {2, {0, 0}, {6 + step, 6 + step}},              // each further one moves down and right
      {3, {1000 - 150, 0}, {6, 6}},                   // when two minimum sizes no longer fit
  };
  for (const Case& c : cases) {
    S().Windows = c.windows;
    S().SetCascadeOffset(c.offsetBefore);
    TDocForm child;
    child.SetFormStyle(plat::FormStyle::MdiChild);
    ASSERT_TRUE(child.CreateForm(host.Handle(), {0, 0, 300, 200}));
    const plat::Rect r = child.BoundsRect();
    EXPECT_EQ(r.left, c.place.x) << c.windows;
    EXPECT_EQ(r.top, c.place.y) << c.windows;
    EXPECT_EQ(r.right, 1000 - 12) << c.windows;
    EXPECT_EQ(r.bottom, 800 - 12) << c.windows;
  }
}

TEST_F(DocFormTest, ActivationFocusAndCoordinates) {
  b->Add("Text");
  Show();
  form->MDIActivate(true);
  EXPECT_EQ(S().Active, &Doc());
  form->MDIActivate(false);
  EXPECT_EQ(S().Active, nullptr);
  // Losing the focus ends the mouse gestures and takes the caret away.
  form->Flags |= TDocForm::dfSelectingByDrag | TDocForm::dfPanning;
  plat::SetFocus(host.Handle());
  Pump();
  EXPECT_FALSE(form->HasFlag(TDocForm::dfSelectingByDrag));
  EXPECT_TRUE(form->HasFlag(TDocForm::dfPanning));  // not a gesture of the focus
  EXPECT_NE(plat::GetCaretInfo().hwnd, form->Handle());
  // Client and document points are each other's inverse.
  Doc().ScrollTo({0, 40});
  const plat::Point p{form->PageArea.left + 5, form->PageArea.top + 7};
  EXPECT_EQ(form->ClientToDoc(p), (plat::Point{5, Doc().View.ScrollPos.y + 7}));
  EXPECT_EQ(form->DocToClient(form->ClientToDoc(p)), p);
  plat::Rect outside{-50, -50, -10, -10};
  EXPECT_FALSE(form->ClipToPageArea(outside));
  // A window that is closing takes no messages.
  GetApp().Terminated = true;
  EXPECT_FALSE(form->IsReady());
  GetApp().Terminated = false;
  EXPECT_TRUE(form->IsReady());
}

// Documents that own their window: freeing the document frees the window.
class FormDocServices : public TDocServices {
 public:
  std::unique_ptr<TDocEditorWindow> CreateEditorWindow(TDoc& doc) override {
    return CreateDocFormWindow(doc);
  }
};

TEST_F(DocFormTest, ADocumentOwnsItsWindow) {
  ScopedService<TDocServices, FormDocServices> docServices;
  auto doc = std::make_unique<TDoc>(false);
  TDocForm* window = FormOf(*doc);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(&window->Doc(), doc.get());
  ASSERT_TRUE(window->CreateForm(host.Handle(), {0, 0, 400, 300}));
  Pump();
  EXPECT_TRUE(window->IsReady());
  doc->SetDocFlag(dfFreeWindowAtOnce, true);
  doc.reset();
  Pump();
}

}  // namespace

TEST_F(DocFormTest, AFileOpenedInTheWindowShowsItsListBullets) {
  const std::string path = qvtest::MakeTempDir("docform") + "/list.rtf";
  qvtest::WriteFile(path,
                    R"({\rtf1\ansi{\fonttbl{\f0 Arial;}}{\*\listtable{\list\listtemplateid1)"
                    R"({\listlevel\levelnfc23\levelstartat1\levelfollow0{\leveltext \'01\u8226 ?;})"
                    R"({\levelnumbers;}\fi-360\li720}\listid1}})"
                    R"({\listoverridetable{\listoverride\listid1\listoverridecount0\ls1}})"
                    R"(\pard\ls1\ilvl0\li720\fi-360 First point\par})");
  std::string error;
  b.reset();  // the window reads into a document of its own
  ASSERT_TRUE(form->OpenFile(path, error)) << error;
  TPar& par = *Doc().Par(0);
  ASSERT_NE(par.NumberPar, nullptr);
  BuildParagraphWideText(*par.NumberPar);
  EXPECT_EQ(par.NumberPar->WideText, u"\u2022\t");
}
